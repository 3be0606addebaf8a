#include "ToasterPlacement.h"

#include <algorithm>

namespace parley::shell {

ToasterPlacement::ToasterPlacement(const QRect &available)
    : mAvailable(available),
      mRows(std::max(1, available.height() / kSlotHeight)),
      mColumns(std::max(1, available.width() / kSlotWidth))
{
}

QRect ToasterPlacement::slotRect(int index) const
{
    const int column = index / mRows;
    const int row = index % mRows;
    const int right = mAvailable.x() + mAvailable.width();
    const int bottom = mAvailable.y() + mAvailable.height();
    const int x = std::max(mAvailable.x(), right - kSlotWidth * (column + 1));
    const int y = std::max(mAvailable.y(), bottom - kSlotHeight * (row + 1));
    return QRect(x, y, kSlotWidth, kSlotHeight);
}

QRect ToasterPlacement::availableWindowRect(const QList<QRect> &shown) const
{
    for (int i = 0; i < slotCount(); ++i) {
        const QRect slot = slotRect(i);
        if (!shown.contains(slot))
            return slot;
    }
    return slotRect(0);
}

} // namespace parley::shell
