#include "KCMsgOutlineView.h"

#include "KCMsgOutlineCell.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QPainter>

namespace pigeonhole {

KCMsgOutlineView::KCMsgOutlineView(QWidget *parent)
    : QTreeView(parent)
{
    setItemDelegate(new KCMsgOutlineCell(this));
    setHeaderHidden(true);
    // One column as wide as the outline, so a selection spans the row.
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(QHeaderView::Stretch);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDefaultDropAction(Qt::MoveAction);
    setFrameShape(QFrame::NoFrame);
    setIndentation(14);
    QPalette p = palette();
    p.setColor(QPalette::Base, backgroundColor());
    p.setColor(QPalette::Window, backgroundColor());
    setPalette(p);
    setAutoFillBackground(true);
}

void KCMsgOutlineView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid())
        return; // below the last row: no menu
    if (!selectionModel()->isSelected(index))
        setCurrentIndex(index);
    viewport()->update();
    Q_EMIT contextMenuRequested(event->globalPos());
}

// The selection's colours follow the focus.
void KCMsgOutlineView::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void KCMsgOutlineView::focusOutEvent(QFocusEvent *event)
{
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

void KCMsgOutlineView::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    // The selection's gradient runs under the branch area too.
    if (selectionModel()->isSelected(index)) {
        const bool key = hasFocus() && isActiveWindow();
        KCMsgOutlineCell::paintSelection(painter, rect, key ? KCMsgOutlineCell::keyColors() : KCMsgOutlineCell::otherColors());
    } else {
        painter->fillRect(rect, backgroundColor());
    }
    QTreeView::drawBranches(painter, rect, index);
}

} // namespace pigeonhole
