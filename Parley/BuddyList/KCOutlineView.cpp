#include "KCOutlineView.h"

#include "BuddyListModel.h"
#include "KCParleyCell.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QToolTip>

namespace parley {

using BuddyListDecisions::RowButton;

KCOutlineView::KCOutlineView(QWidget *parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setIndentation(kIndentation);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false); // the controller decides what a double click does
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setMouseTracking(true);
}

void KCOutlineView::setCell(KCParleyCell *cell)
{
    mCell = cell;
    setItemDelegate(cell);
}

KCParleyCell *KCOutlineView::cell() const { return mCell.data(); }

RowButton KCOutlineView::buttonAt(const QModelIndex &index, int x) const
{
    if (!mCell || index.data(BuddyListModel::KindRole).toInt() != BuddyListModel::BuddyItem)
        return RowButton::None;
    if (mCell->buttons().isInTalkButtonWithPointX(x))
        return RowButton::Talk;
    if (mCell->buttons().isInOrchardButtonWithPointX(x))
        return RowButton::Orchard;
    return RowButton::None;
}

bool KCOutlineView::pressOnRowButton(const QPoint &pos)
{
    mClickedTalkIcon_ = false;
    const QModelIndex index = indexAt(pos);
    const RowButton button = buttonAt(index, pos.x());
    if (button == RowButton::None)
        return false;
    const PLBuddyPtr buddy = index.data(BuddyListModel::BuddyRole).value<PLBuddyPtr>();
    if (button == RowButton::Talk) {
        mClickedTalkIcon_ = KCParleyCell::isTalkButtonEnabled(buddy.get());
    } else if (KCParleyCell::isOrButtonEnabled(buddy.get())) {
        // The home page opens on the press.
        mCell->orchardAction(index);
    }
    // Either way the press is the button's: no selection, drag or edit starts.
    return true;
}

void KCOutlineView::mousePressEvent(QMouseEvent *event)
{
    mPressSwallowed = event->button() == Qt::LeftButton && pressOnRowButton(event->position().toPoint());
    if (!mPressSwallowed)
        QTreeView::mousePressEvent(event);
}

void KCOutlineView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click on a button is a press on it too,
    // never the row's double click.
    mPressSwallowed = event->button() == Qt::LeftButton && pressOnRowButton(event->position().toPoint());
    if (!mPressSwallowed)
        QTreeView::mouseDoubleClickEvent(event);
}

void KCOutlineView::mouseMoveEvent(QMouseEvent *event)
{
    if (mPressSwallowed && (event->buttons() & Qt::LeftButton))
        return;
    QTreeView::mouseMoveEvent(event);
}

void KCOutlineView::mouseReleaseEvent(QMouseEvent *event)
{
    const bool swallowed = mPressSwallowed;
    mPressSwallowed = false;
    if (!swallowed)
        QTreeView::mouseReleaseEvent(event);
    // The memo goes to the buddy under the pointer at the left button's
    // release; the press is spent either way.
    if (event->button() != Qt::LeftButton)
        return;
    const bool talk = mClickedTalkIcon_;
    mClickedTalkIcon_ = false;
    if (talk && mCell)
        mCell->talkAction(indexAt(event->position().toPoint()));
}

void KCOutlineView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && mDelegate)
        mDelegate->outlineViewWillDeleteItem(this);
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState
        && currentIndex().isValid()) {
        Q_EMIT returnPressed(currentIndex());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void KCOutlineView::contextMenuEvent(QContextMenuEvent *event)
{
    setFocus(Qt::PopupFocusReason);
    // From the keyboard the menu is the current row's.
    const QPoint pos = event->reason() == QContextMenuEvent::Keyboard && currentIndex().isValid()
        ? visualRect(currentIndex()).center()
        : event->pos();
    const QModelIndex index = indexAt(pos);
    if (!index.isValid()) {
        clearSelection();
    } else if (!selectionModel()->isSelected(index)) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    QMenu *menu = mDelegate ? mDelegate->outlineViewMenuForEvent(this, index) : nullptr;
    if (menu)
        menu->exec(viewport()->mapToGlobal(pos));
    event->accept();
}

void KCOutlineView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Return, Tab and Backtab end the rename; they never open the next row's editor.
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem)
        hint = QAbstractItemDelegate::NoHint;
    QTreeView::closeEditor(editor, hint);
    setFocus(Qt::OtherFocusReason);
}

void KCOutlineView::startDrag(Qt::DropActions)
{
    QModelIndexList dragged;
    const QModelIndexList selected = selectedIndexes();
    for (const QModelIndex &index : selected) {
        if (model()->flags(index) & Qt::ItemIsDragEnabled)
            dragged << index;
    }
    if (dragged.isEmpty())
        return;
    QMimeData *data = model()->mimeData(dragged);
    if (!data)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(viewport()->grab(visualRect(dragged.first())));
    // Other applications get a copy; a drop on this list makes it a move.
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

QModelIndex KCOutlineView::proposedDropItem(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return {};
    const QRect rect = visualRect(index);
    // Near a row's top or bottom edge the drop goes between rows: to their group.
    const int margin = qBound(2, qRound(qreal(rect.height()) / 5.5), 12);
    if (pos.y() - rect.top() < margin || rect.bottom() - pos.y() < margin)
        return index.parent();
    return index;
}

void KCOutlineView::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeView::dragMoveEvent(event); // scrolling and the drop indicator
    const Qt::DropAction action = mDelegate && event->mimeData()
        ? mDelegate->outlineViewValidateDrop(*event->mimeData(), proposedDropItem(event->position().toPoint()))
        : Qt::IgnoreAction;
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void KCOutlineView::dropEvent(QDropEvent *event)
{
    const QModelIndex proposed = proposedDropItem(event->position().toPoint());
    const QMimeData *data = event->mimeData();
    const Qt::DropAction action =
        mDelegate && data ? mDelegate->outlineViewValidateDrop(*data, proposed) : Qt::IgnoreAction;
    if (action != Qt::IgnoreAction && mDelegate->outlineViewAcceptDrop(*data, proposed)) {
        event->setDropAction(action);
        event->accept();
    } else {
        event->ignore();
    }
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

bool KCOutlineView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeView::viewportEvent(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = mDelegate && index.isValid()
        ? mDelegate->outlineViewToolTip(this, index, buttonAt(index, help->pos().x()))
        : QString();
    if (text.isEmpty())
        QToolTip::hideText();
    else // names are the peers' own text: shown as plain text, never as markup
        QToolTip::showText(help->globalPos(),
                           QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>"),
                           viewport(), visualRect(index));
    return true;
}

} // namespace parley
