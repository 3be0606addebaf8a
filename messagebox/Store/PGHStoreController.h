#pragma once

// Which store file is open. Before a login the pre-login store
// ("default.sqlite") is opened on first use; the first login notice of a run
// switches to the user's own file, later ones are ignored (one run serves one
// user: the messenger ends the box at every sign-out). Every terminate request
// removes the pre-login store, closing it first when it is the open one.
// A file of an earlier version opens at once, as it is, and is brought up to
// date on a worker (PGHStoreUpgrade); until that ends the open store is only
// read: the window lists and searches, and every change waits.

#include "PGHMessageStore.h"

#include <QObject>
#include <QString>

#include <memory>

namespace pigeonhole {

class PGHStoreUpgrade;

class PGHStoreController : public QObject
{
    Q_OBJECT

public:
    enum class Login { Switched, Ignored, Refused, Failed };

    // `supportFolder`: the folder holding "Message/"; PLAppSupportPath() when empty.
    explicit PGHStoreController(const QString &supportFolder = {}, QObject *parent = nullptr);
    ~PGHStoreController() override;

    // The open store, opening the pre-login one on first use before a login;
    // nullptr when it cannot be opened (lastError() says why).
    PGHMessageStore *store();
    bool hasUser() const { return mState == State::User; }
    const QString &userID() const { return mUserID; }
    const QString &lastError() const { return mLastError; }

    // Handles a login notice's user ID.
    Login switchToUser(const QString &userID);
    // A terminate request: the pre-login store is removed.
    void terminate();

    // Whether the open store is being brought up to date (nothing may write
    // to it until upgradeFinished()).
    bool isUpgrading() const;
    // Ends a running upgrade at once, the file left at the last step that
    // committed (the next open goes on); the store can be written again.
    // upgradeFinished() is not emitted.
    void stopUpgrade();

Q_SIGNALS:
    // Another file is open now: lists, counts and the undo history are stale.
    void storeChanged();
    // A store could not be opened or a folder made; the text says why.
    void storeFailed(const QString &reason);
    // The open store is being brought up to date: `step` of `steps`.
    void upgradeProgress(int step, int steps);
    // The upgrade ended: the store may be written again;
    // `error` is empty when it is up to date, or says why it is left as it
    // was (every row kept; the next open tries again).
    void upgradeFinished(const QString &error);

private:
    enum class State { PreLogin, User, Failed };
    bool openFile(const QString &fileName);
    void closeStore();
    void fail(const QString &reason);

    QString mSupportFolder;
    State mState = State::PreLogin;
    QString mUserID;
    QString mLastError;
    std::unique_ptr<PGHMessageStore> mStore;
    std::unique_ptr<PGHStoreUpgrade> mUpgrade;
};

} // namespace pigeonhole
