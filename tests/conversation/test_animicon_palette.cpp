// The animicon palette: pages, cells and page links, the tabs of the visible
// categories, and a click that reports the item.
#include "Conversation/AnimiconController.h"
#include "Conversation/AnimiconManager.h"
#include "AnimiconPaletteLayout.h"
#include "ConversationTestSupport.h"
#include "IniManager.h"
#include "Conversation/KCPaletteTabButton.h"
#include "TestSupport.h"
#include "Utils/KCUtilities.h"

#include <QTest>
#include <gtest/gtest.h>

using Layout = AnimiconPaletteLayout;
using parley::test::waitUntil;

namespace {

struct Choice
{
    QString url, thumb, name, category, item;
};

class RecordingDelegate : public AnimiconPaletteDelegate
{
public:
    void animiconPaletteViewDidSelectAnimicon(KCAnimiconPaletteView *, const QString &url, const QString &thumb,
                                              const QString &name, const QString &category,
                                              const QString &item) override
    {
        chosen.push_back({url, thumb, name, category, item});
    }
    std::vector<Choice> chosen;
};

// A category of `count` items made from a list text, without a network.
std::unique_ptr<AnimiconCategory> categoryOf(int count)
{
    auto category = std::make_unique<AnimiconCategory>(nullptr);
    category->setCategoryID(QStringLiteral("t"));
    QString list = QStringLiteral("[list_info]\ncount=%1\nid=t\n").arg(count);
    for (int i = 1; i <= count; ++i)
        list += QStringLiteral("%1=t%2|n%1\n").arg(i).arg(i, 3, 10, QLatin1Char('0'));
    category->applyItemList(IniManager(list));
    return category;
}

void clickLabel(KCAnimiconPaletteView &view, const QString &label)
{
    const qsizetype at = view.pageLabels().indexOf(label);
    ASSERT_GE(at, 0) << label.toStdString();
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.pageLabelRects()[at].center());
}

} // namespace

TEST(AnimiconPaletteLayout, PagesOfTwentyFive)
{
    struct Case
    {
        int items, page, pages, first, last;
    } const cases[] = {
        {60, 0, 3, 0, 24}, {60, 2, 3, 50, 59}, {50, 2, 3, 50, 49}, {25, 1, 2, 25, 24},
        {24, 0, 1, 0, 23}, {0, 0, 1, 0, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.items << " items, page " << c.page);
        EXPECT_EQ(Layout::pageCount(c.items), c.pages);
        EXPECT_EQ(Layout::firstIndex(c.page), c.first);
        EXPECT_EQ(Layout::lastIndex(c.page, c.items), c.last);
    }
}

TEST(AnimiconPaletteLayout, PageLinksLeadWhereTheySay)
{
    const QString previous = QStringLiteral("Previous");
    const QString next = QStringLiteral("Next");
    EXPECT_EQ(Layout::pageLabels(3, previous, next),
              QStringList({"[Previous]", "[1]", "[2]", "[3]", "[Next]"}));
    struct Case
    {
        const char *label;
        int page;
        std::optional<int> target;
    } const cases[] = {
        {"[Next]", 0, 1}, {"[Next]", 2, std::nullopt}, {"[Previous]", 1, 0}, {"[Previous]", 0, std::nullopt},
        {"[2]", 0, 1},    {"[3]", 0, 2},               {"[4]", 0, std::nullopt}, {"2", 0, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.label << " on page " << c.page);
        EXPECT_EQ(Layout::targetPage(QLatin1String(c.label), c.page, 3, previous, next), c.target);
    }
    // Centred on one line 5 above the bottom, 4 apart.
    EXPECT_EQ(Layout::pageLabelRects({QSize(40, 12), QSize(20, 12), QSize(20, 12), QSize(30, 12)}, QSize(210, 227)),
              QList<QRect>({QRect(44, 5, 40, 12), QRect(88, 5, 20, 12), QRect(112, 5, 20, 12), QRect(136, 5, 30, 12)}));
}

TEST(AnimiconPaletteLayout, CellsInFiveColumns)
{
    const QSize bounds(210, 227);
    EXPECT_EQ(Layout::cellRect(0, bounds), QRect(10, 188, 34, 34));
    EXPECT_EQ(Layout::cellRect(4, bounds), QRect(166, 188, 34, 34));
    EXPECT_EQ(Layout::cellRect(5, bounds), QRect(10, 149, 34, 34));
    EXPECT_EQ(Layout::cellRect(24, bounds), QRect(166, 32, 34, 34));
    EXPECT_EQ(Layout::toWidget(Layout::cellRect(0, bounds), 227), QRect(10, 5, 34, 34));
}

TEST(AnimiconPaletteLayout, TabsForVisibleCategoriesOnly)
{
    const QList<Layout::Tab> afterHidden = Layout::tabs({false, true, true, true, true});
    ASSERT_EQ(afterHidden.size(), 4);
    const int ys[] = {202, 177, 152, 127};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(afterHidden[i].categoryIndex, i + 1);
        EXPECT_EQ(afterHidden[i].frame, QRect(0, ys[i], 60, 25));
        // The first category is hidden: no tab starts selected.
        EXPECT_FALSE(afterHidden[i].selected);
    }
    const QList<Layout::Tab> gap = Layout::tabs({true, false, true});
    ASSERT_EQ(gap.size(), 2);
    EXPECT_TRUE(gap[0].selected);
    EXPECT_EQ(gap[1].categoryIndex, 2);
    EXPECT_EQ(gap[1].frame.y(), 177);
}

