#pragma once

// Vertical two-colour shadings of a path. Positions are y-up, as the skins
// were drawn: t = 0 lies on the bottom edge of the path's bounds, t = 1 on the
// top edge.

#include <QColor>

class QPainter;
class QPainterPath;

namespace KCShading {

// The first colour's red, green, blue, alpha, then the second's, then the
// difference second - first of each.
using Info = float[12];
// Writes red, green, blue and alpha at t (0..1) into `out`.
using Evaluator = void (*)(const Info &info, float t, float out[4]);

// first + t * (second - first).
void linearShadedColor(const Info &info, float t, float out[4]);
// The same with s = 2t up to the middle and 2 - 2t above it: the first colour
// on both edges, the second on the middle line.
void bilinearShadedColor(const Info &info, float t, float out[4]);

// Fills `path` (clipped to it) with the evaluator's colours from its bounds'
// bottom (t = 0) to their top (t = 1).
void customVerticalFill(QPainter &painter, const QPainterPath &path, Evaluator evaluator, const QColor &first,
                        const QColor &second);
// `start` on the bottom edge, `end` on the top edge.
void linearGradientFill(QPainter &painter, const QPainterPath &path, const QColor &start, const QColor &end);
// `inner` on the top and bottom edges, `outer` on the middle line.
void bilinearGradientFill(QPainter &painter, const QPainterPath &path, const QColor &outer, const QColor &inner);

} // namespace KCShading
