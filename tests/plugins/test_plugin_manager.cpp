// The plug-in manager: the server's records merged into what the user has,
// versions compared as numbers, plugin.plist as Python's plistlib reads it,
// one wait per plug-in, removal confined to the plug-in folder, and plug-in
// processes that outlive the objects that started them.
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInManager.h"
#include "PlugInNotifications.h"
#include "PlugInTestSupport.h"
#include "PropertyList.h"
#include "ShellDoubles.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

using namespace parley;
using namespace parley::plugins::test;

namespace {

const QString kBoxID = QLatin1String(notifications::kMessageBoxPlugInID);
const QString kOtherID = QStringLiteral("11111111-2222-3333-4444-555555555555");

class PlugInManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mHome.isValid());
        QDir().mkpath(plugInFolder());
        mBox = makePlugInBundle(plugInFolder(), QStringLiteral("Pigeonhole"), QStringLiteral("1.0"));
        mOther = makePlugInBundle(plugInFolder(), QStringLiteral("Other"), QStringLiteral("1.9"));
        writeList({entry(kBoxID, QStringLiteral("Message Box"), mBox, QStringLiteral("1.0"), true),
                   entry(kOtherID, QStringLiteral("Other"), mOther, QStringLiteral("1.9"), false)});
        mManager = std::make_unique<PlugInManager>(&mScheduler, mHome.path());
        mManager->loadPlugInFromLocal(listPath());
    }

    QString plugInFolder() const { return mHome.path() + QStringLiteral("/Library/PlugIn"); }
    QString listPath() const { return plugInFolder() + QStringLiteral("/plugin.plist"); }
    static QVariantMap entry(const QString &id, const QString &name, const QString &path, const QString &version,
                             bool autolaunch)
    {
        return {{"id", id}, {"name", name}, {"description", name + QStringLiteral(" of ours")}, {"path", path},
                {"version", version}, {"autolaunch", autolaunch}, {"enableAutoLaunch", true}};
    }
    void writeList(const QVariantList &plugins)
    {
        ASSERT_TRUE(PropertyList::writeFile(listPath(), QVariantMap{{"plugins", plugins}}).isEmpty());
    }
    // plugin.plist as Python's plistlib reads it.
    QJsonObject listByPython() const
    {
        const QByteArray out = python(QStringLiteral("import json, plistlib, sys\n"
                                                     "with open(sys.argv[1], 'rb') as f: d = plistlib.load(f)\n"
                                                     "print(json.dumps(d))\n"),
                                      {}, {listPath()});
        return QJsonDocument::fromJson(out).object();
    }
    QVariantMap serverRecord(const QString &id, const QString &version, const QString &destination) const
    {
        return {{"uuid", id}, {"name", QStringLiteral("Server name")}, {"description", QStringLiteral("What is new")},
                {"version", version}, {"destination", destination}, {"source", QStringLiteral("https://u.test/x.zip")}};
    }

    QTemporaryDir mHome;
    QString mBox;
    QString mOther;
    parley::shell::test::ManualScheduler mScheduler;
    std::unique_ptr<PlugInManager> mManager;
};

} // namespace

TEST_F(PlugInManagerTest, LoadsTheListWithDefaultsForMissingKeys)
{
    EXPECT_EQ(mManager->plugInNames(), (QStringList{"Message Box", "Other"}));
    EXPECT_TRUE(mManager->isInstalledPlugIn(kBoxID));
    EXPECT_TRUE(mManager->isAutoLaunchPlugIn(kBoxID));
    EXPECT_FALSE(mManager->isAutoLaunchPlugIn(kOtherID));
    EXPECT_FALSE(mManager->isNeedUpdatePlugIn(kBoxID));
    EXPECT_DOUBLE_EQ(mManager->plugInVersionForID(kOtherID), 1.9);
    EXPECT_EQ(PlugInManager::executablePath(mBox), mBox + QStringLiteral("/Contents/MacOS/Pigeonhole"));
    // An entry whose bundle is gone is not loaded.
    QDir(mOther).removeRecursively();
    PlugInManager again(&mScheduler, mHome.path());
    again.loadPlugInFromLocal(listPath());
    EXPECT_EQ(again.plugInNames(), QStringList{"Message Box"});
}

