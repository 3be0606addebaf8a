// The support folder's tree, plugin.plist and the message box's installation.
#include "ApplicationFolders.h"
#include "NotificationNames.h"
#include "PropertyList.h"
#include "ShellTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

class ApplicationFoldersTest : public ::testing::Test
{
protected:
    QString support() const { return mDir.filePath(QStringLiteral("support/Parley")); }
    QString resources() const { return mDir.filePath(QStringLiteral("resources")); }
    ApplicationFolders folders() const { return ApplicationFolders(support(), resources()); }
    QString installed() const { return support() + QStringLiteral("/PlugIn/Pigeonhole.app"); }
    QString plist() const { return support() + QStringLiteral("/PlugIn/plugin.plist"); }

    // plugin.plist as Python's plistlib reads it.
    QJsonObject readWithPython() const
    {
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import json, plistlib, sys\n"
                                     "print(json.dumps(plistlib.load(open(sys.argv[1], 'rb'))))"),
                      plist()});
        python.waitForFinished(30000);
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    }

    // Installs a message box of that version as if an earlier start had.
    void install(const QString &version)
    {
        QTemporaryDir earlier;
        makeMessageBoxBundle(earlier.path(), version);
        ASSERT_EQ(ApplicationFolders(support(), earlier.path()).initialize(), ApplicationFolders::Result::Ready);
        QFile marker(installed() + QStringLiteral("/Contents/marker"));
        ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    }
    bool markerSurvived() const { return QFileInfo::exists(installed() + QStringLiteral("/Contents/marker")); }

    QTemporaryDir mDir;
};

TEST_F(ApplicationFoldersTest, FirstStartMakesTheTreeAndOneRecordForTheMessageBox)
{
    makeMessageBoxBundle(resources(), QStringLiteral("1.1"));
    QDir().mkpath(resources() + QStringLiteral("/Emoticon"));
    QFile smile(resources() + QStringLiteral("/Emoticon/smile.png"));
    ASSERT_TRUE(smile.open(QIODevice::WriteOnly));
    smile.write("png");
    smile.close();

    ASSERT_EQ(folders().initialize(), ApplicationFolders::Result::Ready);
    for (const char *folder : {"Emoticon", "PlugIn", "Animicon", "Message", "PlugIn/Pigeonhole.app"}) {
        SCOPED_TRACE(folder);
        EXPECT_TRUE(QFileInfo(support() + QLatin1Char('/') + QLatin1String(folder)).isDir());
    }
    EXPECT_TRUE(QFileInfo::exists(support() + QStringLiteral("/Emoticon/smile.png")));
    const QFileInfo executable(installed() + QStringLiteral("/Contents/MacOS/Pigeonhole"));
    EXPECT_TRUE(executable.isExecutable());

    const QJsonArray plugins = readWithPython().value(QStringLiteral("plugins")).toArray();
    ASSERT_EQ(plugins.size(), 1);
    const QJsonObject record = plugins.at(0).toObject();
    EXPECT_EQ(record.value(QStringLiteral("id")).toString(), QLatin1String(notifications::kMessageBoxPlugInID));
    EXPECT_EQ(record.value(QStringLiteral("name")).toString(), QStringLiteral("Message Box"));
    EXPECT_EQ(record.value(QStringLiteral("version")).toString(), QStringLiteral("1.1"));
    EXPECT_EQ(record.value(QStringLiteral("description")).toString(), QStringLiteral("Memos and chat logs"));
    EXPECT_EQ(record.value(QStringLiteral("path")).toString(), installed());
    // Booleans, not numbers, and both off.
    EXPECT_TRUE(record.value(QStringLiteral("autolaunch")).isBool());
    EXPECT_FALSE(record.value(QStringLiteral("autolaunch")).toBool(true));
    EXPECT_TRUE(record.value(QStringLiteral("enableAutoLaunch")).isBool());
    EXPECT_FALSE(record.value(QStringLiteral("enableAutoLaunch")).toBool(true));
}

