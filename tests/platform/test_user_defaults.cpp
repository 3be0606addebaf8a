#include "Log.h"
#include "PropertyList.h"
#include "TestSupport.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QSize>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>
#include <vector>

using namespace parley;

namespace {

mode_t fileMode(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// What the file itself holds, read by the property-list reader alone.
QVariantMap fileValues(const QString &path) { return PropertyList::readFile(path).value.toMap(); }

QStringList gLog;

class UserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mDir.isValid());
        mPath = mDir.filePath(QStringLiteral("Parley/Parley.plist"));
        gLog.clear();
        setLogSink([](const QString &line) { gLog.append(line); });
    }
    void TearDown() override { setLogSink(nullptr); }

    QTemporaryDir mDir;
    QString mPath;
};

// ---- typed values survive a reload from the file --------------------------------

struct TypedCase {
    const char *label;
    std::function<bool(UserDefaults &)> set;
    std::function<void(const UserDefaults &)> check;
};

void PrintTo(const TypedCase &c, std::ostream *os) { *os << c.label; }

class TypedTest : public UserDefaultsTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedTest, ValueSurvivesAReload)
{
    {
        UserDefaults defaults(mPath);
        ASSERT_TRUE(GetParam().set(defaults));
        GetParam().check(defaults);
    }
    UserDefaults reloaded(mPath);
    GetParam().check(reloaded);
}

const QString K = QStringLiteral("key");

INSTANTIATE_TEST_SUITE_P(
    UserDefaults, TypedTest,
    ::testing::Values(
        TypedCase{"string", [](UserDefaults &d) { return d.setString(QStringLiteral("한글 <&>"), K); },
                  [](const UserDefaults &d) { EXPECT_EQ(d.stringForKey(K), QStringLiteral("한글 <&>")); }},
        TypedCase{"integer", [](UserDefaults &d) { return d.setInteger(-9000000000LL, K); },
                  [](const UserDefaults &d) { EXPECT_EQ(d.integerForKey(K), -9000000000LL); }},
        TypedCase{"boolTrue", [](UserDefaults &d) { return d.setBool(true, K); },
                  [](const UserDefaults &d) {
                      EXPECT_TRUE(d.boolForKey(K));
                      EXPECT_EQ(d.objectForKey(K).typeId(), QMetaType::Bool);
                  }},
        TypedCase{"boolFalse", [](UserDefaults &d) { return d.setBool(false, K); },
                  [](const UserDefaults &d) {
                      EXPECT_FALSE(d.boolForKey(K));
                      EXPECT_TRUE(d.objectForKey(K).isValid());
                  }},
        TypedCase{"double", [](UserDefaults &d) { return d.setDouble(0.1, K); },
                  [](const UserDefaults &d) { EXPECT_EQ(d.doubleForKey(K), 0.1); }},
        TypedCase{"data", [](UserDefaults &d) { return d.setData(QByteArray("\x00\xff", 2), K); },
                  [](const UserDefaults &d) { EXPECT_EQ(d.dataForKey(K), QByteArray("\x00\xff", 2)); }},
        TypedCase{"array",
                  [](UserDefaults &d) { return d.setArray({QStringLiteral("a"), qlonglong(2)}, K); },
                  [](const UserDefaults &d) {
                      EXPECT_EQ(d.arrayForKey(K), (QVariantList{QStringLiteral("a"), qlonglong(2)}));
                  }},
        TypedCase{"dictionary",
                  [](UserDefaults &d) { return d.setDictionary({{QStringLiteral("x@y"), true}}, K); },
                  [](const UserDefaults &d) {
                      EXPECT_EQ(d.dictionaryForKey(K), (QVariantMap{{QStringLiteral("x@y"), true}}));
                  }},
        TypedCase{"removeAfterSet",
                  [](UserDefaults &d) { return d.setInteger(5, K) && d.removeObjectForKey(K); },
                  [](const UserDefaults &d) { EXPECT_FALSE(d.objectForKey(K).isValid()); }},
        TypedCase{"nullStringRemoves",
                  [](UserDefaults &d) { return d.setString(QStringLiteral("v"), K) && d.setString(QString(), K); },
                  [](const UserDefaults &d) { EXPECT_FALSE(d.objectForKey(K).isValid()); }},
        TypedCase{"emptyStringIsKept",
                  [](UserDefaults &d) { return d.setString(QString(""), K); },
                  [](const UserDefaults &d) {
                      EXPECT_TRUE(d.objectForKey(K).isValid());
                      EXPECT_TRUE(d.stringForKey(K).isEmpty());
                  }}),
    [](const auto &info) { return std::string(info.param.label); });

