#include "MemoPlacement.h"

#include <QRegularExpression>

QString MemoPlacement::frameKey(Kind kind)
{
    return kind == Kind::Read ? QStringLiteral("RecvMessageWindowFrame") : QStringLiteral("SendMessageWindowFrame");
}

QRectF MemoPlacement::availableFrame(Kind kind, const std::optional<QRectF> &stored, const QRectF &visible,
                                     int openWindows)
{
    QRectF frame;
    if (stored && stored->isValid() && stored->intersects(visible)) {
        frame = *stored;
    } else {
        const double width = defaultWidth(kind);
        // Centred in the visible frame, which need not start at the screen's
        // corner (a panel at the top or left): as the chat windows are placed.
        frame = QRectF(visible.x() + (visible.width() - width) / 2,
                       visible.y() + (visible.height() - kDefaultHeight) / 2, width, kDefaultHeight);
    }
    for (int i = 0; i < openWindows; ++i) {
        double x = frame.x() + 20;
        double y = frame.y();
        bool wrap = x + frame.width() > visible.x() + visible.width();
        if (!wrap) {
            y -= 24;
            wrap = y < visible.y();
        }
        if (wrap) {
            x = visible.x();
            y = visible.y() + visible.height() - frame.height();
        }
        frame.moveTo(x, y);
    }
    return frame;
}

QString MemoPlacement::stringFromRect(const QRectF &frame)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.width())
        .arg(frame.height());
}

std::optional<QRectF> MemoPlacement::rectFromString(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral(
        R"(^\s*\{\s*\{\s*(-?[0-9.]+)\s*,\s*(-?[0-9.]+)\s*\}\s*,\s*\{\s*([0-9.]+)\s*,\s*([0-9.]+)\s*\}\s*\}\s*$)"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    double values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = match.captured(i + 1).toDouble(&ok);
        if (!ok)
            return std::nullopt;
    }
    const QRectF frame(values[0], values[1], values[2], values[3]);
    if (!frame.isValid())
        return std::nullopt;
    return frame;
}

QRectF MemoPlacement::toScreen(const QRectF &yUp, double primaryHeight)
{
    return QRectF(yUp.x(), primaryHeight - yUp.y() - yUp.height(), yUp.width(), yUp.height());
}

QRectF MemoPlacement::fromScreen(const QRectF &yDown, double primaryHeight)
{
    return QRectF(yDown.x(), primaryHeight - yDown.y() - yDown.height(), yDown.width(), yDown.height());
}
