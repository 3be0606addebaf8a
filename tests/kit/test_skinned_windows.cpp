// Skinned windows and the split view: the composed background probed with
// solid-colour pieces, size limits, Escape, and the divider's limits.
#include "KCCustomWindow.h"
#include "KCSplitView.h"
#include "SolidSlices.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSplitterHandle>
#include <gtest/gtest.h>

using namespace parley::test;

namespace {

const QColor kTopLeft(200, 0, 0), kTopRight(0, 200, 0), kBand(0, 0, 200), kBase(90, 90, 90);
const QColor kBottomLeft(200, 200, 0), kBottomRight(0, 200, 200), kBottomBand(200, 0, 200);
const QColor kEdgeLeft(250, 120, 0), kEdgeRight(0, 120, 250);

class SkinnedWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *prefix : {"", "flat"}) {
            const bool flat = *prefix;
            const auto name = [&](const char *polished, const char *flatName) {
                return QLatin1String(flat ? flatName : polished);
            };
            slices.add(name("7x80_top_left", "flat_top_left"), 7, 80, kTopLeft);
            slices.add(name("7x80_top_right", "flat_top_right"), 7, 80, kTopRight);
            // The band's bottom-left pixel gives the base colour.
            QImage band(1, 80, QImage::Format_ARGB32_Premultiplied);
            band.fill(kBand);
            band.setPixelColor(0, 79, kBase);
            slices.add(name("1x80_top_middle", "flat_top_middle"), band);
            slices.add(name("7x24_bottom_left", "flat_bottom_left"), 7, 24, kBottomLeft);
            slices.add(name("7x24_bottom_right", "flat_bottom_right"), 7, 24, kBottomRight);
            slices.add(name("1x24_bottom_middle", "flat_bottom_middle"), 1, 24, kBottomBand);
        }
        slices.add(QStringLiteral("middle_left"), 3, 10, kEdgeLeft);
        slices.add(QStringLiteral("middle_right"), 3, 10, kEdgeRight);
    }
    SolidSlices slices;
};

struct Probe {
    QPoint at;
    QColor colour;
};

TEST_F(SkinnedWindow, PolishedBackgroundPutsEachPieceInItsPlace)
{
    const QImage image = KCCustomWindow::composeBackground({200, 300}, false);
    ASSERT_EQ(image.size(), QSize(200, 300));
    const Probe probes[] = {
        {{0, 0}, kTopLeft},         {{6, 79}, kTopLeft},        {{7, 0}, kBand},
        {{192, 10}, kBand},         {{100, 79}, kBase},         {{193, 0}, kTopRight},
        {{199, 79}, kTopRight},     {{100, 80}, kBase},         {{100, 150}, kBase},
        {{0, 150}, kBase},          {{199, 275}, kBase},        {{0, 276}, kBottomLeft},
        {{6, 299}, kBottomLeft},    {{7, 276}, kBottomBand},    {{192, 299}, kBottomBand},
        {{193, 276}, kBottomRight}, {{199, 299}, kBottomRight},
    };
    for (const Probe &p : probes)
        EXPECT_EQ(image.pixelColor(p.at), p.colour) << p.at.x() << "," << p.at.y();
}

TEST_F(SkinnedWindow, FlatBackgroundAddsStretchedSideEdges)
{
    const QImage image = KCCustomWindow::composeBackground({200, 300}, true);
    // The left edge over x 0 to 2, the right edge from x 200 - 3 + 1 = 198 (one column past the side).
    const Probe probes[] = {
        {{0, 150}, kEdgeLeft}, {{2, 150}, kEdgeLeft},   {{3, 150}, kBase},     {{197, 150}, kBase},
        {{198, 150}, kEdgeRight}, {{199, 150}, kEdgeRight}, {{0, 0}, kTopLeft}, {{0, 299}, kBottomLeft},
        {{100, 10}, kBand},
    };
    for (const Probe &p : probes)
        EXPECT_EQ(image.pixelColor(p.at), p.colour) << p.at.x() << "," << p.at.y();
}

