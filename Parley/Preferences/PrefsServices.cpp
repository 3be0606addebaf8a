#include "PrefsServices.h"

#include "DistributedNotificationCenter.h"
#include "PrefsEmoticonPalette.h"
#include "PrefsPlugInHost.h"
#include "PrefsShell.h"
#include "Utils/PrefsManager.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace parley {

namespace {

// Until the shell installs itself: nobody is signed in, pages of other sites
// open in the default browser, the portal's pages (which need the shell's
// bridge form) do nothing.
class StandInShell final : public PrefsShell
{
public:
    bool loginStatus() const override { return false; }
    QString currentUserID() const override { return PrefsManager::currentUserID(); }
    PrefsSession *session() override { return nullptr; }
    void terminateApplication() override { QCoreApplication::quit(); }
    void showBuddyProfile(const PLBuddyPtr &) override {}
    void showMyProfileSettings() override {}
    void showVelaJoin(bool) override {}
    void showVelaFindID(bool) override {}
    void openURL(const QUrl &url) override { QDesktopServices::openUrl(url); }
};

class StandInPlugInHost final : public PrefsPlugInHost
{
public:
    QList<QVariantMap> plugInList() const override { return {}; }
    bool isEnableAutoLaunchPlugIn(const QString &) const override { return false; }
    bool isInstalledPlugIn(const QString &) const override { return false; }
    bool isNeedUpdatePlugIn(const QString &) const override { return false; }
    bool isAutoLaunchPlugIn(const QString &) const override { return false; }
    void setPluginAutoLaunch(const QString &, bool) override {}
    void quitPlugin(const QString &, const QString &) override {}
    void removePlugIn(const QString &) override {}
    bool updatePlugIn(const QString &, bool) override { return false; }
    void showPlugInUpdater(const QString &, bool) override {}
};

class StandInPalette final : public PrefsEmoticonPalette
{
public:
    void showEmoticonPalette(const QPoint &, std::function<void(const QString &)>) override {}
    bool isWindowLoaded() const override { return false; }
    void close() override {}
};

PrefsShell *gShell = nullptr;
PrefsPlugInHost *gPlugInHost = nullptr;
PrefsEmoticonPalette *gPalette = nullptr;
DistributedNotificationCenter *gCenter = nullptr;

} // namespace

PrefsShell &PrefsServices::shell()
{
    static StandInShell standIn;
    return gShell ? *gShell : standIn;
}

PrefsPlugInHost &PrefsServices::plugInHost()
{
    static StandInPlugInHost standIn;
    return gPlugInHost ? *gPlugInHost : standIn;
}

PrefsEmoticonPalette &PrefsServices::emoticonPalette()
{
    static StandInPalette standIn;
    return gPalette ? *gPalette : standIn;
}

DistributedNotificationCenter &PrefsServices::distributedCenter()
{
    return gCenter ? *gCenter : DistributedNotificationCenter::defaultCenter();
}

void PrefsServices::setShell(PrefsShell *shell) { gShell = shell; }
void PrefsServices::setPlugInHost(PrefsPlugInHost *host) { gPlugInHost = host; }
void PrefsServices::setEmoticonPalette(PrefsEmoticonPalette *palette) { gPalette = palette; }
void PrefsServices::setDistributedCenter(DistributedNotificationCenter *center) { gCenter = center; }

} // namespace parley
