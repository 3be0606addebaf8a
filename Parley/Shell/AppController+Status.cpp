// The own status: the status view's choices and the server's reports, the
// appear-offline guard, the mail and memo counters and the news marks.
#include "AppController.h"

#include "BuddyView.h"
#include "ImageRegistry.h"
#include "KCAlertPresenter.h"
#include "MainWindow.h"
#include "NotificationCenter.h"
#include "OwnStatusTable.h"
#include "Utils/KCUtilities.h"

#include <QToolButton>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

} // namespace

void AppController::changeStatus(const Notification &n)
{
    if (!loginStatus())
        return;
    const QString title = n.userInfo.value(QStringLiteral("title")).toString();
    const bool pickedByUser = ShellWindows::statusView().isUserSelected();
    const std::optional<OwnStatus> entry = OwnStatusTable::entryForTitle(title);
    if (entry && entry->code >= 0) {
        if (mMainWindow)
            mMainWindow->buddyView()->setStatusImage(entry->image);
        if (mIsProtocolSend)
            mSession->setMyStatus(OwnStatusTable::codeForTitle(title, pickedByUser));
        if (entry->key == QLatin1String("Online"))
            setIdleTimer();
        else
            mIsStatusSetFromUser = pickedByUser;
    } else if (entry && entry->key == QLatin1String("SetMyNickName")) {
        PrefsController &prefs = prefsForCurrentUser();
        prefs.showGeneralPane();
        prefs.showWindow();
    } else if (entry && entry->key == QLatin1String("ShowMyProfile")) {
        ShellWindows::bridgePage().showMyProfile();
    } else if (entry && entry->key == QLatin1String("SetMyProfile")) {
        ShellWindows::bridgePage().showMyProfileSettings();
    }
    mIsProtocolSend = true;
}

bool AppController::statusViewShouldChangeStatus(KCStatusViewWidget *view, const QString &title)
{
    const QString appearOffline = text("AppearOffline");
    if (title != appearOffline)
        return true;
    // Compared in the interface language: the view shows localized titles.
    bool allowed = view->title() != appearOffline;
    if (allowed) {
        ChatManager &chats = ShellWindows::chatManager();
        if (!chats.visibleChatDocumentList().isEmpty()) {
            KCAlertRequest request;
            request.key = QStringLiteral("WillChatCloseAlertMessage");
            request.title = text("Parley");
            request.message = text("WillChatCloseAlertMessage");
            request.buttons = {text("OK"), text("Cancel")};
            request.style = KCAlertRequest::Style::Critical;
            request.parent = mMainWindow;
            allowed = KCAlerts().ask(request).button == 0;
            if (allowed)
                chats.closeAllChatDocuments();
        }
    }
    // A refused change posts nothing, so nothing else would clear a server
    // report's "do not send": the next choice of the user must reach the server.
    if (!allowed)
        mIsProtocolSend = true;
    return allowed;
}

// Counters and marks.

void AppController::decMemoCount()
{
    if (mMemoCount == 0)
        return;
    setMemoCount(mMemoCount - 1);
}

void AppController::updateNewsButton(QToolButton *button, bool isNew, const char *newImage, const char *image)
{
    const QPixmap pixmap = ImageRegistry::pixmap(QLatin1String(isNew ? newImage : image));
    if (!pixmap.isNull())
        button->setIcon(pixmap);
}

void AppController::setMiniNookNew(bool isNew)
{
    mMiniNookNew = isNew;
    if (mMainWindow)
        updateNewsButton(mMainWindow->buddyView()->homeButton, isNew, "GoHomeButtonNew", "GoHomeButton");
}

void AppController::setOrchardNew(bool isNew)
{
    mOrchardNew = isNew;
    if (mMainWindow)
        updateNewsButton(mMainWindow->buddyView()->orchardButton, isNew, "20x15_orchardNew", "20x15_orchard");
}

void AppController::setVelaNew(bool isNew)
{
    mVelaNew = isNew;
    if (mMainWindow)
        updateNewsButton(mMainWindow->buddyView()->velaButton, isNew, "20x15_velaNew", "20x15_vela");
}

// Pages.

void AppController::showVelaMail() { ShellWindows::bridgePage().showVelaMail(mMailCount > 0); }

void AppController::showVelaMemo() { ShellWindows::bridgePage().showVelaMemo(); }

void AppController::showConfirmMail() { ShellWindows::bridgePage().showConfirmMail(); }

void AppController::getMemo(const QString &cookie) { mSession->getMemo(cookie); }

} // namespace parley::shell
