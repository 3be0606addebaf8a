#include "PGHBoxView.h"

#include "KCMsgOutlineView.h"
#include "pigeonhole/KCSplitView.h"
#include "KCTableView.h"
#include "PGHBoxDataSource.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>

namespace pigeonhole {

PGHBoxView::PGHBoxView(PGHBoxDataSource &dataSource, QWidget *detailPane, QWidget *parent)
    : QWidget(parent)
    , mDataSource(dataSource)
    , mDetail(detailPane)
{
    mOutline = new KCMsgOutlineView(this);
    mOutline->setObjectName(dataSource.box() == PGHBox::Memo ? QStringLiteral("memoOutlineView")
                                                              : QStringLiteral("chatOutlineView"));
    mOutline->setModel(dataSource.folderModel());
    mTable = new KCTableView(this);
    mTable->setObjectName(dataSource.box() == PGHBox::Memo ? QStringLiteral("memoTableView")
                                                            : QStringLiteral("chatTableView"));
    mTable->setModel(dataSource.listModel());
    QHeaderView *header = mTable->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setStretchLastSection(false);
    const int widths[] = {64, 171, 143, 60};
    for (int i = 0; i < 4; ++i)
        header->resizeSection(i, widths[i]);
    header->setSectionResizeMode(1, QHeaderView::Stretch);

    mRightSplit = new KCSplitView(Qt::Vertical, this);
    mRightSplit->addWidget(mTable);
    mRightSplit->addWidget(mDetail);
    mSplit = new KCSplitView(Qt::Horizontal, this);
    mSplit->setObjectName(QStringLiteral("memoSplitView"));
    mSplit->addWidget(mOutline);
    mSplit->addWidget(mRightSplit);
    mSplit->setMinCoordinateLimit(120);
    mSplit->setMaxCoordinateLimit(320);
    mSplit->setSizes({170, 600});
    mRightSplit->setSizes({220, 260});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mSplit);

    // The user's choices go to the data source.
    connect(mOutline->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { mDataSource.selectTreeIndex(current); });
    connect(header, &QHeaderView::sectionClicked, &mDataSource, &PGHBoxDataSource::columnClicked);
    connect(mTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        QList<int> rows;
        for (const QModelIndex &index : mTable->selectionModel()->selectedRows())
            rows << index.row();
        mDataSource.setSelectedRows(rows, mTable->currentIndex().row());
    });
    connect(mTable, &QAbstractItemView::doubleClicked, &mDataSource, [this] { mDataSource.tableDoubleClickAction(); });
    connect(mOutline, &KCMsgOutlineView::contextMenuRequested, this, [this](const QPoint &at) {
        if (mOutlineMenu)
            mOutlineMenu->popup(at);
    });
    connect(mTable, &KCTableView::contextMenuRequested, this, [this](const QPoint &at) {
        if (mTableMenu)
            mTableMenu->popup(at);
    });

    // The views follow the data source.
    connect(&mDataSource, &PGHBoxDataSource::treeReloaded, this, &PGHBoxView::followTree);
    connect(&mDataSource, &PGHBoxDataSource::listReloaded, this, &PGHBoxView::followList);
    connect(&mDataSource, &PGHBoxDataSource::sortChanged, this, &PGHBoxView::followSort);
    // A model reset drops the view's selection models' state; the tree comes back selected.
    connect(mDataSource.folderModel(), &QAbstractItemModel::modelReset, this, &PGHBoxView::followTree);
}

void PGHBoxView::setMenus(QMenu *outlineMenu, QMenu *tableMenu)
{
    mOutlineMenu = outlineMenu;
    mTableMenu = tableMenu;
}

void PGHBoxView::followTree()
{
    mOutline->expandAll();
    const QSignalBlocker block(mOutline->selectionModel());
    const QModelIndex selected = mDataSource.selectedTreeIndex();
    if (selected.isValid())
        mOutline->selectionModel()->setCurrentIndex(selected, QItemSelectionModel::ClearAndSelect);
    else
        mOutline->selectionModel()->clear();
    mOutline->viewport()->update();
}

void PGHBoxView::followList()
{
    const QSignalBlocker block(mTable->selectionModel());
    mTable->selectionModel()->clear();
    mTable->viewport()->update();
}

void PGHBoxView::followSort(int section, bool ascending)
{
    if (section >= 0)
        mTable->horizontalHeader()->setSortIndicator(section, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

} // namespace pigeonhole
