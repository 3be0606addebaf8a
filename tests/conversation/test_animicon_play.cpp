// The play window: where it lies, how long it shows, and the real play page
// from the local service in the web-engine module, which is opened only then.
#include "Conversation/AnimiconPlayLibrary.h"
#include "AnimiconPlayPlacement.h"
#include "ConversationTestSupport.h"
#include "TestSupport.h"
#include "Conversation/WebWindowController.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using parley::test::waitUntil;

namespace {

// A play view that loads nothing: the test says when a page has loaded.
class FakePlayView final : public AnimiconPlayView
{
public:
    explicit FakePlayView(QWidget *parent) : mWidget(new QWidget(parent))
    {
        if (!parent)
            mWidget->setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
        last = this;
    }
    ~FakePlayView() override
    {
        delete mWidget.data();
        if (last == this)
            last = nullptr;
    }
    QWidget *widget() override { return mWidget; }
    void navigateUrl(const QUrl &url) override { loads << url.toString(); }
    void clear() override { loads << QStringLiteral("(blank)"); }
    void finish(bool ok)
    {
        if (loadFinished)
            loadFinished(ok);
    }

    static inline FakePlayView *last = nullptr;
    QStringList loads;

private:
    QPointer<QWidget> mWidget;
};

AnimiconPlayView *makeFake(QWidget *parent) { return new FakePlayView(parent); }

bool webEngineMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

class PlayWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AnimiconPlayLibrary::setFactoryForTesting(&makeFake);
        WebWindowController::setTimings(60, 40);
    }
    void TearDown() override
    {
        AnimiconPlayLibrary::setFactoryForTesting(nullptr);
        WebWindowController::setTimings(AnimiconPlayPlacement::kVisibleMilliseconds,
                                        AnimiconPlayPlacement::kHiddenMilliseconds);
    }
};

} // namespace

TEST(AnimiconPlayPlacement, LowerLeftCornerOfTheWindowOrTheScreen)
{
    const QSize window(160, 160);
    EXPECT_EQ(AnimiconPlayPlacement::position(window, QSize(400, 300), QRect()), QPoint(0, 140));
    EXPECT_EQ(AnimiconPlayPlacement::position(window, std::nullopt, QRect(0, 0, 1920, 1040)), QPoint(0, 880));
    EXPECT_EQ(AnimiconPlayPlacement::position(window, std::nullopt, QRect(100, 50, 800, 600)), QPoint(100, 490));
}

TEST_F(PlayWindow, ShowsOnceLoadedThenHidesAndGoes)
{
    QWidget chat;
    chat.resize(400, 300);
    chat.show();
    QPointer<WebWindowController> play = WebWindowController::showAnimicon(QStringLiteral("http://a.test/p?id=k001"), &chat);
    ASSERT_TRUE(play);
    FakePlayView *view = FakePlayView::last;
    ASSERT_NE(view, nullptr);
    QPointer<QWidget> widget = view->widget();
    EXPECT_EQ(widget->parentWidget(), &chat);
    EXPECT_EQ(view->loads, QStringList({QStringLiteral("http://a.test/p?id=k001")}));
    EXPECT_FALSE(widget->isVisible());

    view->finish(true);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->geometry(), QRect(0, 140, 160, 160));

    bool closed = false;
    QObject::connect(play, &WebWindowController::closed, [&closed] { closed = true; });
    ASSERT_TRUE(waitUntil([&] { return play->isComplete(); }));
    EXPECT_FALSE(widget->isVisible());
    EXPECT_EQ(view->loads.last(), QStringLiteral("(blank)"));
    // The blank page's load starts nothing again.
    view->finish(true);
    EXPECT_FALSE(widget->isVisible());
    ASSERT_TRUE(waitUntil([&] { return play.isNull(); }));
    EXPECT_TRUE(closed);
    EXPECT_TRUE(widget.isNull());
}

TEST_F(PlayWindow, WithoutAWindowItPlaysOnTheScreensCorner)
{
    QPointer<WebWindowController> play = WebWindowController::showAnimicon(QStringLiteral("http://a.test/"), nullptr);
    ASSERT_TRUE(play);
    FakePlayView::last->finish(true);
    QWidget *widget = play->playWidget();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(widget->geometry().topLeft(), QPoint(available.left(), available.bottom() + 1 - 160));
    ASSERT_TRUE(waitUntil([&] { return play.isNull(); }));
}

TEST_F(PlayWindow, APageThatDoesNotLoadIsNeverShown)
{
    QWidget chat;
    QPointer<WebWindowController> play = WebWindowController::showAnimicon(QStringLiteral("http://a.test/"), &chat);
    ASSERT_TRUE(play);
    QPointer<QWidget> widget = play->playWidget();
    FakePlayView::last->finish(false);
    EXPECT_FALSE(widget->isVisible());
    ASSERT_TRUE(waitUntil([&] { return play.isNull(); }));
}

TEST_F(PlayWindow, GoesWithItsChatWindow)
{
    auto *chat = new QWidget;
    QPointer<WebWindowController> play = WebWindowController::showAnimicon(QStringLiteral("http://a.test/"), chat);
    ASSERT_TRUE(play);
    FakePlayView::last->finish(true);
    delete chat;
    EXPECT_TRUE(play.isNull());
    EXPECT_EQ(FakePlayView::last, nullptr);
}

TEST(PlayWindowModule, PlaysTheServicesPageInTheWebEngineOpenedOnlyNow)
{
    EXPECT_FALSE(webEngineMapped());
    EXPECT_FALSE(AnimiconPlayLibrary::isLoaded());
    qputenv("PARLEY_PLUGIN_DIR", PARLEY_PLAY_MODULE_DIR);
    WebWindowController::setTimings(300, 100);
    parley::test::AnimiconService service;
    QWidget chat;
    chat.resize(400, 300);
    chat.show();
    QPointer<WebWindowController> play =
        WebWindowController::showAnimicon(service.webUrl() + QStringLiteral("/animicon_play.php?id=k001"), &chat);
    ASSERT_TRUE(play);
    EXPECT_TRUE(AnimiconPlayLibrary::isLoaded());
    EXPECT_TRUE(webEngineMapped());
    QPointer<QWidget> widget = play->playWidget();
    ASSERT_TRUE(waitUntil([&] { return widget && widget->isVisible(); }, 60000));
    EXPECT_EQ(widget->geometry(), QRect(0, 140, 160, 160));
    EXPECT_EQ(service.requests(QStringLiteral("/animicon_play.php")), 1);
    ASSERT_TRUE(waitUntil([&] { return service.requests(QStringLiteral("/animicon/play/k001.svg")) == 1; }, 30000));
    ASSERT_TRUE(waitUntil([&] { return play.isNull(); }, 30000));
    WebWindowController::setTimings(AnimiconPlayPlacement::kVisibleMilliseconds, AnimiconPlayPlacement::kHiddenMilliseconds);
}
