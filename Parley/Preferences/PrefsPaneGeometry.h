#pragma once

// How the preferences window changes size when it shows another pane. The
// rule keeps the window's top edge where it is; it is written with frames
// whose origin is the bottom-left corner and whose y grows upwards, and
// toScreen()/fromScreen() turn such a frame into a screen rectangle (y down)
// and back, at the window's edge.

#include <QRectF>
#include <QSizeF>

namespace parley {

struct PrefsPaneSwitch {
    bool unchanged = false;   // the pane is shown already: nothing to do
    bool blankFirst = false;  // empty the window before it changes height
    QRectF frame;             // the window's new frame (y up)
    QSizeF minimumSize;       // the window's new minimum size
};

class PrefsPaneGeometry
{
public:
    PrefsPaneGeometry() = delete;

    // `window`: the window's frame (y up); `contentHeight`: the height of the
    // pane shown now; `paneSize`: the new pane's size; `storedPaneSize`: its
    // size as first laid out; `titleBarHeight`: what the frame holds above
    // the toolbar.
    static PrefsPaneSwitch switchToPane(bool alreadyShown, const QRectF &window, qreal contentHeight,
                                        const QSizeF &paneSize, const QSizeF &storedPaneSize,
                                        qreal titleBarHeight);

    // A frame with y up on a screen of that height as a y-down rectangle, and back.
    static QRectF toScreen(const QRectF &frame, qreal screenHeight);
    static QRectF fromScreen(const QRectF &rect, qreal screenHeight);
};

} // namespace parley
