// The first web view of a run, on an X display as on a desktop: nothing of
// OpenGL or the web engine is loaded before it (the application asks for no
// shared GL context at start), and each kind of web view draws its page when
// it is the first one shown. ctest runs every test in a process of its own
// under xvfb-run, so each view here is the first of its run.
#include "BuddyManagement/PLMyInfoManager.h"
#include "Conversation/AnimiconPlayLibrary.h"
#include "MiniWeb.h"
#include "PLSessionManager.h"
#include "TestSupport.h"
#include "WebEngineSanitizerOptions.h"
#include "WebPane.h"
#include "WebPaneLoader.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QOpenGLContext>
#include <QPointer>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using parley::test::waitUntil;

namespace {

QByteArray mappedFiles()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}

// An OpenGL implementation (Mesa's vendor library, a DRI driver, LLVM); the
// small dispatch libraries Qt's GUI library links are not one.
bool openGLMapped()
{
    const QByteArray maps = mappedFiles();
    for (const char *name : {"libGLX_", "libEGL_", "_dri.so", "libgallium", "libLLVM"})
        if (maps.contains(name))
            return true;
    return false;
}

bool webEngineMapped() { return mappedFiles().contains("libQt6WebEngineCore"); }

// The page every view shows: red from edge to edge.
const char kRedPage[] = "<html><head><title>Red</title></head>"
                        "<body style=\"margin:0;background:#ff0000\"></body></html>";

bool isRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60; }

// The middle of the widget as drawn, once it is red (the first frames may be blank).
bool drawsRed(QWidget *widget)
{
    return waitUntil([&] {
        const QImage image = widget->grab().toImage();
        return !image.isNull() && isRed(image.pixel(image.width() / 2, image.height() / 2));
    }, 30000);
}

class FirstWebView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        // A window up first, as the login window is.
        mWindow.resize(320, 240);
        mWindow.show();
        ASSERT_TRUE(waitUntil([&] { return mWindow.windowHandle() && mWindow.windowHandle()->isExposed(); }));
        ASSERT_FALSE(openGLMapped()) << "an OpenGL implementation was loaded before any web view";
        ASSERT_FALSE(webEngineMapped());
        ASSERT_EQ(QOpenGLContext::globalShareContext(), nullptr);
        QFile page(mFolder.filePath(QStringLiteral("red.html")));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write(kRedPage);
    }

    // Once the view has drawn: the engine and OpenGL are in, through the shared context.
    void expectLoadedNow()
    {
        EXPECT_TRUE(webEngineMapped());
        EXPECT_TRUE(openGLMapped());
        EXPECT_NE(QOpenGLContext::globalShareContext(), nullptr);
    }

    QUrl redPage() const { return QUrl::fromLocalFile(mFolder.filePath(QStringLiteral("red.html"))); }

    QWidget mWindow;
    QTemporaryDir mFolder;
};

} // namespace

TEST_F(FirstWebView, TheSmallBrowserShowsItsPage)
{
    parley::SimpleBrowserController browser;
    ASSERT_NE(browser.webView(), nullptr) << "the web-view module did not load";
    browser.resize(400, 300);
    browser.show();
    browser.openURL(redPage().toString());
    ASSERT_TRUE(waitUntil([&] { return browser.windowTitle() == QLatin1String("Red"); }, 60000));
    QVariant sum;
    browser.webView()->runJavaScript(QStringLiteral("6 * 7"), [&](const QVariant &result) { sum = result; });
    ASSERT_TRUE(waitUntil([&] { return sum.isValid(); }, 30000));
    EXPECT_EQ(sum.toInt(), 42);
    EXPECT_TRUE(drawsRed(browser.webView()->widget()));
    expectLoadedNow();
}

TEST_F(FirstWebView, TheSessionListShowsItsRows)
{
    parley::PLMyInfoManager::sharedManager().setDpKey(QStringLiteral("1"));
    QPointer<parley::PLSessionManager> list = parley::PLSessionManager::defaultController();
    list->addList(QStringLiteral("2"), "1", "0", "ko.macm", QStringLiteral("other-desk"), QStringLiteral("PC"));
    list->reloadSessionList();
    list->show();
    ASSERT_TRUE(waitUntil([&] { return list->isListLoaded(); }, 60000));
    QWidget *rows = list->findChild<QWidget *>(QStringLiteral("otherPCList"));
    ASSERT_NE(rows, nullptr);
    // The row's text drawn: more than the page's one colour.
    EXPECT_TRUE(waitUntil([&] {
        const QImage image = rows->grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != image.pixel(0, 0))
                    return true;
        return false;
    }, 30000));
    expectLoadedNow();
    list->close();
}

TEST_F(FirstWebView, TheAnimiconPlayViewShowsItsPage)
{
    qputenv("PARLEY_PLUGIN_DIR", PARLEY_PLAY_MODULE_DIR);
    QWidget chat;
    chat.resize(200, 200);
    auto *layout = new QVBoxLayout(&chat);
    std::unique_ptr<AnimiconPlayView> view = AnimiconPlayLibrary::createView(&chat);
    ASSERT_NE(view, nullptr) << "the play module did not load";
    layout->addWidget(view->widget());
    int finished = 0;
    bool ok = false;
    view->loadFinished = [&](bool loaded) {
        ++finished;
        ok = loaded;
    };
    chat.show();
    view->navigateUrl(redPage());
    ASSERT_TRUE(waitUntil([&] { return finished > 0; }, 60000));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(drawsRed(view->widget()));
    expectLoadedNow();
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    // On the X display of xvfb-run (or a desktop's), as the messenger runs.
    ::setenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb", 1);
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox", 1);
    ::setenv("PARLEY_RESOURCE_DIR", PARLEY_RESOURCE_BUILD_DIR, 0);
    parley::test::isolateHomeFolders();
    QApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    parley::test::removeIsolatedHome();
    return result;
}
