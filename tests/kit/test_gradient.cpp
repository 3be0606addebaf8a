// Gradients: evaluation and stop insertion, edits on copies, fills against
// QLinearGradient as an independent rasteriser, hard edges, the archive.
#include "KCGradient.h"
#include "PropertyList.h"
#include "SolidSlices.h"

#include <QLinearGradient>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>

using parley::test::near;

namespace {

KCGradient grey(std::initializer_list<std::pair<float, float>> stops)
{
    KCGradient g;
    for (const auto &[position, value] : stops)
        g = g.addColorStop(QColor::fromRgbF(value, value, value), position);
    return g;
}

int largestDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            worst = std::max({worst, std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                              std::abs(p.blue() - q.blue()), std::abs(p.alpha() - q.alpha())});
        }
    }
    return worst;
}

QImage fillOf(const KCGradient &gradient, QSize size, float angle, QColor background = Qt::transparent)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    gradient.fillRect(painter, QRectF(QPointF(0, 0), size), angle);
    return image;
}

struct EvaluationCase {
    const char *name;
    KCGradient gradient;
    float t;
    std::array<float, 4> expected;
};

class GradientEvaluation : public ::testing::TestWithParam<EvaluationCase>
{
};

TEST_P(GradientEvaluation, GivesTheColourOfThePart)
{
    const EvaluationCase &c = GetParam();
    const std::array<float, 4> got = c.gradient.evaluate(c.t);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(got[i], c.expected[i], 1e-3) << c.name << " component " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, GradientEvaluation,
    ::testing::Values(
        // At a shared position the earlier stop wins exactly there, the later one just after.
        EvaluationCase{"aquaAtHalf", KCGradient::aquaNormalGradient(), 0.5f, {0.83f, 0.83f, 0.83f, 1}},
        EvaluationCase{"aquaJustAboveHalf", KCGradient::aquaNormalGradient(), 0.5001f, {0.95f, 0.95f, 0.95f, 1}},
        EvaluationCase{"aquaQuarter", KCGradient::aquaNormalGradient(), 0.25f, {0.89f, 0.89f, 0.89f, 1}},
        EvaluationCase{"aquaSelectedAbove", KCGradient::aquaSelectedGradient(), 0.75f, {0.60f, 0.75f, 0.92f, 1}},
        EvaluationCase{"beforeFirstStop", grey({{0.3f, 0.2f}, {0.7f, 0.6f}}), 0.1f, {0.2f, 0.2f, 0.2f, 1}},
        EvaluationCase{"afterLastStop", grey({{0.3f, 0.2f}, {0.7f, 0.6f}}), 0.9f, {0.6f, 0.6f, 0.6f, 1}},
        EvaluationCase{"belowZero", KCGradient::unifiedNormalGradient(), -1.0f, {0.75f, 0.75f, 0.75f, 1}},
        EvaluationCase{"aboveOne", KCGradient::unifiedNormalGradient(), 2.0f, {0.90f, 0.90f, 0.90f, 1}},
        EvaluationCase{"middle", KCGradient::unifiedNormalGradient(), 0.5f, {0.825f, 0.825f, 0.825f, 1}},
        EvaluationCase{"singleStop", grey({{0.4f, 0.5f}}), 0.9f, {0.5f, 0.5f, 0.5f, 1}},
        EvaluationCase{"noStops", KCGradient(), 0.5f, {0, 0, 0, 0}},
        EvaluationCase{"alphaInterpolated",
                       KCGradient::gradientWithBeginningColor(QColor::fromRgbF(1, 0, 0, 0), QColor::fromRgbF(0, 0, 1, 1)),
                       0.25f,
                       {0.75f, 0, 0.25f, 0.25f}}),
    [](const auto &info) { return std::string(info.param.name); });

struct InsertionCase {
    const char *name;
    std::vector<float> added;     // positions in the order added; each stop's grey is its index / 10
    std::vector<float> positions; // the list's positions afterwards
    std::vector<int> order;       // which added stop sits at each place
};