// ---- typed reads of whatever is stored ---------------------------------------------

struct ConversionCase {
    const char *label;
    QVariant stored;
    QString asString;
    qint64 asInteger;
    bool asBool;
    double asDouble;
};

void PrintTo(const ConversionCase &c, std::ostream *os) { *os << c.label; }

class ConversionTest : public UserDefaultsTest, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(ConversionTest, TypedReadsConvertSensibly)
{
    const ConversionCase &c = GetParam();
    UserDefaults defaults(mPath);
    ASSERT_TRUE(defaults.setObject(c.stored, K));
    EXPECT_EQ(defaults.stringForKey(K), c.asString);
    EXPECT_EQ(defaults.integerForKey(K), c.asInteger);
    EXPECT_EQ(defaults.boolForKey(K), c.asBool);
    EXPECT_EQ(defaults.doubleForKey(K), c.asDouble);
}

INSTANTIATE_TEST_SUITE_P(
    UserDefaults, ConversionTest,
    ::testing::Values(ConversionCase{"integer", qlonglong(7), QStringLiteral("7"), 7, true, 7.0},
                      ConversionCase{"zero", qlonglong(0), QStringLiteral("0"), 0, false, 0.0},
                      ConversionCase{"double", 2.5, QStringLiteral("2.5"), 2, true, 2.5},
                      ConversionCase{"hugeDouble", 1e300, QStringLiteral("1e+300"), 0, true, 1e300},
                      ConversionCase{"boolTrue", true, QString(), 1, true, 1.0},
                      ConversionCase{"numericString", QStringLiteral(" 42 "), QStringLiteral(" 42 "), 42, true, 42.0},
                      ConversionCase{"yesString", QStringLiteral("YES"), QStringLiteral("YES"), 0, true, 0.0},
                      ConversionCase{"wordString", QStringLiteral("hello"), QStringLiteral("hello"), 0, false, 0.0},
                      ConversionCase{"data", QByteArray("12"), QString(), 0, false, 0.0},
                      ConversionCase{"list", QVariantList{qlonglong(1)}, QString(), 0, false, 0.0}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(UserDefaultsTest, ContainerReadsOfOtherTypesAreEmpty)
{
    UserDefaults defaults(mPath);
    ASSERT_TRUE(defaults.setString(QStringLiteral("text"), K));
    EXPECT_TRUE(defaults.dataForKey(K).isNull());
    EXPECT_TRUE(defaults.arrayForKey(K).isEmpty());
    EXPECT_TRUE(defaults.dictionaryForKey(K).isEmpty());
    EXPECT_FALSE(defaults.hasUserDictionary(K));
}

// ---- registered defaults ------------------------------------------------------------

TEST_F(UserDefaultsTest, RegisteredDefaultsApplyOnlyWhileUnsetAndAreNeverWritten)
{
    UserDefaults defaults(mPath);
    defaults.registerDefaults({{QStringLiteral("autoLogin"), 1}, {QStringLiteral("P2PPort"), QStringLiteral("6000")}});
    defaults.registerDefaults({{QStringLiteral("P2PPort"), QStringLiteral("7000")}}); // merges, later wins
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("autoLogin")), 1);
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("P2PPort")), QStringLiteral("7000"));

    ASSERT_TRUE(defaults.setInteger(0, QStringLiteral("autoLogin")));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("autoLogin")), 0);
    EXPECT_EQ(fileValues(mPath), (QVariantMap{{QStringLiteral("autoLogin"), qlonglong(0)}}));

    ASSERT_TRUE(defaults.removeObjectForKey(QStringLiteral("autoLogin")));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("autoLogin")), 1);
    EXPECT_EQ(fileValues(mPath), QVariantMap());
}

// ---- per-user dictionaries --------------------------------------------------------------

