#include "KCBezierPath.h"

namespace KCBezierPath {

void appendTriangleInRect(QPainterPath &path, const QRectF &rect, int orientation)
{
    const qreal minX = rect.left(), midX = rect.center().x(), maxX = rect.right();
    const qreal top = rect.top(), midY = rect.center().y(), bottom = rect.bottom();
    QPointF points[3];
    switch (TriangleOrientation(orientation)) {
    case TriangleOrientation::Up: points[0] = {minX, bottom}, points[1] = {midX, top}, points[2] = {maxX, bottom}; break;
    case TriangleOrientation::Down: points[0] = {minX, top}, points[1] = {midX, bottom}, points[2] = {maxX, top}; break;
    case TriangleOrientation::Left: points[0] = {maxX, top}, points[1] = {maxX, bottom}, points[2] = {minX, midY}; break;
    default: points[0] = {minX, bottom}, points[1] = {minX, top}, points[2] = {maxX, midY}; break;
    }
    path.moveTo(points[0]);
    path.lineTo(points[1]);
    path.lineTo(points[2]);
    path.closeSubpath();
}

QPainterPath triangleInRect(const QRectF &rect, int orientation)
{
    QPainterPath path;
    appendTriangleInRect(path, rect, orientation);
    return path;
}

void appendRoundedRect(QPainterPath &path, const QRectF &rect, qreal radius)
{
    if (!(rect.height() > 0))
        return;
    const qreal d = 2 * radius;
    const auto corner = [d](qreal cx, qreal cy) { return QRectF(cx - d / 2, cy - d / 2, d, d); };
    // Counter-clockwise on screen from the bottom-left corner, as drawn y-up.
    path.arcMoveTo(corner(rect.left() + radius, rect.bottom() - radius), 180);
    path.arcTo(corner(rect.left() + radius, rect.bottom() - radius), 180, 90);
    path.arcTo(corner(rect.right() - radius, rect.bottom() - radius), 270, 90);
    path.arcTo(corner(rect.right() - radius, rect.top() + radius), 0, 90);
    path.arcTo(corner(rect.left() + radius, rect.top() + radius), 90, 90);
    path.closeSubpath();
}

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    appendRoundedRect(path, rect, radius);
    return path;
}

void appendPlateInRect(QPainterPath &path, const QRectF &rect)
{
    if (!(rect.height() > 0))
        return;
    const qreal r = rect.height() / 2;
    const QRectF leftCircle(rect.left(), rect.top(), 2 * r, 2 * r);
    const QRectF rightCircle(rect.right() - 2 * r, rect.top(), 2 * r, 2 * r);
    path.moveTo(rect.left() + r, rect.top());
    path.arcTo(leftCircle, 90, 180);
    path.arcTo(rightCircle, 270, 180);
    path.closeSubpath();
}

QPainterPath plateInRect(const QRectF &rect)
{
    QPainterPath path;
    appendPlateInRect(path, rect);
    return path;
}

} // namespace KCBezierPath
