#pragma once

// Where the parts of a buddy row go: one pure function for the rectangles of
// the status icon, the text and the two buttons, which painting, presses and
// tooltips share; and the one-line layout of a display string whose emoticon
// tokens are images, cut short with one to three dots when space runs out.
// Coordinates are the row's own, y growing downwards.

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

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

// One piece of a display string: plain text, or an emoticon drawn as an image
// of `imageSize` (an empty size: no image, the piece is drawn as text).
struct KCLinePiece {
    QString text;
    QSize imageSize;
    bool isImage() const { return !imageSize.isEmpty(); }
};

struct KCLineOp {
    enum Kind { Text, Image, Dot };
    Kind kind = Text;
    qreal x = 0;
    int piece = -1; // the piece drawn (Text, Image)
    QString text;   // Text: what is drawn, maybe shortened
};

struct KCLineLayout {
    QList<KCLineOp> ops;
    qreal endX = 0; // after the last thing drawn
    bool cut = false;
};

// Lays the pieces out from x0 within width W. `textWidth` measures a text in
// the row's font; `dotWidth` is the width of "." in it, whole. A piece that
// does not fit loses two characters at a time (never below one) and is
// followed by as many of three dots as fit, at least one; an image that does
// not fit is replaced by the dots; nothing is drawn after dots.
KCLineLayout KCLayoutEmoticonLine(const QList<KCLinePiece> &pieces, qreal x0, qreal W,
                                  const std::function<qreal(const QString &)> &textWidth, int dotWidth);

} // namespace parley
