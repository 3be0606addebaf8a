// Updates: where lists and archives may come from, the version comparison,
// archives that are refused before unzip runs, and the whole update end to
// end with the local service serving the lists and a zip built here: the
// real unzip, the install by rename, plugin.plist and the updater window;
// then hostile archives and records, which leave the installed plug-in as it was.
#include "LocalService.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLUpdateManager.h"
#include "PlugInArchive.h"
#include "PlugInManager.h"
#include "PlugInPaths.h"
#include "PlugInTestSupport.h"
#include "PropertyList.h"
#include "ScriptedAlerts.h"
#include "ShellDoubles.h"
#include "ShellWindows.h"
#include "TestSupport.h"
#include "UpdateController.h"
#include "PlugInPrefsHost.h"
#include "Preferences/PlugInPane.h"
#include "Preferences/PrefsPane.h"
#include "Preferences/PrefsServices.h"
#include "UpdateDecisions.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"
#include "WebServer.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace parley;
using namespace parley::plugins::test;

namespace {

const QString kBoxID = QLatin1String(notifications::kMessageBoxPlugInID);

QString pyString(const QString &text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

struct ZipEntry {
    QString name;
    QByteArray data;
    int mode; // Unix mode with its type bits
};

// Writes a zip with Python's zipfile, entries as given (names included).
bool pythonZip(const QString &path, const QList<ZipEntry> &entries)
{
    QString script = QStringLiteral("import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1], 'w')\n");
    for (const ZipEntry &e : entries)
        script += QStringLiteral("i = zipfile.ZipInfo(%1)\ni.create_system = 3\ni.external_attr = 0o%2 << 16\n"
                                 "z.writestr(i, bytes.fromhex('%3'))\n")
                      .arg(pyString(e.name), QString::number(e.mode, 8), QString::fromLatin1(e.data.toHex()));
    script += QStringLiteral("z.close()\nprint('ok')\n");
    return python(script, {}, {path}).trimmed() == "ok";
}

// The `zip` tool, run in `folder` on `paths`; with `symlinks` links are stored as links.
bool zipTool(const QString &folder, const QString &archive, const QStringList &paths, bool symlinks = false)
{
    QProcess zip;
    zip.setWorkingDirectory(folder);
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("-r")};
    if (symlinks)
        arguments << QStringLiteral("--symlinks");
    zip.start(QStringLiteral("zip"), arguments << archive << paths);
    return zip.waitForFinished(60000) && zip.exitCode() == 0;
}

// A plug-in bundle's tree in `folder` (Info.plist of that version and a marker file).
QString bundleTree(const QString &folder, const QString &name, const QString &version, const QByteArray &marker)
{
    const QString bundle = folder + QLatin1Char('/') + name;
    QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS"));
    if (!PropertyList::writeFile(bundle + QStringLiteral("/Contents/Info.plist"),
                                 QVariantMap{{QStringLiteral("CFBundleVersion"), version}})
             .isEmpty())
        return {};
    QFile file(bundle + QStringLiteral("/Contents/MacOS/marker"));
    file.open(QIODevice::WriteOnly);
    file.write(marker);
    return bundle;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(UpdateDecisions, ListsAndArchivesComeOverHttpsOrFromThisMachine)
{
    struct Case {
        const char *url;
        bool allowed;
    };
    const Case cases[] = {
        {"https://update.parley.test/mac/plugIns.plist", true},
        {"https://10.1.2.3/x.zip", true},
        {"http://127.0.0.1:8080/mac/x.zip", true},
        {"http://127.9.9.9/x.zip", true},
        {"http://[::1]:80/x.zip", true},
        {"http://localhost/x.zip", true},
        {"http://update.parley.test/mac/plugIns.plist", false},
        {"http://10.0.0.1/x.zip", false},
        {"http://127.0.0.1.evil.test/x.zip", false},
        {"ftp://127.0.0.1/x.zip", false},
        {"file:///tmp/x.zip", false},
        {"", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(UpdateDecisions::isAllowedDownloadURL(QUrl(QLatin1String(c.url))), c.allowed);
    }
    EXPECT_TRUE(UpdateDecisions::isOpenableInBrowser(QUrl(QStringLiteral("http://dl.test/Parley.pkg"))));
    EXPECT_FALSE(UpdateDecisions::isOpenableInBrowser(QUrl(QStringLiteral("file:///bin/sh"))));
    EXPECT_FALSE(UpdateDecisions::isOpenableInBrowser(QUrl(QStringLiteral("javascript:alert(1)"))));
}

TEST(UpdateDecisions, MainVersionsCompareFieldByFieldAsNumbers)
{
    struct Case {
        const char *latest;
        const char *own;
        bool newer;
    };
    const Case cases[] = {
        {"3.2.1", "3.2.0", true}, {"3.10", "3.9", true},   {"3.9", "3.10", false}, {"3.2.0", "3.2.0", false},
        // A field one of them lacks counts 0 (the comparison never runs past the shorter one).
        {"3.2.1", "3.2", true},   {"3.2", "3.2.1", false}, {"3.2.0", "3.2", false}, {"4", "3.99.99", true},
        {"x.1", "0.0", true},     {"", "0.1", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.latest) + " vs " + c.own);
        EXPECT_EQ(UpdateDecisions::isNewerMainVersion(QLatin1String(c.latest), QLatin1String(c.own)), c.newer);
    }
}

TEST(PlugInPaths, ArchiveNamesAreSanitised)
{
    EXPECT_EQ(PlugInPaths::archiveFileName(QStringLiteral("/mac/Pigeonhole-2.0.zip")), QStringLiteral("Pigeonhole-2.0.zip"));
    EXPECT_EQ(PlugInPaths::archiveFileName(QStringLiteral("/mac/..")), QStringLiteral("download.zip"));
    EXPECT_EQ(PlugInPaths::archiveFileName(QStringLiteral("/mac/")), QStringLiteral("download.zip"));
    EXPECT_EQ(PlugInPaths::archiveFileName(QStringLiteral("/.hidden.zip")), QStringLiteral("hidden.zip"));
    EXPECT_EQ(PlugInPaths::archiveFileName(QString::fromUtf8("/a b;c`$(x)한.zip")), QStringLiteral("a_b_c___x__.zip"));
}

TEST(PlugInArchive, EntriesThatLeaveTheFolderOrAreLinksAreRefusedBeforeUnzip)
{
    QTemporaryDir dir;
    const QByteArray text = "x";
    struct Case {
        const char *name;
        QList<ZipEntry> entries;
        bool refused;
    };
    const Case cases[] = {
        {"plain bundle", {{"P.app/Contents/Info.plist", text, 0100644}, {"P.app/Contents/MacOS/", {}, 040755}}, false},
        {"a link", {{"P.app/Contents/x", "/etc/passwd", 0120777}}, true},
        {"a parent step", {{"../evil.app/x", text, 0100644}}, true},
        {"a parent step inside", {{"P.app/../../x", text, 0100644}}, true},
        {"an absolute name", {{"/tmp/evil", text, 0100644}}, true},
        {"a backslash", {{"P.app\\..\\x", text, 0100644}}, true},
        {"a drive", {{"C:/x", text, 0100644}}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString archive = dir.filePath(QString(QLatin1String(c.name)).replace(QLatin1Char(' '), QLatin1Char('_')) + QStringLiteral(".zip"));
        ASSERT_TRUE(pythonZip(archive, c.entries));
        QString why;
        const QString unpacked = dir.filePath(QStringLiteral("out"));
        EXPECT_EQ(!PlugInArchive::unzip(archive, unpacked, &why), c.refused) << why.toStdString();
        if (!c.refused) {
            EXPECT_TRUE(QFileInfo(unpacked + QStringLiteral("/P.app/Contents/Info.plist")).isFile());
        } else {
            EXPECT_FALSE(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("evil.app"))));
        }
    }
    // What is no zip file is refused too.
    QFile junk(dir.filePath(QStringLiteral("junk.zip")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(100, 'j'));
    junk.close();
    QString why;
    EXPECT_FALSE(PlugInArchive::unzip(junk.fileName(), dir.filePath(QStringLiteral("out2")), &why));
}

TEST(PlugInArchive, AZipToolLinkIsFoundInTheListing)
{
    QTemporaryDir dir;
    const QString tree = dir.filePath(QStringLiteral("tree"));
    ASSERT_FALSE(bundleTree(tree, QStringLiteral("P.app"), QStringLiteral("1.0"), "m").isEmpty());
    ASSERT_TRUE(QFile::link(QStringLiteral("/etc/hostname"), tree + QStringLiteral("/P.app/Contents/hostname")));
    ASSERT_TRUE(zipTool(tree, dir.filePath(QStringLiteral("l.zip")), {QStringLiteral("P.app")}, true));
    QList<PlugInArchive::Entry> entries;
    QString why;
    ASSERT_TRUE(PlugInArchive::listEntries(dir.filePath(QStringLiteral("l.zip")), &entries, &why));
    int links = 0;
    for (const PlugInArchive::Entry &e : entries)
        links += e.isLink ? 1 : 0;
    EXPECT_EQ(links, 1);
    EXPECT_FALSE(PlugInArchive::unzip(dir.filePath(QStringLiteral("l.zip")), dir.filePath(QStringLiteral("out")), &why));
}

namespace {

// The update host of the local service, a plug-in folder with an installed
// message box, and the update manager between them.
class UpdatesEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mHome.isValid() && mServed.isValid());
        localservice::ServiceOptions options;
        options.updateFolder = mServed.path();
        QString error;
        mService = std::make_unique<localservice::LocalService>();
        ASSERT_TRUE(mService->start(options, &error)) << error.toStdString();
        mBase = QStringLiteral("http://127.0.0.1:%1").arg(mService->webPort());
        PLEndpoints endpoints;
        endpoints.webUpdate = mBase;
        PLEndpoints::setCurrent(endpoints);
        PLConfManager::sharedManager().setMConfDict(QVariantMap{});

        QDir().mkpath(plugInFolder());
        mInstalled = bundleTree(plugInFolder(), QStringLiteral("Pigeonhole.app"), QStringLiteral("1.0"), "old");
        ASSERT_TRUE(PropertyList::writeFile(listPath(),
                                            QVariantMap{{"plugins", QVariantList{QVariantMap{
                                                                        {"id", kBoxID},
                                                                        {"name", QStringLiteral("Message Box")},
                                                                        {"description", QStringLiteral("Ours")},
                                                                        {"path", mInstalled},
                                                                        {"version", QStringLiteral("1.0")},
                                                                        {"autolaunch", true},
                                                                        {"enableAutoLaunch", false}}}}})
                        .isEmpty());
        mPlugIns = std::make_unique<PlugInManager>(&mScheduler, mHome.path());
        mPlugIns->loadPlugInFromLocal(listPath());
        mUpdates = std::make_unique<PLUpdateManager>(*mPlugIns, &mScheduler, mHome.path());
        shell::ShellWindows::setPlugInManager(mPlugIns.get());
        UpdateController::setScheduler(&mScheduler);
        mToken = NotificationCenter::defaultCenter().addObserver(QString(), nullptr, [this](const Notification &n) {
            if (n.name.startsWith(QLatin1String("UpdateManager")) || n.name.startsWith(QLatin1String("UpdateController")))
                posted.append(n);
        });
    }
    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(mToken);
        UpdateController::setScheduler(nullptr);
        shell::ShellWindows::setPlugInManager(nullptr);
        mUpdates.reset();
        mPlugIns.reset();
        mService.reset();
        PLConfManager::sharedManager().resetForTesting();
        PLEndpoints::setCurrent(PLEndpoints());
    }

    QString plugInFolder() const { return mHome.path() + QStringLiteral("/Library/PlugIn"); }
    QString listPath() const { return plugInFolder() + QStringLiteral("/plugin.plist"); }
    QString served(const QString &name) const { return mServed.path() + QLatin1Char('/') + name; }

    // The lists the host serves: the messenger's, and one plug-in record.
    void serveLists(const QString &source, const QString &destination = QStringLiteral("~/Library/PlugIn/Pigeonhole.app"),
                    const QString &version = QStringLiteral("2.0"))
    {
        ASSERT_TRUE(PropertyList::writeFile(served(QStringLiteral("installpackage.plist")),
                                            QVariantMap{{"latestInstallPackage",
                                                         QVariantMap{{"version", QStringLiteral("9.1.0")},
                                                                     {"buildNo", 77},
                                                                     {"source", QStringLiteral("https://dl.test/P.pkg")}}}})
                        .isEmpty());
        ASSERT_TRUE(PropertyList::writeFile(served(QStringLiteral("plugIns.plist")),
                                            QVariantMap{{kBoxID, QVariantMap{{"uuid", kBoxID},
                                                                             {"name", QStringLiteral("Message Box")},
                                                                             {"description", QStringLiteral("Faster search")},
                                                                             {"version", version},
                                                                             {"source", source},
                                                                             {"destination", destination}}}})
                        .isEmpty());
    }
    // A good archive of version 2.0 built with the zip tool.
    void serveGoodArchive(const QString &name = QStringLiteral("Pigeonhole-2.0.zip"))
    {
        QTemporaryDir tree;
        ASSERT_FALSE(bundleTree(tree.path(), QStringLiteral("Pigeonhole.app"), QStringLiteral("2.0"), "new").isEmpty());
        ASSERT_TRUE(zipTool(tree.path(), served(name), {QStringLiteral("Pigeonhole.app")}));
    }
    // Fetches both lists and merges the plug-in list as the controller does.
    void checkVersions()
    {
        posted.clear();
        mUpdates->checkVersion();
        ASSERT_TRUE(mScheduler.runNext()); // the second's pause
        ASSERT_TRUE(parley::test::waitUntil([this] { return mUpdates->mIsPlugInVersionCheckCompleted(); }, 20000));
        for (const QVariant &record : mUpdates->mPlugInDict())
            mPlugIns->addPluginForUpdate(record.toMap());
    }
    std::optional<Notification> waitForResult()
    {
        parley::test::waitUntil([this] { return !named(notifications::kUpdateManagerPlugInUpdateResult).isEmpty(); },
                                30000);
        const QList<Notification> results = named(notifications::kUpdateManagerPlugInUpdateResult);
        return results.isEmpty() ? std::nullopt : std::optional<Notification>(results.last());
    }
    QList<Notification> named(const char *name) const
    {
        QList<Notification> out;
        for (const Notification &n : posted)
            if (n.name == QLatin1String(name))
                out.append(n);
        return out;
    }
    bool installedUntouched() const
    {
        return readFile(mInstalled + QStringLiteral("/Contents/MacOS/marker")) == "old"
            && PlugInManager::plugInVersionForPath(mInstalled) == 1.0;
    }

    QTemporaryDir mHome;
    QTemporaryDir mServed;
    std::unique_ptr<localservice::LocalService> mService;
    QString mBase;
    QString mInstalled;
    parley::shell::test::ManualScheduler mScheduler;
    std::unique_ptr<PlugInManager> mPlugIns;
    std::unique_ptr<PLUpdateManager> mUpdates;
    QList<Notification> posted;
    NotificationCenter::Token mToken = 0;
};

} // namespace

