// Skinned controls painted offscreen with solid-colour slices: where each slice
// lands, which state's slices are chosen, and the controls' behaviour.
#include "KCButton.h"
#include "KCButtonBGView.h"
#include "KCButtonView.h"
#include "KCDefaultView.h"
#include "KCLinkButton.h"
#include "KCMenuButton.h"
#include "KCPopupButton.h"
#include "KCWhiteButton.h"
#include "KCWhiteView.h"
#include "SolidSlices.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace parley::test;

namespace {

// Distinct colours per piece and state letter.
QColor colourOf(const QString &piece, const QString &state)
{
    const int p = piece == QLatin1String("Left") ? 0 : piece == QLatin1String("Fill") ? 1 : 2;
    const int s = state == QLatin1String("N") ? 0 : state == QLatin1String("P") ? 1 : 2;
    return QColor(40 + 80 * p, 40 + 80 * s, 200 - 20 * p - 40 * s);
}

class WhiteButton : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *piece : {"Left", "Fill", "Right"}) {
            for (const char *state : {"N", "P", "D"}) {
                // Caps bigger than 7 x 28: only their bottom-left 7 x 28 part is drawn.
                const bool cap = qstrcmp(piece, "Fill") != 0;
                QImage image(cap ? 10 : 1, cap ? 30 : 28, QImage::Format_ARGB32_Premultiplied);
                image.fill(colourOf(QLatin1String(piece), QLatin1String(state)));
                if (cap) {
                    // Its top rows and right columns are off limits.
                    for (int x = 0; x < image.width(); ++x)
                        image.setPixelColor(x, 0, Qt::magenta), image.setPixelColor(x, 1, Qt::magenta);
                    for (int y = 0; y < image.height(); ++y)
                        for (int x = 7; x < image.width(); ++x)
                            image.setPixelColor(x, y, Qt::magenta);
                }
                slices.add(QStringLiteral("tools-button%1-%2").arg(QLatin1String(piece), QLatin1String(state)), image);
            }
        }
    }
    SolidSlices slices;
};

struct StateCase {
    bool enabled;
    bool down;
    const char *letter;
};

class WhiteButtonStates : public WhiteButton, public ::testing::WithParamInterface<StateCase>
{
};

TEST_P(WhiteButtonStates, DrawsTheSlicesOfItsStateAtTheirPlaces)
{
    const StateCase &c = GetParam();
    KCWhiteButton button;
    button.resize(100, 28);
    button.setEnabled(c.enabled);
    button.setDown(c.down);
    const QImage image = paintOf(button);
    const QString s = QLatin1String(c.letter);
    for (int x : {0, 6})
        EXPECT_EQ(image.pixelColor(x, 10), colourOf("Left", s)) << c.letter << " x " << x;
    for (int x : {7, 50, 92})
        EXPECT_EQ(image.pixelColor(x, 2), colourOf("Fill", s)) << c.letter << " x " << x;
    for (int x : {93, 99})
        EXPECT_EQ(image.pixelColor(x, 10), colourOf("Right", s)) << c.letter << " x " << x;
}

INSTANTIATE_TEST_SUITE_P(Table, WhiteButtonStates,
                         ::testing::Values(StateCase{true, false, "N"}, StateCase{true, true, "P"},
                                           StateCase{false, false, "D"}, StateCase{false, true, "D"}));

TEST_F(WhiteButton, FourteenPointsWideHasAnEmptyMiddle)
{
    KCWhiteButton button;
    button.resize(14, 28);
    const QImage image = paintOf(button);
    for (int y : {0, 14, 27}) {
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(image.pixelColor(x, y), colourOf("Left", "N")) << x << "," << y;
        for (int x = 7; x < 14; ++x)
            EXPECT_EQ(image.pixelColor(x, y), colourOf("Right", "N")) << x << "," << y;
    }
}

