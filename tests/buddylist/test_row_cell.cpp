// The row cell: its geometry and text layout as tables, then paint probes of
// rows drawn into an image with a fixed font and solid test images.

#include "BuddyListFixture.h"

#include "BuddyList/BuddyListModel.h"
#include "BuddyList/KCParleyCell.h"
#include "BuddyList/KCParleyCellLayout.h"

#include <QPainter>
#include <QStandardItemModel>
#include <QTreeView>

namespace buddylist::test {
namespace {

TEST(RowCellGeometry, RectanglesOfARow)
{
    // A row at x 15, 200 wide, 20 high, with 16-point images.
    const KCParleyCellImageSizes sizes{{16, 16}, {16, 16}, {16, 16}};
    struct Case {
        int leftMargin;
        bool buttons;
        QRect icon, text, talk, home;
        int talkX, homeX;
    };
    const Case cases[] = {
        // Text from 15 + 16 + 3, 200 - 16 - 8 - (16 + 16 + 12) wide; home ends 10 before
        // the edge (215 - 10 - 16 = 189), the memo button 2 before the home button.
        {0, true, {15, 32, 16, 16}, {34, 30, 132, 20}, {171, 30, 16, 20}, {189, 30, 16, 20}, 171, 189},
        {4, true, {19, 32, 16, 16}, {38, 30, 132, 20}, {171, 30, 16, 20}, {189, 30, 16, 20}, 171, 189},
        // Hidden buttons: no rectangles, the text still leaves their room.
        {0, false, {15, 32, 16, 16}, {34, 30, 132, 20}, {}, {}, 171, 189},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.leftMargin);
        const KCParleyCellGeometry g = KCParleyCellLayout(QRect(15, 30, 200, 20), sizes, c.leftMargin, c.buttons);
        EXPECT_EQ(g.iconRect, c.icon);
        EXPECT_EQ(g.textRect, c.text);
        EXPECT_EQ(g.talkRect, c.talk);
        EXPECT_EQ(g.orchardRect, c.home);
        EXPECT_EQ(g.talkX, c.talkX);
        EXPECT_EQ(g.orchardX, c.homeX);
    }
    // The memo button never reaches the home button.
    const KCParleyCellGeometry g = KCParleyCellLayout(QRect(0, 0, 300, 20), sizes, 0, true);
    EXPECT_FALSE(g.talkRect.intersects(g.orchardRect));
    EXPECT_LE(g.textRect.right(), g.talkRect.left());
}

class RowCellPaintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestImages::install();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        cell.setFont(font);
        cell.setDisplayButtons(true);
        store.group("1", "Friends");
    }
    // Draws the model's first buddy row into an image 240 x 20 with a white background.
    QImage paintRow(const PLBuddyPtr &buddy, bool selected = false)
    {
        manager.reloadData();
        model.reload(false);
        const QModelIndex row = model.indexForBuddy("1", buddy->velaID());
        EXPECT_TRUE(row.isValid());
        QImage image(240, 20, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        option.state = QStyle::State_Enabled | (selected ? QStyle::State_Selected : QStyle::State_None);
        option.palette.setColor(QPalette::Highlight, QColor(10, 20, 200));
        cell.paint(&painter, option, row);
        return image;
    }
    static QColor at(const QImage &image, int x, int y) { return image.pixelColor(x, y); }
    static bool hasDark(const QImage &image, const QRect &area)
    {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGray(image.pixel(x, y)) < 160)
                    return true;
        return false;
    }

    BuddyStore store;
    BuddyListManager manager;
    BuddyListModel model{manager};
    KCParleyCell cell;
};

