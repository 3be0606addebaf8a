// The preferences window, one scene per pane, signed in as a user with a
// few buddies, a blocked one, two plug-ins and a linked sister-service
// account (on the portal login) or an unlinked portal account (on the
// sister-service login).
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "NotificationNames.h"
#include "Preferences/PlugInPane.h"
#include "Preferences/PrefsController.h"
#include "Preferences/PrefsPlugInHost.h"
#include "Preferences/PrefsServices.h"
#include "Preferences/PrefsShell.h"
#include "ScreenshotScenes.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLCurrentUserProvider.h"
#include "Utils/PrefsManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QTableWidget>

namespace parley::screenshots {

namespace {

class SceneShell final : public PrefsShell, public PLCurrentUserProvider
{
public:
    bool loginStatus() const override { return true; }
    QString currentUserID() const override { return userID; }
    PrefsSession *session() override { return nullptr; }
    void terminateApplication() override {}
    void showBuddyProfile(const PLBuddyPtr &) override {}
    void showMyProfileSettings() override {}
    void showVelaJoin(bool) override {}
    void showVelaFindID(bool) override {}
    void openURL(const QUrl &) override {}

    QString userID;
};

class ScenePlugIns final : public PrefsPlugInHost
{
public:
    QList<QVariantMap> plugInList() const override
    {
        return {{{"id", QLatin1String(notifications::kMessageBoxPlugInID)},
                 {"name", QStringLiteral("Pigeonhole")},
                 {"path", QDir::homePath()},
                 {"description", sample(QStringLiteral("쪽지와 대화 내용을 보관하는 메시지함"),
                                        QStringLiteral("The message box that keeps your memos and chats"))},
                 {"version", QStringLiteral("1.0")},
                 {"newVersion", QStringLiteral("1.2")}},
                {{"id", QStringLiteral("photo-album")},
                 {"name", sample(QStringLiteral("사진첩"), QStringLiteral("Photo Album"))},
                 {"path", QStringLiteral("/nonexistent/PhotoAlbum.app")},
                 {"description", QString()},
                 {"version", QStringLiteral("0.9")}}};
    }
    bool isEnableAutoLaunchPlugIn(const QString &) const override { return true; }
    bool isInstalledPlugIn(const QString &id) const override { return id != QLatin1String("photo-album"); }
    bool isNeedUpdatePlugIn(const QString &id) const override { return id != QLatin1String("photo-album"); }
    bool isAutoLaunchPlugIn(const QString &) const override { return true; }
    void setPluginAutoLaunch(const QString &, bool) override {}
    void quitPlugin(const QString &, const QString &) override {}
    void removePlugIn(const QString &) override {}
    bool updatePlugIn(const QString &, bool) override { return false; }
    void showPlugInUpdater(const QString &, bool) override {}
};

SceneShell &shell()
{
    static SceneShell instance;
    return instance;
}

void addBuddy(const char *cmn, const QString &id, const QString &name, const char *flags)
{
    const PLBuddyPtr b = PLBuddyManager::sharedManager().createBuddyForCMN(QLatin1String(cmn));
    b->setVelaID(id);
    b->setName(name);
    b->setBuddyFlags(QLatin1String(flags));
}

// Signs the scene's user in: the portal login links the sister service, the
// other the portal.
void signIn(bool portalLogin)
{
    static ScenePlugIns plugIns;
    const QStringList domains = KCDefaultDomain();
    SceneShell &s = shell();
    s.userID = QStringLiteral("minji@") + domains.at(portalLogin ? 0 : 4);
    PrefsServices::setShell(&s);
    PrefsServices::setPlugInHost(&plugIns);
    PrefsManager::setCurrentUserProvider(&s);

    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    me.resetForTesting();
    me.setNickName(sample(QStringLiteral("민지 /smile/ 오늘도 화이팅"), QStringLiteral("Minji /smile/ having a great day")));
    me.setLoginType(portalLogin ? QStringLiteral("N") : QStringLiteral("Y"));
    if (portalLogin) {
        me.setOrchardCMN(QStringLiteral("900001"));
        me.setOrchardID(QStringLiteral("minji.orchard"));
        me.setProfileValue(QStringLiteral("B"), QStringLiteral("orchard_open_mode"));
        me.setProfileValue(QStringLiteral("Y"), QStringLiteral("orchard_noti1"));
    }
    me.setProfileValue(QStringLiteral("Y"), QStringLiteral("allow_nonbuddy_chat"));
    me.setProfileValue(QStringLiteral("1"), QStringLiteral("chat_save_opt"));

    PLBuddyManager::sharedManager().reset();
    addBuddy("1", QStringLiteral("jisoo@") + domains.at(0), sample(QStringLiteral("김지수"), QStringLiteral("Jisoo Kim")),
             "1100");
    addBuddy("2", QStringLiteral("hyun@") + domains.at(1), sample(QStringLiteral("박현우"), QStringLiteral("Hyunwoo Park")),
             "1100");
    addBuddy("3", QStringLiteral("spam@") + domains.at(5), sample(QStringLiteral("광고"), QStringLiteral("Ads")), "0010");

    QVariantMap prefs = KCDefaultUserPreferences();
    prefs.insert(QStringLiteral("destinationPath"), QDir::homePath());
    prefs.insert(QStringLiteral("showAwayMsg"), true);
    prefs.insert(QStringLiteral("mAwayMessage"),
                 sample(QStringLiteral("점심 먹으러 갔어요 /smile/ 1시에 돌아옵니다."),
                        QStringLiteral("Out for lunch /smile/ back at one.")));
    prefs.insert(QStringLiteral("AbsentMessageFontColorB"), 0.6);
    UserDefaults::standardUserDefaults().setUserDictionary(s.userID, prefs);
    UserDefaults::standardUserDefaults().setBool(true, QStringLiteral("UseProxy"));
    UserDefaults::standardUserDefaults().setInteger(1, QStringLiteral("ProxyIndex"));
    UserDefaults::standardUserDefaults().setString(QStringLiteral("proxy.example.com"), QStringLiteral("ProxyServer"));
    UserDefaults::standardUserDefaults().setString(QStringLiteral("3128"), QStringLiteral("ProxyPortHTTP"));
    UserDefaults::standardUserDefaults().setString(QStringLiteral("5004"), QStringLiteral("P2PPort"));
}

QWidget *window(bool portalLogin, void (PrefsController::*show)())
{
    // The window of the last scene may not have gone yet.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    signIn(portalLogin);
    PrefsController *prefs = PrefsController::defaultController();
    prefs->setCurrentUserID(shell().userID);
    (prefs->*show)();
    return prefs;
}

const bool general = registerScene(QStringLiteral("preferences-general"),
                                   [] { return window(false, &PrefsController::showGeneral); });
const bool notification = registerScene(QStringLiteral("preferences-notification"),
                                        [] { return window(false, &PrefsController::showNotification); });
const bool message = registerScene(QStringLiteral("preferences-message"),
                                   [] { return window(false, &PrefsController::showMessage); });
const bool privacy = registerScene(QStringLiteral("preferences-privacy"),
                                   [] { return window(false, &PrefsController::showPrivacy); });
const bool firewall = registerScene(QStringLiteral("preferences-firewall"),
                                    [] { return window(false, &PrefsController::showFirewall); });
const bool plugin = registerScene(QStringLiteral("preferences-plugin"), [] {
    auto *prefs = static_cast<PrefsController *>(window(false, &PrefsController::showPlugin));
    prefs->plugInPane()->table()->selectRow(0);
    return prefs;
});
const bool velacom = registerScene(QStringLiteral("preferences-velacom"),
                                   [] { return window(false, &PrefsController::showVelaCom); });
const bool orchard = registerScene(QStringLiteral("preferences-orchard"),
                                   [] { return window(true, &PrefsController::showOrchard); });

} // namespace

} // namespace parley::screenshots