TEST_F(WhiteButton, SlicesSitOnTheBottomEdgeOfATallerButton)
{
    KCWhiteButton button;
    button.resize(60, 40);
    const QImage image = paintOf(button);
    EXPECT_EQ(image.pixelColor(3, 5).alpha(), 0);
    EXPECT_EQ(image.pixelColor(3, 12), colourOf("Left", "N"));
    EXPECT_EQ(image.pixelColor(3, 39), colourOf("Left", "N"));
    EXPECT_EQ(image.pixelColor(30, 13), colourOf("Fill", "N"));
}

TEST_F(WhiteButton, TitleIsDarkGreyWhenDisabledAndBlackOtherwise)
{
    // A wide, solid title shows its colour in the middle of the button.
    const auto darkest = [](const QImage &image) {
        int least = 255;
        for (int y = 4; y < 24; ++y)
            for (int x = 20; x < 80; ++x)
                least = std::min(least, qGray(image.pixel(x, y)));
        return least;
    };
    // White fills (the button loads its slices when made).
    slices.add(QStringLiteral("tools-buttonFill-N"), 1, 28, Qt::white);
    slices.add(QStringLiteral("tools-buttonFill-D"), 1, 28, Qt::white);
    KCWhiteButton button(QStringLiteral("████"));
    button.resize(100, 28);
    EXPECT_LE(darkest(paintOf(button)), 10);
    button.setEnabled(false);
    EXPECT_NEAR(darkest(paintOf(button)), 85, 6);
}

TEST_F(WhiteButton, PressedSlicesShowOnlyWhileHeld)
{
    QWidget window;
    auto *button = new KCWhiteButton(&window);
    button->setGeometry(0, 0, 80, 28);
    window.show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(40, 14), button->mapToGlobal(QPointF(40, 14)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    EXPECT_EQ(paintOf(*button).pixelColor(40, 2), colourOf("Fill", "P"));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(40, 14), button->mapToGlobal(QPointF(40, 14)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(button, &release);
    EXPECT_EQ(paintOf(*button).pixelColor(40, 2), colourOf("Fill", "N"));
}

class SkinnedButton : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *state : {"N", "P", "D"}) {
            const QString s = QLatin1String(state);
            slices.add(QStringLiteral("ButtonLeft") + s, 4, 20, colourOf("Left", s));
            slices.add(QStringLiteral("ButtonFill") + s, 1, 20, colourOf("Fill", s));
            slices.add(QStringLiteral("ButtonRight") + s, 4, 20, colourOf("Right", s));
            slices.add(QStringLiteral("tools-popupLeft-") + s, 5, 18, colourOf("Left", s));
            slices.add(QStringLiteral("tools-popupFill-") + s, 1, 18, colourOf("Fill", s));
            slices.add(QStringLiteral("tools-popupRight-") + s, 14, 18, colourOf("Right", s));
            for (const char *on : {"On", "Off"})
                slices.add(QStringLiteral("Checkbox%1%2").arg(QLatin1String(on), s), 12, 12,
                           QColor(on[1] == 'n' ? 250 : 10, 60 + 60 * (s == "P") + 120 * (s == "D"), 90));
        }
    }
    SolidSlices slices;
};

