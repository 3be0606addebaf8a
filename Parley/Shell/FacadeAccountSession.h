#pragma once

// The real account session: one PLParleySession owned here.

#include "AccountSession.h"

#include <memory>

namespace parley::shell {

class FacadeAccountSession final : public AccountSession
{
public:
    FacadeAccountSession();
    ~FacadeAccountSession() override;

    bool loginWithUserID(const QString &userID, const QString &password, const QVariantMap &options) override;
    bool stopLogin() override;
    bool logout(bool postNotification) override;
    bool isLoggedIn() const override;
    void setIsAvailablePONG(bool flag) override;
    bool setProxyMode(int mode, const QString &serverIP, int portNo, const QString &userID,
                      const QString &password) override;
    bool setMyStatus(int status) override;
    bool isSignInSession(const void *sender) const override;
    PLParleySession *facade() override { return mFacade.get(); }

private:
    std::unique_ptr<PLParleySession> mFacade;
};

} // namespace parley::shell
