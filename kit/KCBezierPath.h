#pragma once

// Path shapes of the skins: triangles (arrows), rounded rectangles and plates
// (capsules). Orientations name where the apex points on screen.

#include <QPainterPath>
#include <QRectF>

namespace KCBezierPath {

enum class TriangleOrientation {
    Up = 0,    // apex at the top middle
    Down = 1,  // apex at the bottom middle
    Left = 2,  // apex at the left middle
    Right = 3, // apex at the right middle (also any other value)
};

// A closed triangle filling `rect`: a base along one side, the apex on the
// middle of the opposite side.
void appendTriangleInRect(QPainterPath &path, const QRectF &rect, int orientation);
QPainterPath triangleInRect(const QRectF &rect, int orientation);

// Four quarter arcs of `radius` at the corners, closed; nothing when the
// rectangle has no height.
void appendRoundedRect(QPainterPath &path, const QRectF &rect, qreal radius);
QPainterPath roundedRect(const QRectF &rect, qreal radius);

// A capsule: half circles of half the height at both ends; nothing when the
// rectangle has no height.
void appendPlateInRect(QPainterPath &path, const QRectF &rect);
QPainterPath plateInRect(const QRectF &rect);

} // namespace KCBezierPath