TEST_F(ApplicationFoldersTest, TheShippedBundleReplacesOnlyAnOlderOne)
{
    const struct {
        const char *installedVersion;
        const char *shippedVersion;
        bool replaced;
    } cases[] = {
        {"1.1", "1.2", true},
        {"1.2", "1.2", false},
        {"1.9", "1.10", false}, // 1.10 reads as 1.1
        {"2.0", "2.0.1", false},
        {"1.10", "1.9", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.installedVersion << " installed, " << c.shippedVersion << " shipped");
        QDir(support()).removeRecursively();
        install(QLatin1String(c.installedVersion));
        // Another plug-in's record stays whatever happens.
        QVariantMap list = PropertyList::readFile(plist()).value.toMap();
        QVariantList plugins = list.value(QStringLiteral("plugins")).toList();
        plugins.prepend(QVariantMap{{QStringLiteral("id"), QStringLiteral("OTHER")},
                                    {QStringLiteral("name"), QStringLiteral("Other")}});
        list.insert(QStringLiteral("plugins"), plugins);
        ASSERT_TRUE(PropertyList::writeFile(plist(), list).isEmpty());
        QFile before(plist());
        ASSERT_TRUE(before.open(QIODevice::ReadOnly));
        const QByteArray bytesBefore = before.readAll();

        makeMessageBoxBundle(resources(), QLatin1String(c.shippedVersion));
        ASSERT_EQ(folders().initialize(), ApplicationFolders::Result::Ready);

        EXPECT_EQ(markerSurvived(), !c.replaced);
        const QString expectedVersion = QLatin1String(c.replaced ? c.shippedVersion : c.installedVersion);
        EXPECT_EQ(ApplicationFolders::bundleVersion(installed()), expectedVersion);
        QFile after(plist());
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        if (!c.replaced) {
            EXPECT_EQ(after.readAll(), bytesBefore);
            continue;
        }
        const QJsonArray records = readWithPython().value(QStringLiteral("plugins")).toArray();
        ASSERT_EQ(records.size(), 2);
        EXPECT_EQ(records.at(0).toObject().value(QStringLiteral("id")).toString(), QStringLiteral("OTHER"));
        EXPECT_EQ(records.at(1).toObject().value(QStringLiteral("version")).toString(), expectedVersion);
        EXPECT_FALSE(QFileInfo::exists(installed() + QStringLiteral(".installing")));
        EXPECT_FALSE(QFileInfo::exists(installed() + QStringLiteral(".previous")));
    }
}

TEST_F(ApplicationFoldersTest, AMissingOrUnversionedBundleIsMissingComponents)
{
    EXPECT_EQ(folders().initialize(), ApplicationFolders::Result::ComponentsMissing);
    install(QStringLiteral("1.1")); // an installed copy does not stand in for the shipped one
    EXPECT_EQ(folders().initialize(), ApplicationFolders::Result::ComponentsMissing);
    makeMessageBoxBundle(resources(), QString());
    EXPECT_EQ(folders().initialize(), ApplicationFolders::Result::ComponentsMissing);
    EXPECT_TRUE(markerSurvived());
}

TEST_F(ApplicationFoldersTest, AnInstalledCopyWithoutAVersionIsReplaced)
{
    install(QStringLiteral("1.1"));
    ASSERT_TRUE(QFile::remove(installed() + QStringLiteral("/Contents/Info.plist")));
    makeMessageBoxBundle(resources(), QStringLiteral("1.1"));
    EXPECT_EQ(folders().initialize(), ApplicationFolders::Result::Ready);
    EXPECT_EQ(ApplicationFolders::bundleVersion(installed()), QStringLiteral("1.1"));
    EXPECT_FALSE(markerSurvived());
}

TEST_F(ApplicationFoldersTest, AFailedCopyKeepsTheInstalledBundleAndItsRecord)
{
    install(QStringLiteral("1.1"));
    QFile before(plist());
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytesBefore = before.readAll();

    // A socket in the shipped bundle cannot be copied, even by root.
    const QString bundle = makeMessageBoxBundle(resources(), QStringLiteral("1.2"));
    const QByteArray socketPath = (bundle + QStringLiteral("/Contents/Resources/socket")).toLocal8Bit();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(size_t(socketPath.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

    EXPECT_EQ(folders().initialize(), ApplicationFolders::Result::Ready);
    ::close(fd);
    EXPECT_TRUE(markerSurvived());
    EXPECT_EQ(ApplicationFolders::bundleVersion(installed()), QStringLiteral("1.1"));
    QFile after(plist());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytesBefore);
    EXPECT_FALSE(QFileInfo::exists(installed() + QStringLiteral(".installing")));
}

TEST_F(ApplicationFoldersTest, AnUnreadableListIsKeptAsideNotOverwrittenUnseen)
{
    QDir().mkpath(support() + QStringLiteral("/PlugIn"));
    QFile broken(plist());
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<plist><dict><key>plugins");
    broken.close();
    makeMessageBoxBundle(resources(), QStringLiteral("1.1"));
    ASSERT_EQ(folders().initialize(), ApplicationFolders::Result::Ready);
    EXPECT_TRUE(QFileInfo::exists(plist() + QStringLiteral(".corrupt")));
    EXPECT_EQ(readWithPython().value(QStringLiteral("plugins")).toArray().size(), 1);
}

TEST_F(ApplicationFoldersTest, ThePreLoginStoreGoesWithItsJournals)
{
    const QString message = support() + QStringLiteral("/Message");
    QDir().mkpath(message);
    for (const char *name : {"default.sqlite", "default.sqlite-wal", "default.sqlite-shm", "default.sqlite-journal",
                             "someone.sqlite"}) {
        QFile file(message + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_TRUE(folders().removePreLoginStore());
    EXPECT_EQ(QDir(message).entryList(QDir::Files), QStringList{QStringLiteral("someone.sqlite")});
    EXPECT_TRUE(folders().removePreLoginStore()); // nothing left to delete is no failure
}

} // namespace
