// The real Pigeonhole executable, run from a copy of its bundle as the
// messenger runs it, against this test playing the messenger on a private
// bus: the handshake, the unread count, filing, quit requests, SIGTERM, a
// quick restart waiting for the bus name, the same signals sent with gdbus,
// a memo that survives SIGKILL, and a store of an earlier version whose
// upgrade is ended by SIGKILL or a quit.
#include "DistributedNotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "OlderStore.h"
#include "PrivateBus.h"
#include "SqliteTool.h"
#include "TestSupport.h"

#include <QDBusConnectionInterface>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

using namespace parley;
using parley::test::PrivateBus;
using parley::test::waitUntil;
namespace n = parley::notifications;

namespace {

constexpr char kUser[] = "user@parley.test";

// Copies a folder tree, keeping the executable bits.
bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QDir().mkpath(to);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(source, target) || !QFile::setPermissions(target, QFile::permissions(source))) {
            return false;
        }
    }
    return true;
}

class BoxProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateBus::available())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(bus.isRunning());
        ASSERT_TRUE(home.isValid());
        // Where the messenger puts its copy of the bundle.
        bundle = home.filePath("data/Parley/PlugIn/Pigeonhole.app");
        ASSERT_TRUE(copyTree(QStringLiteral(PIGEONHOLE_BUNDLE_DIR), bundle));
        messenger = std::make_unique<DistributedNotificationCenter>(bus.connect(QStringLiteral("messenger")));
        for (const char *name : {n::kPlugUserInfo, n::kUnreadMemoCount})
            messenger->addObserver(QLatin1String(name), [this](const DistributedNotification &note) { heard.push_back(note); });
    }
    void TearDown() override
    {
        for (auto &box : boxes) {
            if (box->state() != QProcess::NotRunning) {
                box->kill();
                box->waitForFinished(10000);
            }
        }
        messenger.reset();
    }

    QString executable() const { return bundle + "/Contents/MacOS/Pigeonhole"; }
    QString storeFile(const QString &name) const { return home.filePath("data/Parley/Message/" + name); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_CACHE_HOME", home.filePath("cache"));
        env.remove("PARLEY_RESOURCE_DIR");
        return env;
    }

    QProcess *startBox()
    {
        auto box = std::make_unique<QProcess>();
        box->setProcessEnvironment(environment());
        box->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        box->start(executable(), {});
        EXPECT_TRUE(box->waitForStarted(10000)) << box->errorString().toStdString();
        boxes.push_back(std::move(box));
        return boxes.back().get();
    }

    // The notifications of a name heard so far.
    std::vector<DistributedNotification> heardOf(const char *name) const
    {
        std::vector<DistributedNotification> out;
        for (const DistributedNotification &note : heard)
            if (note.name == QLatin1String(name))
                out.push_back(note);
        return out;
    }
    bool waitForCount(const QString &count)
    {
        return waitUntil([&] {
            const auto counts = heardOf(n::kUnreadMemoCount);
            return !counts.empty() && counts.back().object == count;
        }, 20000);
    }
    bool waitForAnnouncements(size_t count)
    {
        return waitUntil([&] { return heardOf(n::kPlugUserInfo).size() >= count; }, 20000);
    }
    bool nameOwned()
    {
        QDBusConnection connection = bus.connect(QStringLiteral("probe%1").arg(++probes));
        return connection.interface()->isServiceRegistered("org.parley.Pigeonhole").value();
    }
    static bool waitForExit(QProcess *box)
    {
        return waitUntil([box] { return box->state() == QProcess::NotRunning; }, 20000);
    }
    QVariantMap memo(const QString &subject, int unread) const
    {
        return {{"msgType", "inbox"}, {"subject", subject}, {"unread", unread}, {"uuid", subject + "-uuid"},
                {"suser", "Ann"}, {"suserID", "ann@parley.test"}, {"bodyData", "hello " + subject},
                {"date", QDateTime::currentDateTimeUtc()}};
    }

    PrivateBus bus;
    QTemporaryDir home;
    QString bundle;
    std::unique_ptr<DistributedNotificationCenter> messenger;
    std::vector<DistributedNotification> heard;
    std::vector<std::unique_ptr<QProcess>> boxes;
    int probes = 0;
};

TEST_F(BoxProcessTest, TheCopiedBundleNeedsNothingFromTheBuildTree)
{
    const QString readelf = QStandardPaths::findExecutable("readelf");
    if (readelf.isEmpty())
        GTEST_SKIP() << "readelf is not installed";
    QProcess dynamic;
    dynamic.start(readelf, {"-d", executable()});
    ASSERT_TRUE(dynamic.waitForFinished(10000));
    const QString entries = QString::fromUtf8(dynamic.readAllStandardOutput());
    EXPECT_FALSE(entries.contains(QStringLiteral(PIGEONHOLE_BUNDLE_DIR).section("/share/", 0, 0))) << entries.toStdString();
    EXPECT_FALSE(entries.contains("coffer3")) << entries.toStdString();
}

