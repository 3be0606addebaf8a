#pragma once

// A colour gradient of any number of stops, used as an immutable value: every
// edit answers a new gradient. It keeps its own stop list and evaluator rather
// than a QGradient, because QGradient merges stops that share a position and
// drops positions outside 0..1, which would lose the hard edges of the "aqua"
// presets. Fills rasterise the evaluator themselves.
//
// Angles are in degrees counter-clockwise from the +x axis with y pointing up,
// as the skins were drawn: angle 270 puts the first stop at the top of the
// rectangle and the last at the bottom.

#include <QColor>
#include <QRectF>
#include <QVariantMap>

#include <array>
#include <optional>
#include <vector>

class QPainter;

struct KCGradientElement {
    float red = 0;
    float green = 0;
    float blue = 0;
    float alpha = 0;
    // Nominally 0..1, not clamped; stops sharing a position make a hard edge.
    float position = 0;

    bool operator==(const KCGradientElement &) const = default;
};

class KCGradient
{
public:
    // No stops: evaluates and fills as transparent black.
    KCGradient() = default;

    // Two stops, `begin` at 0 and `end` at 1.
    static KCGradient gradientWithBeginningColor(const QColor &begin, const QColor &end);
    static KCGradient unifiedDarkGradient();
    static KCGradient unifiedPressedGradient();
    static KCGradient unifiedNormalGradient();
    static KCGradient unifiedSelectedGradient();
    static KCGradient aquaPressedGradient();
    static KCGradient aquaNormalGradient();
    static KCGradient aquaSelectedGradient();

    // A copy with one more stop, after every stop already at that position.
    [[nodiscard]] KCGradient addColorStop(const QColor &color, float position) const;
    // A copy without the stop at `index` (0 = first); std::out_of_range when
    // there is none.
    [[nodiscard]] KCGradient removeColorStopAtIndex(unsigned index) const;
    // A copy without the first stop at exactly `position`; std::out_of_range
    // when no stop is there.
    [[nodiscard]] KCGradient removeColorStopAtPosition(float position) const;
    // A copy whose stops all have the given alpha.
    [[nodiscard]] KCGradient gradientWithAlphaComponent(float alpha) const;

    // The colour of the stop at `index`; std::out_of_range when there is none.
    QColor colorStopAtIndex(unsigned index) const;
    // The evaluated colour at `position`.
    QColor colorAtPosition(float position) const;
    // The evaluated red, green, blue and alpha at t, without allocating.
    std::array<float, 4> evaluate(float t) const;

    const std::vector<KCGradientElement> &elements() const { return mElements; }
    bool operator==(const KCGradient &) const = default;

    // Fills `rect` along the axis at `angle` (y-up degrees): the first stop
    // touches the rearmost corner, the last stop the foremost one.
    void fillRect(QPainter &painter, const QRectF &rect, float angle) const;
    // Fills `rect` from its centre (first stop) out to a circle of half the
    // larger side (last stop); the corners beyond take the last colour.
    void radialFillRect(QPainter &painter, const QRectF &rect) const;
    // fillRect() at 45 degrees.
    void drawSwatchInRect(QPainter &painter, const QRectF &rect) const;

    // The keyed archive: each stop's red, green, blue, alpha and position in
    // turn under "$0", "$1", ... and the stop count under
    // "KCGradientElementCount". It can be stored as a property list.
    QVariantMap encode() const;
    // Nothing when the archive is not one (a count out of range or a value
    // missing or not a number).
    static std::optional<KCGradient> decode(const QVariantMap &archive);

private:
    void addElement(const KCGradientElement &element);

    std::vector<KCGradientElement> mElements; // ascending by position
};
