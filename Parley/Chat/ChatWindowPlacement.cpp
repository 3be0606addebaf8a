#include "ChatWindowPlacement.h"

#include <QRegularExpression>

namespace parley {

QRectF ChatWindowPlacement::availableRecvMessageWindowRect(const std::optional<QRectF> &savedFrame,
                                                           const QRectF &visibleFrame, int openWindows)
{
    const QRectF &v = visibleFrame;
    QRectF frame;
    if (savedFrame) {
        frame = *savedFrame;
    } else {
        // Centred in the visible frame, which need not start at the screen's corner.
        frame = QRectF(v.x() + (v.width() - kWidth) * 0.5, v.y() + (v.height() - kHeight) * 0.5, kWidth, kHeight);
    }
    const auto restart = [&] { frame.moveTo(v.x(), v.height() - frame.height() + v.y()); };
    for (int i = 0; i < openWindows; ++i) {
        frame.moveLeft(frame.x() + 20);
        if (frame.x() + frame.width() > v.x() + v.width()) {
            restart();
            continue;
        }
        frame.moveTop(frame.y() - 24);
        if (frame.y() < v.y())
            restart();
    }
    return frame;
}

QRectF ChatWindowPlacement::toScreen(const QRectF &yUp, double primaryScreenHeight)
{
    return QRectF(yUp.x(), primaryScreenHeight - yUp.y() - yUp.height(), yUp.width(), yUp.height());
}

QRectF ChatWindowPlacement::fromScreen(const QRectF &screen, double primaryScreenHeight)
{
    return QRectF(screen.x(), primaryScreenHeight - screen.y() - screen.height(), screen.width(), screen.height());
}

QString ChatWindowPlacement::stringFromRect(const QRectF &rect)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(QString::number(rect.x()), QString::number(rect.y()), QString::number(rect.width()),
             QString::number(rect.height()));
}

std::optional<QRectF> ChatWindowPlacement::rectFromString(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*\{\s*\{\s*(-?[0-9.]+)\s*,\s*(-?[0-9.]+)\s*\}\s*,\s*\{\s*([0-9.]+)\s*,\s*([0-9.]+)\s*\}\s*\}\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok[4] = {};
    const QRectF rect(match.captured(1).toDouble(&ok[0]), match.captured(2).toDouble(&ok[1]),
                      match.captured(3).toDouble(&ok[2]), match.captured(4).toDouble(&ok[3]));
    if (!(ok[0] && ok[1] && ok[2] && ok[3]) || !(rect.width() > 0) || !(rect.height() > 0))
        return std::nullopt;
    return rect;
}

} // namespace parley