TEST_F(SkinnedButton, BezelCapsSitHalfACapInAndTheFillBetweenThem)
{
    KCButton button;
    button.resize(100, 22);
    const QImage image = paintOf(button);
    // Caps 4 wide: left from x 2, right from x 100 - 6 = 94; 20 high, centred (rows 1 to 20).
    EXPECT_EQ(image.pixelColor(1, 10).alpha(), 0);
    EXPECT_EQ(image.pixelColor(2, 10), colourOf("Left", "N"));
    EXPECT_EQ(image.pixelColor(5, 10), colourOf("Left", "N"));
    EXPECT_EQ(image.pixelColor(6, 2), colourOf("Fill", "N"));
    EXPECT_EQ(image.pixelColor(93, 2), colourOf("Fill", "N"));
    EXPECT_EQ(image.pixelColor(94, 10), colourOf("Right", "N"));
    EXPECT_EQ(image.pixelColor(97, 10), colourOf("Right", "N"));
    EXPECT_EQ(image.pixelColor(98, 10).alpha(), 0);
    EXPECT_EQ(image.pixelColor(50, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(50, 21).alpha(), 0);
    EXPECT_EQ(image.pixelColor(50, 1), colourOf("Fill", "N"));
}

TEST_F(SkinnedButton, NeverTakesKeyboardFocus)
{
    KCButton button;
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
}

struct CheckCase {
    bool checked, enabled, down;
    const char *image;
};

class SkinnedCheckBox : public SkinnedButton, public ::testing::WithParamInterface<CheckCase>
{
};

TEST_P(SkinnedCheckBox, DrawsTheImageOfItsStateAtTheLeftEdge)
{
    const CheckCase &c = GetParam();
    KCButton box(QStringLiteral("option"));
    box.setCheckable(true);
    box.setChecked(c.checked);
    box.setEnabled(c.enabled);
    box.setDown(c.down);
    box.resize(120, 20);
    EXPECT_EQ(box.checkboxImageName(), QLatin1String(c.image));
    const QImage image = paintOf(box);
    const QImage expected = ImageRegistry::image(QLatin1String(c.image));
    // 12 x 12 from x 2, centred: rows 4 to 15.
    EXPECT_EQ(image.pixelColor(2, 4), expected.pixelColor(0, 0)) << c.image;
    EXPECT_EQ(image.pixelColor(13, 15), expected.pixelColor(0, 0)) << c.image;
    EXPECT_EQ(image.pixelColor(1, 10).alpha(), 0) << c.image;
    EXPECT_EQ(image.pixelColor(5, 3).alpha(), 0) << c.image;
}

INSTANTIATE_TEST_SUITE_P(Table, SkinnedCheckBox,
                         ::testing::Values(CheckCase{true, true, false, "CheckboxOnN"},
                                           CheckCase{false, false, false, "CheckboxOffD"},
                                           CheckCase{true, true, true, "CheckboxOnP"},
                                           CheckCase{false, true, false, "CheckboxOffN"}));

TEST_F(SkinnedButton, PopupCapsAreTwoPointsInAndLiftedByOne)
{
    KCPopupButton popup;
    popup.addItems({QStringLiteral("하나"), QStringLiteral("둘")});
    popup.resize(120, 22);
    const QImage image = paintOf(popup);
    // 18 high in 22: centred would be rows 2 to 19; lifted: rows 1 to 18.
    EXPECT_EQ(image.pixelColor(2, 1), colourOf("Left", "N"));
    EXPECT_EQ(image.pixelColor(2, 18), colourOf("Left", "N"));
    EXPECT_EQ(image.pixelColor(2, 19).alpha(), 0);
    EXPECT_EQ(image.pixelColor(1, 10).alpha(), 0);
    EXPECT_EQ(image.pixelColor(7, 1), colourOf("Fill", "N"));
    // The right cap from x 120 - 14 - 2 = 104 to 117, over the end of the fill.
    EXPECT_EQ(image.pixelColor(104, 1), colourOf("Right", "N"));
    EXPECT_EQ(image.pixelColor(117, 1), colourOf("Right", "N"));
    EXPECT_EQ(image.pixelColor(118, 10).alpha(), 0);

    popup.setEnabled(false);
    EXPECT_EQ(paintOf(popup).pixelColor(2, 1), colourOf("Left", "D"));
}

TEST(PopupButton, PullDownKeepsItsTitleWhateverIsChosen)
{
    KCPopupButton popup(QStringLiteral("동작"), true);
    popup.addItems({QStringLiteral("열기"), QStringLiteral("닫기")});
    popup.setCurrentIndex(1);
    EXPECT_EQ(popup.displayedTitle(), QStringLiteral("동작"));
    popup.setPullsDown(false);
    EXPECT_EQ(popup.displayedTitle(), QStringLiteral("닫기"));
}

TEST(DefaultView, IsDarkerAtTheTopThanAtTheBottom)
{
    KCDefaultView view;
    view.resize(30, 100);
    const QImage image = paintOf(view);
    EXPECT_NEAR(image.pixelColor(15, 0).redF(), 0.75, 0.01);
    EXPECT_NEAR(image.pixelColor(15, 99).redF(), 0.90, 0.01);
}

TEST(BackingStrips, StretchTheirImageAcrossTheBottom)
{
    SolidSlices slices;
    slices.add(QStringLiteral("1x27_bg"), 1, 27, QColor(10, 200, 30));
    slices.add(QStringLiteral("1x37_btn_bg"), 1, 37, QColor(200, 30, 10));
    KCButtonBGView strip;
    strip.resize(80, 30);
    KCButtonView bar;
    bar.resize(80, 40);
    const QImage a = paintOf(strip), b = paintOf(bar);
    EXPECT_EQ(a.pixelColor(0, 3), QColor(10, 200, 30));
    EXPECT_EQ(a.pixelColor(79, 29), QColor(10, 200, 30));
    EXPECT_EQ(a.pixelColor(40, 2).alpha(), 0);
    EXPECT_EQ(b.pixelColor(79, 3), QColor(200, 30, 10));
    EXPECT_EQ(b.pixelColor(40, 2).alpha(), 0);

    strip.setImage(ImageRegistry::image(QStringLiteral("1x37_btn_bg")));
    EXPECT_EQ(paintOf(strip).pixelColor(40, 0), QColor(200, 30, 10));
}

TEST(WhiteView, IsWhiteAndTellsItsDelegateOfAClick)
{
    struct Delegate : KCWhiteViewDelegate {
        void whiteViewClicked(KCWhiteView *view) override { clicked.push_back(view); }
        std::vector<KCWhiteView *> clicked;
    } delegate;
    KCWhiteView view;
    view.resize(20, 20);
    EXPECT_EQ(paintOf(view).pixelColor(10, 10), QColor(Qt::white));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), view.mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &press); // no delegate yet: nothing happens
    view.setDelegate(&delegate);
    QApplication::sendEvent(&view, &press);
    ASSERT_EQ(delegate.clicked.size(), 1u);
    EXPECT_EQ(delegate.clicked.front(), &view);
}

