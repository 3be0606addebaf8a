#pragma once

// Where the parts of a buddy row go: one pure function for the rectangles of
// the status icon, the text and the two buttons, which painting, presses and
// tooltips share. The text inside its rectangle is laid out as the emoticon
// label lays out one line (KCLayoutEmoticonPieces). Coordinates are the
// row's own, y growing downwards.

#include <QRect>
#include <QSize>

namespace parley {

struct KCParleyCellGeometry {
    QRect iconRect;
    QRect textRect;
    QRect talkRect;    // empty while the buttons are hidden
    QRect orchardRect; // empty while the buttons are hidden
    int talkX = 0;     // where the memo button goes, hidden or not
    int orchardX = 0;  // where the home button goes, hidden or not
};

struct KCParleyCellImageSizes {
    QSize icon;
    QSize talk;
    QSize orchard;
};

// The rectangles of a buddy row drawn in `cell`. The text leaves room for the
// buttons whether or not they are shown; the images are centred vertically.
KCParleyCellGeometry KCParleyCellLayout(const QRect &cell, const KCParleyCellImageSizes &sizes, int leftMargin,
                                        bool showButtons);

} // namespace parley
