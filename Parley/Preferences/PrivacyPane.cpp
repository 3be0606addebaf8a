#include "PrivacyPane.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PrefsSession.h"
#include "PrefsShell.h"
#include "PrefsWidgets.h"
#include "PrivacyProfileChange.h"
#include "Utils/PrefsManager.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace parley {

using Table = PrivacyLists::Table;
using MenuItem = PrivacyLists::MenuItem;

PrivacyPane::PrivacyPane(PrefsContext &context, QWidget *parent) : PrefsPane(context, parent)
{
    mPrivacyTitleMsg = PrefsWidgets::titleLabel(this);
    mPrivacyGuideField = PrefsWidgets::guideLabel(this);
    mCheckBuddyButton = new QCheckBox(this);
    mAllowBuddyField = new QLabel(this);
    mAllowBuddyTableView = new QListWidget(this);
    mDenyBuddyButton = new QPushButton(this);
    mDenyBuddyField = new QLabel(this);
    mDenyBuddyTableView = new QListWidget(this);
    mAllowBuddyButton = new QPushButton(this);
    mAllowNoteButton = new QCheckBox(this);
    mPrivacyEncryptMsg = PrefsWidgets::titleLabel(this);
    mPrivacyEncryptGuide = PrefsWidgets::guideLabel(this);
    mPrivacyEncryptButton = new QCheckBox(this);
    for (QListWidget *list : {mAllowBuddyTableView, mDenyBuddyTableView}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->setMinimumHeight(120);
    }

    auto *tables = new QGridLayout;
    tables->addWidget(mAllowBuddyField, 0, 0);
    tables->addWidget(mDenyBuddyField, 0, 1);
    tables->addWidget(mAllowBuddyTableView, 1, 0);
    tables->addWidget(mDenyBuddyTableView, 1, 1);
    tables->addWidget(mDenyBuddyButton, 2, 0, Qt::AlignRight);
    tables->addWidget(mAllowBuddyButton, 2, 1, Qt::AlignRight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(mPrivacyTitleMsg);
    layout->addWidget(mPrivacyGuideField);
    layout->addWidget(mCheckBuddyButton);
    layout->addLayout(tables);
    layout->addWidget(mAllowNoteButton);
    layout->addSpacing(8);
    layout->addWidget(mPrivacyEncryptMsg);
    layout->addWidget(mPrivacyEncryptGuide);
    layout->addWidget(mPrivacyEncryptButton);
    layout->addStretch(1);

    connect(mDenyBuddyButton, &QPushButton::clicked, this, &PrivacyPane::denyBuddyAction);
    connect(mAllowBuddyButton, &QPushButton::clicked, this, &PrivacyPane::allowBuddyAction);
    connect(mCheckBuddyButton, &QCheckBox::clicked, this, &PrivacyPane::reloadTables);
    for (Table which : {Table::Allowed, Table::Blocked}) {
        connect(table(which), &QListWidget::customContextMenuRequested, this, [this, which](const QPoint &at) {
            if (QListWidgetItem *item = table(which)->itemAt(at))
                table(which)->setCurrentItem(item);
            if (QMenu *menu = menuFor(which))
                menu->popup(table(which)->viewport()->mapToGlobal(at));
        });
    }

    NotificationCenter &center = NotificationCenter::defaultCenter();
    for (const char *name : {notifications::kBuddyManagerBuddyUpdated, notifications::kBuddyManagerGroupUpdated})
        center.addObserver(this, QLatin1String(name), nullptr, [this](const Notification &) { reloadTables(); });
}

void PrivacyPane::read()
{
    mPrivacyTitleMsg->setText(PrefsWidgets::text("Privacy"));
    mPrivacyGuideField->setText(PrefsWidgets::text("PrivacyGuide"));
    mCheckBuddyButton->setText(PrefsWidgets::text("PrivacyCheckBuddy"));
    mAllowBuddyField->setText(PrefsWidgets::text("PrivacyAllowBuddyList"));
    mDenyBuddyButton->setText(PrefsWidgets::text("Block"));
    mDenyBuddyField->setText(PrefsWidgets::text("PrivacyDenyBuddyList"));
    mAllowBuddyButton->setText(PrefsWidgets::text("Allow"));
    mAllowNoteButton->setText(PrefsWidgets::text("PrivacyAllowNote"));
    mPrivacyEncryptMsg->setText(PrefsWidgets::text("PrivacyTitle"));
    mPrivacyEncryptGuide->setText(PrefsWidgets::text("PrivacyEncryptGuide"));
    mPrivacyEncryptButton->setText(PrefsWidgets::text("PrivacyCheck"));
    mAllowBuddyTableView->setAccessibleName(PrefsWidgets::text("PrivacyAllowBuddyList"));
    mDenyBuddyTableView->setAccessibleName(PrefsWidgets::text("PrivacyDenyBuddyList"));

    const bool signedIn = mContext.signedIn;
    for (QWidget *control : {static_cast<QWidget *>(mDenyBuddyButton), static_cast<QWidget *>(mAllowBuddyButton),
                             static_cast<QWidget *>(mAllowNoteButton), static_cast<QWidget *>(mPrivacyEncryptButton),
                             static_cast<QWidget *>(mCheckBuddyButton)})
        control->setEnabled(signedIn);
    if (signedIn) {
        mCheckBuddyButton->setChecked(PrefsManager::privacy_IsChatToAllowedBuddy());
        mAllowNoteButton->setChecked(PrefsManager::privacy_IsReceiveMessageToOnlyBuddy());
        mPrivacyEncryptButton->setChecked(mContext.userPrefs.value(QStringLiteral("PrivacyEncrypt")).toBool());
    }
    reloadTables();
}

void PrivacyPane::save()
{
    const PrivacyProfileChange change = PrivacyProfileChange::forBoxes(
        mCheckBuddyButton->isChecked(), mAllowNoteButton->isChecked(), mPrivacyEncryptButton->isChecked(),
        PrefsManager::privacy_IsChatToAllowedBuddy(), PrefsManager::privacy_IsReceiveMessageToOnlyBuddy());
    for (auto it = change.profileChange.cbegin(); it != change.profileChange.cend(); ++it)
        PLMyInfoManager::sharedManager().setProfileValue(it.value().toString(), it.key());
    for (auto it = change.userPrefs.cbegin(); it != change.userPrefs.cend(); ++it)
        mContext.userPrefs.insert(it.key(), it.value());
    if (!change.profileChange.isEmpty() && mContext.session)
        mContext.session->setCPRF(change.profileChange, nullptr);
}

PrivacyLists PrivacyPane::lists() const
{
    const PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    return PrivacyLists(buddies.allowedBuddies(), buddies.blockedBuddies(), mCheckBuddyButton->isChecked(),
                        mContext.signedIn);
}

QListWidget *PrivacyPane::table(Table which) const
{
    return which == Table::Allowed ? mAllowBuddyTableView : mDenyBuddyTableView;
}

void PrivacyPane::reloadTables()
{
    const PrivacyLists model = lists();
    for (Table which : {Table::Allowed, Table::Blocked}) {
        QListWidget *list = table(which);
        const int selected = list->currentRow();
        list->clear();
        for (int row = 0; row < model.rowCount(which); ++row)
            list->addItem(model.cellText(which, row));
        if (selected >= 0 && selected < list->count())
            list->setCurrentRow(selected);
    }
}

std::optional<int> PrivacyPane::selectedRow(Table which) const
{
    const QList<QListWidgetItem *> selected = table(which)->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return table(which)->row(selected.constFirst());
}

bool PrivacyPane::sessionReady() const { return mContext.session && mContext.session->isLoggedIn(); }

void PrivacyPane::act(const PrivacyLists::Action &action, bool block)
{
    switch (action.kind) {
    case PrivacyLists::Action::Kind::Nothing:
        return;
    case PrivacyLists::Action::Kind::FlipOnlyAllowed:
        // Local until the window saves.
        mCheckBuddyButton->setChecked(!mCheckBuddyButton->isChecked());
        reloadTables();
        return;
    case PrivacyLists::Action::Kind::Send:
        if (!sessionReady())
            return;
        if (block)
            mContext.session->blockBuddy(action.buddy->velaID());
        else
            mContext.session->unblockBuddy(action.buddy->velaID());
        return;
    }
}

void PrivacyPane::denyBuddyAction() { act(lists().blockAction(selectedRow(Table::Allowed)), true); }

void PrivacyPane::allowBuddyAction() { act(lists().allowAction(selectedRow(Table::Blocked)), false); }

QMenu *PrivacyPane::menuFor(Table which)
{
    const std::optional<int> row = selectedRow(which);
    const PLBuddyPtr buddy = row ? lists().buddyAt(which, *row) : nullptr;
    delete mCurrentMenu;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    mCurrentMenu = menu;
    const bool allowed = which == Table::Allowed;
    const struct {
        MenuItem item;
        const char *titleKey; // none for the profile item, titled by validation
    } items[] = {
        {MenuItem::Profile, nullptr},
        {MenuItem::ShowAtList, allowed ? "MenuAllowBuddyShowAtList" : "MenuDenyBuddyShowAtList"},
        {MenuItem::Move, allowed ? "MenuAllowBuddyMove" : "MenuDenyBuddyMove"},
        {MenuItem::Remove, "MenuRemoveBuddy"},
    };
    for (const auto &entry : items) {
        const PrivacyLists::MenuItemState state = PrivacyLists::validate(entry.item, buddy);
        QString title = entry.titleKey ? PrefsWidgets::text(entry.titleKey) : state.title;
        if (title.isEmpty())
            title = PrefsWidgets::text("ProfileMenuTitle");
        // Buddy names are data: a "&" must not become a shortcut.
        QAction *action = menu->addAction(title.replace(QLatin1Char('&'), QLatin1String("&&")));
        action->setEnabled(state.enabled);
        const MenuItem item = entry.item;
        connect(action, &QAction::triggered, this, [this, which, item] { menuAction(which, item); });
    }
    return menu;
}

void PrivacyPane::menuAction(Table which, MenuItem item)
{
    const std::optional<int> row = selectedRow(which);
    const PLBuddyPtr buddy = row ? lists().buddyAt(which, *row) : nullptr;
    if (!buddy)
        return;
    const bool allowed = which == Table::Allowed;
    switch (item) {
    case MenuItem::Profile:
        if (mContext.shell)
            mContext.shell->showBuddyProfile(buddy);
        return;
    case MenuItem::ShowAtList:
        if (sessionReady())
            mContext.session->showBuddy(buddy->velaID());
        return;
    case MenuItem::Move:
        if (allowed)
            denyBuddyAction();
        else
            allowBuddyAction();
        return;
    case MenuItem::Remove:
        if (sessionReady())
            mContext.session->removeBuddyFlag(buddy->velaID(), allowed ? QStringLiteral("AL") : QStringLiteral("BL"));
        return;
    }
}

} // namespace parley