TEST_F(UserDefaultsTest, UserDictionariesAreStoredUnderTheUserIdIntact)
{
    const QString alice = QStringLiteral("alice@mail.example.com");
    const QString bob = QStringLiteral("bob@mail.example.com");
    {
        UserDefaults defaults(mPath);
        ASSERT_TRUE(defaults.setString(QStringLiteral("alice"), QStringLiteral("accountname")));
        ASSERT_TRUE(defaults.setUserDictionary(alice, {{QStringLiteral("disableCertAlert"), true},
                                                       {QStringLiteral("saveDialogIndex"), 2}}));
        ASSERT_TRUE(defaults.setUserDictionary(bob, {{QStringLiteral("saveDialogIndex"), 0}}));
        // Replacing is whole: the old keys go.
        ASSERT_TRUE(defaults.setUserDictionary(alice, {{QStringLiteral("saveDialogIndex"), 1}}));
    }
    const QVariantMap onDisk = fileValues(mPath);
    EXPECT_EQ(onDisk.keys(), (QStringList{QStringLiteral("accountname"), alice, bob}));
    EXPECT_TRUE(contents(mPath).contains("<key>alice@mail.example.com</key>"));

    UserDefaults reloaded(mPath);
    EXPECT_TRUE(reloaded.hasUserDictionary(alice));
    EXPECT_FALSE(reloaded.hasUserDictionary(QStringLiteral("alice")));
    EXPECT_FALSE(reloaded.hasUserDictionary(QStringLiteral("carol@mail.example.com")));
    EXPECT_EQ(reloaded.userDictionary(alice), (QVariantMap{{QStringLiteral("saveDialogIndex"), qlonglong(1)}}));
    EXPECT_EQ(reloaded.userDictionary(bob), (QVariantMap{{QStringLiteral("saveDialogIndex"), qlonglong(0)}}));
    EXPECT_EQ(reloaded.stringForKey(QStringLiteral("accountname")), QStringLiteral("alice"));
}

// ---- the file -------------------------------------------------------------------------------

TEST_F(UserDefaultsTest, FileIsPrivateAndItsFolderIsCreated)
{
    UserDefaults defaults(mPath);
    EXPECT_FALSE(QFile::exists(mPath)); // nothing written before the first change
    ASSERT_TRUE(defaults.setBool(true, K));
    EXPECT_EQ(fileMode(mPath), mode_t(0600));
    EXPECT_EQ(fileMode(mDir.filePath(QStringLiteral("Parley"))), mode_t(0700));
    EXPECT_EQ(fileValues(mPath), (QVariantMap{{K, true}}));
}

TEST_F(UserDefaultsTest, RefusedValueChangesNothing)
{
    UserDefaults defaults(mPath);
    ASSERT_TRUE(defaults.setInteger(1, K));
    const QByteArray before = contents(mPath);
    EXPECT_FALSE(defaults.setObject(QVariant::fromValue(QSize(1, 1)), K));
    EXPECT_FALSE(defaults.setString(QStringLiteral("bell\x07"), K));
    EXPECT_EQ(defaults.integerForKey(K), 1);
    EXPECT_EQ(contents(mPath), before);
    EXPECT_EQ(gLog.size(), 2);
}

TEST_F(UserDefaultsTest, FailedWriteIsReportedAndSynchronizeRetries)
{
    // A plain file where the folder should be makes every write fail.
    const QString blocker = mDir.filePath(QStringLiteral("blocker"));
    ASSERT_TRUE(writeBytes(blocker, "x"));
    const QString path = blocker + QStringLiteral("/Parley.plist");
    UserDefaults defaults(path);
    EXPECT_FALSE(defaults.setInteger(3, K));
    EXPECT_EQ(defaults.integerForKey(K), 3); // kept in memory
    EXPECT_FALSE(gLog.isEmpty());

    ASSERT_TRUE(QFile::remove(blocker));
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(UserDefaults(path).integerForKey(K), 3);
}

