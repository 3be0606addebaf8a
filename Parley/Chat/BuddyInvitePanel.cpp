#include "BuddyInvitePanel.h"

#include "BuddyList/BuddyString.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "Utils/KCUtilities.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace parley {

namespace {
constexpr int kIDRole = Qt::UserRole + 1;
}

BuddyInvitePanel::BuddyInvitePanel(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(KCLocalizedString(QStringLiteral("BuddyInviteTitle")));
    auto *column = new QVBoxLayout(this);
    auto *prompt = new QLabel(KCLocalizedString(QStringLiteral("BuddyInviteMessage")), this);
    prompt->setWordWrap(true);
    column->addWidget(prompt);
    mList = new QListWidget(this);
    mList->setAccessibleName(prompt->text());
    column->addWidget(mList, 1);
    for (const PLBuddyPtr &buddy : PLBuddyManager::sharedManager().allowedBuddies()) {
        if (!buddy || buddy->status() == 0 || buddy->buddyFlagBLBit() || buddy->velaID().isEmpty())
            continue;
        // Peer text: shown as it is.
        auto *item = new QListWidgetItem(QIcon(BuddyString::buddyStatusImageWithBuddy(buddy)),
                                         BuddyString::buddyStringWithBuddy(buddy), mList);
        item->setData(kIDRole, buddy->velaID());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(KCLocalizedString(QStringLiteral("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(KCLocalizedString(QStringLiteral("Cancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    resize(280, 340);
}

QStringList BuddyInvitePanel::offeredIDs() const
{
    QStringList ids;
    for (int row = 0; row < mList->count(); ++row)
        ids << mList->item(row)->data(kIDRole).toString();
    return ids;
}

QStringList BuddyInvitePanel::chosenIDs() const
{
    QStringList ids;
    for (int row = 0; row < mList->count(); ++row)
        if (mList->item(row)->checkState() == Qt::Checked)
            ids << mList->item(row)->data(kIDRole).toString();
    return ids;
}

BuddyInvitePanel *BuddyInvitePanel::run(QWidget *parent, std::function<void(QStringList)> done)
{
    auto *panel = new BuddyInvitePanel(parent);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    connect(panel, &QDialog::finished, panel, [panel, done = std::move(done)](int result) {
        if (done)
            done(result == QDialog::Accepted ? panel->chosenIDs() : QStringList());
    });
    panel->open();
    return panel;
}

} // namespace parley
