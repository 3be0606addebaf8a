#pragma once

// The buddy list in the messenger: the outline with its controller in the
// main window's buddy view, registered as the shell's buddy-list data source
// and view model, and answering the list's questions to the shell from the
// application controller (whether the list has arrived, the session facade's
// moves, the sister-service page). It also names buddies for the chat rooms
// of the core. Made once at start-up, after the controller; unregisters
// itself when destroyed.

#include "BuddyListDataSource.h"
#include "BuddyListShell.h"
#include "BuddyString.h"
#include "Shell/ShellWindows.h"

#include <QObject>
#include <QPointer>

namespace parley {

class DistributedNotificationCenter;

namespace shell {
class AppController;
}

class BuddyListView;

class BuddyListWindow final : public QObject,
                              public BuddyListShell,
                              public shell::BuddyListDataSource,
                              public shell::BuddyListManager
{
    Q_OBJECT

public:
    // `plugInCenter` carries the status list to the message box (the session
    // bus's when null).
    explicit BuddyListWindow(shell::AppController &controller, DistributedNotificationCenter *plugInCenter = nullptr,
                             QObject *parent = nullptr);
    ~BuddyListWindow() override;

    parley::BuddyListDataSource &dataSource() { return mDataSource; }
    BuddyListView *view() const;

    // BuddyListShell
    bool isBuddyDataReceived() const override;
    void buddyDataReceived() override;
    bool moveBuddies(const QVariantList &requests) override;
    void showBuddyMininook(const PLBuddyPtr &buddy) override;

    // shell::BuddyListDataSource
    void reloadBuddyData(bool rebuild) override { mDataSource.reloadBuddyData(rebuild); }
    void setIsLoginCompleted(bool completed) override { mDataSource.setIsLoginCompleted(completed); }
    void expandAllItems(bool) override { mDataSource.expandAllItems(); }

    // shell::BuddyListManager
    // An entry names its buddy as a record ("buddy") or by ID ("velaID").
    PLBuddyPtr buddyForBuddyDict(const QVariantMap &entry) override;
    int buddyListType() override { return parley::BuddyListManager::buddyListType(); }
    QVariantMap allBuddyList() override { return mManager.allBuddyList(); }
    void clearOrButtonX() override { mManager.clearOrButtonX(); }

private:
    shell::AppController &mController;
    parley::BuddyListManager &mManager;
    parley::BuddyListDataSource mDataSource;
    QPointer<BuddyListView> mView;
    BuddyString mBuddyString;
};

} // namespace parley
