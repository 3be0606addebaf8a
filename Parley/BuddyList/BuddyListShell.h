#pragma once

// What the buddy list asks of the application shell: whether the signed-in
// account's list has arrived, the notice that it is shown, the session
// facade's move of buddies between groups and the buddy's sister-service
// page. The application controller implements it; tests record the calls.

#include "BuddyManagement/PLBuddy.h"

#include <QVariantList>

namespace parley {

class BuddyListShell
{
public:
    virtual ~BuddyListShell() = default;
    virtual bool isBuddyDataReceived() const = 0;
    // The list is there: the shell shows it in place of the login view.
    virtual void buddyDataReceived() = 0;
    // Requests {"buddyID", "buddyCMN", "fromGID", "targetGID"}; answers whether they were sent.
    virtual bool moveBuddies(const QVariantList &requests) = 0;
    virtual void showBuddyMininook(const PLBuddyPtr &buddy) = 0;
};

} // namespace parley