TEST(LinkButton, UnderlinesWhileThePointerIsOverItUntilClicked)
{
    KCLinkButton link(QStringLiteral("비밀번호 찾기"));
    link.resize(link.sizeHint());
    EXPECT_FALSE(link.drawsUnderline());
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(&link, &enter);
    EXPECT_TRUE(link.drawsUnderline());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&link, &press);
    EXPECT_FALSE(link.drawsUnderline());
    QApplication::sendEvent(&link, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_FALSE(link.drawsUnderline());
    EXPECT_EQ(link.focusPolicy(), Qt::NoFocus);
}

TEST(MenuButton, OpensJustUnderItselfOrAtItsLocation)
{
    QWidget window;
    auto *button = new KCMenuButton(QStringLiteral("메뉴"), &window);
    button->setGeometry(10, 20, 80, 24);
    EXPECT_EQ(button->menuPosition(), QPoint(1, 46));
    button->setMenuLocation(QPoint(120, 7));
    EXPECT_TRUE(button->isLocationMenu());
    EXPECT_EQ(button->menuPosition(), QPoint(120, 7));
}

TEST(MenuButton, StaysHighlightedExactlyWhileItsMenuIsUp)
{
    QWidget window;
    window.resize(200, 100);
    auto *button = new KCMenuButton(QStringLiteral("메뉴"), &window);
    button->setGeometry(10, 20, 80, 24);
    QMenu menu;
    menu.addAction(QStringLiteral("하나"));
    button->setPopupMenu(&menu);
    window.show();

    bool downWhileUp = false;
    QPoint menuAt;
    QTimer::singleShot(0, &menu, [&] {
        downWhileUp = button->isDown();
        menuAt = menu.pos();
        menu.close();
    });
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    EXPECT_TRUE(downWhileUp);
    EXPECT_FALSE(button->isDown());
    EXPECT_EQ(menuAt, window.mapToGlobal(QPoint(1, 46)));
}

} // namespace