TEST_F(UpdatesEndToEnd, APlugInUpdateIsDownloadedUnpackedAndPutInPlace)
{
    parley::test::ScriptedAlerts alerts;
    serveGoodArchive();
    serveLists(mBase + QStringLiteral("/mac/Pigeonhole-2.0.zip"));
    checkVersions();
    // Both lists came from the update host's default paths.
    ASSERT_EQ(named(notifications::kUpdateManagerMainVersionChecked).size(), 1);
    EXPECT_EQ(named(notifications::kUpdateManagerMainVersionChecked)[0].userInfo,
              (QVariantMap{{"latestMainVersion", "9.1.0"}, {"latestMainBuildNo", 77}, {"mainDownloadURL", "https://dl.test/P.pkg"}}));
    EXPECT_EQ(mUpdates->latestMainVersion(), QStringLiteral("9.1.0"));
    ASSERT_TRUE(mPlugIns->isNeedUpdatePlugIn(kBoxID));

    ASSERT_TRUE(mUpdates->updatePlugIn(kBoxID, true));
    EXPECT_FALSE(mUpdates->updatePlugIn(kBoxID, true)); // one download at a time
    UpdateController *updater = UpdateController::showPlugInUpdater(kBoxID, false);
    QPointer<UpdateController> window(updater);
    const auto result = waitForResult();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->userInfo, (QVariantMap{{"result", true}}));
    EXPECT_EQ(named(notifications::kUpdateManagerPlugInDownloaded).size(), 1);
    const QList<Notification> progress = named(notifications::kUpdateManagerPlugInUpdateProgress);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_DOUBLE_EQ(progress.last().userInfo.value("progress").toDouble(), 100.0);
    EXPECT_EQ(progress.last().userInfo.value("downloadSize"), progress.last().userInfo.value("fileSize"));

    // The new bundle is in place, whole; nothing is left beside it.
    EXPECT_EQ(readFile(mInstalled + QStringLiteral("/Contents/MacOS/marker")), QByteArray("new"));
    EXPECT_EQ(QDir(plugInFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"Pigeonhole.app", "plugin.plist"}));
    const QVariantList plugins = PropertyList::readFile(listPath()).value.toMap().value("plugins").toList();
    ASSERT_EQ(plugins.size(), 1);
    EXPECT_EQ(plugins[0].toMap().value("version").toString(), QStringLiteral("2.0"));
    EXPECT_TRUE(plugins[0].toMap().value("autolaunch").toBool());

    // The updater shows the installation, then finishes two seconds later.
    ASSERT_TRUE(window);
    EXPECT_EQ(window->mProgressMessage->text(), KCLocalizedString(QStringLiteral("UpdateInstall")));
    EXPECT_EQ(mScheduler.delays.last(), 2.0);
    ASSERT_TRUE(mScheduler.runNext());
    EXPECT_FALSE(mPlugIns->isNeedUpdatePlugIn(kBoxID));
    EXPECT_EQ(mPlugIns->pluginForID(kBoxID).value("version").toString(), QStringLiteral("2.0"));
    ASSERT_EQ(named(notifications::kUpdateControllerCompleted).size(), 1);
    EXPECT_EQ(named(notifications::kUpdateControllerCompleted)[0].userInfo.value("id").toString(), kBoxID);
    parley::test::waitUntil([&] { return window.isNull(); }, 2000);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(UpdatesEndToEnd, HostileArchivesAndRecordsLeaveTheInstalledPlugInAlone)
{
    parley::test::ScriptedAlerts alerts;
    struct Case {
        const char *name;
        QList<ZipEntry> entries; // empty: the good archive of the zip tool
        QString destination;
        QString message; // empty: updatePlugIn refuses at once
        const char *source = nullptr; // instead of the served archive
    };
    const QByteArray info = PropertyList::write(QVariantMap{{"CFBundleVersion", "2.0"}}).data;
    const Case cases[] = {
        {"a link in the archive",
         {{"Pigeonhole.app/Contents/Info.plist", info, 0100644}, {"Pigeonhole.app/Contents/MacOS/marker", "/etc/hostname", 0120777}},
         "~/Library/PlugIn/Pigeonhole.app", QLatin1String(PLUpdateManager::kCanNotUnzip)},
        {"a parent step in the archive",
         {{"Pigeonhole.app/Contents/Info.plist", info, 0100644}, {"../../escaped", "x", 0100644}},
         "~/Library/PlugIn/Pigeonhole.app", QLatin1String(PLUpdateManager::kCanNotUnzip)},
        {"a destination in the documents", {}, "~/Documents/Pigeonhole.app", QLatin1String(PLUpdateManager::kCanNotCopy)},
        {"a destination that is the documents", {}, "~/Documents", QLatin1String(PLUpdateManager::kCanNotCopy)},
        {"a destination outside the home", {}, "~/../../tmp/Pigeonhole.app", QLatin1String(PLUpdateManager::kCanNotCopy)},
        {"a bundle of another name", {}, "~/Library/PlugIn/Other.app", QLatin1String(PLUpdateManager::kCanNotCopy)},
        {"a missing archive", {}, "~/Library/PlugIn/Pigeonhole.app", QLatin1String(PLUpdateManager::kCanNotDownload),
         "/mac/missing.zip"},
        {"plain http from another host", {}, "~/Library/PlugIn/Pigeonhole.app", QString(), "http://update.parley.test/x.zip"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(served(QStringLiteral("P.zip")));
        if (c.entries.isEmpty())
            serveGoodArchive(QStringLiteral("P.zip"));
        else
            ASSERT_TRUE(pythonZip(served(QStringLiteral("P.zip")), c.entries));
        const QString source = !c.source                              ? mBase + QStringLiteral("/mac/P.zip")
                             : QLatin1String(c.source).startsWith('/') ? mBase + QLatin1String(c.source)
                                                                       : QString(QLatin1String(c.source));
        serveLists(source, c.destination);
        PLUpdateManager updates(*mPlugIns, &mScheduler, mHome.path());
        posted.clear();
        updates.checkVersion();
        ASSERT_TRUE(mScheduler.runNext());
        ASSERT_TRUE(parley::test::waitUntil([&] { return updates.mIsPlugInVersionCheckCompleted(); }, 20000));
        if (c.message.isEmpty()) {
            EXPECT_FALSE(updates.updatePlugIn(kBoxID, true));
        } else {
            ASSERT_TRUE(updates.updatePlugIn(kBoxID, true));
            parley::test::waitUntil([&] { return !named(notifications::kUpdateManagerPlugInUpdateResult).isEmpty(); }, 30000);
            const QList<Notification> results = named(notifications::kUpdateManagerPlugInUpdateResult);
            ASSERT_EQ(results.size(), 1);
            EXPECT_EQ(results[0].userInfo, (QVariantMap{{"result", false}, {"message", c.message}}));
            // A failed update may be tried again.
            EXPECT_TRUE(updates.updateRecord(kBoxID).isEmpty());
        }
        EXPECT_TRUE(installedUntouched());
        EXPECT_FALSE(QFileInfo::exists(mHome.path() + QStringLiteral("/Documents/Pigeonhole.app")));
        EXPECT_FALSE(QFileInfo::exists(mHome.path() + QStringLiteral("/Library/escaped")));
        EXPECT_EQ(QDir(plugInFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  (QStringList{"Pigeonhole.app", "plugin.plist"}));
    }
}

TEST_F(UpdatesEndToEnd, AFailedDownloadEndsTheUpdaterAndAllowsARetry)
{
    parley::test::ScriptedAlerts alerts;
    serveLists(mBase + QStringLiteral("/mac/late.zip"));
    checkVersions();
    ASSERT_TRUE(mUpdates->updatePlugIn(kBoxID, true));
    QPointer<UpdateController> window(UpdateController::showPlugInUpdater(kBoxID, true));
    ASSERT_TRUE(waitForResult());
    EXPECT_EQ(alerts.keys(), QStringList{"UpdateErrorMessage"});
    parley::test::waitUntil([&] { return window.isNull(); }, 2000);
    EXPECT_TRUE(window.isNull());
    // Once the archive is there, the same update goes through.
    serveGoodArchive(QStringLiteral("late.zip"));
    posted.clear();
    ASSERT_TRUE(mUpdates->updatePlugIn(kBoxID, true));
    const auto result = waitForResult();
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->userInfo.value("result").toBool());
    EXPECT_EQ(readFile(mInstalled + QStringLiteral("/Contents/MacOS/marker")), QByteArray("new"));
}

TEST_F(UpdatesEndToEnd, ListsFromElsewhereOrWithoutASourceAreErrors)
{
    // The configured addresses win over the defaults; plain http from another host is not fetched.
    PLConfManager::sharedManager().setMConfDict(
        QVariantMap{{"MAC:main_plist_url", QStringLiteral("http://update.parley.test/mac/installpackage.plist")},
                    {"MAC:plugin_plist_url", mBase + QStringLiteral("/mac/other.plist")}});
    EXPECT_EQ(PLUpdateManager::plugInListURL(), QUrl(mBase + QStringLiteral("/mac/other.plist")));
    serveLists(mBase + QStringLiteral("/mac/x.zip"));
    checkVersions();
    EXPECT_EQ(named(notifications::kUpdateManagerMainVersionChecked)[0].userInfo, (QVariantMap{{"error", true}}));
    EXPECT_EQ(named(notifications::kUpdateManagerPlugInVersionChecked)[0].userInfo, (QVariantMap{{"error", true}}));

    // A messenger list without its source is an error too.
    PLConfManager::sharedManager().setMConfDict(QVariantMap{});
    ASSERT_TRUE(PropertyList::writeFile(served(QStringLiteral("installpackage.plist")),
                                        QVariantMap{{"latestInstallPackage", QVariantMap{{"version", "9.0"}}}})
                    .isEmpty());
    PLUpdateManager updates(*mPlugIns, &mScheduler, mHome.path());
    posted.clear();
    updates.checkVersion();
    ASSERT_TRUE(mScheduler.runNext());
    ASSERT_TRUE(parley::test::waitUntil([&] { return updates.mIsPlugInVersionCheckCompleted(); }, 20000));
    EXPECT_EQ(named(notifications::kUpdateManagerMainVersionChecked)[0].userInfo, (QVariantMap{{"error", true}}));
    EXPECT_FALSE(named(notifications::kUpdateManagerPlugInVersionChecked)[0].userInfo.contains("error"));
}

TEST(PLUpdateManager, ProgressWithoutALengthShowsNoPercentage)
{
    // The updater with a record of unknown size: busy, and the size shown as unknown.
    PlugInManager plugIns;
    shell::ShellWindows::setPlugInManager(&plugIns);
    const QString id = QStringLiteral("some-plug-in");
    QPointer<UpdateController> window(UpdateController::showPlugInUpdater(id, false));
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kUpdateManagerPlugInUpdateProgress), nullptr,
                                             {{"uuid", id}, {"fileSize", qint64(0)}, {"downloadSize", qint64(4096)}});
    EXPECT_EQ(window->mProgress->maximum(), 0);
    EXPECT_EQ(window->mProgressMessage->text(),
              KCLocalizedString(QStringLiteral("UpdateDownloadInfo")).arg(QStringLiteral("4KB"), QStringLiteral("?")));
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kUpdateManagerPlugInUpdateProgress), nullptr,
                                             {{"uuid", id}, {"fileSize", qint64(8192)}, {"downloadSize", qint64(4096)},
                                              {"progress", 50.0}});
    EXPECT_EQ(window->mProgress->maximum(), 100);
    EXPECT_EQ(window->mProgress->value(), 50);
    window->close();
    shell::ShellWindows::setPlugInManager(nullptr);
}

