#pragma once

// Where and how long an animicon plays: over the lower-left corner of its
// chat window (as a child of it), or of the screen's free area without one;
// shown 4.1 s once its page has loaded, then kept hidden 1.0 s before it goes.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class AnimiconPlayPlacement
{
public:
    static constexpr int kVisibleMilliseconds = 4100;
    static constexpr int kHiddenMilliseconds = 1000;

    // The play window's top-left corner: in the parent's coordinates when
    // there is a parent, else in screen coordinates.
    static QPoint position(const QSize &window, const std::optional<QSize> &parent, const QRect &screenAvailable)
    {
        if (parent)
            return QPoint(0, parent->height() - window.height());
        return QPoint(screenAvailable.left(), screenAvailable.bottom() + 1 - window.height());
    }
};
