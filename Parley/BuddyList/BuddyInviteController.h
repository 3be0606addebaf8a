#pragma once

// The invite panel: a sheet in which the user picks buddies, for a chat with
// several buddies, an invitation into a chat, or a memo's receivers. On the
// left the buddies of the group chosen in the pop-up (or found by name), on
// the right those picked, moved there by double click or drag and taken back
// by double click. OK hands the picked IDs to the caller; Cancel nothing.
// Each run makes its own panel, which deletes itself when it ends.

#include "BuddyInviteLists.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace parley {

class BuddyInviteTableModel;
class KCParleyCell;

class BuddyInviteController : public QDialog
{
    Q_OBJECT

public:
    using DidEnd = std::function<void(const QStringList &velaIDs)>;

    // Opens a panel over `parent` (window-modal) and returns it; `didEnd`
    // hears the picked IDs, in order, after OK only.
    static BuddyInviteController *runBuddyInvitePanel(QWidget *parent, bool onlineOnly, DidEnd didEnd,
                                                      const PLBuddyManager &buddies = PLBuddyManager::sharedManager());

    BuddyInviteController(const PLBuddyManager &buddies, bool onlineOnly, QWidget *parent = nullptr);

    void invitePanelOKAction();
    void invitePanelCancelAction();
    void buddyGroupSelectAction();
    void insertBuddy();
    void removeBuddy();
    void textDidChange();

    const BuddyInviteLists &lists() const { return mLists; }
    QComboBox *viewByGroupButton() const { return mViewByGroupButton; }
    QLineEdit *nameSearchField() const { return mNameSearchField; }
    QTableView *searchTableView() const { return mSearchTableView; }
    QTableView *inviteTableView() const { return mInviteTableView; }
    QPushButton *okButton() const { return mOKButton; }
    QPushButton *cancelButton() const { return mCancelButton; }

private:
    void reloadTables();

    BuddyInviteLists mLists;
    DidEnd mDidEnd;
    QLabel *mViewByGroupText;
    QLabel *mSearchTableText;
    QLabel *mInviteTableText;
    QLineEdit *mNameSearchField;
    QComboBox *mViewByGroupButton;
    QTableView *mSearchTableView;
    QTableView *mInviteTableView;
    BuddyInviteTableModel *mSearchModel;
    BuddyInviteTableModel *mInviteModel;
    KCParleyCell *mCell;
    QPushButton *mOKButton;
    QPushButton *mCancelButton;
};

} // namespace parley