namespace {

const QString kOtherID = QStringLiteral("11111111-2222-3333-4444-555555555555");

// The preferences' plug-in pane on the real plug-in and update managers.
class PaneInstallEndToEnd : public UpdatesEndToEnd
{
protected:
    void SetUp() override
    {
        UpdatesEndToEnd::SetUp();
        if (HasFatalFailure())
            return;
        mHost = std::make_unique<PlugInPrefsHost>(*mPlugIns, *mUpdates);
        PrefsServices::setPlugInHost(mHost.get());
        mContext.signedIn = true;
        mContext.userID = QStringLiteral("me@parley.test");
        mPane = std::make_unique<PlugInPane>(mContext);
    }
    void TearDown() override
    {
        mPane.reset();
        PrefsServices::setPlugInHost(nullptr);
        mHost.reset();
        UpdatesEndToEnd::TearDown();
    }
    // The message box's list entry and another plug-in the service offers,
    // with its archive served when `archive`.
    void offerOther(bool archive)
    {
        if (archive) {
            QTemporaryDir tree;
            ASSERT_FALSE(bundleTree(tree.path(), QStringLiteral("Other.app"), QStringLiteral("2.0"), "other").isEmpty());
            ASSERT_TRUE(zipTool(tree.path(), served(QStringLiteral("Other-2.0.zip")), {QStringLiteral("Other.app")}));
        }
        serveLists(mBase + QStringLiteral("/mac/none.zip"));
        QVariantMap lists = PropertyList::readFile(served(QStringLiteral("plugIns.plist"))).value.toMap();
        lists.insert(kOtherID, QVariantMap{{"uuid", kOtherID},
                                           {"name", QStringLiteral("Other")},
                                           {"description", QStringLiteral("Another one")},
                                           {"version", QStringLiteral("2.0")},
                                           {"source", mBase + QStringLiteral("/mac/Other-2.0.zip")},
                                           {"destination", QStringLiteral("~/Library/PlugIn/Other.app")}});
        ASSERT_TRUE(PropertyList::writeFile(served(QStringLiteral("plugIns.plist")), lists).isEmpty());
        checkVersions();
        mPane->read();
    }
    int rowOf(const QString &name) const
    {
        for (int row = 0; row < mPane->table()->rowCount(); ++row)
            if (mPane->table()->item(row, 0)->text() == name)
                return row;
        return -1;
    }
    QString stateOf(const QString &name) const
    {
        const int row = rowOf(name);
        return row < 0 ? QString() : mPane->table()->item(row, 1)->text();
    }
    static bool updaterShown()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (qobject_cast<UpdateController *>(window) && window->isVisible())
                return true;
        return false;
    }