TEST_F(RowCellPaintTest, IconsOfBlockedBuddiesAndButtonImages)
{
    struct Case {
        const char *what;
        int status;
        const char *flags;
        bool talk;
        const char *orchardCMN;
        bool newPost;
        const char *icon, *talkImage, *homeImage;
    };
    const Case cases[] = {
        {"online", 1, "1100", true, "55", false, "16x16_normal", "talk_on(16x16)", "home_on(16x16)"},
        {"busy, new post", 2, "1100", true, "55", true, "16x16_busy", "talk_on(16x16)", "home_new(16x16)"},
        {"no memos, no home", 3, "1100", false, "", true, "16x16_other", "talk_off(16x16)", "home_off(16x16)"},
        {"blocked, online", 1, "1110", true, "55", false, "16x16_onlineBlock", "talk_on(16x16)", "home_on(16x16)"},
        {"blocked, away", 3, "1110", true, "55", false, "16x16_onlineBlock", "talk_on(16x16)", "home_on(16x16)"},
        {"blocked, offline", 0, "1110", false, "55", false, "16x16_offlineBlock", "talk_off(16x16)", "home_on(16x16)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const PLBuddyPtr b = store.buddy({"20", "Kim", "", c.status, {"1"}, c.flags});
        b->setTalkAvailable(c.talk);
        b->setOrchardCMN(QLatin1String(c.orchardCMN));
        b->setOrchardGuestBookHasNewPost(c.newPost);
        const QImage image = paintRow(b);
        const KCParleyCellGeometry g = cell.geometryForRow(image.rect(), b.get());
        EXPECT_EQ(at(image, g.iconRect.center().x(), g.iconRect.center().y()), TestImages::colourOf(QLatin1String(c.icon)));
        EXPECT_EQ(at(image, g.talkRect.center().x(), 10), TestImages::colourOf(QLatin1String(c.talkImage)));
        EXPECT_EQ(at(image, g.orchardRect.center().x(), 10), TestImages::colourOf(QLatin1String(c.homeImage)));
        // The positions went to the list's buttons as drawn.
        EXPECT_TRUE(cell.buttons().isInTalkButtonWithPointX(g.talkRect.left()));
        EXPECT_FALSE(cell.buttons().isInTalkButtonWithPointX(g.orchardRect.left()));
        EXPECT_TRUE(cell.buttons().isInOrchardButtonWithPointX(g.orchardRect.right()));
    }
}

TEST_F(RowCellPaintTest, ALongNameEndsInDotsAndNothingIsDrawnUnderTheButtons)
{
    const PLBuddyPtr b = store.buddy({"20", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "", 1, {"1"}});
    const QImage image = paintRow(b);
    const KCParleyCellGeometry g = cell.geometryForRow(image.rect(), b.get());
    const KCEmoticonLayout line = cell.layoutText(BuddyString::buddyStringWithBuddy(b), g.textRect);
    ASSERT_TRUE(line.cut);
    ASSERT_EQ(line.items.size(), 2);
    EXPECT_EQ(line.items[1].kind, KCEmoticonLayoutItem::Kind::Ellipsis);
    const qreal end = line.items[1].rect.right();
    EXPECT_LE(end, g.textRect.left() + g.textRect.width());
    // Ink in the text area, none between the text's end and the memo button.
    EXPECT_TRUE(hasDark(image, QRect(g.textRect.left(), 0, 40, 20)));
    EXPECT_FALSE(hasDark(image, QRect(int(end) + 1, 0, g.talkRect.left() - int(end) - 1, 20)));
}

TEST_F(RowCellPaintTest, HiddenButtonsAreNeitherDrawnNorPressed)
{
    const PLBuddyPtr b = store.buddy({"20", "Kim", "", 1, {"1"}});
    b->setTalkAvailable(true);
    cell.setDisplayButtons(false);
    const QImage image = paintRow(b);
    const KCParleyCellGeometry shown = KCParleyCellLayout(image.rect(), {{16, 16}, {16, 16}, {16, 16}}, 0, true);
    EXPECT_EQ(at(image, shown.talkRect.center().x(), 10), QColor(Qt::white));
    EXPECT_EQ(at(image, shown.orchardRect.center().x(), 10), QColor(Qt::white));
    EXPECT_FALSE(cell.buttons().isInTalkButtonWithPointX(shown.talkRect.center().x()));
    EXPECT_FALSE(cell.buttons().isInOrchardButtonWithPointX(shown.orchardRect.center().x()));
}

TEST_F(RowCellPaintTest, SelectedRowsDrawWhiteText)
{
    const PLBuddyPtr b = store.buddy({"20", "MMMM", "", 1, {"1"}});
    const QImage plain = paintRow(b);
    const QImage selected = paintRow(b, true);
    const KCParleyCellGeometry g = cell.geometryForRow(plain.rect(), b.get());
    const QRect text(g.textRect.left(), 0, 30, 20);
    EXPECT_TRUE(hasDark(plain, text));
    bool white = false;
    for (int y = 0; y < 20 && !white; ++y)
        for (int x = text.left(); x <= text.right(); ++x)
            white = white || selected.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_TRUE(white);
}

TEST_F(RowCellPaintTest, EmoticonsInNamesAreImagesWhenShown)
{
    // A token of our catalogue in a name.
    const PLBuddyPtr b = store.buddy({"20", "a/^^/b", "", 1, {"1"}});
    const QImage shown = paintRow(b);
    const KCParleyCellGeometry g = cell.geometryForRow(shown.rect(), b.get());
    const KCEmoticonLayout line = cell.layoutText("a/^^/b", g.textRect);
    ASSERT_EQ(line.items.size(), 3);
    ASSERT_EQ(line.items[1].kind, KCEmoticonLayoutItem::Kind::Image);
    const QRect emoticon = line.items[1].rect.toAlignedRect().intersected(QRect(0, 0, 240, 20));
    cell.setDisplayEmoticon(false);
    const KCEmoticonLayout asText = cell.layoutText("a/^^/b", g.textRect);
    ASSERT_EQ(asText.items.size(), 1);
    EXPECT_EQ(asText.items[0].text, QStringLiteral("a/^^/b"));
    const QImage plain = paintRow(b);
    // Something else is drawn where the image was: the image's colours are gone.
    int differing = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = emoticon.left(); x <= emoticon.right(); ++x)
            differing += shown.pixel(x, y) != plain.pixel(x, y);
    EXPECT_GT(differing, emoticon.width() * 4);
}

} // namespace
} // namespace buddylist::test
