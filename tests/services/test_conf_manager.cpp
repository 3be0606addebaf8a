#include "Log.h"
#include "ServicesTestSupport.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLMemoBoxManager.h"
#include "Utils/PLUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;

namespace {

QStringList gLogged;
void captureLog(const QString &line) { gLogged << line; }

// What Python's own plist reader finds in a file, as sorted JSON.
QString readWithPlistlib(const QString &path)
{
    return runPython(QStringLiteral("import plistlib,sys,json\n"
                                    "with open(sys.argv[1],'rb') as f: v=plistlib.load(f)\n"
                                    "print(json.dumps(v, sort_keys=True, ensure_ascii=False))"),
                     {path})
        .trimmed();
}

class ConfManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(PLConfFilePath());
        manager.resetForTesting();
        gLogged.clear();
    }
    void TearDown() override
    {
        setLogSink(nullptr);
        QFile::remove(PLConfFilePath());
        manager.resetForTesting();
    }
    PLConfManager &manager = PLConfManager::sharedManager();
};

} // namespace

TEST(PLConfManagerBody, ParsesKeyValueLines)
{
    using Map = QMap<QString, QString>;
    const struct {
        const char *name;
        QByteArray body;
        Map pairs;
    } cases[] = {
        {"lines, empty line and line without =", "a=1\r\nb=x=y\r\n\r\nc\r\n", Map{{"a", "1"}, {"b", "x=y"}}},
        {"LF alone is no line end", "a=1\nb=2\n", Map{{"a", "1\nb=2\n"}}},
        {"nothing is trimmed", "a = b \r\n", Map{{"a ", " b "}}},
        {"empty key and empty value", "=v\r\nk=\r\n", Map{{"", "v"}, {"k", ""}}},
        {"a later key wins", "a=1\r\na=2", Map{{"a", "2"}}},
        {"UTF-8 text", "name=\xED\x95\x9C\r\n", Map{{"name", QStringLiteral(u"\uD55C")}}},
        {"CR alone stays in the value", "a=1\rb=2\r\n", Map{{"a", "1\rb=2"}}},
        {"bytes that are not UTF-8 give nothing", "a=1\r\nb=\xff\r\n", Map{}},
        {"empty body", "", Map{}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PLConfManager::parseConfBody(c.body), c.pairs);
    }
}

TEST_F(ConfManagerTest, NewerVersionsReplaceTheFileWhichPythonReads)
{
    EXPECT_EQ(manager.version(), 0);
    EXPECT_TRUE(manager.valueForKey("a").isNull());
    ASSERT_TRUE(manager.setConf("a=1\r\nb=x=y\r\nget_profile_url=http://h/p?x=1\r\n", 3));
    EXPECT_EQ(manager.version(), 3);
    EXPECT_EQ(manager.valueForKey("b"), QStringLiteral("x=y"));
    EXPECT_EQ(readWithPlistlib(manager.confPath()),
              QStringLiteral(R"({"a": "1", "b": "x=y", "get_profile_url": "http://h/p?x=1", "parleyConfVersion": 3})"));
    QStringList keys = manager.allKeys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"a", "b", "get_profile_url", "parleyConfVersion"}));

    // Equal, older and negative versions and a missing body change nothing.
    QFile file(manager.confPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    EXPECT_FALSE(manager.setConf("a=2\r\n", 3));
    EXPECT_FALSE(manager.setConf("a=2\r\n", 2));
    EXPECT_FALSE(manager.setConf("a=2\r\n", -1));
    EXPECT_FALSE(manager.setConf(QByteArray(), 9));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();
    EXPECT_EQ(manager.valueForKey("a"), QStringLiteral("1"));

    // A newer body replaces the whole configuration, on disk as well.
    ASSERT_TRUE(manager.setConf(QByteArray("c=\xEC\x9D\xB4\r\n"), 5));
    EXPECT_TRUE(manager.valueForKey("a").isNull());
    EXPECT_EQ(readWithPlistlib(manager.confPath()),
              QStringLiteral(u"{\"c\": \"\uC774\", \"parleyConfVersion\": 5}"));

    // After a restart the stored version and values are back.
    manager.resetForTesting();
    EXPECT_EQ(manager.version(), 5);
    EXPECT_EQ(manager.valueForKey("c"), QStringLiteral(u"\uC774"));
    EXPECT_FALSE(manager.setConf("c=1\r\n", 5));
}

