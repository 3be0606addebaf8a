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
    // Whether a notification's sender is one of the sign-in's own sessions
    // (the login-dispatch or the notification-server session).
    virtual bool isSignInSession(const void *sender) const = 0;
    // The facade itself for the windows that need more of it; null in tests.
    virtual PLParleySession *facade() = 0;
};

} // namespace parley::shell
