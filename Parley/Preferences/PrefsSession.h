#pragma once

// What the preferences window asks of the account-session facade: profile
// changes, the nickname, the privacy lists and the links to the other
// service's account. PrefsFacadeSession forwards to PLParleySession; tests
// record the calls. Main thread only.

#include <QString>
#include <QVariantMap>

namespace parley {

class PrefsSession
{
public:
    virtual ~PrefsSession() = default;

    // The notification-server session has completed its sign-in.
    virtual bool isLoggedIn() const = 0;
    // Sends a profile change; when sent, `tid` (if given) gets its request number.
    virtual bool setCPRF(const QVariantMap &profile, qint32 *tid) = 0;
    virtual bool setMyNickName(const QString &nickName) = 0;
    virtual bool blockBuddy(const QString &buddyID) = 0;
    virtual bool unblockBuddy(const QString &buddyID) = 0;
    // flag: "AL", "FL" or "BL".
    virtual bool removeBuddyFlag(const QString &buddyID, const QString &flag) = 0;
    virtual bool showBuddy(const QString &buddyID) = 0;
    // Each answers the request number, or -1 when nothing was sent.
    virtual qint32 setOrchardInterlock(const QString &orchardID, const QString &password) = 0;
    virtual qint32 resetOrchardInterlock() = 0;
    virtual qint32 setVelaInterlock(const QString &velaID, const QString &password) = 0;
    virtual qint32 resetVelaInterlock() = 0;
};

} // namespace parley
