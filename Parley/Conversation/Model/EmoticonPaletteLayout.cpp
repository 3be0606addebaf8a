#include "EmoticonPaletteLayout.h"

QList<EmoticonPaletteLayout::Cell> EmoticonPaletteLayout::cells(const QList<Item> &items, int viewHeight)
{
    QList<Cell> out;
    out.reserve(items.size());
    int x = kLeft;
    int y = viewHeight - kTopGap;
    for (const Item &item : items) {
        const QSize size = item.imageSize;
        out.push_back({item.token, QRect(QPoint(x, y), size), QRect(x - 2, y - 2, size.width() + 4, size.height() + 4)});
        if (out.size() % kColumns == 0) {
            x = kLeft;
            y -= size.height() + kGap;
        } else {
            x += size.width() + kGap;
        }
    }
    return out;
}

QList<QRect> EmoticonPaletteLayout::tabFrames(int count)
{
    QList<QRect> out;
    for (int i = 0; i < count; ++i)
        out.push_back(QRect(0, 201 - 25 * i, 87, 25));
    return out;
}
