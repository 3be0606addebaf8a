#include "BuddyInviteController.h"

#include "BuddyInviteTableModel.h"
#include "KCDefaultFont.h"
#include "KCParleyCell.h"
#include "Utils/KCUtilities.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace parley {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

QTableView *table(QWidget *parent, const char *name)
{
    auto *view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(KCParleyCell::kRowHeight);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setShowGrid(false);
    view->setMinimumSize(180, 200);
    return view;
}

QList<int> selectedRows(const QTableView *view)
{
    QList<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

BuddyInviteController *BuddyInviteController::runBuddyInvitePanel(QWidget *parent, bool onlineOnly, DidEnd didEnd,
                                                                  const PLBuddyManager &buddies)
{
    auto *panel = new BuddyInviteController(buddies, onlineOnly, parent);
    panel->mDidEnd = std::move(didEnd);
    if (parent) {
        parent->window()->raise();
        parent->window()->activateWindow();
    }
    panel->open();
    return panel;
}

BuddyInviteController::BuddyInviteController(const PLBuddyManager &buddies, bool onlineOnly, QWidget *parent)
    : QDialog(parent), mLists(buddies, onlineOnly)
{
    setObjectName(QStringLiteral("BuddyInvite"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    setFont(GetDefaultFontOfSize(11));
    setWindowTitle(text("InviteBuddy"));

    auto *outer = new QVBoxLayout(this);
    auto *box = new QGroupBox(text("InviteBuddy"), this);
    outer->addWidget(box);
    auto *grid = new QGridLayout(box);
    mNameSearchField = new QLineEdit(box);
    mNameSearchField->setObjectName(QStringLiteral("nameSearchField"));
    mNameSearchField->setClearButtonEnabled(true);
    mNameSearchField->setToolTip(text("SearchFieldToolTip"));
    mNameSearchField->setPlaceholderText(text("Name"));
    mViewByGroupText = new QLabel(text("ViewByGroup"), box);
    mViewByGroupButton = new QComboBox(box);
    mViewByGroupButton->setObjectName(QStringLiteral("viewByGroupButton"));
    mSearchTableText = new QLabel(text("SearchedBuddy"), box);
    mInviteTableText = new QLabel(text("SelectedBuddy"), box);
    mSearchTableView = table(box, "searchTableView");
    mInviteTableView = table(box, "inviteTableView");
    grid->addWidget(mViewByGroupText, 0, 0);
    grid->addWidget(mViewByGroupButton, 0, 1);
    grid->addWidget(mNameSearchField, 0, 2);
    grid->addWidget(mSearchTableText, 1, 0, 1, 2);
    grid->addWidget(mInviteTableText, 1, 2);
    grid->addWidget(mSearchTableView, 2, 0, 1, 2);
    grid->addWidget(mInviteTableView, 2, 2);
    // The candidates' table has two columns, the picked one only names.
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    mCancelButton = new QPushButton(text("Cancel"), this);
    mOKButton = new QPushButton(text("OK"), this);
    mOKButton->setDefault(true);
    buttons->addWidget(mCancelButton);
    buttons->addWidget(mOKButton);
    outer->addLayout(buttons);

    mCell = new KCParleyCell(this);
    mCell->setDisplayButtons(false);
    mCell->setLeftMargin(0);
    mCell->setFont(GetDefaultFontOfSize(11));
    mSearchModel = new BuddyInviteTableModel(
        BuddyInviteTableModel::Side::Search, [this]() -> const QList<PLBuddyPtr> & { return mLists.searchList(); }, this);
    mInviteModel = new BuddyInviteTableModel(
        BuddyInviteTableModel::Side::Invite, [this]() -> const QList<PLBuddyPtr> & { return mLists.inviteList(); }, this);
    mInviteModel->setDropHandler([this](const QStringList &ids) {
        const bool changed = mLists.insertIDs(ids);
        mInviteModel->reload();
        return changed;
    });
    mSearchTableView->setModel(mSearchModel);
    mInviteTableView->setModel(mInviteModel);
    mSearchTableView->horizontalHeader()->setStretchLastSection(false);
    mSearchTableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    mSearchTableView->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    mSearchTableView->setItemDelegateForColumn(0, mCell);
    mInviteTableView->setItemDelegateForColumn(0, mCell);
    mSearchTableView->setDragEnabled(true);
    mSearchTableView->setDragDropMode(QAbstractItemView::DragOnly);
    mInviteTableView->setAcceptDrops(true);
    mInviteTableView->setDragDropMode(QAbstractItemView::DropOnly);
    mInviteTableView->setDropIndicatorShown(false);

    mViewByGroupButton->addItems(mLists.groupTitles());
    connect(mViewByGroupButton, &QComboBox::activated, this, &BuddyInviteController::buddyGroupSelectAction);
    connect(mNameSearchField, &QLineEdit::textChanged, this, &BuddyInviteController::textDidChange);
    connect(mSearchTableView, &QAbstractItemView::doubleClicked, this, &BuddyInviteController::insertBuddy);
    connect(mInviteTableView, &QAbstractItemView::doubleClicked, this, &BuddyInviteController::removeBuddy);
    connect(mOKButton, &QPushButton::clicked, this, &BuddyInviteController::invitePanelOKAction);
    connect(mCancelButton, &QPushButton::clicked, this, &BuddyInviteController::invitePanelCancelAction);

    mLists.searchGroup(mViewByGroupButton->currentText());
    reloadTables();
    resize(560, 360);
}

void BuddyInviteController::reloadTables()
{
    mSearchModel->reload();
    mInviteModel->reload();
}

void BuddyInviteController::invitePanelOKAction()
{
    const QStringList ids = mLists.invitedIDs();
    const DidEnd didEnd = std::move(mDidEnd);
    mDidEnd = nullptr;
    done(1);
    if (didEnd)
        didEnd(ids);
}

void BuddyInviteController::invitePanelCancelAction()
{
    mDidEnd = nullptr;
    done(0);
}

void BuddyInviteController::buddyGroupSelectAction()
{
    mLists.searchGroup(mViewByGroupButton->currentText());
    mSearchModel->reload();
}

void BuddyInviteController::textDidChange()
{
    mLists.searchName(mNameSearchField->text(), mViewByGroupButton->currentText());
    mSearchModel->reload();
}

void BuddyInviteController::insertBuddy()
{
    if (mLists.insert(selectedRows(mSearchTableView)))
        mInviteModel->reload();
}

void BuddyInviteController::removeBuddy()
{
    if (mLists.remove(selectedRows(mInviteTableView)))
        mInviteModel->reload();
}

} // namespace parley
