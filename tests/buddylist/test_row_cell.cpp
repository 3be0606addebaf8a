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

// Every character is 6 wide, "." is 3.
qreal monospace(const QString &text) { return text.size() * 6.0; }

QString describe(const KCLineLayout &line)
{
    QStringList ops;
    for (const KCLineOp &op : line.ops) {
        switch (op.kind) {
        case KCLineOp::Text: ops << QStringLiteral("T%1:%2").arg(op.x).arg(op.text); break;
        case KCLineOp::Image: ops << QStringLiteral("I%1:%2").arg(op.x).arg(op.text); break;
        case KCLineOp::Dot: ops << QStringLiteral("D%1").arg(op.x); break;
        }
    }
    return ops.join(QLatin1Char(' ')) + QStringLiteral(" end%1").arg(line.endX);
}

TEST(RowCellText, LayoutOfNamesWithEmoticons)
{
    const KCLinePiece smile{"/smile/", {16, 16}};
    struct Case {
        const char *what;
        QList<KCLinePiece> pieces;
        qreal width;
        const char *expected;
    };
    const Case cases[] = {
        {"fits", {{"abc", {}}}, 100, "T10:abc end28"},
        // 10 + 48 + 3 - 10 >= 36: shortened by two at a time to "abcd" (24),
        // then as many dots as fit: 10 + 24 + 3n - 10 < 36 gives 3.
        {"long name", {{"abcdefgh", {}}}, 36, "T10:abcd D34 D37 D40 end43"},
        {"room for one dot", {{"abcdefgh", {}}}, 29, "T10:abcd D34 end37"},
        // A one-character piece is never shortened.
        {"one character", {{"W", {}}}, 5, "T10:W end16"},
        {"emoticon fits", {{"hi", {}}, smile, {"yo", {}}}, 100, "T10:hi I22:/smile/ T38:yo end50"},
        // The emoticon does not fit after "hi": dots instead, nothing after.
        {"emoticon cut", {{"hi", {}}, smile, {"yo", {}}}, 30, "T10:hi D22 D25 D28 end31"},
        // A token without an image is text.
        {"token as text", {{"/smile/", {}}}, 100, "T10:/smile/ end52"},
        {"nothing", {}, 100, " end10"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(describe(KCLayoutEmoticonLine(c.pieces, 10, c.width, monospace, 3)), QLatin1String(c.expected));
    }
}

TEST(RowCellText, ShorteningNeverSplitsACharacterOfTwoUnits)
{
    // "ab" + a character outside the basic plane (two UTF-16 units) + "c":
    // two units off the end would leave half of that character.
    const QString name = QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("c");
    const KCLineLayout line = KCLayoutEmoticonLine({{name, {}}}, 0, 25, monospace, 3);
    ASSERT_FALSE(line.ops.isEmpty());
    EXPECT_EQ(line.ops.first().text, QStringLiteral("ab"));
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
    const KCLineLayout line = cell.layoutText(BuddyString::buddyStringWithBuddy(b), g.textRect);
    ASSERT_TRUE(line.cut);
    int dots = 0;
    for (const KCLineOp &op : line.ops)
        dots += op.kind == KCLineOp::Dot;
    EXPECT_GE(dots, 1);
    EXPECT_LE(dots, 3);
    EXPECT_LT(line.endX, g.textRect.right() + 1);
    // Ink in the text area, none between the text's end and the memo button.
    EXPECT_TRUE(hasDark(image, QRect(g.textRect.left(), 0, 40, 20)));
    EXPECT_FALSE(hasDark(image, QRect(int(line.endX) + 1, 0, g.talkRect.left() - int(line.endX) - 1, 20)));
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
    QImage smile(14, 14, QImage::Format_ARGB32_Premultiplied);
    smile.fill(QColor(255, 200, 0));
    cell.setEmoticons({[](const QString &text) {
                           // "a/smile/b" -> a, /smile/, b
                           const int at = int(text.indexOf(QStringLiteral("/smile/")));
                           if (at < 0)
                               return QStringList{text};
                           return QStringList{text.left(at), QStringLiteral("/smile/"), text.mid(at + 7)};
                       },
                       [smile](const QString &piece) { return piece == QStringLiteral("/smile/") ? smile : QImage(); }});
    const PLBuddyPtr b = store.buddy({"20", "a/smile/b", "", 1, {"1"}});
    const QImage shown = paintRow(b);
    const KCParleyCellGeometry g = cell.geometryForRow(shown.rect(), b.get());
    const KCLineLayout line = cell.layoutText("a/smile/b", g.textRect);
    ASSERT_EQ(line.ops.size(), 3);
    ASSERT_EQ(line.ops[1].kind, KCLineOp::Image);
    EXPECT_EQ(at(shown, int(line.ops[1].x) + 7, 10), QColor(255, 200, 0));
    cell.setDisplayEmoticon(false);
    const QImage asText = paintRow(b);
    EXPECT_NE(at(asText, int(line.ops[1].x) + 7, 10), QColor(255, 200, 0));
}

} // namespace
} // namespace buddylist::test
