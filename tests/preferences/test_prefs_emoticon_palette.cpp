// The preferences window's emoticon buttons on the application's palette:
// a picture clicked goes to the request that opened the palette, once; a
// palette closed or opened again answers nothing to the earlier request.
#include "Conversation/EmoticonController.h"
#include "Conversation/KCEmoticonPaletteView.h"
#include "Preferences/PrefsEmoticonControllerPalette.h"
#include "TestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

namespace parley::test {
namespace {

TEST(PrefsEmoticonControllerPalette, HandsTheClickedTokenToTheLatestRequestOnce)
{
    PrefsEmoticonControllerPalette palette;
    QStringList first, second;
    palette.showEmoticonPalette(QPoint(10, 10), [&](const QString &t) { first << t; });
    ASSERT_TRUE(palette.isWindowLoaded());
    palette.showEmoticonPalette(QPoint(10, 10), [&](const QString &t) { second << t; });
    KCEmoticonPaletteView *grid = EmoticonController::defaultController()->paletteView();
    ASSERT_FALSE(grid->cells().isEmpty()) << "the shared catalogue has no pictures";
    const QString token = grid->cells()[0].token;
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cells()[0].image.center());
    EXPECT_TRUE(first.isEmpty());
    EXPECT_EQ(second, QStringList{token});
    waitUntil([&] { return !palette.isWindowLoaded(); }, 1000);
    EXPECT_FALSE(palette.isWindowLoaded());

    // Closed without a choice: nothing.
    QStringList third;
    palette.showEmoticonPalette(QPoint(10, 10), [&](const QString &t) { third << t; });
    palette.close();
    EXPECT_TRUE(third.isEmpty());
    EXPECT_EQ(second.size(), 1);
}

} // namespace
} // namespace parley::test
