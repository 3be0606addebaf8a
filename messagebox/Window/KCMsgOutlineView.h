#pragma once

// The folder outline: one selected row at a time and never none, 18-point
// rows on a light blue background, the gradient selection of its cell, and a
// context menu only over a row (which becomes the selected row first).

#include <QTreeView>

namespace pigeonhole {

class KCMsgOutlineView : public QTreeView
{
    Q_OBJECT

public:
    static QColor backgroundColor() { return {231, 237, 246}; }

    explicit KCMsgOutlineView(QWidget *parent = nullptr);

Q_SIGNALS:
    void contextMenuRequested(const QPoint &globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;
};

} // namespace pigeonhole
