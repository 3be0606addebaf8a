// The portal buttons of the buddy view (mail, memo, portal, sister service,
// personal page) and the Help menu's pages, all opened through the bridge page.
#include "AppController.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "BuddyView.h"
#include "KCAlertPresenter.h"
#include "MainWindow.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QAction>
#include <QToolButton>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

} // namespace

void AppController::connectPortalControls()
{
    BuddyView *view = mMainWindow->buddyView();
    connect(view->mailButton, &QToolButton::clicked, this, &AppController::showVelaMail);
    connect(view->memoButton, &QToolButton::clicked, this, &AppController::showVelaMemo);
    connect(view->velaButton, &QToolButton::clicked, this, &AppController::gotoVelaAction);
    connect(view->orchardButton, &QToolButton::clicked, this, &AppController::gotoOrchardAction);
    connect(view->homeButton, &QToolButton::clicked, this, &AppController::gotoHomeAction);

    MainWindow *w = mMainWindow;
    const auto page = [this](QAction *action, void (BridgePage::*show)()) {
        connect(action, &QAction::triggered, this, [show] { (ShellWindows::bridgePage().*show)(); });
    };
    page(w->parleyHomeAction, &BridgePage::showParleyHome);
    page(w->parleyFAQAction, &BridgePage::showParleyFAQ);
    page(w->parleyHottipAction, &BridgePage::showParleyHottip);
    page(w->parleyHelpAction, &BridgePage::showParleyHelp);
    page(w->velaComHomeAction, &BridgePage::showVelaVelaComHome);
    page(w->orchardHomeAction, &BridgePage::showVelaOrchardHome);
    connect(w->parleyMininookAction, &QAction::triggered, this, &AppController::openParleyMininookAction);
}

void AppController::gotoVelaAction()
{
    // The mark tells the portal to open on its news.
    ShellWindows::bridgePage().showVelaMainHomepage(mVelaNew);
    setVelaNew(false);
}

void AppController::gotoOrchardAction()
{
    ShellWindows::bridgePage().showOrchardMainHomepage(mOrchardNew);
    setOrchardNew(false);
}

void AppController::gotoHomeAction()
{
    // An account of login type "N" has a personal page only through a linked
    // sister-service account.
    if (!PLMyInfoManager::sharedManager().loginType() && !PrefsManager::orchard_Islinked()) {
        KCAlertRequest request;
        request.key = QStringLiteral("ParleyMiniNookAlert");
        request.title = text("ParleyMiniNook");
        request.message = text("ParleyMiniNookAlert");
        request.buttons = {text("OK"), text("Cancel")};
        request.parent = mMainWindow;
        QPointer<AppController> self(this);
        KCAlerts().show(request, [self](const KCAlertAnswer &answer) {
            if (!self || answer.button != 0)
                return;
            PrefsController &prefs = self->prefsForCurrentUser();
            prefs.showOrchardPane();
            prefs.showWindow();
        });
        return;
    }
    ShellWindows::bridgePage().showMyMininook();
    setMiniNookNew(false);
}

void AppController::openParleyMininookAction()
{
    ShellWindows::bridgePage().showParleyMininook();
    setMiniNookNew(false);
}

PrefsController &AppController::prefsForCurrentUser()
{
    PrefsController &prefs = ShellWindows::prefsController();
    if (loginStatus())
        prefs.setUserID(mCurrentUserID);
    return prefs;
}

} // namespace parley::shell
