#pragma once

// Turns bursts of buddy updates into few rebuilds of the buddy list. An update
// arms a 0.5 s timer unless one is pending; a firing timer that finds more
// updates pending arms another, else it rebuilds and, 1.0 s later, tells the
// shell the list is there and opens the saved groups again. A forced reload
// rebuilds at once, tells the message box every buddy's status, and lets one
// more timer rebuild follow. Timers are never cancelled. Free of widgets: the
// rebuild and the rest are the owner's callbacks.

#include "BuddyListScheduler.h"

#include <functional>

namespace parley {

class BuddyListRefresh
{
public:
    static constexpr int kQuietMs = 500;
    static constexpr int kFollowUpMs = 1000;

    struct Actions {
        std::function<bool()> isBuddyDataReceived;
        // A model reset of the outline; with `true` the rows are rebuilt inside it.
        std::function<void(bool rebuildRows)> reload;
        std::function<void()> expandAutoSaveItems;
        std::function<void()> postStatusList;
        std::function<void()> buddyDataReceived;
    };

    BuddyListRefresh(BuddyListScheduler &scheduler, Actions actions);
    // Timers armed from now on go to this scheduler (not owned).
    void setScheduler(BuddyListScheduler &scheduler) { mScheduler = &scheduler; }

    // "ParleyBuddyManagerBuddyUpdated".
    void buddyUpdated();
    // YES: rebuild now (once the list has arrived); NO: rebuild unless a
    // timer rebuild is pending, and redraw in any case.
    void reloadBuddyData(bool force);

    bool mIsBuddyLoading() const { return mLoading; }
    void setMIsBuddyLoading(bool loading) { mLoading = loading; }

private:
    void armReloadTimer();
    void reloadBuddyDataTimer();
    void buddyDataTimer();

    BuddyListScheduler *mScheduler;
    Actions mActions;
    bool mLoading = false;
};

} // namespace parley
