#pragma once

// What the skinned controls share: the state letter of their slice images,
// slices looked up by name, the white engraved text shadow, and the one place
// where the skins' y-up rectangles become Qt's y-down ones.

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

class QFont;
class QPainter;

namespace KCSkinPainting {

// "D" when not enabled, else "P" while pressed, else "N".
QString stateLetter(bool enabled, bool pressed);

// The image of a slice by name (ImageRegistry), formatted with one argument.
QImage slice(const QString &format, const QString &argument);

// A rectangle given y-up in a view `height` tall, in Qt's coordinates.
QRectF fromBottomLeft(const QRectF &rect, qreal height);

// Draws `image` at its natural size with its top-left corner at `topLeft`
// (nothing for a null image).
void drawAt(QPainter &painter, const QImage &image, const QPointF &topLeft);
// Draws `image` stretched into `target` (nothing for a null image or an empty target).
void drawStretched(QPainter &painter, const QImage &image, const QRectF &target);

// Text with the skins' white shadow one pixel below it.
void drawShadowedText(QPainter &painter, const QRectF &rect, int flags, const QString &text, const QColor &color);

// The text cut at the end with an ellipsis to fit `width` (at character boundaries).
QString elided(const QFont &font, const QString &text, qreal width);

} // namespace KCSkinPainting
