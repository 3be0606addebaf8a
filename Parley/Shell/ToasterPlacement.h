#pragma once

// Where the next pop-up notice goes: slots of 175 x 125 filled from the
// bottom-right corner of the screen's available area, upwards, then one
// column to the left. The first slot no shown notice occupies exactly is
// taken; when every slot is taken, the first one again. The area is the
// screen's available geometry in Qt's top-left coordinates, its left edge
// and top included, so a panel on the left or a second screen beside the
// first moves the slots with it. A screen smaller than one slot still has
// one slot, at its top-left corner.

#include <QList>
#include <QRect>

namespace parley::shell {

class ToasterPlacement
{
public:
    static constexpr int kSlotWidth = 175;
    static constexpr int kSlotHeight = 125;

    explicit ToasterPlacement(const QRect &available);

    int rows() const { return mRows; }
    int columns() const { return mColumns; }
    int slotCount() const { return mRows * mColumns; }
    // Slot i: column i / rows from the right, row i % rows from the bottom.
    QRect slotRect(int index) const;
    QRect availableWindowRect(const QList<QRect> &shown) const;

private:
    QRect mAvailable;
    int mRows = 1;
    int mColumns = 1;
};

} // namespace parley::shell
