#pragma once

// The panel that picks buddies to chat with or to invite: the signed-in,
// unblocked buddies of the list, each with a check box, in display order.
// It answers once, with the chosen IDs (empty on Cancel), and goes.

#include <QDialog>
#include <QStringList>

#include <functional>

class QListWidget;

namespace parley {

class BuddyInvitePanel final : public QDialog
{
    Q_OBJECT
public:
    explicit BuddyInvitePanel(QWidget *parent = nullptr);

    // Opens a panel over `parent` (window-modal); `done` hears the choice.
    static BuddyInvitePanel *run(QWidget *parent, std::function<void(QStringList)> done);

    // The IDs offered, in order, and those checked.
    QStringList offeredIDs() const;
    QStringList chosenIDs() const;
    QListWidget *list() const { return mList; }

private:
    QListWidget *mList = nullptr;
};

} // namespace parley
