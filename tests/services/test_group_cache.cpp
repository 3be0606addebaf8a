#include "BuddyManagement/PLGLSTManager.h"
#include "Log.h"
#include "ServicesTestSupport.h"
#include "Utils/PLUtils.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;

namespace {

QStringList gLogged;
void captureLog(const QString &line) { gLogged << line; }

const QVariantMap kCache{{"type", "Cache"}, {"groupCacheNo", "15"}, {"willDownloadGroup", true}};
const QVariantMap kGroup{{"type", "Group"}, {"groupId", "3"}, {"groupName", QStringLiteral(u"\uCE5C\uAD6C")},
                         {"isLast", false}};
const QVariantMap kBuddy{{"type", "Buddy"}, {"buddyCMN", "1001"}, {"groupId", "3"}, {"isLast", true}};

class GroupCacheTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *user : {"a@vela.test", "b@vela.test"})
            QFile::remove(PLGroupCachePathForUser(QLatin1String(user)));
        cache.resetForTesting();
    }
    void TearDown() override
    {
        setLogSink(nullptr);
        cache.resetForTesting();
    }
    void record(const QString &user)
    {
        cache.setLoginID(user);
        cache.beginSave(kCache);
        cache.saveInfo(kGroup);
        cache.saveInfo(kBuddy);
        cache.endSave();
    }
    PLGLSTManager &cache = PLGLSTManager::sharedManager();
};

} // namespace

TEST_F(GroupCacheTest, RecordedListIsWrittenInOrderAndLoadedBack)
{
    record(QStringLiteral("a@vela.test"));
    const QString path = PLGroupCachePathForUser(QStringLiteral("a@vela.test"));
    ASSERT_TRUE(path.endsWith(QStringLiteral("/GroupCache.nch")));
    EXPECT_EQ(runPython(QStringLiteral("import plistlib,sys,json\n"
                                       "with open(sys.argv[1],'rb') as f: v=plistlib.load(f)\n"
                                       "print(json.dumps(v, sort_keys=True, ensure_ascii=False))"),
                        {path})
                  .trimmed(),
              QStringLiteral(u"[{\"groupCacheNo\": \"15\", \"type\": \"Cache\", \"willDownloadGroup\": true}, "
                             u"{\"groupId\": \"3\", \"groupName\": \"\uCE5C\uAD6C\", \"isLast\": false, \"type\": "
                             u"\"Group\"}, {\"buddyCMN\": \"1001\", \"groupId\": \"3\", \"isLast\": true, \"type\": "
                             u"\"Buddy\"}]"));

    cache.setLoginID(QStringLiteral("a@vela.test"));
    EXPECT_EQ(cache.version(), 15);
    ASSERT_EQ(cache.count(), 3);
    EXPECT_EQ(cache.groupInfoAtIndex(0), kCache);
    EXPECT_EQ(cache.groupInfoAtIndex(1), kGroup);
    EXPECT_EQ(cache.groupInfoAtIndex(2), kBuddy);
    EXPECT_TRUE(cache.groupInfoAtIndex(3).isEmpty());
    EXPECT_TRUE(cache.groupInfoAtIndex(-1).isEmpty());

    // Another user without a cache starts empty.
    cache.setLoginID(QStringLiteral("b@vela.test"));
    EXPECT_EQ(cache.version(), 0);
    EXPECT_EQ(cache.count(), 0);
    EXPECT_TRUE(QFileInfo(PLPersonalConfPathForUser(QStringLiteral("b@vela.test"))).isDir());
}

TEST_F(GroupCacheTest, NothingIsRecordedOrWrittenOutsideARecording)
{
    cache.setLoginID(QStringLiteral("a@vela.test"));
    cache.saveInfo(kGroup);
    EXPECT_EQ(cache.count(), 0);
    cache.endSave();
    EXPECT_FALSE(QFileInfo::exists(PLGroupCachePathForUser(QStringLiteral("a@vela.test"))));

    record(QStringLiteral("a@vela.test"));
    const QString path = PLGroupCachePathForUser(QStringLiteral("a@vela.test"));
    QFile::remove(path);
    cache.endSave();
    EXPECT_FALSE(QFileInfo::exists(path));
    cache.beginSave(QVariantMap());
    EXPECT_FALSE(cache.mSaveFlag());
}

TEST_F(GroupCacheTest, AnUnfinishedRecordingKeepsThePreviousFile)
{
    record(QStringLiteral("a@vela.test"));
    cache.setLoginID(QStringLiteral("a@vela.test"));
    cache.beginSave({{"type", "Cache"}, {"groupCacheNo", 16}, {"willDownloadGroup", true}});
    cache.saveInfo(kGroup);
    // Signing in again ends the recording without writing it.
    cache.setLoginID(QStringLiteral("a@vela.test"));
    EXPECT_FALSE(cache.mSaveFlag());
    EXPECT_EQ(cache.version(), 15);
    EXPECT_EQ(cache.count(), 3);
    cache.endSave();
    cache.setLoginID(QStringLiteral("a@vela.test"));
    EXPECT_EQ(cache.count(), 3);
}

TEST_F(GroupCacheTest, DamagedFilesCountAsNoCache)
{
    record(QStringLiteral("a@vela.test"));
    const QString path = PLGroupCachePathForUser(QStringLiteral("a@vela.test"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    file.close();
    const struct {
        const char *name;
        QByteArray bytes;
        qint32 version;
        qsizetype count;
    } cases[] = {
        {"intact", good, 15, 3},
        {"truncated", good.left(good.size() - 20), 0, 0},
        {"garbage", "\xff\xfe not a plist", 0, 0},
        {"a dictionary, not an array", "<plist version=\"1.0\"><dict/></plist>", 0, 0},
        {"an entry that is no dictionary", "<plist version=\"1.0\"><array><string>x</string></array></plist>", 0, 0},
        {"empty array", "<plist version=\"1.0\"><array/></plist>", 0, 0},
        {"first entry without number",
         "<plist version=\"1.0\"><array><dict><key>type</key><string>Cache</string></dict></array></plist>", 0, 1},
        {"number as integer",
         "<plist version=\"1.0\"><array><dict><key>groupCacheNo</key><integer>9</integer></dict></array></plist>", 9,
         1},
    };
    setLogSink(captureLog);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        gLogged.clear();
        writeFile(path, c.bytes);
        cache.setLoginID(QStringLiteral("a@vela.test"));
        EXPECT_EQ(cache.version(), c.version);
        EXPECT_EQ(cache.count(), c.count);
        if (c.version == 0 && c.bytes != "<plist version=\"1.0\"><array/></plist>") {
            EXPECT_FALSE(gLogged.isEmpty());
        }
    }
}
