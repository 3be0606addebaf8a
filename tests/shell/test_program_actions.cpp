// The main window's buttons, Help menu and status menus of the program as
// main() assembles it (ParleyProgram), signed in to the local service: each
// opens its page through the real bridge page (the form it writes names the
// page's code), and Buddies > My Status reaches the server.
#include "EndToEndSupport.h"

#include "BuddyView.h"
#include "KCStatusViewWidget.h"
#include "UrlOpener.h"
#include "Utils/KCUtilities.h"

#include <QAction>
#include <QSet>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

// The desktop's browser: what it was asked to open, and the page code of
// the bridge form it was given.
class RecordingBrowser final : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        QFile form(url.toLocalFile());
        QString code;
        if (form.open(QIODevice::ReadOnly)) {
            static const QRegularExpression field(QStringLiteral("name = 'code' value = '([A-Z0-9]+)'"));
            code = field.match(QString::fromLatin1(form.readAll())).captured(1);
        }
        codes << code;
        return true;
    }
    QStringList codes;
};

class ProgramActions : public ShellEndToEnd
{
protected:
    void signInToTheProgram()
    {
        startService();
        AppController::Options o = options();
        o.urlOpener = &mBrowser;
        mProgram = std::make_unique<ParleyProgram>(o);
        mProgram->start();
        typeAndSignIn();
        ASSERT_TRUE(waitForBuddyView());
        mBrowser.codes.clear();
    }
    QStringList codesAfter(const std::function<void()> &act)
    {
        mBrowser.codes.clear();
        act();
        parley::test::waitUntil([this] { return !mBrowser.codes.isEmpty(); }, 3000);
        return mBrowser.codes;
    }

    RecordingBrowser mBrowser;
};

TEST_F(ProgramActions, EveryButtonAndHelpItemOpensItsOwnPage)
{
    signInToTheProgram();
    MainWindow *window = current().window();
    BuddyView *view = window->buddyView();
    QStringList seen;
    for (QToolButton *button : {view->velaButton, view->orchardButton, view->homeButton, view->mailButton, view->memoButton}) {
        SCOPED_TRACE(button->objectName().toStdString());
        const QStringList codes = codesAfter([button] { button->click(); });
        ASSERT_EQ(codes.size(), 1);
        EXPECT_FALSE(codes.first().isEmpty());
        seen << codes.first();
    }
    QMenu *help = window->menuAt(MainWindow::HelpMenu);
    ASSERT_TRUE(help->menuAction()->isVisible());
    for (QAction *item : help->actions()) {
        if (item->isSeparator())
            continue;
        SCOPED_TRACE(item->text().toStdString());
        const QStringList codes = codesAfter([item] { item->trigger(); });
        ASSERT_EQ(codes.size(), 1);
        EXPECT_FALSE(codes.first().isEmpty());
        seen << codes.first();
    }
    EXPECT_EQ(seen.size(), 12);
    EXPECT_EQ(QSet<QString>(seen.begin(), seen.end()).size(), seen.size()) << "each opens a page of its own: "
                                                                           << seen.join(' ').toStdString();
}

TEST_F(ProgramActions, MyStatusFromTheBuddiesMenuReachesTheServerAndIsTicked)
{
    signInToTheProgram();
    QMenu *status = current().window()->menuAt(MainWindow::BuddyMenu)->findChild<QMenu *>(QStringLiteral("statusMenu"));
    ASSERT_TRUE(status);
    KCStatusViewWidget *view = current().statusView();
    ASSERT_TRUE(view);
    const struct {
        const char *key;
        int code;
    } items[] = {{"Away", 3}, {"Busy", 2}, {"OnThePhone", 4}, {"OnThemeeting", 5}, {"AppearOffline", 0}, {"Online", 1}};
    const char *order[] = {"Online", "Away", "Busy", "OnThePhone", "OnThemeeting", "AppearOffline"};
    for (const auto &item : items) {
        SCOPED_TRACE(item.key);
        const int tag = int(std::find_if(std::begin(order), std::end(order),
                                         [&](const char *k) { return QLatin1String(k) == QLatin1String(item.key); })
                            - std::begin(order));
        mSession.calls.clear();
        Q_EMIT status->aboutToShow();
        ASSERT_TRUE(status->actions().at(tag)->isEnabled());
        status->actions().at(tag)->trigger();
        EXPECT_EQ(mSession.callsStartingWith(QStringLiteral("status")), QStringList{QStringLiteral("status %1").arg(item.code)});
        EXPECT_EQ(view->title(), KCLocalizedString(QLatin1String(item.key)));
        Q_EMIT status->aboutToShow();
        for (int other = 0; other < 6; ++other)
            EXPECT_EQ(status->actions().at(other)->isChecked(), other == tag) << other;
    }
}

} // namespace
