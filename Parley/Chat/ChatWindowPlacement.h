#pragma once

// Where a new chat window goes. The arithmetic works in y-up screen
// coordinates (origin at the bottom left of the primary screen, y growing
// upwards), as the window manager's rules are written; toScreen() and
// fromScreen() convert at the edge to Qt's top-left coordinates.
//
// Start from the frame of the last chat window closed alone, or centre a
// 298 x 361 window in the visible frame. Then, once per window already open,
// step 20 right and 24 down, starting again at the top-left corner of the
// visible frame whenever the window would leave it on the right or at the
// bottom.

#include <QRect>
#include <QRectF>
#include <QString>

#include <optional>

namespace parley {

class ChatWindowPlacement
{
public:
    ChatWindowPlacement() = delete;

    static constexpr double kWidth = 298;
    static constexpr double kHeight = 361;

    // All rectangles y-up.
    static QRectF availableRecvMessageWindowRect(const std::optional<QRectF> &savedFrame, const QRectF &visibleFrame,
                                                 int openWindows);

    // A y-up rectangle as Qt's global rectangle, and back, for a primary
    // screen of the given height (in Qt's coordinates).
    static QRectF toScreen(const QRectF &yUp, double primaryScreenHeight);
    static QRectF fromScreen(const QRectF &screen, double primaryScreenHeight);

    // The saved frame's text, "{{x, y}, {w, h}}", and reading it back
    // (nothing for text in another form or a frame without area).
    static QString stringFromRect(const QRectF &rect);
    static std::optional<QRectF> rectFromString(const QString &text);
};

} // namespace parley
