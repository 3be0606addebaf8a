#include "ShellTestSupport.h"

#include "NotificationNames.h"
#include "PrivateBus.h"
#include "PropertyList.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace parley::shell::test {

namespace {

struct Bus {
    std::unique_ptr<parley::test::PrivateBus> daemon;
    std::unique_ptr<DistributedNotificationCenter> center;
};

Bus &bus()
{
    static Bus b = [] {
        Bus made;
        if (!parley::test::PrivateBus::available())
            return made;
        made.daemon = std::make_unique<parley::test::PrivateBus>();
        if (!made.daemon->isRunning())
            return made;
        made.center = std::make_unique<DistributedNotificationCenter>(
            made.daemon->connect(QStringLiteral("shell-tests")));
        return made;
    }();
    return b;
}

} // namespace

QString privateBusAddress() { return bus().daemon ? bus().daemon->address() : QString(); }

DistributedNotificationCenter *privateCenter() { return bus().center.get(); }

FreshSettings::FreshSettings(const QString &language) : mOldDataHome(qgetenv("XDG_DATA_HOME"))
{
    QDir().mkpath(supportFolder());
    QDir().mkpath(resourceFolder());
    qputenv("XDG_DATA_HOME", (root() + QStringLiteral("/data")).toUtf8());
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setPath(settingsFile());
    defaults.setObject(QStringList{language}, QLatin1String(kAppleLanguagesKey));
    // Tests run side by side: the transfer port is the kernel's choice.
    defaults.setString(QStringLiteral("0"), QStringLiteral("P2PPort"));
}

FreshSettings::~FreshSettings()
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setPath(QDir(parley::test::isolatedHome()).filePath(QStringLiteral("shell-defaults.plist")));
    defaults.setObject(QStringList{QStringLiteral("ko")}, QLatin1String(kAppleLanguagesKey));
    qputenv("XDG_DATA_HOME", mOldDataHome);
}

QString FreshSettings::supportFolder() const { return root() + QStringLiteral("/data/Parley"); }
QString FreshSettings::resourceFolder() const { return root() + QStringLiteral("/share/parley"); }
QString FreshSettings::settingsFile() const { return root() + QStringLiteral("/config/Parley.plist"); }

QString fakePlugInProgram() { return QStringLiteral(FAKE_PLUGIN_PROGRAM); }

QString makeMessageBoxBundle(const QString &resourceFolder, const QString &version, const QString &name)
{
    const QString bundle = resourceFolder + QStringLiteral("/Pigeonhole.app");
    QDir(bundle).removeRecursively();
    QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS"));
    QDir().mkpath(bundle + QStringLiteral("/Contents/Resources"));
    QVariantMap info{{QStringLiteral("CFBundleExecutable"), QStringLiteral("Pigeonhole")},
                     {QStringLiteral("CFBundleIdentifier"), QStringLiteral("org.parley.Pigeonhole")}};
    if (!version.isNull())
        info.insert(QStringLiteral("CFBundleVersion"), version);
    EXPECT_TRUE(PropertyList::writeFile(bundle + QStringLiteral("/Contents/Info.plist"), info).isEmpty());
    const QVariantMap description{{QStringLiteral("id"), QLatin1String(notifications::kMessageBoxPlugInID)},
                                  {QStringLiteral("name"), name},
                                  {QStringLiteral("version"), version.isNull() ? QStringLiteral("?") : version},
                                  {QStringLiteral("description"), QStringLiteral("Memos and chat logs")}};
    EXPECT_TRUE(
        PropertyList::writeFile(bundle + QStringLiteral("/Contents/Resources/description.plist"), description).isEmpty());
    EXPECT_TRUE(QFile::copy(fakePlugInProgram(), bundle + QStringLiteral("/Contents/MacOS/Pigeonhole")));
    return bundle;
}

} // namespace parley::shell::test
