// The small browser windows: links load in the window, a page's request for
// a new window reaches the default browser only for http and https, script
// alerts are alerts of ours, and script calls carry their arguments as data.
#include "MiniWeb.h"
#include "PlugInTestSupport.h"
#include "ScriptedAlerts.h"
#include "TestSupport.h"
#include "WebPane.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::plugins::test;

TEST(SimpleBrowserScriptCall, ArgumentsAreDataAndNamesAreIdentifiers)
{
    struct Case {
        const char *name;
        QVariantList arguments;
        QString expected; // null: nothing is called
    };
    const Case cases[] = {
        {"show", {}, QStringLiteral("show(...[])")},
        {"page.show", {QStringLiteral("a"), 2}, QStringLiteral("page.show(...[\"a\",2])")},
        {"$_x1", {QStringLiteral("\");alert(1);(\"")}, QStringLiteral("$_x1(...[\"\\\");alert(1);(\\\"\"])")},
        {"alert(1);f", {}, QString()},
        {"1f", {}, QString()},
        {"a..b", {}, QString()},
        {"", {}, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SimpleBrowserController::scriptCall(QLatin1String(c.name), c.arguments), c.expected);
    }
}

TEST(MiniWeb, LinksLoadInTheWindowAndNewWindowsGoToTheBrowserOnlyForTheWeb)
{
    QTemporaryDir folder;
    auto write = [&](const char *name, const QByteArray &html) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(html);
    };
    write("first.html", "<html><head><title>First</title></head><body>"
                        "<a id=\"next\" href=\"second.html\">next</a></body></html>");
    write("second.html", "<html><head><title>Second</title></head><body>second</body></html>");

    RecordingOpener opener;
    test::ScriptedAlerts alerts;
    SimpleBrowserController window(&opener);
    ASSERT_NE(window.webView(), nullptr) << "the web-view module did not load";
    window.resize(400, 300);
    window.show();
    window.openURL(QUrl::fromLocalFile(folder.filePath(QStringLiteral("first.html"))).toString());
    ASSERT_TRUE(test::waitUntil([&] { return window.windowTitle() == QLatin1String("First"); }, 60000));

    window.webView()->runJavaScript(QStringLiteral("document.getElementById('next').click();"));
    EXPECT_TRUE(test::waitUntil([&] { return window.windowTitle() == QLatin1String("Second"); }, 60000));
    EXPECT_TRUE(opener.opened.isEmpty()) << "an ordinary link is no new window";

    // Refused addresses first: the https one that follows shows they were heard.
    window.webView()->runJavaScript(QStringLiteral("window.open('file:///etc/hostname');"
                                                   "window.open('javascript:alert(2)');"
                                                   "window.open('https://elsewhere.test/page?a=1');"));
    ASSERT_TRUE(test::waitUntil([&] { return !opener.opened.isEmpty(); }, 60000));
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(QStringLiteral("https://elsewhere.test/page?a=1"))});

    window.webView()->runJavaScript(QStringLiteral("alert('<b>hello</b>');"));
    ASSERT_TRUE(test::waitUntil([&] { return !alerts.shown.empty(); }, 60000));
    EXPECT_EQ(alerts.shown.front().message, QStringLiteral("<b>hello</b>"));
}
