#include "PrefsPaneGeometry.h"

namespace parley {

PrefsPaneSwitch PrefsPaneGeometry::switchToPane(bool alreadyShown, const QRectF &window, qreal contentHeight,
                                                const QSizeF &paneSize, const QSizeF &storedPaneSize,
                                                qreal titleBarHeight)
{
    PrefsPaneSwitch result;
    if (alreadyShown) {
        result.unchanged = true;
        result.frame = window;
        return result;
    }
    const qreal chrome = window.height() - contentHeight;
    const qreal height = paneSize.height() + chrome;
    result.blankFirst = !qFuzzyCompare(height, window.height());
    // The origin is the bottom edge: moving it down by the growth keeps the top.
    result.frame = QRectF(window.x(), window.y() - (height - window.height()), paneSize.width(), height);
    result.minimumSize = QSizeF(storedPaneSize.width(), storedPaneSize.height() + titleBarHeight);
    return result;
}

QRectF PrefsPaneGeometry::toScreen(const QRectF &frame, qreal screenHeight)
{
    return QRectF(frame.x(), screenHeight - frame.y() - frame.height(), frame.width(), frame.height());
}

QRectF PrefsPaneGeometry::fromScreen(const QRectF &rect, qreal screenHeight)
{
    // The flip is its own inverse.
    return toScreen(rect, screenHeight);
}

} // namespace parley
