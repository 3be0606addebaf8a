#pragma once

// The Privacy pane: who may chat with the user (the allowed and blocked
// tables, with Block and Allow acting at once), memos only from buddies,
// and whether messages are encrypted. The two switches of the server
// profile are sent when the window saves, and only when they changed.

#include "PrefsPane.h"
#include "PrivacyLists.h"

#include <QPointer>

class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;

namespace parley {

class PrivacyPane : public PrefsPane
{
    Q_OBJECT
public:
    explicit PrivacyPane(PrefsContext &context, QWidget *parent = nullptr);

    void read() override;
    void save() override;

    // Both tables again from the buddy manager (after a buddy or group change).
    void reloadTables();
    void denyBuddyAction();
    void allowBuddyAction();
    // The tables' menus: built for a table's selected row, then acted on.
    QMenu *menuFor(PrivacyLists::Table table);
    void menuAction(PrivacyLists::Table table, PrivacyLists::MenuItem item);

    QCheckBox *checkBuddyButton() const { return mCheckBuddyButton; }
    QCheckBox *allowNoteButton() const { return mAllowNoteButton; }
    QCheckBox *encryptButton() const { return mPrivacyEncryptButton; }
    QListWidget *allowTable() const { return mAllowBuddyTableView; }
    QListWidget *denyTable() const { return mDenyBuddyTableView; }
    QPushButton *blockButton() const { return mDenyBuddyButton; }
    QPushButton *allowButton() const { return mAllowBuddyButton; }

private:
    PrivacyLists lists() const;
    QListWidget *table(PrivacyLists::Table table) const;
    std::optional<int> selectedRow(PrivacyLists::Table table) const;
    void act(const PrivacyLists::Action &action, bool block);
    bool sessionReady() const;

    QLabel *mPrivacyTitleMsg;
    QLabel *mPrivacyGuideField;
    QCheckBox *mCheckBuddyButton;
    QLabel *mAllowBuddyField;
    QListWidget *mAllowBuddyTableView;
    QPushButton *mDenyBuddyButton;
    QLabel *mDenyBuddyField;
    QListWidget *mDenyBuddyTableView;
    QPushButton *mAllowBuddyButton;
    QCheckBox *mAllowNoteButton;
    QLabel *mPrivacyEncryptMsg;
    QLabel *mPrivacyEncryptGuide;
    QCheckBox *mPrivacyEncryptButton;
    QPointer<QMenu> mCurrentMenu;
};

} // namespace parley
