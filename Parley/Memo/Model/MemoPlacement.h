#pragma once

// Where a new memo window goes, and the frame remembered when the last one of
// its kind closes. Frames here are in bottom-left, y-up coordinates (origin at
// the bottom-left corner of the primary screen), as the stored frames are;
// toScreen()/fromScreen() are the one conversion to and from the screen's
// top-left, y-down coordinates.
//
// A new window starts at the stored frame (or, with none, at a default size
// centred in the visible frame) and is moved 20 right and 24 down for
// every window of its kind already open, starting again at the top left of
// the visible frame when it would leave it. A stored frame that no longer
// meets the visible frame (a screen gone) counts as none.

#include <QRectF>
#include <QString>

#include <optional>

class MemoPlacement
{
public:
    enum class Kind { Read, Compose };
    static constexpr double kDefaultHeight = 240;
    static double defaultWidth(Kind kind) { return kind == Kind::Read ? 450 : 375; }
    // The user-default key of the kind's remembered frame.
    static QString frameKey(Kind kind);

    static QRectF availableFrame(Kind kind, const std::optional<QRectF> &stored, const QRectF &visible,
                                 int openWindows);

    // "{{x, y}, {w, h}}" and back; nothing for text of another shape.
    static QString stringFromRect(const QRectF &frame);
    static std::optional<QRectF> rectFromString(const QString &text);

    // y-up <-> y-down, given the primary screen's height.
    static QRectF toScreen(const QRectF &yUp, double primaryHeight);
    static QRectF fromScreen(const QRectF &yDown, double primaryHeight);
};
