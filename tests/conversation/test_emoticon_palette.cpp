// The emoticon palette: its grid and tabs, a choice that inserts and closes,
// a click elsewhere that closes without one.
#include "ConversationTestSupport.h"
#include "Conversation/EmoticonController.h"
#include "EmoticonPaletteLayout.h"
#include "Conversation/KCPaletteTabButton.h"
#include "TestSupport.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class RecordingDelegate : public EmoticonPaletteDelegate
{
public:
    void emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *, const QString &token) override
    {
        chosen << token;
    }
    QStringList chosen;
};

class EmoticonPalette : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        // "Faces": nine pictures of 19 by 19 and one whose file is missing, fourth.
        QStringList faces;
        for (int i = 0; i < 10; ++i) {
            const QString token = QStringLiteral("/f%1/").arg(i);
            faces << token;
            const QString path = folder.filePath(QStringLiteral("f%1.png").arg(i));
            source.paths.insert(token, path);
            if (i == 3)
                continue;
            QImage image(19, 19, QImage::Format_ARGB32);
            image.fill(QColor::fromHsv(i * 36, 200, 230));
            ASSERT_TRUE(image.save(path));
        }
        source.categories = {QStringLiteral("Faces"), QStringLiteral("Hands"), QStringLiteral("Empty")};
        source.lists.insert(QStringLiteral("Faces"), faces);
        source.lists.insert(QStringLiteral("Hands"), {QStringLiteral("/f0/")});
    }

    QTemporaryDir folder;
    parley::test::FixedEmoticons source;
    RecordingDelegate delegate;
};

} // namespace

TEST(EmoticonPaletteLayout, RowsOfEightThenOneRowLower)
{
    QList<EmoticonPaletteLayout::Item> items;
    for (int i = 0; i < 9; ++i)
        items.push_back({QStringLiteral("/t%1/").arg(i), QSize(19, 19)});
    const QList<EmoticonPaletteLayout::Cell> cells = EmoticonPaletteLayout::cells(items, 226);
    ASSERT_EQ(cells.size(), 9);
    const int xs[] = {10, 36, 62, 88, 114, 140, 166, 192, 10};
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cells[i].image.x(), xs[i]);
        EXPECT_EQ(cells[i].image.y(), i < 8 ? 201 : 175);
        EXPECT_EQ(cells[i].cell, cells[i].image.adjusted(-2, -2, 2, 2));
    }
    // Turned top-down: the first row's top is 25 - 19 below the view's top.
    EXPECT_EQ(EmoticonPaletteLayout::toWidget(cells[0].image, 226), QRect(10, 6, 19, 19));
    EXPECT_EQ(EmoticonPaletteLayout::tabFrames(3),
              QList<QRect>({QRect(0, 201, 87, 25), QRect(0, 176, 87, 25), QRect(0, 151, 87, 25)}));
}

TEST_F(EmoticonPalette, AMissingPictureLeavesNoGap)
{
    KCEmoticonPaletteView view(&source);
    view.resize(222, 226);
    view.setEmoticonCategory(QStringLiteral("Faces"));
    const QList<KCEmoticonPaletteView::Cell> &cells = view.cells();
    ASSERT_EQ(cells.size(), 9);
    EXPECT_EQ(cells[3].token, QStringLiteral("/f4/"));
    EXPECT_EQ(cells[3].image.topLeft(), QPoint(88, 6));
    EXPECT_EQ(cells[8].token, QStringLiteral("/f9/"));
    EXPECT_EQ(cells[8].image.topLeft(), QPoint(10, 32));
}

TEST_F(EmoticonPalette, TheFirstTabShowsFirstAndTabsSwitchTheGrid)
{
    QPointer<EmoticonController> palette = new EmoticonController(&source);
    palette->showEmoticonPalette(QPoint(100, 100), &delegate);
    ASSERT_EQ(palette->tabs().size(), 3);
    EXPECT_EQ(palette->pos(), QPoint(100, 99));
    EXPECT_EQ(palette->paletteView()->emoticonCategory(), QStringLiteral("Faces"));
    EXPECT_EQ(palette->tabs()[0]->imageName(), QStringLiteral("tab_on_emoticon"));
    EXPECT_EQ(palette->tabs()[1]->imageName(), QStringLiteral("tab_off_e"));
    EXPECT_EQ(palette->tabs()[1]->geometry(), QRect(0, 25, 87, 25));

    QTest::mouseClick(palette->tabs()[1], Qt::LeftButton);
    EXPECT_EQ(palette->paletteView()->emoticonCategory(), QStringLiteral("Hands"));
    EXPECT_EQ(palette->tabs()[0]->imageName(), QStringLiteral("tab_off_e"));
    EXPECT_EQ(palette->tabs()[1]->imageName(), QStringLiteral("tab_on_emoticon"));
    EXPECT_EQ(palette->paletteView()->cells().size(), 1);

    QTest::mouseClick(palette->tabs()[2], Qt::LeftButton);
    EXPECT_TRUE(palette->paletteView()->cells().isEmpty());
    palette->close();
}

TEST_F(EmoticonPalette, AClickOnAPictureInsertsItAndCloses)
{
    QPointer<EmoticonController> palette = new EmoticonController(&source);
    palette->showEmoticonPalette(QPoint(50, 50), &delegate);
    KCEmoticonPaletteView *grid = palette->paletteView();

    // Between two cells nothing is chosen and the palette stays.
    const QRect first = grid->cells()[0].cell.rectEmoticon();
    const QRect second = grid->cells()[1].cell.rectEmoticon();
    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint((first.right() + second.left()) / 2, first.center().y()));
    EXPECT_TRUE(delegate.chosen.isEmpty());
    ASSERT_TRUE(palette);
    EXPECT_TRUE(palette->isVisible());

    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cells()[4].image.center());
    EXPECT_EQ(delegate.chosen, QStringList({QStringLiteral("/f5/")}));
    EXPECT_TRUE(parley::test::waitUntil([&] { return palette.isNull(); }));
}

TEST_F(EmoticonPalette, AClickElsewhereClosesWithoutAChoice)
{
    QPointer<EmoticonController> palette = new EmoticonController(&source);
    palette->showEmoticonPalette(QPoint(50, 50), &delegate);
    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(-30, -30));
    EXPECT_TRUE(delegate.chosen.isEmpty());
    EXPECT_TRUE(parley::test::waitUntil([&] { return palette.isNull(); }));
}

TEST_F(EmoticonPalette, ALanguageWithoutCategoriesShowsNothing)
{
    parley::test::FixedEmoticons empty;
    QPointer<EmoticonController> palette = new EmoticonController(&empty);
    palette->showEmoticonPalette(QPoint(0, 0), &delegate);
    EXPECT_TRUE(palette->tabs().isEmpty());
    EXPECT_TRUE(palette->paletteView()->cells().isEmpty());
    palette->close();
}

TEST_F(EmoticonPalette, KeysChooseToo)
{
    QPointer<EmoticonController> palette = new EmoticonController(&source);
    palette->showEmoticonPalette(QPoint(0, 0), &delegate);
    KCEmoticonPaletteView *grid = palette->paletteView();
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->trackingTag(), 0);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->trackingTag(), 8);
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(grid->trackingTag(), 1);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(delegate.chosen, QStringList({QStringLiteral("/f1/")}));
}