TEST_F(BoxProcessTest, AnnouncesItselfThenCountsAndFilesForTheSignedInUser)
{
    QProcess *box = startBox();
    ASSERT_TRUE(waitForAnnouncements(1));
    EXPECT_EQ(heard.front().name, QLatin1String(n::kPlugUserInfo)); // before anything else
    EXPECT_EQ(heard.front().object, QLatin1String(n::kMessageBoxPlugInID));

    ASSERT_TRUE(plugin::postLoginUserInfo(kUser, *messenger));
    ASSERT_TRUE(plugin::postBuddyStatusList({{"ann@parley.test", 1}}, *messenger));
    ASSERT_TRUE(waitForCount("0"));
    ASSERT_TRUE(plugin::postSaveMemoDocument(memo("first", 1), *messenger));
    ASSERT_TRUE(waitForCount("1"));
    EXPECT_EQ(pigeonhole::test::sqliteTool(storeFile("user@parley.test.sqlite"),
                                           "SELECT f.folderName, m.subject, m.unread FROM MemoContext m "
                                           "JOIN MemoFolder f ON f.id = m.memoFolder"),
              "inbox|first|1");

    // A show request for another plug-in and a refresh leave it running.
    ASSERT_TRUE(plugin::postShowPlugInWindow("00000000-0000-0000-0000-000000000000", *messenger));
    ASSERT_TRUE(messenger->post(QLatin1String(n::kRefreshPlugin)));
    const size_t counts = heardOf(n::kUnreadMemoCount).size();
    ASSERT_TRUE(waitUntil([&] { return heardOf(n::kUnreadMemoCount).size() > counts; }, 20000));
    EXPECT_EQ(box->state(), QProcess::Running);

    // A quit request naming another plug-in ends the box too, cleanly.
    ASSERT_TRUE(plugin::postQuitPlugInProcess("00000000-0000-0000-0000-000000000000", *messenger));
    ASSERT_TRUE(waitForExit(box));
    EXPECT_EQ(box->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(box->exitCode(), 0);
    EXPECT_FALSE(nameOwned());
    EXPECT_FALSE(QFile::exists(storeFile("default.sqlite")));
}

TEST_F(BoxProcessTest, TheSameSignalsSentWithGdbusAreHeard)
{
    const QString gdbus = QStandardPaths::findExecutable("gdbus");
    if (gdbus.isEmpty())
        GTEST_SKIP() << "gdbus is not installed";
    const auto emitSignal = [&](const char *name, const QStringList &args) {
        QProcess p;
        // --session on the private bus: with --address gdbus would make a peer
        // connection, whose signals the daemon never routes.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        p.setProcessEnvironment(env);
        p.start(gdbus, QStringList{"emit", "--session", "--object-path", "/org/parley/PlugIn", "--signal",
                                   QStringLiteral("org.parley.PlugIn1.%1").arg(name)}
                           + args);
        return p.waitForFinished(10000) && p.exitCode() == 0;
    };
    QProcess *box = startBox();
    ASSERT_TRUE(waitForAnnouncements(1));
    ASSERT_TRUE(emitSignal(n::kLoginUserInfo, {"'user@parley.test'", "@a{sv} {}"}));
    ASSERT_TRUE(waitForCount("0"));
    ASSERT_TRUE(emitSignal(n::kSaveMemoDocument,
                           {"''", "{'msgType': <'inbox'>, 'unread': <1>, 'subject': <'from gdbus'>, 'date': <int64 1700000000000>}"}));
    ASSERT_TRUE(waitForCount("1"));
    EXPECT_EQ(pigeonhole::test::sqliteTool(storeFile("user@parley.test.sqlite"), "SELECT subject, date FROM MemoContext"),
              "from gdbus|1700000000000");
    ASSERT_TRUE(emitSignal(n::kQuitPlugInProcess, {"'SOME-OTHER-PLUGIN'", "@a{sv} {}"}));
    ASSERT_TRUE(waitForExit(box));
    EXPECT_EQ(box->exitCode(), 0);
}

TEST_F(BoxProcessTest, AMemoFiledSurvivesSigkill)
{
    QProcess *box = startBox();
    ASSERT_TRUE(waitForAnnouncements(1));
    ASSERT_TRUE(plugin::postLoginUserInfo(kUser, *messenger));
    ASSERT_TRUE(waitForCount("0"));
    ASSERT_TRUE(plugin::postSaveMemoDocument(memo("kept", 1), *messenger));
    ASSERT_TRUE(waitForCount("1"));
    ::kill(pid_t(box->processId()), SIGKILL); // right after the box said it has the memo
    ASSERT_TRUE(waitForExit(box));
    EXPECT_EQ(box->exitStatus(), QProcess::CrashExit);

    EXPECT_EQ(pigeonhole::test::sqliteTool(storeFile("user@parley.test.sqlite"), "SELECT subject, unread FROM MemoContext"),
              "kept|1");
    // A new box opens the same store and counts the memo.
    heard.clear();
    startBox();
    ASSERT_TRUE(waitForAnnouncements(1));
    ASSERT_TRUE(plugin::postLoginUserInfo(kUser, *messenger));
    EXPECT_TRUE(waitForCount("1"));
}

TEST_F(BoxProcessTest, SigtermEndsTheBoxCleanly)
{
    QProcess *box = startBox();
    ASSERT_TRUE(waitForAnnouncements(1));
    ASSERT_TRUE(QFile::exists(storeFile("default.sqlite"))); // the pre-login store
    box->terminate();
    ASSERT_TRUE(waitForExit(box));
    EXPECT_EQ(box->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(box->exitCode(), 0);
    EXPECT_FALSE(nameOwned());
    EXPECT_FALSE(QFile::exists(storeFile("default.sqlite")));
}

TEST_F(BoxProcessTest, ANewBoxWaitsForTheNameOfOneThatIsQuitting)
{
    QProcess *first = startBox();
    ASSERT_TRUE(waitForAnnouncements(1));
    // A quick sign-out and sign-in: the quit and the next start cross.
    ASSERT_TRUE(plugin::postQuitPlugInProcess({}, *messenger));
    QProcess *second = startBox();
    ASSERT_TRUE(waitForExit(first));
    EXPECT_EQ(first->exitCode(), 0);
    ASSERT_TRUE(waitForAnnouncements(2));
    EXPECT_EQ(second->state(), QProcess::Running);
    EXPECT_TRUE(nameOwned());
}

// --- a store of an earlier version -------------------------------------------

// What the rows of a store add up to, as the sqlite3 tool reads them.
QString rowSummary(const QString &file)
{
    return pigeonhole::test::sqliteTool(
        file, "SELECT count(*), sum(id), sum(length(subject)), sum(unread) FROM MemoContext UNION ALL "
              "SELECT count(*), sum(id), sum(length(bodyData)), sum(date) FROM ChatContext");
}

// Killed while it brings an older store up to date, the box leaves a file
// with every row; the next box opens it, counts its memos at once and
// finishes the upgrade.
TEST_F(BoxProcessTest, AnUpgradeEndedBySigkillGoesOnAtTheNextStart)
{
    const QString file = storeFile("user@parley.test.sqlite");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    ASSERT_EQ(pigeonhole::test::makeOlderStore(file, 1, 3000, 4000), "");
    const QString before = rowSummary(file);
    ASSERT_FALSE(before.startsWith("<error"));

    QProcess *box = startBox();
    ASSERT_TRUE(waitForAnnouncements(1));
    ASSERT_TRUE(plugin::postLoginUserInfo(kUser, *messenger));
    // Midway through a step: the rebuilt tables are going into the log.
    ASSERT_TRUE(waitUntil([&] { return QFileInfo(file + "-wal").size() > (2 << 20); }, 60000));
    ::kill(pid_t(box->processId()), SIGKILL);
    ASSERT_TRUE(waitForExit(box));
    const QString version = pigeonhole::test::sqliteTool(file, "PRAGMA user_version");
    EXPECT_TRUE(version == "1" || version == "2") << version.toStdString();
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(rowSummary(file), before);

    heard.clear();
    startBox();
    ASSERT_TRUE(waitForAnnouncements(1));
    ASSERT_TRUE(plugin::postLoginUserInfo(kUser, *messenger));
    EXPECT_TRUE(waitForCount("1500")); // from the file as it is
    ASSERT_TRUE(waitUntil([&] { return pigeonhole::test::sqliteTool(file, "PRAGMA user_version") == "3"; }, 120000));
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(rowSummary(file), before);
}

// The messenger's quit during an upgrade ends the box at once; a memo that
// arrived meanwhile (held, as the store could not be written) is in the
// store when it has gone.
TEST_F(BoxProcessTest, AQuitDuringAnUpgradeFilesTheMemoHeldMeanwhile)
{
    const QString file = storeFile("user@parley.test.sqlite");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    ASSERT_EQ(pigeonhole::test::makeOlderStore(file, 1, 3000, 4000), "");
    QProcess *box = startBox();
    ASSERT_TRUE(waitForAnnouncements(1));
    ASSERT_TRUE(plugin::postLoginUserInfo(kUser, *messenger));
    ASSERT_TRUE(plugin::postSaveMemoDocument(memo("held", 1), *messenger));
    ASSERT_TRUE(plugin::postQuitPlugInProcess({}, *messenger));
    ASSERT_TRUE(waitForExit(box));
    EXPECT_EQ(box->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(box->exitCode(), 0);
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "SELECT subject, unread FROM MemoContext WHERE uuid = 'held-uuid'"), "held|1");
    const QString version = pigeonhole::test::sqliteTool(file, "PRAGMA user_version");
    EXPECT_TRUE(version == "1" || version == "2") << version.toStdString();
    EXPECT_EQ(pigeonhole::test::sqliteTool(file, "PRAGMA integrity_check"), "ok");
}

} // namespace
