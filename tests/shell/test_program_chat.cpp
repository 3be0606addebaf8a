// The chat and memo windows of the assembled program (ParleyProgram) against
// the local service, with parley-headless as bob: every kind of transcript
// link reaches the program's URL opener, and the main window's "Save Chat"
// saves the chat window that was active last and says so only then.
#include "EndToEndSupport.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Chat/ChatDocument.h"
#include "Chat/ChatInstallation.h"
#include "Conversation/KCWebView.h"
#include "Memo/MemoInstallation.h"
#include "Memo/ReceiveMessageWindowController.h"
#include "NotificationNames.h"
#include "SwitchboardServer.h"
#include "TranscriptLinks.h"
#include "UrlOpener.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include "../facade/HeadlessPeer.h"

#include <QMenuBar>
#include <QTextBlock>

using namespace parley;
using namespace parley::shell;
using namespace parley::shell::test;

namespace {

const QString kBob = QStringLiteral("bob@parley.test");

class RecordingBrowser final : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        opened << url;
        return true;
    }
    QList<QUrl> opened;
};

class ProgramChat : public ShellEndToEnd
{
protected:
    // The program with this browser, alice signed in, bob online in her list.
    void signIn(UrlOpener *browser)
    {
        startService();
        AppController::Options o = options();
        o.urlOpener = browser;
        mProgram = std::make_unique<ParleyProgram>(o);
        mProgram->start();
        typeAndSignIn();
        ASSERT_TRUE(waitForBuddyView());
        mBob = std::make_unique<facade::test::HeadlessPeer>(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"));
        ASSERT_TRUE(mBob->waitFor(notifications::kLoginCompleted));
        ASSERT_TRUE(parley::test::waitUntil(
            [] {
                const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(kBob);
                return buddy && buddy->status() != 0;
            },
            15000));
    }
    void TearDown() override
    {
        mBob.reset();
        ShellEndToEnd::TearDown();
    }
    // A chat window with bob in the room.
    parley::ChatDocument *chatWithBob()
    {
        parley::ChatDocument *window = mProgram->chats().manager().openChatRoom({kBob});
        if (!window || !parley::test::waitUntil(
                           [&] { return window->conversation().buddyIDList() == QStringList{kBob}; }, 10000))
            return nullptr;
        return window;
    }
    static bool shows(QTextBrowser *view, const QString &text)
    {
        return parley::test::waitUntil([&] { return view->toPlainText().contains(text); }, 10000);
    }
    // Clicks each link (its target as written) and answers what was opened.
    static QList<QUrl> click(QTextBrowser &view, RecordingBrowser &browser, const QStringList &hrefs)
    {
        browser.opened.clear();
        for (const QString &href : hrefs)
            EXPECT_TRUE(parley::test::clickLink(view, href)) << href.toStdString();
        return browser.opened;
    }

    std::unique_ptr<facade::test::HeadlessPeer> mBob;
};

const QString kLinkText = QStringLiteral("see http://example.org/page?x=1&y=2 :) or kim@parley.dev, "
                                         "www.parley.dev/docs에서 <link href=\\\"bridge://G125?http://mail.parley.test/\\\">"
                                         "your mail</link>");

QList<QUrl> expectedOpens()
{
    const QString bridge = ShellWindows::bridgePage().bridgePageUrl() + QStringLiteral("?t=")
                           + PLMyInfoManager::sharedManager().ticket()
                           + QStringLiteral("&code=G125&r_url=http://mail.parley.test/");
    QList<QUrl> urls;
    for (const QString &url : {QStringLiteral("http://example.org/page?x=1&y=2"), QStringLiteral("mailto:kim@parley.dev"),
                               QStringLiteral("http://www.parley.dev/docs"), bridge})
        urls << QUrl(url, QUrl::StrictMode);
    return urls;
}

const QStringList kHrefs{QStringLiteral("http://example.org/page?x=1&y=2"), QStringLiteral("mailto:kim@parley.dev"),
                         QStringLiteral("www.parley.dev/docs"), QStringLiteral("bridge://G125?http://mail.parley.test/")};

} // namespace