    std::unique_ptr<PlugInPrefsHost> mHost;
    PrefsContext mContext;
    std::unique_ptr<PlugInPane> mPane;
};

} // namespace

TEST_F(PaneInstallEndToEnd, InstallShowsItsProgressThenTheInstalledPlugInWithNothingToUpdate)
{
    parley::test::ScriptedAlerts alerts;
    offerOther(true);
    ASSERT_GE(rowOf(QStringLiteral("Other")), 0);
    EXPECT_EQ(stateOf(QStringLiteral("Other")), KCLocalizedString(QStringLiteral("NotInstalled")));
    mPane->table()->selectRow(rowOf(QStringLiteral("Other")));
    ASSERT_TRUE(mPane->installButton()->isEnabled());
    mPane->installButton()->click();
    EXPECT_FALSE(mPane->installProgressBar()->isHidden()) << "the install shows that it runs";
    EXPECT_FALSE(mPane->installButton()->isEnabled());
    ASSERT_TRUE(waitForResult());
    EXPECT_FALSE(named(notifications::kUpdateManagerPlugInUpdateProgress).isEmpty());

    EXPECT_TRUE(mPane->installProgressBar()->isHidden());
    EXPECT_EQ(stateOf(QStringLiteral("Other")), KCLocalizedString(QStringLiteral("Installed"))) << "the table is read again";
    EXPECT_EQ(mPane->nameField()->text(), QStringLiteral("Other")) << "the row stays selected";
    EXPECT_FALSE(mPane->installButton()->isEnabled());
    EXPECT_FALSE(mPane->updateButton()->isEnabled()) << "the version just installed is no update";
    EXPECT_TRUE(mPane->removeButton()->isEnabled());
    EXPECT_FALSE(mPlugIns->isNeedUpdatePlugIn(kOtherID));
    EXPECT_EQ(mPlugIns->pluginForID(kOtherID).value("version").toString(), QStringLiteral("2.0"));
    EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(PaneInstallEndToEnd, AFailedInstallIsToldAndCanBeTriedAgain)
{
    parley::test::ScriptedAlerts alerts;
    offerOther(false); // the archive is missing
    mPane->table()->selectRow(rowOf(QStringLiteral("Other")));
    mPane->installButton()->click();
    ASSERT_TRUE(waitForResult());
    EXPECT_EQ(alerts.keys(), QStringList{QStringLiteral("UpdateErrorMessage")});
    EXPECT_TRUE(mPane->installProgressBar()->isHidden());
    EXPECT_EQ(stateOf(QStringLiteral("Other")), KCLocalizedString(QStringLiteral("NotInstalled")));
    EXPECT_TRUE(mPane->installButton()->isEnabled()) << "it may be tried again";
}

TEST_F(PaneInstallEndToEnd, AnUpgradeThatCannotStartIsToldAndOpensNoUpdater)
{
    parley::test::ScriptedAlerts alerts;
    offerOther(true);
    ASSERT_TRUE(mPlugIns->isNeedUpdatePlugIn(kBoxID));
    // An update of the message box is under way already: another is refused.
    ASSERT_TRUE(mUpdates->updatePlugIn(kBoxID, true));
    mPane->table()->selectRow(rowOf(QStringLiteral("Message Box")));
    mPane->plugInQuit({{"id", kBoxID}, {"key", QLatin1String(PlugInPane::kUpdateKey)}});
    EXPECT_EQ(alerts.keys(), QStringList{QStringLiteral("UpdateErrorMessage")});
    EXPECT_FALSE(updaterShown()) << "an updater would wait for ever";
    waitForResult();
}