// Each write replaces the file by a new one, so its inode tells whether the
// file was written again.
ino_t inode(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

TEST_F(UserDefaultsTest, UnchangedValuesAndSynchronizeLeaveTheFileAlone)
{
    UserDefaults defaults(mPath);
    ASSERT_TRUE(defaults.setString(QStringLiteral("pc-1"), QStringLiteral("PCID")));
    ASSERT_TRUE(defaults.setInteger(1, K));
    const ino_t written = inode(mPath);
    ASSERT_NE(written, ino_t(0));

    // Checked after each call: a freed inode number may come back later.
    EXPECT_TRUE(defaults.setString(QStringLiteral("pc-1"), QStringLiteral("PCID")));
    EXPECT_EQ(inode(mPath), written);
    EXPECT_TRUE(defaults.setObject(1, K)); // an int writes the same bytes as the stored integer
    EXPECT_EQ(inode(mPath), written);
    EXPECT_TRUE(defaults.removeObjectForKey(QStringLiteral("absent")));
    EXPECT_EQ(inode(mPath), written);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(inode(mPath), written);

    // A loaded file counts as current too.
    UserDefaults reloaded(mPath);
    EXPECT_TRUE(reloaded.setString(QStringLiteral("pc-1"), QStringLiteral("PCID")));
    EXPECT_EQ(inode(mPath), written);
    EXPECT_TRUE(reloaded.synchronize());
    EXPECT_EQ(inode(mPath), written);

    // The same number as a real is another value in the file.
    ASSERT_TRUE(reloaded.setDouble(1.0, K));
    EXPECT_NE(inode(mPath), written);
    EXPECT_EQ(fileValues(mPath).value(K).typeId(), QMetaType::Double);
}

TEST_F(UserDefaultsTest, SeveralValuesAreStoredTogetherOrNotAtAll)
{
    UserDefaults defaults(mPath);
    ASSERT_TRUE(defaults.setInteger(1, QStringLiteral("gone")));
    ASSERT_TRUE(defaults.setObjects({{QStringLiteral("PCID"), QStringLiteral("pc-1")},
                                     {QStringLiteral("LocKey"), QStringLiteral("abcd")},
                                     {QStringLiteral("gone"), QVariant()}}));
    const QVariantMap both{{QStringLiteral("PCID"), QStringLiteral("pc-1")},
                           {QStringLiteral("LocKey"), QStringLiteral("abcd")}};
    EXPECT_EQ(fileValues(mPath), both);
    const ino_t written = inode(mPath);

    // One value the file cannot hold refuses them all.
    EXPECT_FALSE(defaults.setObjects({{QStringLiteral("PCID"), QStringLiteral("pc-2")},
                                      {QStringLiteral("LocKey"), QVariant::fromValue(QSize(1, 1))}}));
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("PCID")), QStringLiteral("pc-1"));
    EXPECT_EQ(inode(mPath), written);

    // The same values again leave the file alone; one new value rewrites it.
    EXPECT_TRUE(defaults.setObjects(both));
    EXPECT_EQ(inode(mPath), written);
    ASSERT_TRUE(defaults.setObjects({{QStringLiteral("PCID"), QStringLiteral("pc-1")},
                                     {QStringLiteral("LocKey"), QStringLiteral("efgh")}}));
    EXPECT_NE(inode(mPath), written);
    EXPECT_EQ(fileValues(mPath).value(QStringLiteral("LocKey")), QVariant(QStringLiteral("efgh")));
}

TEST_F(UserDefaultsTest, AFileRemovedBehindOurBackIsWrittenAgain)
{
    UserDefaults defaults(mPath);
    ASSERT_TRUE(defaults.setInteger(5, K));
    ASSERT_TRUE(QFile::remove(mPath));
    EXPECT_TRUE(defaults.setInteger(5, K));
    EXPECT_EQ(fileValues(mPath), (QVariantMap{{K, qlonglong(5)}}));
    ASSERT_TRUE(QFile::remove(mPath));
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(fileValues(mPath), (QVariantMap{{K, qlonglong(5)}}));
}

TEST_F(UserDefaultsTest, AnUnchangedValueStillReplacesAnUnreadableFile)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(mPath).absolutePath()));
    ASSERT_TRUE(writeBytes(mPath, "garbage"));
    UserDefaults defaults(mPath);
    EXPECT_TRUE(defaults.removeObjectForKey(K));
    EXPECT_EQ(contents(mPath + QStringLiteral(".corrupt")), QByteArray("garbage"));
    EXPECT_EQ(fileValues(mPath), QVariantMap());
}

struct CorruptCase {
    const char *label;
    QByteArray bytes;
};

void PrintTo(const CorruptCase &c, std::ostream *os) { *os << c.label; }

