#pragma once

// The account-session facade as the application controller uses it: signing
// in and out, the keepalive, the proxy and the own status. FacadeAccountSession
// forwards to the real PLParleySession; tests record the calls instead.

#include <QString>
#include <QVariantMap>

namespace parley {
class PLParleySession;
}

namespace parley::shell {

class AccountSession
{
public:
    virtual ~AccountSession() = default;

    // Starts a sign-in; the result arrives as notifications.
    virtual bool loginWithUserID(const QString &userID, const QString &password, const QVariantMap &options) = 0;
    virtual bool stopLogin() = 0;
    // Signs out; with `postNotification` "ParleyLogoutCompleted" follows.
    virtual bool logout(bool postNotification) = 0;
    virtual bool isLoggedIn() const = 0;
    virtual void setIsAvailablePONG(bool flag) = 0;
    virtual bool setProxyMode(int mode, const QString &serverIP, int portNo, const QString &userID,
                              const QString &password) = 0;
    virtual bool setMyStatus(int status) = 0;
    // The one-time password the server asked for (error 395).
    virtual bool setOTP(const QString &otp)
    {
        (void)otp;
        return false;
    }
    // Sends the sign-in options again (the memo-notice choice changed).
    virtual bool sendLOPT() { return false; }
    // Asks the server for the stored memo of that cookie.
    virtual bool getMemo(const QString &cookie)
    {
        (void)cookie;
        return false;
    }
    // Whether a notification's sender is one of the sign-in's own sessions
    // (the login-dispatch or the notification-server session).
    virtual bool isSignInSession(const void *sender) const = 0;
    // The facade itself for the windows that need more of it; null in tests.
    virtual PLParleySession *facade() = 0;

    // The account's other logins: the list comes as "ParleySessionList".
    virtual bool requestSessionList(const QString &loginID);
    // Ends the login of that session key ("U") or every other login ("E");
    // answers the request's transaction number (its answer carries it), 0
    // when nothing was sent.
    virtual int sendKillSession(const QString &target, const QString &killType);
};

} // namespace parley::shell
