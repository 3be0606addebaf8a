#pragma once

// The message box's application: owns the store, the two boxes, the undo
// history, the protocol with the messenger and the window. It starts hidden,
// shows its window only when the messenger asks, and ends only when the
// messenger (or SIGTERM) tells it to: the user's quit command and closing the
// window only hide it. Every change is in the store when it is made, so there
// is nothing to save on the way out. While the store is being brought up to
// date nothing may write to it: arrivals are held and filed when it ends, or
// when the box is told to quit (the upgrade is stopped then, and the next
// start goes on with it).

#include "PGHProtocolHandler.h"
#include "PGHStoreRecords.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <QVariantMap>

#include <memory>

class EmoticonManager;

namespace parley {
class DistributedNotificationCenter;
}

namespace pigeonhole {

class PGHChatTreeDataSource;
class PGHMainWindow;
class PGHMemoTreeDataSource;
class PGHPlugInProtocol;
class PGHStoreController;

class Pigeonhole_AppDelegate : public QObject, public PGHProtocolHandler
{
    Q_OBJECT

public:
    static constexpr char kInitAlertSuppressKey[] = "InitAlertSuppress";

    // `supportFolder`: where "Message/" is (PLAppSupportPath() when empty).
    explicit Pigeonhole_AppDelegate(parley::DistributedNotificationCenter &center, const QString &supportFolder = {},
                                    QObject *parent = nullptr);
    ~Pigeonhole_AppDelegate() override;

    // Posts "PLPlugUserInfo"; the window stays hidden.
    void applicationDidFinishLaunching();
    // A terminate request: drops the pre-login store and hides the window;
    // answers whether the process ends now (only on the messenger's quit).
    bool applicationShouldTerminate();

    // The messenger's notifications.
    void currentUserInfo(const QString &userID) override;
    void buddyStatusList(const QVariantMap &statusByLoginID) override;
    void showMyWindow() override;
    void quitMessageBox() override;
    void willTerminate() override;
    void insertMemoDocument(const QVariantMap &record) override;
    void insertChatDocument(const QVariantMap &record) override;
    void refreshPlugin() override;
    void showLastChat(const QString &userID) override;

    PGHMainWindow &window() { return *mWindow; }
    PGHStoreController &stores() { return *mStores; }
    PGHMemoTreeDataSource &memoTreeDataSource() { return *mMemo; }
    PGHChatTreeDataSource &chatTreeDataSource() { return *mChat; }
    PGHPlugInProtocol &protocol() { return *mProtocol; }
    QUndoStack &undoStack() { return mUndo; }
    bool isQuit() const { return mIsQuit; }
    const QString &userInfoString() const { return mUserInfoString; }
    const QVariantMap &buddyList() const { return mBuddyStatusList; }
    const EmoticonManager &emoticons() const { return *mEmoticons; }
    // Arrivals waiting for the store's upgrade to end.
    qsizetype heldArrivals() const { return mHeldArrivals.size(); }

Q_SIGNALS:
    // The process ends now.
    void terminated();

private:
    void storeChanged();
    void showNotice();
    void showStoreError(const QString &reason);
    // A warning of the texts' `key` with the reason, told once when the
    // window can show it.
    void showStoreAlert(const QString &key, const QString &reason);
    void upgradeFinished(const QString &error);
    // Files the held arrivals when the store may be written.
    void fileHeldArrivals();

    // The emoticons at the top of "Emoticon" in the support folder, where
    // the messenger's copy puts them.
    std::unique_ptr<EmoticonManager> mEmoticons;
    std::unique_ptr<PGHStoreController> mStores;
    QUndoStack mUndo;
    std::unique_ptr<PGHMemoTreeDataSource> mMemo;
    std::unique_ptr<PGHChatTreeDataSource> mChat;
    std::unique_ptr<PGHPlugInProtocol> mProtocol;
    std::unique_ptr<PGHMainWindow> mWindow;
    QString mUserInfoString;
    QVariantMap mBuddyStatusList;
    struct HeldArrival {
        PGHBox box;
        QVariantMap record;
    };
    QList<HeldArrival> mHeldArrivals;
    QString mShownError;
    // An alert waiting for the window to show: its key and reason.
    QString mPendingKey;
    QString mPendingError;
    bool mIsQuit = false;
    bool mNoticeRunning = false;
};

} // namespace pigeonhole