TEST_F(SkinnedWindow, RebuildsItsBackgroundOnResizeAndOnSkinChange)
{
    KCCustomWindow window;
    window.resize(240, 260);
    window.show();
    EXPECT_EQ(window.sizedPolishedBackground().size(), QSize(240, 260));
    EXPECT_EQ(window.sizedPolishedBackground().pixelColor(1, 130), kBase);
    window.resize(300, 200);
    EXPECT_EQ(window.sizedPolishedBackground().size(), QSize(300, 200));
    EXPECT_EQ(window.sizedPolishedBackground().pixelColor(296, 199), kBottomRight);
    window.setFlat(true);
    EXPECT_TRUE(window.flat());
    EXPECT_EQ(window.sizedPolishedBackground().pixelColor(1, 130), kEdgeLeft);
    // What is drawn is the composed skin.
    EXPECT_EQ(window.grab().toImage().pixelColor(1, 130), kEdgeLeft);
}

TEST(CustomWindow, MinimumSizeIsNeverBelow150)
{
    KCCustomWindow window;
    window.setMinSize({100, 100});
    EXPECT_EQ(window.minimumSize(), QSize(150, 150));
    window.setMinSize({400, 120});
    EXPECT_EQ(window.minimumSize(), QSize(400, 150));
}

void pressEscape(QWidget &window)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window, &escape);
}

TEST(CustomWindow, EscapeClosesUnlessTheWindowRefuses)
{
    KCCustomWindow window;
    window.show();
    pressEscape(window);
    EXPECT_FALSE(window.isVisible());

    struct Refusing : KCCustomWindow {
        void closeEvent(QCloseEvent *event) override
        {
            ++asked;
            event->ignore();
        }
        int asked = 0;
    } refusing;
    refusing.show();
    pressEscape(refusing);
    EXPECT_EQ(refusing.asked, 1);
    EXPECT_TRUE(refusing.isVisible());

    // Another key does not close it.
    KCCustomWindow other;
    other.show();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&other, &key);
    EXPECT_TRUE(other.isVisible());
}

// Drags the divider's handle by `distance` along the split view's orientation.
void drag(KCSplitView &split, int distance)
{
    QSplitterHandle *handle = split.handle(1);
    const QPoint start = handle->rect().center();
    const QPoint along = split.orientation() == Qt::Horizontal ? QPoint(distance, 0) : QPoint(0, distance);
    const auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent event(type, local, handle->mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(handle, &event);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + along, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + along, Qt::NoButton);
}

struct SplitCase {
    const char *name;
    Qt::Orientation orientation;
    qreal maxLimit; // < 0: unset
    int distance;
    int firstPane; // expected size of the first pane afterwards
};

class SplitView : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitView, KeepsTheDividerWithinItsLimits)
{
    const SplitCase &c = GetParam();
    KCSplitView split(c.orientation);
    split.addWidget(new QWidget);
    split.addWidget(new QWidget);
    split.resize(400, 400);
    if (c.maxLimit >= 0)
        split.setMaxCoordinateLimit(c.maxLimit);
    split.show();
    split.setSizes({200, 200});
    EXPECT_EQ(split.sizes().value(0) + split.sizes().value(1), 400) << "the divider takes no room";
    drag(split, c.distance);
    EXPECT_EQ(split.sizes().value(0), c.firstPane) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitView,
    ::testing::Values(SplitCase{"stackedStops110FromTheEnd", Qt::Vertical, -1, 180, 290},
                      SplitCase{"stackedMovesFreelyAbove", Qt::Vertical, -1, 50, 250},
                      SplitCase{"stackedIgnoresTheMaxLimit", Qt::Vertical, 100, 50, 250},
                      SplitCase{"sideBySideStopsAtTheLimit", Qt::Horizontal, 260, 150, 260},
                      SplitCase{"sideBySideMovesBelowTheLimit", Qt::Horizontal, 260, 30, 230},
                      SplitCase{"sideBySideMovesBack", Qt::Horizontal, 260, -120, 80},
                      SplitCase{"sideBySideUnsetIsUnlimited", Qt::Horizontal, -1, 150, 350}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SplitView, OnlyDragsAreLimited)
{
    KCSplitView split(Qt::Horizontal);
    split.addWidget(new QWidget);
    split.addWidget(new QWidget);
    split.resize(400, 100);
    split.setMaxCoordinateLimit(100);
    split.show();
    split.setSizes({300, 100});
    EXPECT_EQ(split.sizes().value(0), 300);
    EXPECT_EQ(split.constrainMaxCoordinate(380, 0), 100);
    KCSplitView stacked(Qt::Vertical);
    EXPECT_EQ(stacked.constrainMaxCoordinate(380, 0), 270);
}

} // namespace
