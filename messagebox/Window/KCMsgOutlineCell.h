#pragma once

// The folder outline's cell: the icon 3 points from the left edge, centred
// vertically, the name after it cut at the tail; a selected row is drawn with
// a 1-point line at its top and bottom and a vertical gradient between, in
// blue while the outline has the focus in the active window and in grey
// otherwise, its name bold and white with a dark shadow.

#include <QStyledItemDelegate>

namespace pigeonhole {

class KCMsgOutlineCell : public QStyledItemDelegate
{
    Q_OBJECT

public:
    struct Colors {
        QColor topLine, bottomLine, gradientStart, gradientEnd;
    };
    static Colors keyColors();
    static Colors otherColors();

    explicit KCMsgOutlineCell(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Paints the gradient selection into a row's rectangle.
    static void paintSelection(QPainter *painter, const QRect &rect, const Colors &colors);
};

} // namespace pigeonhole
