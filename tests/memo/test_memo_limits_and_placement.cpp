// The memo length limit and where memo windows are placed.
#include "MemoPlacement.h"
#include "MemoTextLimit.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoTextLimit, CountsTwoBytesPerUnitAgainstFourThousand)
{
    const QString full(2000, QLatin1Char('x'));
    EXPECT_EQ(MemoTextLimit::counterText(full), QStringLiteral("4000/4000"));
    EXPECT_FALSE(MemoTextLimit::isOverflow(full));
    EXPECT_EQ(MemoTextLimit::counterText(QString()), QStringLiteral("0/4000"));

    const QString over = full + QLatin1Char('y');
    EXPECT_EQ(MemoTextLimit::counterText(over), QStringLiteral("4002/4000"));
    EXPECT_TRUE(MemoTextLimit::isOverflow(over));
    EXPECT_EQ(MemoTextLimit::cutToLimit(over), full);
    EXPECT_EQ(MemoTextLimit::cutToLimit(full), full);
}

TEST(MemoTextLimit, TheCutNeverSplitsASurrogatePair)
{
    // 1999 units, then a character outside the basic plane (two units).
    const QString text = QString(1999, QLatin1Char('x')) + QString::fromUcs4(U"\U0001F600") + QStringLiteral("tail");
    const QString cut = MemoTextLimit::cutToLimit(text);
    EXPECT_EQ(cut.size(), 1999);
    EXPECT_FALSE(cut.back().isHighSurrogate());
    // A pair that ends exactly at the limit stays whole.
    const QString exact = QString(1998, QLatin1Char('x')) + QString::fromUcs4(U"\U0001F600") + QStringLiteral("z");
    EXPECT_EQ(MemoTextLimit::cutToLimit(exact).size(), 2000);
}

struct PlaceCase {
    const char *name;
    MemoPlacement::Kind kind;
    std::optional<QRectF> stored;
    int open;
    QRectF expected;
};

class Placement : public ::testing::TestWithParam<PlaceCase> {};

// A visible frame that does not start at the origin, so that the rules about
// its origin show.
const QRectF kVisible(100, 50, 1000, 700);

TEST_P(Placement, FollowsTheCascade)
{
    const PlaceCase &c = GetParam();
    EXPECT_EQ(MemoPlacement::availableFrame(c.kind, c.stored, kVisible, c.open), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Memo, Placement,
    ::testing::Values(
        // 100 + (1000 - 375) / 2, 50 + (700 - 240) / 2: centred in the visible
        // frame, its origin added, as for chat windows.
        PlaceCase{"first compose window", MemoPlacement::Kind::Compose, std::nullopt, 0, QRectF(412.5, 280, 375, 240)},
        PlaceCase{"first read window", MemoPlacement::Kind::Read, std::nullopt, 0, QRectF(375, 280, 450, 240)},
        PlaceCase{"second compose window", MemoPlacement::Kind::Compose, std::nullopt, 1, QRectF(432.5, 256, 375, 240)},
        PlaceCase{"stored frame is the start", MemoPlacement::Kind::Read, QRectF(200, 400, 500, 300), 2,
                  QRectF(240, 352, 500, 300)},
        // 20 more would pass the right edge (1100): top left of the visible frame.
        PlaceCase{"right edge wraps", MemoPlacement::Kind::Compose, QRectF(720, 400, 375, 240), 1,
                  QRectF(100, 510, 375, 240)},
        // 24 lower would pass the bottom (50).
        PlaceCase{"bottom edge wraps", MemoPlacement::Kind::Compose, QRectF(200, 60, 375, 240), 1,
                  QRectF(100, 510, 375, 240)},
        PlaceCase{"after a wrap the cascade goes on", MemoPlacement::Kind::Compose, QRectF(200, 60, 375, 240), 2,
                  QRectF(120, 486, 375, 240)},
        PlaceCase{"a stored frame off every screen counts as none", MemoPlacement::Kind::Compose,
                  QRectF(5000, 5000, 375, 240), 0, QRectF(412.5, 280, 375, 240)}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(MemoPlacement, FrameStringsReadBackAndRefuseOtherText)
{
    const QRectF frame(12.5, -3, 375, 240);
    EXPECT_EQ(MemoPlacement::stringFromRect(frame), QStringLiteral("{{12.5, -3}, {375, 240}}"));
    EXPECT_EQ(MemoPlacement::rectFromString(MemoPlacement::stringFromRect(frame)), frame);
    EXPECT_EQ(MemoPlacement::rectFromString(QStringLiteral("{{1,2},{3,4}}")), QRectF(1, 2, 3, 4));
    for (const char *bad : {"", "{{1, 2}, {3}}", "{{a, 2}, {3, 4}}", "{{1, 2}, {0, 4}}", "1 2 3 4"})
        EXPECT_FALSE(MemoPlacement::rectFromString(QLatin1String(bad))) << bad;
}

TEST(MemoPlacement, YUpAndScreenCoordinatesConvertBothWays)
{
    // A window at the top left of a 900-high primary screen.
    const QRectF screen(0, 0, 375, 240);
    const QRectF yUp = MemoPlacement::fromScreen(screen, 900);
    EXPECT_EQ(yUp, QRectF(0, 660, 375, 240));
    EXPECT_EQ(MemoPlacement::toScreen(yUp, 900), screen);
}

} // namespace
