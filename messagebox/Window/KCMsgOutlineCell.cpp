#include "KCMsgOutlineCell.h"

#include <QApplication>
#include <QPainter>

namespace pigeonhole {

KCMsgOutlineCell::Colors KCMsgOutlineCell::keyColors()
{
    return {QColor(61, 123, 218), QColor(31, 92, 207), QColor(89, 153, 209), QColor(33, 94, 208)};
}

KCMsgOutlineCell::Colors KCMsgOutlineCell::otherColors()
{
    return {QColor(173, 187, 209), QColor(150, 161, 183), QColor(168, 183, 205), QColor(157, 174, 199)};
}

KCMsgOutlineCell::KCMsgOutlineCell(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void KCMsgOutlineCell::paintSelection(QPainter *painter, const QRect &rect, const Colors &colors)
{
    painter->fillRect(rect, colors.topLine);
    painter->fillRect(rect.adjusted(0, 1, 0, 0), colors.bottomLine);
    const QRect between = rect.adjusted(0, 1, 0, -1);
    QLinearGradient gradient(between.topLeft(), between.bottomLeft());
    gradient.setColorAt(0, colors.gradientStart);
    gradient.setColorAt(1, colors.gradientEnd);
    painter->fillRect(between, gradient);
}

void KCMsgOutlineCell::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    painter->setClipRect(option.rect);
    const bool selected = option.state & QStyle::State_Selected;
    const QWidget *view = option.widget;
    if (selected) {
        const bool key = view && view->hasFocus() && view->isActiveWindow();
        paintSelection(painter, option.rect, key ? keyColors() : otherColors());
    }

    QRect area = option.rect;
    const QPixmap icon = qvariant_cast<QPixmap>(index.data(Qt::DecorationRole));
    if (!icon.isNull()) {
        const QSize size = icon.deviceIndependentSize().toSize();
        const int top = area.top() + (area.height() - size.height() + 1) / 2;
        painter->drawPixmap(QRect(QPoint(area.left() + 3, top), size), icon);
        area.setLeft(area.left() + size.width() + 5);
    }
    area.adjust(3, 0, -5, 0);
    QFont font = option.font;
    font.setPointSizeF(11);
    font.setBold(selected);
    painter->setFont(font);
    const QString text =
        QFontMetrics(font).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, area.width());
    if (selected) {
        painter->setPen(QColor(64, 64, 64));
        painter->drawText(area.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, text);
        painter->setPen(Qt::white);
    } else {
        painter->setPen(option.palette.color(QPalette::Text));
    }
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter->restore();
}

QSize KCMsgOutlineCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QFont font = option.font;
    font.setPointSizeF(11);
    int width = QFontMetrics(font).horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 3;
    const QPixmap icon = qvariant_cast<QPixmap>(index.data(Qt::DecorationRole));
    if (!icon.isNull())
        width += icon.deviceIndependentSize().toSize().width() + 5;
    return {width + 5, 18};
}

} // namespace pigeonhole
