#pragma once

// Which store file is open. Before a login the pre-login store
// ("default.sqlite") is opened on first use; the first login notice of a run
// switches to the user's own file, later ones are ignored (one run serves one
// user: the messenger ends the box at every sign-out). Every terminate request
// removes the pre-login store, closing it first when it is the open one.

#include "PGHMessageStore.h"

#include <QObject>
#include <QString>

#include <memory>

namespace pigeonhole {

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

Q_SIGNALS:
    // Another file is open now: lists, counts and the undo history are stale.
    void storeChanged();
    // A store could not be opened or a folder made; the text says why.
    void storeFailed(const QString &reason);

private:
    enum class State { PreLogin, User, Failed };
    bool openFile(const QString &fileName);
    void fail(const QString &reason);

    QString mSupportFolder;
    State mState = State::PreLogin;
    QString mUserID;
    QString mLastError;
    std::unique_ptr<PGHMessageStore> mStore;
};

} // namespace pigeonhole