TEST_F(ProgramChat, EveryKindOfLinkInAChatWindowReachesTheBrowser)
{
    RecordingBrowser browser;
    signIn(&browser);
    parley::ChatDocument *window = chatWithBob();
    ASSERT_TRUE(window);
    const QString key = window->sessionKey();
    mBob->command(QStringLiteral("say %1 \"%2\"").arg(key, kLinkText));
    ASSERT_TRUE(shows(window->transcript(), QStringLiteral("your mail")));
    EXPECT_EQ(click(*window->transcript(), browser, kHrefs), expectedOpens());

    // The server's warning with its report link, made by the shell's bridge page.
    mService->switchboardServer()->pushNotice(key, QStringLiteral("BANKWARN"), QStringLiteral("careful"));
    ASSERT_TRUE(shows(window->transcript(), KCLocalizedString(QStringLiteral("Reporting"))));
    QString report;
    for (QTextBlock block = window->transcript()->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorHref().contains(QLatin1String("code=A054")))
                report = it.fragment().charFormat().anchorHref();
    ASSERT_FALSE(report.isEmpty());
    EXPECT_EQ(click(*window->transcript(), browser, {report}), QList<QUrl>{QUrl(report, QUrl::StrictMode)});
}

TEST_F(ProgramChat, EveryKindOfLinkInAMemoWindowReachesTheBrowser)
{
    RecordingBrowser browser;
    signIn(&browser);
    PrefsManager::setNoti_IsShowMemoType(1); // a memo opens its window
    mBob->command(QStringLiteral("memo alice@parley.test \"%1\"").arg(kLinkText));
    parley::MessageWindowManager &memos = mProgram->memos().manager();
    ASSERT_TRUE(parley::test::waitUntil([&] { return !memos.recvMessageWindows().isEmpty(); }, 15000));
    parley::ReceiveMessageWindowController *window = memos.recvMessageWindows().first();
    ASSERT_TRUE(shows(window->messageText(), QStringLiteral("your mail")));
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(click(*window->messageText(), browser, kHrefs), expectedOpens());
}

TEST_F(ProgramChat, TheMainWindowsSaveChatSavesTheChatActiveLastAndSaysSoOnlyThen)
{
    RecordingBrowser browser;
    signIn(&browser);
    // The item of the main window's menu bar.
    QAction *saveItem = nullptr;
    QMenu *saveMenu = nullptr;
    for (QAction *top : current().window()->menuBar()->actions())
        if (QMenu *menu = top->menu())
            for (QAction *item : menu->actions())
                if (item->text() == KCLocalizedString(QStringLiteral("SaveChat"))) {
                    saveItem = item;
                    saveMenu = menu;
                }
    ASSERT_TRUE(saveItem);
    const auto chooseSaveChat = [&] {
        current().window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(current().window()));
        emit saveMenu->aboutToShow();
        if (saveItem->isEnabled())
            saveItem->trigger();
    };

    parley::ChatDocument *window = chatWithBob();
    ASSERT_TRUE(window);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // Nothing said yet: nothing saved, and no "saved" alert.
    mAlerts.shown.clear();
    chooseSaveChat();
    EXPECT_TRUE(mAlerts.keys().isEmpty()) << mAlerts.keys().join(',').toStdString();

    mBob->command(QStringLiteral("say %1 \"see you tomorrow\"").arg(window->sessionKey()));
    ASSERT_TRUE(shows(window->transcript(), QStringLiteral("see you tomorrow")));
    const int before = mProgram->chats().manager().pendingSaves();
    chooseSaveChat();
    EXPECT_EQ(mAlerts.keys(), QStringList{QStringLiteral("ChatTextSaveAlert")});
    EXPECT_EQ(mProgram->chats().manager().pendingSaves(), before + 1) << "the log went to the save queue";
}