TEST_F(PlugInManagerTest, ServerRecordsMergeIntoWhatTheUserHas)
{
    struct Case {
        const char *name;
        QString id;
        QString serverVersion;
        QString destination;
        bool needUpdate;
    };
    const Case cases[] = {
        {"1.0 against 1.01 is older", kBoxID, "1.01", "~/Library/PlugIn/Pigeonhole.app", true},
        {"1.0 against 1.0 is current", kBoxID, "1.0", "~/Library/PlugIn/Pigeonhole.app", false},
        {"1.9 against 1.10 is newer (1.10 is 1.1)", kOtherID, "1.10", "~/Library/PlugIn/Other.app", false},
        {"1.9 against 2.0.1 is older", kOtherID, "2.0.1", "~/Library/PlugIn/Other.app", true},
        {"no number counts 0", kOtherID, "beta", "~/Library/PlugIn/Other.app", false},
        // The server's destination never moves the installed bundle.
        {"elsewhere", kBoxID, "3.0", "~/Documents/Pigeonhole.app", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QVariantMap before = mManager->pluginForID(c.id);
        mManager->addPluginForUpdate(serverRecord(c.id, c.serverVersion, c.destination));
        const QVariantMap after = mManager->pluginForID(c.id);
        EXPECT_EQ(after.value("needUpdate").toBool(), c.needUpdate);
        for (const char *kept : {"path", "version", "description", "autolaunch", "enableAutoLaunch", "name"})
            EXPECT_EQ(after.value(QLatin1String(kept)), before.value(QLatin1String(kept))) << kept;
        if (c.needUpdate) {
            EXPECT_EQ(after.value("newVersion").toString(), c.serverVersion);
            EXPECT_EQ(after.value("updateInfo").toString(), QStringLiteral("What is new"));
        }
        // The merged entry moves to the end of the list.
        EXPECT_EQ(mManager->plugInList().last().value("id").toString(), c.id);
    }
}

TEST_F(PlugInManagerTest, AnInstalledBundleThatIsGoneCountsAsVersionZero)
{
    QDir(mOther).removeRecursively();
    mManager->addPluginForUpdate(serverRecord(kOtherID, QStringLiteral("0.1"), QStringLiteral("~/Library/PlugIn/Other.app")));
    EXPECT_TRUE(mManager->isNeedUpdatePlugIn(kOtherID));
    EXPECT_FALSE(mManager->isInstalledPlugIn(kOtherID));
}

TEST_F(PlugInManagerTest, AnOfferedPlugInIsListedOnlyInsideThePlugInFolder)
{
    const QString newID = QStringLiteral("99999999-2222-3333-4444-555555555555");
    struct Case {
        const char *destination;
        bool listed;
    };
    const Case cases[] = {
        {"~/Library/PlugIn/New.app", true},
        {"/Library/PlugIn/New.app", true}, // the same path: under the home folder
        {"Library/PlugIn/New.app", true},
        {"~/Documents", false},
        {"~/Library/PlugIn/../../Documents/New.app", false},
        {"~/Library/PlugIn/New.txt", false},
        {"~/Library/PlugIn", false},
        {"~/Library/Elsewhere/New.app", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.destination);
        mManager->removePlugIn(newID);
        mManager->addPluginForUpdate(serverRecord(newID, QStringLiteral("2.5"), QLatin1String(c.destination)));
        const QVariantMap added = mManager->pluginForID(newID);
        EXPECT_EQ(!added.isEmpty(), c.listed);
        if (!c.listed)
            continue;
        EXPECT_EQ(added.value("path").toString(), plugInFolder() + QStringLiteral("/New.app"));
        EXPECT_EQ(added.value("version").toString(), QStringLiteral("2.5"));
        EXPECT_EQ(added.value("newVersion").toString(), QStringLiteral("2.5"));
        EXPECT_EQ(added.value("description").toString(), QStringLiteral("Server name"));
        EXPECT_TRUE(added.value("needUpdate").toBool());
        EXPECT_FALSE(added.value("autolaunch").toBool());
        EXPECT_FALSE(added.value("enableAutoLaunch").toBool());
        EXPECT_FALSE(mManager->isInstalledPlugIn(newID));
    }
    // A record without one of its keys changes nothing.
    QVariantMap partial = serverRecord(newID, QStringLiteral("2.5"), QStringLiteral("~/Library/PlugIn/New.app"));
    partial.remove("description");
    mManager->removePlugIn(newID);
    mManager->addPluginForUpdate(partial);
    EXPECT_TRUE(mManager->pluginForID(newID).isEmpty());
}

TEST_F(PlugInManagerTest, PlugInListHoldsNoRunTimeKeys)
{
    mManager->addPluginForUpdate(serverRecord(kBoxID, QStringLiteral("2.0"), QStringLiteral("~/Library/PlugIn/Pigeonhole.app")));
    mManager->setPluginAutoLaunch(kOtherID, true);
    mManager->setPluginNeedUpdate(kBoxID, true);
    EXPECT_TRUE(mManager->isNeedUpdatePlugIn(kBoxID));
    const QJsonObject list = listByPython();
    ASSERT_TRUE(list.contains("plugins"));
    const QJsonArray plugins = list.value("plugins").toArray();
    ASSERT_EQ(plugins.size(), 2);
    for (const QJsonValue &value : plugins) {
        const QJsonObject plugin = value.toObject();
        for (const char *runTime : {"needUpdate", "newVersion", "updateInfo"})
            EXPECT_FALSE(plugin.contains(QLatin1String(runTime))) << runTime;
        if (plugin.value("id").toString() == kOtherID) {
            EXPECT_TRUE(plugin.value("autolaunch").toBool());
        }
        if (plugin.value("id").toString() == kBoxID) {
            // What the user has is what is stored: the path, the version, the description.
            EXPECT_EQ(plugin.value("path").toString(), mBox);
            EXPECT_EQ(plugin.value("version").toString(), QStringLiteral("1.0"));
            EXPECT_EQ(plugin.value("description").toString(), QStringLiteral("Message Box of ours"));
            EXPECT_TRUE(plugin.value("autolaunch").toBool());
            EXPECT_TRUE(plugin.value("enableAutoLaunch").toBool());
        }
    }
    mManager->setPluginVersion(kBoxID, QStringLiteral("2.0"));
    EXPECT_EQ(listByPython().value("plugins").toArray().last().toObject().value("version").toString(),
              QStringLiteral("2.0"));
}

TEST_F(PlugInManagerTest, RemovalDeletesOnlyInsideThePlugInFolder)
{
    QTemporaryDir outside;
    const QString foreign = makePlugInBundle(outside.path(), QStringLiteral("Foreign"), QStringLiteral("1.0"));
    const QString foreignID = QStringLiteral("66666666-2222-3333-4444-555555555555");
    mManager->addPluginForLocal(entry(foreignID, QStringLiteral("Foreign"), foreign, QStringLiteral("1.0"), false));
    ASSERT_TRUE(mManager->isInstalledPlugIn(foreignID));
    // A bundle inside reached through a link to a folder outside is outside too.
    ASSERT_TRUE(QFile::link(outside.path(), plugInFolder() + QStringLiteral("/link")));
    const QString linked = plugInFolder() + QStringLiteral("/link/Foreign.app");
    const QString linkedID = QStringLiteral("77777777-2222-3333-4444-555555555555");
    mManager->addPluginForLocal(entry(linkedID, QStringLiteral("Linked"), linked, QStringLiteral("1.0"), false));

    mManager->removePlugIn(foreignID);
    mManager->removePlugIn(linkedID);
    EXPECT_TRUE(QFileInfo(foreign + QStringLiteral("/Contents/Info.plist")).exists());
    EXPECT_TRUE(mManager->pluginForID(foreignID).isEmpty());
    EXPECT_TRUE(mManager->pluginForID(linkedID).isEmpty());

    mManager->removePlugIn(kOtherID);
    EXPECT_FALSE(QFileInfo::exists(mOther));
    EXPECT_TRUE(mManager->pluginForID(kOtherID).isEmpty());
    const QJsonArray plugins = listByPython().value("plugins").toArray();
    ASSERT_EQ(plugins.size(), 1);
    EXPECT_EQ(plugins[0].toObject().value("id").toString(), kBoxID);
    mManager->removePlugIn(QString());
    EXPECT_TRUE(QFileInfo::exists(mBox));
}

TEST_F(PlugInManagerTest, OneWaitPerPlugInWithTheFirstKey)
{
    QStringList keys;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        QLatin1String(notifications::kPlugInQuit), nullptr, [&](const Notification &n) {
            keys << n.userInfo.value("id").toString() + QLatin1Char(' ') + n.userInfo.value("key").toString();
        });
    mManager->quitPlugin(kBoxID, QStringLiteral("first"));
    mManager->quitPlugin(kBoxID, QStringLiteral("second"));
    EXPECT_EQ(mScheduler.pendingCount(), 1);
    EXPECT_EQ(mScheduler.delays, QList<double>{0.5});
    EXPECT_EQ(mManager->willQuitPlugInList(), QStringList{kBoxID});
    EXPECT_TRUE(mScheduler.runNext());
    EXPECT_EQ(keys, QStringList{kBoxID + QStringLiteral(" first")});
    EXPECT_TRUE(mManager->willQuitPlugInList().isEmpty());
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(PlugInManagerTest, APlugInProcessOutlivesTheObjectThatStartedIt)
{
    ASSERT_NE(parley::shell::test::privateCenter(), nullptr) << "no private session bus";
    QTemporaryDir scratch;
    const QString pids = scratch.filePath(QStringLiteral("pids"));
    const QByteArray oldBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", parley::shell::test::privateBusAddress().toUtf8());
    qputenv("PARLEY_TEST_PLUGIN_PIDS", pids.toUtf8());
    int asked = 0;
    DistributedNotificationCenter &bus = *parley::shell::test::privateCenter();
    const auto token = bus.addObserver(QLatin1String(notifications::kPlugUserInfo),
                                       [&](const DistributedNotification &) { ++asked; });
    const auto readPids = [&] {
        QFile file(pids);
        QList<qint64> out;
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray &line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    out.append(line.toLongLong());
        return out;
    };

    // Started twice: the second process object replaces the first, which must not kill its child.
    ASSERT_TRUE(mManager->plugInExecute(kBoxID));
    ASSERT_TRUE(parley::test::waitUntil([&] { return asked == 1; }, 20000));
    ASSERT_TRUE(mManager->plugInExecute(kBoxID));
    ASSERT_TRUE(parley::test::waitUntil([&] { return asked == 2; }, 20000));
    QList<qint64> running = readPids();
    ASSERT_EQ(running.size(), 2);
    parley::test::waitUntil([] { return false; }, 200);
    EXPECT_EQ(::kill(pid_t(running[0]), 0), 0) << "the first plug-in was ended with its object";
    EXPECT_TRUE(mManager->isPlugInRunning(kBoxID));
    // A sign-out forgets the processes; they run on until told to quit.
    mManager->reset();
    EXPECT_FALSE(mManager->isPlugInRunning(kBoxID));
    EXPECT_EQ(::kill(pid_t(running[1]), 0), 0);

    plugin::postQuitPlugInProcess(QString(), bus);
    const auto gone = [](qint64 pid) {
        // A child not yet reaped still answers; its state says it has ended.
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        return close > 0 && text.mid(close + 2, 1) == "Z";
    };
    EXPECT_TRUE(parley::test::waitUntil([&] { return gone(running[0]) && gone(running[1]); }, 20000));
    bus.removeObserver(token);
    qputenv("DBUS_SESSION_BUS_ADDRESS", oldBus);
    qunsetenv("PARLEY_TEST_PLUGIN_PIDS");

    // A bundle without its executable is not started.
    QFile::remove(PlugInManager::executablePath(mOther));
    EXPECT_FALSE(mManager->plugInExecute(kOtherID));
    EXPECT_FALSE(mManager->plugInExecute(QStringLiteral("no such plug-in")));
}