class CorruptTest : public UserDefaultsTest, public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptTest, UnreadableFileIsKeptUntilTheNextWriteThenMovedAside)
{
    const QByteArray bad = GetParam().bytes;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(mPath).absolutePath()));
    ASSERT_TRUE(writeBytes(mPath, bad));

    UserDefaults defaults(mPath);
    ASSERT_EQ(gLog.size(), 1);
    EXPECT_TRUE(gLog[0].contains(mPath)) << gLog[0].toStdString();
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("a")).isValid());
    EXPECT_EQ(contents(mPath), bad); // reading alone leaves it alone

    ASSERT_TRUE(defaults.setInteger(1, K));
    ASSERT_TRUE(QFile::exists(mPath + QStringLiteral(".corrupt")));
    EXPECT_EQ(contents(mPath + QStringLiteral(".corrupt")), bad);
    EXPECT_EQ(fileValues(mPath), (QVariantMap{{K, qlonglong(1)}}));

    // Later writes do not move the good file aside.
    ASSERT_TRUE(defaults.setInteger(2, K));
    EXPECT_FALSE(QFile::exists(mPath + QStringLiteral(".corrupt.1")));
    EXPECT_EQ(contents(mPath + QStringLiteral(".corrupt")), bad);
}

INSTANTIATE_TEST_SUITE_P(
    UserDefaults, CorruptTest,
    ::testing::Values(CorruptCase{"garbage", QByteArray("\x00\x01 not a plist", 15)},
                      CorruptCase{"truncated",
                                  PropertyList::write(QVariantMap{{QStringLiteral("a"), 1}}).data.chopped(12)},
                      CorruptCase{"topLevelNotADict", PropertyList::write(QVariantList{1, 2}).data},
                      CorruptCase{"empty", QByteArray()}),
    [](const auto &info) { return std::string(info.param.label); });

TEST_F(UserDefaultsTest, AnEarlierCorruptCopyIsNotOverwritten)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(mPath).absolutePath()));
    ASSERT_TRUE(writeBytes(mPath + QStringLiteral(".corrupt"), "first"));
    ASSERT_TRUE(writeBytes(mPath, "second"));
    UserDefaults defaults(mPath);
    ASSERT_TRUE(defaults.setInteger(1, K));
    EXPECT_EQ(contents(mPath + QStringLiteral(".corrupt")), QByteArray("first"));
    EXPECT_EQ(contents(mPath + QStringLiteral(".corrupt.1")), QByteArray("second"));
}

TEST_F(UserDefaultsTest, SetPathAndResetReload)
{
    const QString other = mDir.filePath(QStringLiteral("other.plist"));
    ASSERT_EQ(PropertyList::writeFile(other, QVariantMap{{K, QStringLiteral("other")}}), QString());

    UserDefaults defaults(mPath);
    defaults.registerDefaults({{QStringLiteral("reg"), 1}});
    ASSERT_TRUE(defaults.setString(QStringLiteral("mine"), K));
    defaults.setPath(other);
    EXPECT_EQ(defaults.path(), other);
    EXPECT_EQ(defaults.stringForKey(K), QStringLiteral("other"));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("reg")), 1);

    ASSERT_EQ(PropertyList::writeFile(other, QVariantMap{{K, QStringLiteral("changed")}}), QString());
    defaults.reset();
    EXPECT_EQ(defaults.stringForKey(K), QStringLiteral("changed"));
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("reg")).isValid());
}

TEST_F(UserDefaultsTest, ProcessWideInstanceLivesUnderTheConfigFolder)
{
    const QString expected = test::isolatedHome() + QStringLiteral("/config/Parley/Parley.plist");
    EXPECT_EQ(UserDefaults::defaultPath(), expected);
    UserDefaults &shared = UserDefaults::standardUserDefaults();
    EXPECT_EQ(&shared, &UserDefaults::standardUserDefaults());
    EXPECT_EQ(shared.path(), expected);
}

