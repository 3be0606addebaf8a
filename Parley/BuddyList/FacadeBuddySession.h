#pragma once

// The buddy requests sent through the application's session facade; nothing
// goes out while there is none (before start-up, in tests without one).

#include "BuddySession.h"

#include <functional>

namespace parley {

class PLParleySession;

class FacadeBuddySession final : public BuddySession
{
public:
    // `facade` finds the facade at the time of each request (the
    // application controller's by default).
    explicit FacadeBuddySession(std::function<PLParleySession *()> facade = {});

    // The one the windows use unless given another.
    static FacadeBuddySession &shared();

    bool isLoggedIn() const override;
    bool blockBuddy(const QString &velaID) override;
    bool unblockBuddy(const QString &velaID) override;
    bool removeBuddyFlag(const QString &velaID, const QString &flag) override;
    bool removeBuddies(const QVariantList &records) override;
    bool moveBuddies(const QVariantList &records) override;
    bool copyBuddies(const QVariantList &records) override;
    bool addGroup(const QString &name) override;
    bool renameGroup(const QString &groupID, const QString &name) override;
    bool removeGroup(const QString &groupID) override;
    bool requestAddBuddy(const QString &fullID, const QString &groupID, const QString &message) override;
    bool acceptAddBuddy(const QString &velaID, const QString &buddyCMN, const QString &groupID) override;
    bool rejectAddBuddy(const QString &velaID, const QString &buddyCMN) override;

private:
    std::function<PLParleySession *()> mFacade;
};

} // namespace parley
