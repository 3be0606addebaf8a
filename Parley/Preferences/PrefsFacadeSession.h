#pragma once

// The preferences window's view of the real account-session facade.

#include "PrefsSession.h"

#include <QPointer>

namespace parley {

class PLParleySession;

class PrefsFacadeSession final : public PrefsSession
{
public:
    // Not owned; a facade that goes away makes every call a no-op.
    explicit PrefsFacadeSession(PLParleySession *facade);

    bool isLoggedIn() const override;
    bool setCPRF(const QVariantMap &profile, qint32 *tid) override;
    bool setMyNickName(const QString &nickName) override;
    bool blockBuddy(const QString &buddyID) override;
    bool unblockBuddy(const QString &buddyID) override;
    bool removeBuddyFlag(const QString &buddyID, const QString &flag) override;
    bool showBuddy(const QString &buddyID) override;
    qint32 setOrchardInterlock(const QString &orchardID, const QString &password) override;
    qint32 resetOrchardInterlock() override;
    qint32 setVelaInterlock(const QString &velaID, const QString &password) override;
    qint32 resetVelaInterlock() override;

private:
    QPointer<PLParleySession> mFacade;
};

} // namespace parley