class GradientInsertion : public ::testing::TestWithParam<InsertionCase>
{
};

TEST_P(GradientInsertion, KeepsPositionsAscendingAndTiesInOrderAdded)
{
    const InsertionCase &c = GetParam();
    KCGradient g;
    for (size_t i = 0; i < c.added.size(); ++i)
        g = g.addColorStop(QColor::fromRgbF(i / 10.0f, 0, 0), c.added[i]);
    ASSERT_EQ(g.elements().size(), c.positions.size());
    for (size_t i = 0; i < c.positions.size(); ++i) {
        EXPECT_FLOAT_EQ(g.elements()[i].position, c.positions[i]) << c.name << " place " << i;
        EXPECT_NEAR(g.elements()[i].red, c.order[i] / 10.0f, 1e-4) << c.name << " place " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, GradientInsertion,
                         ::testing::Values(InsertionCase{"beforeFirst", {0.5f, 1.0f, 0.2f}, {0.2f, 0.5f, 1.0f}, {2, 0, 1}},
                                           InsertionCase{"tiesKeepOrder", {0, 0.5f, 0.5f, 1}, {0, 0.5f, 0.5f, 1}, {0, 1, 2, 3}},
                                           InsertionCase{"tieAddedLateGoesLast", {0.5f, 1, 0.5f}, {0.5f, 0.5f, 1}, {0, 2, 1}},
                                           InsertionCase{"betweenAndBeyond", {0, 1, 0.5f, 2, -1}, {-1, 0, 0.5f, 1, 2}, {4, 0, 2, 1, 3}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Gradient, EditsWorkOnCopies)
{
    const KCGradient original = KCGradient::aquaNormalGradient();
    const KCGradient before = original;
    (void)original.addColorStop(Qt::red, 0.3f);
    (void)original.removeColorStopAtIndex(0);
    (void)original.gradientWithAlphaComponent(0.2f);
    EXPECT_EQ(original, before);
}

TEST(Gradient, RemovingByPositionTakesTheFirstExactMatchOnly)
{
    const KCGradient aqua = KCGradient::aquaNormalGradient();
    const KCGradient removed = aqua.removeColorStopAtPosition(0.5f);
    ASSERT_EQ(removed.elements().size(), 3u);
    // The first of the pair at 0.5 (grey 0.83) went; the second (0.95) stays.
    EXPECT_NEAR(removed.elements()[1].red, 0.95f, 1e-4);
    EXPECT_FLOAT_EQ(removed.elements()[1].position, 0.5f);

    const KCGradient last = aqua.removeColorStopAtPosition(1.0f);
    ASSERT_EQ(last.elements().size(), 3u);
    EXPECT_FLOAT_EQ(last.elements().back().position, 0.5f);
}

TEST(Gradient, MissesRaiseWithTheirMessages)
{
    const KCGradient g = KCGradient::unifiedDarkGradient();
    const auto messageOf = [](auto &&call) -> std::string {
        try {
            call();
        } catch (const std::out_of_range &e) {
            return e.what();
        }
        return "no exception";
    };
    EXPECT_EQ(messageOf([&] { (void)g.removeColorStopAtIndex(2); }),
              "-[KCGradient removeColorStopAtIndex:]: index (2) beyond bounds");
    EXPECT_EQ(messageOf([&] { (void)g.colorStopAtIndex(5); }),
              "-[KCGradient removeColorStopAtIndex:]: index (5) beyond bounds");
    EXPECT_EQ(messageOf([&] { (void)g.removeColorStopAtPosition(0.5f); }),
              "-[KCGradient removeColorStopAtPosition:]: no such colorStop at position (0.500000)");
    // Close is not exact.
    EXPECT_EQ(messageOf([&] { (void)g.removeColorStopAtPosition(0.9999f); }).substr(0, 40),
              std::string("-[KCGradient removeColorStopAtPosition:]"));
    EXPECT_EQ(g.colorStopAtIndex(1), QColor::fromRgbF(0.83f, 0.83f, 0.83f));
}

TEST(Gradient, AlphaComponentReplacesEveryAlpha)
{
    const KCGradient g = KCGradient::aquaSelectedGradient().gradientWithAlphaComponent(0.25f);
    ASSERT_EQ(g.elements().size(), 4u);
    for (const KCGradientElement &e : g.elements())
        EXPECT_FLOAT_EQ(e.alpha, 0.25f);
    EXPECT_NEAR(g.elements()[2].green, 0.80f, 1e-6);
}

// The gradient's own fill against QLinearGradient between the projections of
// the rearmost and foremost corners on the axis, for stops without shared
// positions.
struct FillCase {
    const char *name;
    KCGradient gradient;
    float angle; // y-up degrees
    QSize size;
};

class GradientFill : public ::testing::TestWithParam<FillCase>
{
};

TEST_P(GradientFill, MatchesQLinearGradientWithinTolerance)
{
    const FillCase &c = GetParam();
    const QImage ours = fillOf(c.gradient, c.size, c.angle);

    const double radians = c.angle * M_PI / 180.0;
    const QPointF direction(std::cos(radians), -std::sin(radians)); // y down on screen
    const QRectF rect(QPointF(0, 0), c.size);
    const QPointF centre = rect.center();
    double rear = 1e9, fore = -1e9;
    for (const QPointF &corner : {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()}) {
        const QPointF d = corner - centre;
        const double along = d.x() * direction.x() + d.y() * direction.y();
        rear = std::min(rear, along);
        fore = std::max(fore, along);
    }
    QLinearGradient reference(centre + direction * rear, centre + direction * fore);
    for (const KCGradientElement &e : c.gradient.elements())
        reference.setColorAt(e.position, QColor::fromRgbF(e.red, e.green, e.blue, e.alpha));
    QImage expected(c.size, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    QPainter(&expected).fillRect(rect, reference);

    EXPECT_LE(largestDifference(ours, expected), 4) << c.name;
}

const KCGradient kRainbow = KCGradient()
                                .addColorStop(QColor(200, 20, 20), 0.0f)
                                .addColorStop(QColor(20, 200, 40), 0.35f)
                                .addColorStop(QColor(30, 40, 220), 1.0f);

INSTANTIATE_TEST_SUITE_P(Table, GradientFill,
                         ::testing::Values(FillCase{"angle0", kRainbow, 0, {60, 30}},
                                           FillCase{"angle30", kRainbow, 30, {60, 30}},
                                           FillCase{"angle90", kRainbow, 90, {40, 50}},
                                           FillCase{"angle135", kRainbow, 135, {50, 50}},
                                           FillCase{"angle180", kRainbow, 180, {60, 30}},
                                           FillCase{"angle270", KCGradient::unifiedNormalGradient(), 270, {20, 60}},
                                           FillCase{"angle300", kRainbow, 300, {45, 70}},
                                           FillCase{"angleNear90", kRainbow, 89.999f, {30, 40}},
                                           FillCase{"innerStops", KCGradient()
                                                                      .addColorStop(Qt::black, 0.25f)
                                                                      .addColorStop(Qt::white, 0.75f),
                                                    0, {80, 10}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(GradientFill, Angle270PutsTheFirstStopAtTheTop)
{
    const QImage image = fillOf(KCGradient::unifiedNormalGradient(), {10, 100}, 270);
    EXPECT_NEAR(image.pixelColor(5, 0).redF(), 0.75, 0.01);
    EXPECT_NEAR(image.pixelColor(5, 99).redF(), 0.90, 0.01);
}

TEST(GradientFill, OppositeAnglesAreMirrorImages)
{
    const QImage a0 = fillOf(kRainbow, {50, 20}, 0), a180 = fillOf(kRainbow, {50, 20}, 180);
    const QImage a90 = fillOf(kRainbow, {20, 50}, 90), a270 = fillOf(kRainbow, {20, 50}, 270);
    EXPECT_LE(largestDifference(a0.mirrored(true, false), a180), 1);
    EXPECT_LE(largestDifference(a90.mirrored(false, true), a270), 1);
    EXPECT_GT(largestDifference(a0, a180), 100); // not merely all alike
}

TEST(GradientFill, KeepsTheHardEdgeOfSharedPositions)
{
    // 100 rows: row 49 samples t = 0.495, row 50 t = 0.505.
    const QImage image = fillOf(KCGradient::aquaNormalGradient(), {4, 100}, 270);
    EXPECT_NEAR(image.pixelColor(1, 49).redF(), 0.83 + (0.005 / 0.5) * 0.12, 0.006);
    EXPECT_NEAR(image.pixelColor(1, 50).redF(), 0.95 - (0.005 / 0.5) * 0.03, 0.006);
}

TEST(GradientFill, SingleStopFillsEverywhereAndNoStopsDrawNothing)
{
    const QImage single = fillOf(KCGradient().addColorStop(QColor(10, 120, 230), 0.6f), {20, 20}, 33);
    for (QPoint p : {QPoint(0, 0), QPoint(19, 19), QPoint(10, 3)})
        EXPECT_EQ(single.pixelColor(p), QColor(10, 120, 230));
    const QImage none = fillOf(KCGradient(), {20, 20}, 0, Qt::white);
    EXPECT_EQ(none.pixelColor(10, 10), QColor(Qt::white));
}

TEST(GradientFill, StaysInsideTheRectangle)
{
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    kRainbow.fillRect(painter, QRectF(10, 10, 20, 20), 45);
    kRainbow.radialFillRect(painter, QRectF(0, 32, 8, 8));
    painter.end();
    EXPECT_EQ(image.pixelColor(9, 15), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(30, 15), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(15, 30), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(15, 15), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(9, 35), QColor(Qt::white));
}

TEST(GradientFill, RadialRunsFromTheCentreToTheCircleAndBeyond)
{
    const KCGradient g = KCGradient::gradientWithBeginningColor(Qt::black, Qt::white);
    QImage image(41, 41, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    g.radialFillRect(painter, QRectF(0, 0, 41, 41));
    painter.end();
    EXPECT_LE(image.pixelColor(20, 20).red(), 3);                // centre: first stop
    EXPECT_NEAR(image.pixelColor(30, 20).redF(), 0.5, 0.03);     // half the radius
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));        // corner: last stop
}

TEST(GradientArchive, RoundTripsThroughAPropertyList)
{
    const KCGradient original =
        KCGradient::aquaSelectedGradient().addColorStop(QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f), 1.7f).addColorStop(Qt::red, -0.25f);
    const auto written = parley::PropertyList::write(original.encode());
    ASSERT_TRUE(written.ok()) << written.error.toStdString();
    const auto read = parley::PropertyList::read(written.data);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    const std::optional<KCGradient> decoded = KCGradient::decode(read.value.toMap());
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, original);
    EXPECT_EQ(KCGradient::decode(KCGradient().encode()), KCGradient());
}

TEST(GradientArchive, RefusesWhatIsNotAnArchive)
{
    QVariantMap good = KCGradient::unifiedDarkGradient().encode();
    QVariantMap noCount = good;
    noCount.remove(QStringLiteral("KCGradientElementCount"));
    QVariantMap negative = good;
    negative[QStringLiteral("KCGradientElementCount")] = -1;
    QVariantMap tooMany = good;
    tooMany[QStringLiteral("KCGradientElementCount")] = 3;
    QVariantMap huge = good;
    huge[QStringLiteral("KCGradientElementCount")] = qint64(1) << 40;
    QVariantMap textValue = good;
    textValue[QStringLiteral("$4")] = QStringLiteral("0.5");
    for (const QVariantMap &bad : {noCount, negative, tooMany, huge, textValue})
        EXPECT_FALSE(KCGradient::decode(bad).has_value());
    EXPECT_TRUE(KCGradient::decode(good).has_value());
}

} // namespace
