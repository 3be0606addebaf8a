#include "FacadeAccountSession.h"

#include "Sessions/PLDPLSession.h"
#include "Sessions/PLDPSession.h"
#include "Sessions/PLParleySession.h"

namespace parley::shell {

FacadeAccountSession::FacadeAccountSession() : mFacade(std::make_unique<PLParleySession>()) {}

FacadeAccountSession::~FacadeAccountSession() = default;

bool FacadeAccountSession::loginWithUserID(const QString &userID, const QString &password, const QVariantMap &options)
{
    return mFacade->loginWithUserID(userID, password, options);
}

bool FacadeAccountSession::stopLogin() { return mFacade->stopLogin(); }

bool FacadeAccountSession::logout(bool postNotification) { return mFacade->logout(postNotification); }

bool FacadeAccountSession::isLoggedIn() const { return mFacade->isLoggedIn(); }

void FacadeAccountSession::setIsAvailablePONG(bool flag) { mFacade->setIsAvailablePONG(flag); }

bool FacadeAccountSession::setProxyMode(int mode, const QString &serverIP, int portNo, const QString &userID,
                                        const QString &password)
{
    return mFacade->setProxyMode(mode, serverIP, portNo, userID, password);
}

bool FacadeAccountSession::setMyStatus(int status) { return mFacade->setMyStatus(status); }

bool FacadeAccountSession::isSignInSession(const void *sender) const
{
    if (!sender)
        return false;
    // Compared as the objects that post: a session posts with itself as sender.
    const PLSession *dispatch = mFacade->mDPLSession();
    const PLSession *notification = mFacade->mDPSession();
    return (dispatch && sender == static_cast<const void *>(dispatch))
        || (notification && sender == static_cast<const void *>(notification));
}

} // namespace parley::shell