TEST_F(ConfManagerTest, DamagedFilesCountAsNoConfiguration)
{
    const QString good = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n<dict>\n"
        "\t<key>a</key>\n\t<string>1</string>\n\t<key>parleyConfVersion</key>\n\t<integer>4</integer>\n"
        "</dict>\n</plist>\n");
    const struct {
        const char *name;
        QByteArray bytes;
        qint32 version;
        const char *a; // nullptr: no configuration
    } cases[] = {
        {"complete", good.toUtf8(), 4, "1"},
        {"truncated", good.toUtf8().left(good.size() / 2), 0, nullptr},
        {"not XML", "\x00\x01garbage", 0, nullptr},
        {"empty", "", 0, nullptr},
        {"an array, not a dictionary", "<plist version=\"1.0\"><array><string>a</string></array></plist>", 0, nullptr},
        {"version as text", "<plist version=\"1.0\"><dict><key>a</key><string>1</string>"
                            "<key>parleyConfVersion</key><string>7</string></dict></plist>",
         0, "1"},
        {"no version", "<plist version=\"1.0\"><dict><key>a</key><string>1</string></dict></plist>", 0, "1"},
    };
    setLogSink(captureLog);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        gLogged.clear();
        writeFile(PLConfFilePath(), c.bytes);
        manager.resetForTesting();
        EXPECT_EQ(manager.version(), c.version);
        EXPECT_EQ(manager.valueForKey("a").isNull(), c.a == nullptr);
        if (c.a) {
            EXPECT_EQ(manager.valueForKey("a"), QLatin1String(c.a));
        } else {
            EXPECT_FALSE(gLogged.isEmpty());
        }
    }
    // The next configuration from the server is taken and repairs the file.
    EXPECT_TRUE(manager.setConf("a=2\r\n", 1));
    manager.resetForTesting();
    EXPECT_EQ(manager.version(), 1);
    EXPECT_EQ(manager.valueForKey("a"), QStringLiteral("2"));
}

TEST_F(ConfManagerTest, AFileInPlaceOfTheSupportFolderIsReplaced)
{
    const QString support = PLAppSupportPath();
    QDir(support).removeRecursively();
    writeFile(support.chopped(1), "in the way");
    manager.resetForTesting();
    EXPECT_TRUE(QFileInfo(support).isDir());
    EXPECT_TRUE(manager.setConf("a=1\r\n", 1));
    EXPECT_TRUE(QFileInfo::exists(manager.confPath()));
}

TEST(PLMemoBoxManager, SplitsHostAndPage)
{
    const struct {
        QString url;
        const char *host; // nullptr: no result
        const char *page;
    } cases[] = {
        {"http://memo/box/list.jsp", "memo", "/box/list.jsp"},
        {"http://memo", "memo", ""},
        {"http://memo/", "memo", "/"},
        {"http://", "", ""},
        {"http:/", nullptr, nullptr},
        {QString(), nullptr, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url.toStdString());
        const auto info = PLMemoBoxManager::serverInfoFrom(c.url);
        ASSERT_EQ(info.has_value(), c.host != nullptr);
        if (info) {
            EXPECT_EQ(info->host, QLatin1String(c.host));
            EXPECT_EQ(info->page, QLatin1String(c.page));
        }
    }
}

TEST_F(ConfManagerTest, MemoBoxServerComesFromTheConfiguration)
{
    EXPECT_FALSE(PLMemoBoxManager::sharedManager().serverInfo());
    manager.setConf("memo_ipml=http://memo.vela.test/box/list.jsp\r\n", 1);
    const auto info = PLMemoBoxManager::sharedManager().serverInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->host, QStringLiteral("memo.vela.test"));
    EXPECT_EQ(info->page, QStringLiteral("/box/list.jsp"));
}
