#include "AppMemoServices.h"

#include "Note/PLNote.h"
#include "Sessions/PLParleySession.h"
#include "Shell/AppController.h"
#include "Shell/DesktopNoticeBridge.h"
#include "Shell/ShellWindows.h"
#include "Shell/UrlOpener.h"
#include "Utils/KCSounds.h"

#include <QUrl>

namespace parley {

using shell::AppController;
using shell::ShellWindows;

PLParleySession *AppMemoServices::facade()
{
    AppController *controller = AppController::sharedController();
    return controller ? controller->session() : nullptr;
}

bool AppMemoServices::sendNote(PLNote &note)
{
    PLParleySession *session = facade();
    return session && session->sendNote(&note);
}

bool AppMemoServices::requestRelMemo(const QString &cookie, int lastSequence, int count, bool isSend)
{
    PLParleySession *session = facade();
    return session && session->requestRelMemo(true, cookie, lastSequence, count, isSend);
}

bool AppMemoServices::getMemo(const QString &cookie)
{
    PLParleySession *session = facade();
    return session && session->getMemo(QString(), cookie);
}

QString AppMemoServices::currentUserID()
{
    AppController *controller = AppController::sharedController();
    return controller ? controller->currentUserID() : QString();
}

void AppMemoServices::incMemoCount()
{
    if (AppController *controller = AppController::sharedController())
        controller->incMemoCount();
}

void AppMemoServices::showToaster(const QString &name, const QString &text, const QVariantMap &memo)
{
    ShellWindows::toasterManager().showToasterWindow(QStringLiteral("MEMO"), name, text, nullptr, QString(), memo);
}

void AppMemoServices::notifyDesktop(const QString &title, const QString &description, const QVariantMap &memo)
{
    // A click opens the memo, as a click on its pop-up does.
    shell::DesktopNoticeBridge::notifyWithTitle(title, description, QStringLiteral("Parley Memo"),
                                                QStringLiteral("ToastIconMemo"), 0, false,
                                                {QStringLiteral("MEMO"), memo});
}

void AppMemoServices::playMemoSound() { KCPlayMemoSound(currentUserID()); }

void AppMemoServices::openNotificationPreferences()
{
    shell::PrefsController &prefs = ShellWindows::prefsController();
    prefs.setUserID(currentUserID());
    prefs.showWindow();
    prefs.showNotificationPane();
}

void AppMemoServices::reloadPreferences()
{
    shell::PrefsController &prefs = ShellWindows::prefsController();
    prefs.setUserID(currentUserID());
    prefs.readPreferences();
}

void AppMemoServices::openUrl(const QString &url)
{
    (mOpener ? *mOpener : shell::UrlOpener::desktop()).openUrl(QUrl(url));
}

QString AppMemoServices::bridgePageUrl() { return ShellWindows::bridgePage().bridgePageUrl(); }

} // namespace parley
