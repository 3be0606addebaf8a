// Path shadings, path shapes and derived colours of the skins.
#include "KCBezierPath.h"
#include "KCColor.h"
#include "KCShading.h"

#include <QGuiApplication>
#include <QPalette>
#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>

namespace {

QImage shaded(const QPainterPath &path, bool bilinear, QColor a, QColor b, QSize size = {10, 100})
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (bilinear)
        KCShading::bilinearGradientFill(painter, path, a, b);
    else
        KCShading::linearGradientFill(painter, path, a, b);
    return image;
}

QPainterPath rectPath(const QRectF &rect)
{
    QPainterPath path;
    path.addRect(rect);
    return path;
}

TEST(Shading, LinearRunsFromTheStartColourAtTheBottomToTheEndAtTheTop)
{
    const QImage image = shaded(rectPath({0, 0, 10, 100}), false, Qt::black, Qt::white);
    EXPECT_GE(image.pixelColor(5, 0).red(), 250);
    EXPECT_LE(image.pixelColor(5, 99).red(), 5);
    EXPECT_NEAR(image.pixelColor(5, 50).redF(), 0.5, 0.02);
}

TEST(Shading, BilinearPutsTheInnerColourOnTheEdgesAndTheOuterInTheMiddle)
{
    const QImage image = shaded(rectPath({0, 0, 10, 100}), true, /*outer*/ Qt::black, /*inner*/ Qt::white);
    EXPECT_GE(image.pixelColor(5, 0).red(), 245);
    EXPECT_GE(image.pixelColor(5, 99).red(), 245);
    EXPECT_LE(image.pixelColor(5, 49).red(), 8);
    EXPECT_NEAR(image.pixelColor(5, 25).redF(), 0.5, 0.03);
}

TEST(Shading, StaysInsideThePath)
{
    const QImage image = shaded(KCBezierPath::triangleInRect({0, 0, 40, 40}, 0), false, Qt::red, Qt::red, {40, 40});
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::white)); // beside the apex
    EXPECT_EQ(image.pixelColor(20, 35), QColor(Qt::red)); // above the base
}

struct TriangleCase {
    int orientation;
    QPointF apexSide;  // just inside the apex
    QPointF baseSide;  // a corner of the base side
    QPointF outside;   // a corner the triangle leaves out
};

class Triangles : public ::testing::TestWithParam<TriangleCase>
{
};

TEST_P(Triangles, PointTheApexTheWayTheirOrientationSays)
{
    const TriangleCase &c = GetParam();
    const QPainterPath path = KCBezierPath::triangleInRect({0, 0, 100, 100}, c.orientation);
    EXPECT_TRUE(path.contains(c.apexSide)) << c.orientation;
    EXPECT_TRUE(path.contains(c.baseSide)) << c.orientation;
    EXPECT_FALSE(path.contains(c.outside)) << c.orientation;
}

INSTANTIATE_TEST_SUITE_P(Table, Triangles,
                         ::testing::Values(TriangleCase{0, {50, 3}, {2, 98}, {2, 2}},    // up
                                           TriangleCase{1, {50, 97}, {2, 2}, {2, 98}},   // down
                                           TriangleCase{2, {3, 50}, {98, 2}, {2, 2}},    // left
                                           TriangleCase{3, {97, 50}, {2, 2}, {98, 2}},   // right
                                           TriangleCase{7, {97, 50}, {2, 98}, {98, 98}})); // any other: right

TEST(Paths, RoundedRectCutsItsCornersAndNeedsAHeight)
{
    const QPainterPath path = KCBezierPath::roundedRect({0, 0, 100, 60}, 10);
    EXPECT_FALSE(path.contains(QPointF(1, 1)));
    EXPECT_FALSE(path.contains(QPointF(99, 59)));
    EXPECT_TRUE(path.contains(QPointF(5, 30)));
    EXPECT_TRUE(path.contains(QPointF(50, 1)));
    EXPECT_NEAR(path.boundingRect().width(), 100, 0.01);
    EXPECT_TRUE(KCBezierPath::roundedRect({0, 0, 100, 0}, 10).isEmpty());
}

