#pragma once

// The tree view that shows a buddy list. Beyond a plain tree view: a press on
// a row's memo or home button is caught before the row is selected and turned
// into the button's action (the memo goes to the buddy under the pointer when
// the mouse is released); the Delete key and the context menu go to its
// delegate; a finished rename of a group does not open the next row's editor;
// drops are offered and taken as its delegate decides.

#include "BuddyListDecisions.h"

#include <QPointer>
#include <QTreeView>

class QMenu;
class QMimeData;

namespace parley {

class KCOutlineView;
class KCParleyCell;

// What the outline asks of its controller; every answer defaults to nothing.
class KCOutlineViewDelegate
{
public:
    virtual ~KCOutlineViewDelegate() = default;
    // The Delete key, before the view handles it.
    virtual void outlineViewWillDeleteItem(KCOutlineView *view) { (void)view; }
    // The menu of a right click on `index` (invalid: no row); the view shows it.
    virtual QMenu *outlineViewMenuForEvent(KCOutlineView *view, const QModelIndex &index)
    {
        (void)view;
        (void)index;
        return nullptr;
    }
    virtual QString outlineViewToolTip(KCOutlineView *view, const QModelIndex &index, BuddyListDecisions::RowButton under)
    {
        (void)view;
        (void)index;
        (void)under;
        return {};
    }
    // Drops: `proposed` is the row under the pointer, its group when the
    // pointer is between two rows, invalid over no row.
    virtual Qt::DropAction outlineViewValidateDrop(const QMimeData &data, const QModelIndex &proposed)
    {
        (void)data;
        (void)proposed;
        return Qt::IgnoreAction;
    }
    virtual bool outlineViewAcceptDrop(const QMimeData &data, const QModelIndex &proposed)
    {
        (void)data;
        (void)proposed;
        return false;
    }
};

class KCOutlineView : public QTreeView
{
    Q_OBJECT

public:
    static constexpr int kIndentation = 15;

    explicit KCOutlineView(QWidget *parent = nullptr);

    void setOutlineDelegate(KCOutlineViewDelegate *delegate) { mDelegate = delegate; }
    // The delegate that draws the rows and knows where their buttons are.
    void setCell(KCParleyCell *cell);
    KCParleyCell *cell() const;

    // The last press fell on an enabled memo button.
    bool mClickedTalkIcon() const { return mClickedTalkIcon_; }
    // The item a drop at `pos` (viewport coordinates) is proposed for.
    QModelIndex proposedDropItem(const QPoint &pos) const;
    // Which row button of the buddy line at `index` lies under viewport x.
    BuddyListDecisions::RowButton buttonAt(const QModelIndex &index, int x) const;

Q_SIGNALS:
    // Return or Enter on the current row while no name is being edited: the
    // keyboard's double click.
    void returnPressed(const QModelIndex &index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    // Handles a press on a row button; answers whether it was one.
    bool pressOnRowButton(const QPoint &pos);

    KCOutlineViewDelegate *mDelegate = nullptr;
    QPointer<KCParleyCell> mCell;
    bool mClickedTalkIcon_ = false;
    // The press went to a button: moves and the release are not the view's.
    bool mPressSwallowed = false;
};

} // namespace parley
