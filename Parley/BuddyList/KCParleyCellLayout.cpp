#include "KCParleyCellLayout.h"

namespace parley {

namespace {

// The spacing of the row: icon to text 3, text to the end 8; the memo button
// ends 2 before the home button, which ends 10 before the row's end.
constexpr int kIconTextGap = 3;
constexpr int kTextEndMargin = 8;
constexpr int kButtonGap = 2;
constexpr int kRightMargin = 10;

int centred(int top, int height, int inner) { return top + (height - inner) / 2; }

} // namespace

KCParleyCellGeometry KCParleyCellLayout(const QRect &cell, const KCParleyCellImageSizes &sizes, int leftMargin,
                                        bool showButtons)
{
    const int x = cell.x();
    const int y = cell.y();
    const int w = cell.width();
    const int h = cell.height();
    KCParleyCellGeometry g;
    g.iconRect = QRect(x + leftMargin, centred(y, h, sizes.icon.height()), sizes.icon.width(), sizes.icon.height());
    const int textWidth = w - sizes.icon.width() - kTextEndMargin
                        - (sizes.talk.width() + sizes.orchard.width() + kRightMargin + kButtonGap);
    g.textRect = QRect(x + leftMargin + sizes.icon.width() + kIconTextGap, y, std::max(0, textWidth), h);
    g.orchardX = x + w - sizes.orchard.width() - kRightMargin;
    g.talkX = g.orchardX - kButtonGap - sizes.talk.width();
    if (showButtons) {
        g.talkRect = QRect(g.talkX, y, sizes.talk.width(), h);
        g.orchardRect = QRect(g.orchardX, y, sizes.orchard.width(), h);
    }
    return g;
}

} // namespace parley
