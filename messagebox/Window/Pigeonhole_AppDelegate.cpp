#include "Pigeonhole_AppDelegate.h"

#include "PGHChatDetailPane.h"
#include "PGHChatTreeDataSource.h"
#include "PGHFirstShowNotice.h"
#include "PGHMainWindow.h"
#include "PGHMemoDetailPane.h"
#include "PGHMemoTreeDataSource.h"
#include "PGHPlugInProtocol.h"
#include "PGHStoreController.h"

#include "EmoticonManager.h"
#include "KCAlertPresenter.h"
#include "PGHBodyView.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLUtils.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include <utility>

namespace pigeonhole {

using parley::KCLocalizedString;

Pigeonhole_AppDelegate::Pigeonhole_AppDelegate(parley::DistributedNotificationCenter &center,
                                               const QString &supportFolder, QObject *parent)
    : QObject(parent)
    , mEmoticons(EmoticonManager::oneFolder(
          QDir(supportFolder.isEmpty() ? parley::PLAppSupportPath() : supportFolder).filePath(QStringLiteral("Emoticon"))))
    , mStores(std::make_unique<PGHStoreController>(supportFolder))
    , mMemo(std::make_unique<PGHMemoTreeDataSource>(*mStores, mUndo))
    , mChat(std::make_unique<PGHChatTreeDataSource>(*mStores, mUndo))
    , mProtocol(std::make_unique<PGHPlugInProtocol>(center, *this))
    , mWindow(std::make_unique<PGHMainWindow>(*mMemo, *mChat, mUndo))
{
    mWindow->memoDetail()->bodyView()->setCatalogue(mEmoticons.get());
    mWindow->chatDetail()->bodyView()->setCatalogue(mEmoticons.get());
    connect(mStores.get(), &PGHStoreController::storeChanged, this, &Pigeonhole_AppDelegate::storeChanged);
    connect(mStores.get(), &PGHStoreController::storeFailed, this, &Pigeonhole_AppDelegate::showStoreError);
    connect(mStores.get(), &PGHStoreController::upgradeProgress, mWindow.get(), &PGHMainWindow::showStoreUpgrade);
    connect(mStores.get(), &PGHStoreController::upgradeFinished, this, &Pigeonhole_AppDelegate::upgradeFinished);
    for (PGHBoxDataSource *source : {static_cast<PGHBoxDataSource *>(mMemo.get()), static_cast<PGHBoxDataSource *>(mChat.get())}) {
        connect(source, &PGHBoxDataSource::readRequested, this,
                [this](const QVariantMap &payload) { mProtocol->postReadMemoDocument(payload); });
        connect(source, &PGHBoxDataSource::storeError, this, &Pigeonhole_AppDelegate::showStoreError);
    }
    connect(mMemo.get(), &PGHMemoTreeDataSource::unreadCountChanged, this,
            [this](int count) { mProtocol->postUnreadMemoCount(count); });
    connect(mMemo.get(), &PGHMemoTreeDataSource::messageShown, this, [this](const PGHMemo &memo) {
        mWindow->memoDetail()->setMessageSet(memo, mUserInfoString, mBuddyStatusList);
    });
    connect(mChat.get(), &PGHChatTreeDataSource::chatShown, this,
            [this](const PGHChat &chat) { mWindow->chatDetail()->setChatContents(chat); });
    connect(mWindow->memoDetail(), &PGHMemoDetailPane::linkClicked, this,
            [this](const QString &kind, const QString &senderID) {
                if (kind == QLatin1String("chat"))
                    mProtocol->postConversationWindow(senderID);
                else
                    mProtocol->postWriteMemoDocument(senderID);
            });
    connect(mWindow.get(), &PGHMainWindow::helpRequested, this, [this] { mProtocol->postOpenMessageBoxHelp(); });
    connect(mWindow.get(), &PGHMainWindow::writeMemoRequested, this, [this] { mProtocol->postWriteMemoDocument(); });
    connect(mWindow.get(), &PGHMainWindow::webBoxRequested, this, [this](int box) {
        if (box == 0)
            mProtocol->postOpenWebMemoBox();
        else
            mProtocol->postOpenWebChatBox();
    });
    connect(mWindow.get(), &PGHMainWindow::quitRequested, this, [this] { applicationShouldTerminate(); });

    // The boxes as they stand before a login (the pre-login store).
    mMemo->refrash();
    mChat->refrash();
    if (mStores->isUpgrading())
        mWindow->showStoreUpgrade();
}

Pigeonhole_AppDelegate::~Pigeonhole_AppDelegate()
{
    // Nothing the messenger handed over is lost on the way out.
    mStores->stopUpgrade();
    fileHeldArrivals();
    // The window and the boxes go before the store they read.
    mWindow.reset();
    mProtocol.reset();
    mUndo.clear();
    mChat.reset();
    mMemo.reset();
}

void Pigeonhole_AppDelegate::applicationDidFinishLaunching() { mProtocol->postPlugUserInfo(); }

bool Pigeonhole_AppDelegate::applicationShouldTerminate()
{
    if (mIsQuit) {
        // The upgrade would outlast the process: it stops where its last step
        // committed, and the held arrivals go into the store as it is.
        mStores->stopUpgrade();
        fileHeldArrivals();
    }
    mStores->terminate();
    mWindow->hide();
    if (mIsQuit)
        Q_EMIT terminated();
    return mIsQuit;
}

void Pigeonhole_AppDelegate::currentUserInfo(const QString &userID)
{
    if (mStores->switchToUser(userID) == PGHStoreController::Login::Switched)
        mUserInfoString = userID;
}

void Pigeonhole_AppDelegate::storeChanged()
{
    mMemo->storeChanged();
    mMemo->unReadMessageCount();
    mChat->storeChanged();
    if (mStores->isUpgrading()) {
        mWindow->showStoreUpgrade();
    } else {
        mWindow->endStoreUpgrade();
        fileHeldArrivals();
    }
}

void Pigeonhole_AppDelegate::upgradeFinished(const QString &error)
{
    mWindow->endStoreUpgrade();
    fileHeldArrivals();
    if (!error.isEmpty())
        showStoreAlert(QStringLiteral("storeUpgradeError"), error);
}

void Pigeonhole_AppDelegate::fileHeldArrivals()
{
    if (mStores->isUpgrading())
        return;
    for (const HeldArrival &arrival : std::exchange(mHeldArrivals, {})) {
        if (arrival.box == PGHBox::Memo)
            mMemo->insertMessage(arrival.record);
        else
            mChat->insertMessage(arrival.record);
    }
}

void Pigeonhole_AppDelegate::buddyStatusList(const QVariantMap &statusByLoginID)
{
    mBuddyStatusList = statusByLoginID;
    mWindow->memoDetail()->setBuddyStatus(mUserInfoString, mBuddyStatusList);
}

void Pigeonhole_AppDelegate::showMyWindow()
{
    mWindow->show();
    if (const QScreen *screen = mWindow->screen()) {
        QRect frame = mWindow->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        mWindow->move(frame.topLeft());
    }
    mWindow->raise();
    mWindow->activateWindow();
    if (!mPendingError.isEmpty())
        showStoreAlert(std::exchange(mPendingKey, QString()), std::exchange(mPendingError, QString()));
    showNotice();
}

void Pigeonhole_AppDelegate::showNotice()
{
    if (mNoticeRunning || parley::UserDefaults::standardUserDefaults().boolForKey(QLatin1String(kInitAlertSuppressKey)))
        return;
    KCAlertRequest request = PGHFirstShowNotice::request([this] { mProtocol->postOpenWebMemoBox(); },
                                                          [this] { mProtocol->postOpenWebChatBox(); });
    request.parent = mWindow.get();
    mNoticeRunning = true;
    KCAlerts().show(request, [this](const KCAlertAnswer &answer) {
        mNoticeRunning = false;
        if (answer.checked)
            parley::UserDefaults::standardUserDefaults().setBool(true, QLatin1String(kInitAlertSuppressKey));
    });
}

void Pigeonhole_AppDelegate::showStoreError(const QString &reason)
{
    showStoreAlert(QStringLiteral("storeError"), reason);
}

void Pigeonhole_AppDelegate::showStoreAlert(const QString &key, const QString &reason)
{
    // Told when the window can show it (the box starts hidden), and once.
    if (!mWindow || !mWindow->isVisible()) {
        mPendingKey = key;
        mPendingError = reason;
        return;
    }
    if (reason == mShownError)
        return;
    mShownError = reason;
    KCAlertRequest request;
    request.key = key;
    request.title = KCLocalizedString(QStringLiteral("Pigeonhole"));
    request.message = KCLocalizedString(key).arg(reason);
    request.style = KCAlertRequest::Style::Warning;
    request.parent = mWindow.get();
    KCAlerts().show(request);
}

void Pigeonhole_AppDelegate::quitMessageBox()
{
    mIsQuit = true;
    applicationShouldTerminate();
}

void Pigeonhole_AppDelegate::willTerminate() { applicationShouldTerminate(); }

void Pigeonhole_AppDelegate::insertMemoDocument(const QVariantMap &record)
{
    if (mStores->isUpgrading())
        mHeldArrivals.append({PGHBox::Memo, record});
    else
        mMemo->insertMessage(record);
}

void Pigeonhole_AppDelegate::insertChatDocument(const QVariantMap &record)
{
    if (mStores->isUpgrading())
        mHeldArrivals.append({PGHBox::Chat, record});
    else
        mChat->insertMessage(record);
}

void Pigeonhole_AppDelegate::refreshPlugin() { mMemo->unReadMessageCount(); }

void Pigeonhole_AppDelegate::showLastChat(const QString &userID)
{
    mWindow->changeTab(1);
    mChat->lastChatForUserID(userID);
}

} // namespace pigeonhole
