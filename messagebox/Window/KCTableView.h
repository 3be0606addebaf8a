#pragma once

// The message table: whole rows selected, several at once, dragged only to
// the folder outline of this window (the drag type is known nowhere else).

#include <QTableView>

namespace pigeonhole {

class KCTableView : public QTableView
{
    Q_OBJECT

public:
    explicit KCTableView(QWidget *parent = nullptr);

Q_SIGNALS:
    // A context menu is wanted at this global position (the row under it is selected).
    void contextMenuRequested(const QPoint &globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
};

} // namespace pigeonhole
