#include "ToasterWindowController.h"

#include "KCAlertPresenter.h"
#include "KCEmoticonView.h"
#include "KCToasterWindow.h"
#include "ToasterFade.h"
#include "ToasterTextFitting.h"
#include "Utils/KCUtilities.h"

#include <QLabel>
#include <QToolButton>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

// Whether a text fits a label: the label lays it out in its own bounds.
ToasterTextFitting::Fits fitsIn(KCEmoticonView *view)
{
    return [view](const QString &candidate) { return !view->setEmoticonString(candidate); };
}

} // namespace

ToasterWindowController::ToasterWindowController() : mWindow(new KCToasterWindow)
{
    connect(mWindow, &KCToasterWindow::clicked, this, &ToasterWindowController::clickAction);
    connect(mWindow, &KCToasterWindow::closeClicked, this, &ToasterWindowController::closeAction);
    connect(mWindow, &KCToasterWindow::closed, this, &ToasterWindowController::windowWillClose);
}

ToasterWindowController::~ToasterWindowController()
{
    mDelegate = nullptr;
    delete mWindow;
}

void ToasterWindowController::setMessage(const QString &message)
{
    mWindow->headView()->hide();
    KCEmoticonView *body = mWindow->bodyView();
    body->setEmoticonString(ToasterTextFitting::fit(message, fitsIn(body)));
}

void ToasterWindowController::setMessage(const QString &message, const QString &buddyString, const QString &format)
{
    KCEmoticonView *head = mWindow->headView();
    head->show();
    head->setEmoticonString(ToasterTextFitting::fitFormatted(format, buddyString, fitsIn(head)));
    KCEmoticonView *body = mWindow->bodyView();
    body->setEmoticonString(ToasterTextFitting::fit(message, fitsIn(body)));
}

QString ToasterWindowController::headText() const { return mWindow->headView()->emoticonString(); }

QString ToasterWindowController::bodyText() const { return mWindow->bodyView()->emoticonString(); }

bool ToasterWindowController::isHeadShown() const { return !mWindow->headView()->isHidden(); }

void ToasterWindowController::setIconImage(const QPixmap &image) { mWindow->setIconImage(image); }

void ToasterWindowController::setBackgroundImage(const QPixmap &image) { mWindow->setBackgroundImage(image); }

void ToasterWindowController::setIconRect(const QRect &rect) { mWindow->setIconRect(rect); }

void ToasterWindowController::setTextRect(const QRect &rect) { mWindow->bodyView()->setGeometry(rect); }

void ToasterWindowController::setCloseButtonRect(const QRect &rect) { mWindow->setCloseButtonRect(rect); }

void ToasterWindowController::setShowUrl(const QString &url, const QString &svcCode, const QString &bridgeCode,
                                         int hFlag)
{
    mPopUrlString = url;
    mPopUrlSVCCode = svcCode;
    mPopUrlBridgeCode = bridgeCode;
    mPopUrlHFlag = hFlag;
}

void ToasterWindowController::showWindow(const QRect &frame)
{
    mWindow->setGeometry(frame);
    mWindow->show();
    mWindow->raise();
}

void ToasterWindowController::refreshTimer()
{
    if (mIsClosed)
        return;
    const ToasterFadeStep step = ToasterFade::step(mShowTime);
    mShowTime = step.showTime;
    if (step.alpha)
        mWindow->setWindowOpacity(*step.alpha);
    if (step.close && mIsAutoClose)
        closeAction();
}

void ToasterWindowController::closeAction()
{
    if (mIsClosed)
        return;
    mWindow->close();
}

void ToasterWindowController::windowWillClose()
{
    if (mIsClosed)
        return;
    mIsClosed = true;
    if (mDelegate)
        mDelegate->toasterWindowDidClose(this);
}

void ToasterWindowController::clickAction()
{
    if (mIsClosed || !mDelegate)
        return;
    ToasterActions &actions = mDelegate->toasterActions();
    const QString &type = mToasterType;
    if (mPopWindow) {
        actions.showPopWindow(mPopWindow);
    } else if (!mPopUrlString.isEmpty()) {
        actions.showBridgePageForSVC(mPopUrlSVCCode, mPopUrlBridgeCode, mPopUrlHFlag, mPopUrlString);
    } else if (type == QLatin1String("MEMO") && !mUserInfo.isEmpty()) {
        actions.openMemo(mUserInfo);
        mUserInfo.clear();
    } else if (type == QLatin1String("MEMOCNT")) {
        actions.showVelaMemo();
    } else if (type == QLatin1String("MAIL")) {
        actions.showVelaMail();
    } else if (type == QLatin1String("REML")) {
        actions.showConfirmMail();
    } else if (type == QLatin1String("MCNT")) {
        actions.openSessionManager();
    } else if ((type == QLatin1String("CHAT") || type == QLatin1String("LGIN")) && !mUserInfo.isEmpty()) {
        if (actions.myStatus() == 0) {
            // Appearing offline, nobody can be chatted with; the notice
            // stays. The alert does not hold up the event loop, so the
            // notice's clock keeps running under it.
            KCAlertRequest request;
            request.key = QStringLiteral("ChatErrorForOffline");
            request.title = text("ChatTitle");
            request.message = text("ChatErrorForOffline");
            request.buttons = {text("OK")};
            KCAlerts().show(request);
            return;
        }
        const QString buddyID = mUserInfo.value(QStringLiteral("velaID")).toString();
        if (!buddyID.isEmpty())
            actions.openChatRoom(buddyID);
    }
    closeAction();
}

} // namespace parley::shell
