#include "BuddyListRefresh.h"

namespace parley {

BuddyListRefresh::BuddyListRefresh(BuddyListScheduler &scheduler, Actions actions)
    : mScheduler(&scheduler), mActions(std::move(actions))
{
}

void BuddyListRefresh::armReloadTimer()
{
    mScheduler->singleShot(kQuietMs, [this] { reloadBuddyDataTimer(); });
}

void BuddyListRefresh::buddyUpdated()
{
    if (mLoading)
        return;
    armReloadTimer();
    mLoading = true;
}

void BuddyListRefresh::reloadBuddyDataTimer()
{
    if (mLoading) {
        // More updates came while this timer ran: wait for another quiet spell.
        armReloadTimer();
        mLoading = false;
        return;
    }
    mActions.reload(true);
    mScheduler->singleShot(kFollowUpMs, [this] { buddyDataTimer(); });
}

void BuddyListRefresh::buddyDataTimer()
{
    mActions.buddyDataReceived();
    mActions.expandAutoSaveItems();
}

void BuddyListRefresh::reloadBuddyData(bool force)
{
    if (!force) {
        mActions.reload(!mLoading);
        return;
    }
    // A rebuild before the list has arrived is dropped, not deferred.
    if (!mActions.isBuddyDataReceived())
        return;
    mActions.reload(true);
    mActions.expandAutoSaveItems();
    mActions.postStatusList();
    armReloadTimer();
    mLoading = true;
}

} // namespace parley