TEST(AnimiconPaletteView, PageLinksTurnThePages)
{
    std::unique_ptr<AnimiconCategory> category = categoryOf(60);
    KCAnimiconPaletteView view;
    view.resize(210, 227);
    view.setCategory(category.get());
    view.updateView();
    EXPECT_EQ(view.pageCount(), 3);
    EXPECT_EQ(view.numStart(), 0);
    EXPECT_EQ(view.numEnd(), 24);

    clickLabel(view, QStringLiteral("[2]"));
    EXPECT_EQ(view.pageNum(), 1);
    EXPECT_EQ(view.numStart(), 25);
    EXPECT_EQ(view.numEnd(), 49);

    clickLabel(view, QLatin1Char('[') + parley::KCLocalizedString(QStringLiteral("Next")) + QLatin1Char(']'));
    EXPECT_EQ(view.pageNum(), 2);
    EXPECT_EQ(view.numStart(), 50);
    EXPECT_EQ(view.numEnd(), 59);
    clickLabel(view, QLatin1Char('[') + parley::KCLocalizedString(QStringLiteral("Next")) + QLatin1Char(']'));
    EXPECT_EQ(view.pageNum(), 2);

    std::unique_ptr<AnimiconCategory> fifty = categoryOf(50);
    view.setCategory(fifty.get());
    view.updateView();
    EXPECT_EQ(view.pageCount(), 3);
    view.updateViewWithPageNum(2);
    EXPECT_LT(view.numEnd(), view.numStart());
    EXPECT_EQ(view.tagAt(view.cellRect(0).center()).kind, KCAnimiconPaletteView::Tag::None);
}

TEST(AnimiconPaletteController, TabsAndAChoiceFromTheServicesCatalogue)
{
    AnimiconManager::sharedManager().resetForTesting();
    parley::test::AnimiconService service;
    RecordingDelegate delegate;
    AnimiconController palette;
    palette.showAnimiconPalette(QPoint(200, 200), &delegate);
    EXPECT_EQ(palette.pos(), QPoint(200, 199));
    ASSERT_TRUE(waitUntil([&] { return palette.isWindowLoaded(); }));

    // k and a have tabs; the advertisement p and the hidden h have none.
    ASSERT_EQ(palette.tabs().size(), 4);
    ASSERT_NE(palette.tabs()[0], nullptr);
    EXPECT_EQ(palette.tabs()[1], nullptr);
    EXPECT_EQ(palette.tabs()[2], nullptr);
    ASSERT_NE(palette.tabs()[3], nullptr);
    EXPECT_EQ(palette.tabs()[0]->text(), QStringLiteral("기본"));
    EXPECT_EQ(palette.tabs()[0]->geometry(), QRect(0, 0, 60, 25));
    EXPECT_EQ(palette.tabs()[3]->geometry(), QRect(0, 25, 60, 25));
    EXPECT_EQ(palette.tabs()[0]->imageName(), QStringLiteral("tab_on_animicon"));
    EXPECT_EQ(palette.tabs()[3]->imageName(), QStringLiteral("tab_off_animicon"));

    KCAnimiconPaletteView *grid = palette.paletteView();
    ASSERT_TRUE(waitUntil([grid] { return grid->category() && grid->category()->animiconCount() == 30; }));
    EXPECT_EQ(grid->pageCount(), 2);

    QTest::mouseClick(palette.tabs()[3], Qt::LeftButton);
    EXPECT_EQ(palette.tabs()[3]->imageName(), QStringLiteral("tab_on_animicon"));
    EXPECT_EQ(palette.tabs()[0]->imageName(), QStringLiteral("tab_off_animicon"));
    ASSERT_TRUE(waitUntil([grid] { return grid->category()->categoryID() == QLatin1String("a") && grid->numEnd() == 7; }));

    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(2).center());
    ASSERT_EQ(delegate.chosen.size(), 1u);
    const Choice &c = delegate.chosen[0];
    EXPECT_EQ(c.url, service.webUrl() + QStringLiteral("/animicon_play.php?id=a003"));
    EXPECT_EQ(c.thumb, service.baseUrl() + QStringLiteral("/thumb/a/a_003.bmp"));
    EXPECT_EQ(c.name, QStringLiteral("토끼"));
    EXPECT_EQ(c.category, QStringLiteral("a"));
    EXPECT_EQ(c.item, QStringLiteral("003"));
    EXPECT_FALSE(palette.isVisible());
    AnimiconManager::sharedManager().resetForTesting();
}

TEST(AnimiconPaletteController, WithoutADelegateAClickChoosesNothingAndStays)
{
    AnimiconManager::sharedManager().resetForTesting();
    parley::test::AnimiconService service;
    AnimiconController palette;
    palette.showAnimiconPalette(QPoint(0, 0), nullptr);
    KCAnimiconPaletteView *grid = palette.paletteView();
    ASSERT_TRUE(waitUntil([grid] { return grid->category() && grid->numEnd() == 24; }));
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(0).center());
    EXPECT_TRUE(palette.isVisible());
    palette.close();
    AnimiconManager::sharedManager().resetForTesting();
}