TEST_F(UserDefaultsTest, ConcurrentWritersLoseNothing)
{
    UserDefaults defaults(mPath);
    constexpr int kThreads = 4;
    constexpr int kPerThread = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&defaults, t] {
            for (int i = 0; i < kPerThread; ++i)
                defaults.setInteger(t * 1000 + i, QStringLiteral("k%1-%2").arg(t).arg(i));
        });
    }
    for (auto &thread : threads)
        thread.join();
    const QVariantMap onDisk = fileValues(mPath);
    EXPECT_EQ(onDisk.size(), kThreads * kPerThread);
    EXPECT_EQ(onDisk.value(QStringLiteral("k3-24")).toLongLong(), 3024);
}

} // namespace

// ---- the background mode ----------------------------------------------------------

namespace {

TEST_F(UserDefaultsTest, InTheBackgroundEveryChangeIsReadableAtOnceAndOnDiskAfterSynchronize)
{
    UserDefaults defaults(mPath);
    defaults.setWritesInBackground(true);
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(defaults.setInteger(i, QStringLiteral("k%1").arg(i)));
        ASSERT_EQ(defaults.integerForKey(QStringLiteral("k%1").arg(i)), i);
    }
    ASSERT_TRUE(defaults.removeObjectForKey(QStringLiteral("k0")));
    EXPECT_TRUE(defaults.synchronize());
    const QVariantMap onDisk = fileValues(mPath);
    EXPECT_EQ(onDisk.size(), 199);
    EXPECT_FALSE(onDisk.contains(QStringLiteral("k0")));
    EXPECT_EQ(onDisk.value(QStringLiteral("k199")).toLongLong(), 199);
    EXPECT_EQ(fileMode(mPath), mode_t(0600));
}

TEST_F(UserDefaultsTest, InTheBackgroundWhatIsLeftIsWrittenWhenTheStoreEnds)
{
    {
        UserDefaults defaults(mPath);
        defaults.setWritesInBackground(true);
        for (int i = 0; i < 50; ++i)
            defaults.setString(QStringLiteral("v%1").arg(i), QStringLiteral("k%1").arg(i));
    }
    const QVariantMap onDisk = fileValues(mPath);
    EXPECT_EQ(onDisk.size(), 50);
    EXPECT_EQ(onDisk.value(QStringLiteral("k49")).toString(), QStringLiteral("v49"));
}

TEST_F(UserDefaultsTest, InTheBackgroundAFailedWriteIsLoggedAndSynchronizeTellsAndRetries)
{
    const QString blocker = mDir.filePath(QStringLiteral("blocker"));
    ASSERT_TRUE(writeBytes(blocker, "x"));
    const QString path = blocker + QStringLiteral("/Parley.plist");
    UserDefaults defaults(path);
    defaults.setWritesInBackground(true);
    EXPECT_TRUE(defaults.setInteger(3, K)); // stored; the write comes later
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_FALSE(gLog.isEmpty());
    EXPECT_EQ(defaults.integerForKey(K), 3);

    ASSERT_TRUE(QFile::remove(blocker));
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(UserDefaults(path).integerForKey(K), 3);
}

TEST_F(UserDefaultsTest, InTheBackgroundAnUnreadableFileIsStillMovedAsideBeforeTheFirstWrite)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(mPath).absolutePath()));
    ASSERT_TRUE(writeBytes(mPath, "<plist><dict><key>broken"));
    UserDefaults defaults(mPath);
    defaults.setWritesInBackground(true);
    ASSERT_TRUE(defaults.setInteger(1, K));
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(contents(mPath + QStringLiteral(".corrupt")), QByteArray("<plist><dict><key>broken"));
    EXPECT_EQ(fileValues(mPath).value(K).toLongLong(), 1);
}

TEST_F(UserDefaultsTest, InTheBackgroundConcurrentWritersLoseNothingAndSetPathWaitsForTheWrites)
{
    UserDefaults defaults(mPath);
    defaults.setWritesInBackground(true);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&defaults, t] {
            for (int i = 0; i < 25; ++i)
                defaults.setInteger(t * 1000 + i, QStringLiteral("k%1-%2").arg(t).arg(i));
        });
    }
    for (auto &thread : threads)
        thread.join();
    // Moving to another file first finishes the writes to this one.
    defaults.setPath(mDir.filePath(QStringLiteral("other.plist")));
    const QVariantMap onDisk = fileValues(mPath);
    EXPECT_EQ(onDisk.size(), 100);
    EXPECT_EQ(onDisk.value(QStringLiteral("k3-24")).toLongLong(), 3024);
}

} // namespace
