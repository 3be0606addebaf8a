#include "WebWindowController.h"

#include "AnimiconPlayLibrary.h"
#include "AnimiconPlayPlacement.h"
#include "Log.h"

#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

namespace {

int gVisibleMilliseconds = AnimiconPlayPlacement::kVisibleMilliseconds;
int gHiddenMilliseconds = AnimiconPlayPlacement::kHiddenMilliseconds;

} // namespace

void WebWindowController::setTimings(int visibleMilliseconds, int hiddenMilliseconds)
{
    gVisibleMilliseconds = visibleMilliseconds;
    gHiddenMilliseconds = hiddenMilliseconds;
}

WebWindowController *WebWindowController::showAnimicon(const QString &animiconUrl, QWidget *parentWindow)
{
    auto *controller = new WebWindowController(animiconUrl, parentWindow);
    if (!controller->mAnimiconWebView) {
        delete controller;
        return nullptr;
    }
    controller->navigateUrl(animiconUrl);
    return controller;
}

WebWindowController::WebWindowController(const QString &animiconUrl, QWidget *parentWindow)
    // A child of the chat window goes with it.
    : QObject(parentWindow), mParentWindow(parentWindow), mAnimiconUrl(animiconUrl)
{
    mAnimiconWebView = AnimiconPlayLibrary::createView(parentWindow);
    if (!mAnimiconWebView)
        return;
    QWidget *view = mAnimiconWebView->widget();
    view->resize(windowSize());
    view->hide();
    mAnimiconWebView->loadFinished = [this](bool ok) { didFinishLoad(ok); };
    mFlashTimer.setSingleShot(true);
}

WebWindowController::~WebWindowController() = default;

QWidget *WebWindowController::playWidget() const { return mAnimiconWebView ? mAnimiconWebView->widget() : nullptr; }

void WebWindowController::navigateUrl(const QString &url)
{
    parley::plLog(QStringLiteral(">>> URL : %1").arg(url));
    if (mAnimiconWebView)
        mAnimiconWebView->navigateUrl(QUrl(url));
}

void WebWindowController::didFinishLoad(bool ok)
{
    if (mIsComplete)
        return;
    if (!ok) {
        parley::plLog(QStringLiteral("animicon: the play page did not load: %1").arg(mAnimiconUrl));
        mIsComplete = true;
        QTimer::singleShot(0, this, &WebWindowController::closeTimerAction);
        return;
    }
    QWidget *view = playWidget();
    if (!view)
        return;
    std::optional<QSize> parent;
    if (mParentWindow)
        parent = mParentWindow->size();
    const QScreen *screen = QGuiApplication::primaryScreen();
    view->move(AnimiconPlayPlacement::position(view->size(), parent,
                                               screen ? screen->availableGeometry() : QRect()));
    view->show();
    view->raise();
    if (!mFlashTimer.isActive()) {
        disconnect(&mFlashTimer, nullptr, this, nullptr);
        connect(&mFlashTimer, &QTimer::timeout, this, &WebWindowController::animiconEndTimerAction);
        mFlashTimer.start(gVisibleMilliseconds);
    }
}

void WebWindowController::animiconEndTimerAction()
{
    mIsComplete = true;
    if (mAnimiconWebView) {
        mAnimiconWebView->clear();
        if (QWidget *view = playWidget())
            view->hide();
    }
    QTimer::singleShot(gHiddenMilliseconds, this, &WebWindowController::closeTimerAction);
}

void WebWindowController::closeTimerAction()
{
    mAnimiconWebView.reset();
    emit closed();
    deleteLater();
}