TEST(Paths, PlateIsACapsuleOfHalfTheHeight)
{
    const QPainterPath path = KCBezierPath::plateInRect({0, 0, 100, 40});
    EXPECT_FALSE(path.contains(QPointF(3, 3)));
    EXPECT_TRUE(path.contains(QPointF(3, 20)));
    EXPECT_TRUE(path.contains(QPointF(50, 1)));
    EXPECT_FALSE(path.contains(QPointF(97, 37)));
    EXPECT_NEAR(path.boundingRect().width(), 100, 0.01);
    EXPECT_TRUE(KCBezierPath::plateInRect({0, 0, 100, -1}).isEmpty());
}

struct LighterCase {
    const char *name;
    QColor in;
    float saturation, brightness; // expected
};

class Lighter : public ::testing::TestWithParam<LighterCase>
{
};

TEST_P(Lighter, FollowsTheBrightnessSteps)
{
    const LighterCase &c = GetParam();
    float h = 0, s = 0, v = 0, a = 0, inHue = 0, inS = 0, inV = 0, inA = 0;
    KCColor::lighterColor(c.in).getHsvF(&h, &s, &v, &a);
    c.in.getHsvF(&inHue, &inS, &inV, &inA);
    EXPECT_NEAR(s, c.saturation, 0.01) << c.name;
    EXPECT_NEAR(v, c.brightness, 0.01) << c.name;
    EXPECT_NEAR(a, inA, 0.01) << c.name;
    if (inS > 0 && s > 0) {
        EXPECT_NEAR(h, inHue, 0.01) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Lighter,
                         ::testing::Values(LighterCase{"dark", QColor::fromHsvF(0.5f, 0.6f, 0.2f), 0.6f, 0.6f},
                                           LighterCase{"atPointFour", QColor::fromHsvF(0.5f, 0.6f, 0.4f), 0.6f, 0.6f},
                                           LighterCase{"middle", QColor::fromHsvF(0.3f, 0.5f, 0.5f, 0.5f), 0.5f, 0.75f},
                                           LighterCase{"brightSaturated", QColor::fromHsvF(0.1f, 0.5f, 0.95f), 0.15f, 1.0f},
                                           LighterCase{"brightPale", QColor::fromHsvF(0.1f, 0.1f, 0.95f), 0.35f, 1.0f}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Colors, AccentHalvesTheBrightnessAtFullSaturation)
{
    float h = 0, s = 0, v = 0, a = 0;
    KCColor::accentColor(QColor::fromHsvF(0.6f, 0.3f, 0.8f, 0.7f)).getHsvF(&h, &s, &v, &a);
    EXPECT_NEAR(h, 0.6f, 0.01);
    EXPECT_NEAR(s, 1.0f, 0.01);
    EXPECT_NEAR(v, 0.4f, 0.01);
    EXPECT_NEAR(a, 0.7f, 0.01);
}

TEST(Colors, AccentOfADarkColourTakesTheHighlightHueAtFullBrightness)
{
    float h = 0, s = 0, v = 0, a = 0, hh = 0, hs = 0, hv = 0, ha = 0;
    QGuiApplication::palette().color(QPalette::Highlight).getHsvF(&hh, &hs, &hv, &ha);
    KCColor::accentColor(QColor::fromHsvF(0.1f, 0.9f, 0.2f)).getHsvF(&h, &s, &v, &a);
    EXPECT_NEAR(h, std::max(hh, 0.0f), 0.01);
    EXPECT_NEAR(s, 1.0f, 0.01);
    EXPECT_NEAR(v, 1.0f, 0.01);
}

TEST(Colors, DisabledHalvesTheRealAlpha)
{
    EXPECT_NEAR(KCColor::disabledColor(QColor::fromRgbF(0.2f, 0.4f, 0.6f, 1.0f)).alphaF(), 0.5, 0.005);
    // A translucent colour keeps half its alpha rather than dropping to none.
    EXPECT_NEAR(KCColor::disabledColor(QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.6f)).alphaF(), 0.3, 0.005);
    EXPECT_EQ(KCColor::disabledColor(QColor(10, 20, 30)).rgb(), QColor(10, 20, 30).rgb());
}

TEST(Colors, LightYellowIsAPaleYellow)
{
    float h = 0, s = 0, v = 0, a = 0;
    KCColor::lightYellowColor().getHsvF(&h, &s, &v, &a);
    EXPECT_NEAR(h, 0.2f, 0.01);
    EXPECT_NEAR(s, 0.2f, 0.01);
    EXPECT_NEAR(v, 1.0f, 0.01);
}

} // namespace
