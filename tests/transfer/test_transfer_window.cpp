// The file transfer window driven by a transfer manager of the test's own:
// every notification it hears (some posted from another thread), the rows'
// states, the chat lines, the offer's name check, the row and list buttons.

#include "TransferTestSupport.h"

#include "ScriptedAlerts.h"
#include "Shell/BridgePage.h"
#include "Shell/ShellWindows.h"
#include "TestSupport.h"

#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

#include <thread>

namespace transfer::test {
namespace {

class TransferWindowTest : public ::testing::Test
{
protected:
    TransferWindowTest() : files(center), window(files, &lines, center) {}

    // An offer of these files by the peer (download) or to it.
    void offer(bool download, const QList<std::pair<QString, qint64>> &namesAndSizes)
    {
        QVariantList cookies;
        for (const auto &[name, size] : namesAndSizes) {
            const QString cookie = QStringLiteral("c%1").arg(++mCookies);
            files.addFile(cookie, name, size, download);
            cookies << cookie;
        }
        files.post(download ? nn::kFileDownloadRequestReceived : nn::kFileUploadRequestSent,
                   QVariantMap{{"fileCookies", cookies}});
    }
    TransferProgressView *row(const char *cookie) { return window.transferViewForFileCookie(QLatin1String(cookie)); }

    TransferWorld world;
    parley::test::ScriptedAlerts alerts;
    NotificationCenter center;
    FakeTransferManager files;
    RecordingLines lines;
    TransferController window;
    int mCookies = 0;
};

TEST_F(TransferWindowTest, TheWindowOpensAndComesBackWholeInsideTheScreensFreeArea)
{
    const QRect area = window.screen()->availableGeometry();
    window.showWindow();
    EXPECT_TRUE(area.contains(window.frameGeometry())) << "first show";
    window.hide();
    // Left partly below and right of the screen's edge.
    window.move(area.right() - window.width() / 2, area.bottom() - window.height() / 3);
    window.showWindow();
    EXPECT_TRUE(area.contains(window.frameGeometry()));
    // A window left inside stays where it was.
    window.hide();
    const QPoint inside = area.topLeft() + QPoint(10, 10);
    window.move(inside);
    window.showWindow();
    EXPECT_EQ(window.pos(), inside);
}

TEST_F(TransferWindowTest, AnOfferOfThreeFilesMakesThreeRowsInOrderAndItsChatLines)
{
    offer(true, {{"a.txt", 1023}, {"b.png", 1024}, {"c.bin", 1535}});
    ASSERT_EQ(window.receiveRows().size(), 3);
    EXPECT_TRUE(window.sendRows().isEmpty());
    EXPECT_EQ(window.receiveRows()[0].fileCookie, QStringLiteral("c1"));
    EXPECT_EQ(window.receiveRows()[2].fileCookie, QStringLiteral("c3"));
    EXPECT_EQ(lines.lines, (QStringList{"format K 0 FileTransferDownloadMessage b1@parley.test",
                                        "file K 0 a.txt (1023Bytes)", "file K 0 b.png (1KB)", "file K 0 c.bin (1KB)"}));
    TransferProgressView *first = row("c1");
    EXPECT_EQ(first->idText(), QStringLiteral("From: Kim"));
    EXPECT_EQ(first->fileText(), QStringLiteral("File: a.txt"));
    EXPECT_EQ(first->transferText(), QStringLiteral("Waiting (1023Bytes)"));
    EXPECT_EQ(first->buttonType(), 1);
    EXPECT_EQ(first->transferType(), 0);
    EXPECT_FALSE(first->iconImage().isNull());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.tabView()->currentIndex(), 1);
    EXPECT_TRUE(window.acceptReceiveAllButton()->isEnabled());
    EXPECT_FALSE(window.removeSendAllButton()->isEnabled());

    lines.lines.clear();
    offer(false, {{"up.txt", 5LL * 1024 * 1024 * 1024}});
    EXPECT_EQ(window.tabView()->currentIndex(), 0);
    EXPECT_EQ(lines.lines, (QStringList{"format K 0 FileTransferUploadMessage b1@parley.test",
                                        "file K 0 up.txt (5242880KB)"}));
    EXPECT_EQ(row("c4")->idText(), QStringLiteral("To: Kim"));
    EXPECT_EQ(row("c4")->buttonType(), 3);
}

TEST_F(TransferWindowTest, RowStatesForEachNotification)
{
    struct Step {
        const char *notification;
        QVariantMap change; // applied to the record before the post
        int buttonType;
        const char *transferText;
        bool dateShown;
        const char *chatLine;             // "" for none
        const char *recordFlag = nullptr; // a flag the post set in the record
    };
    // Each offers one file "f.txt": 1KB from the peer, or 8KB to it.
    struct Scenario {
        bool download;
        QList<Step> steps;
    };
    const Scenario scenarios[] = {
        {true,
         {{nn::kFileDownloadPartReceived, {{"ioIndex", 512}, {"transPercent", 50.0f}}, 2, "Receiving (512Bytes/1KB)", false, ""},
          {nn::kFileDownloadEndReceived, {{"ioIndex", 1024}, {"isDone", true}}, 6, "Done (1KB)", true, "message K 1 f.txt was transferred."},
          // A late part keeps the row as it ended.
          {nn::kFileDownloadPartReceived, {{"ioIndex", 700}}, 6, "Done (1KB)", true, ""}}},
        {true,
         {{nn::kFileDownloadPartReceived, {{"ioIndex", 100}}, 2, "Receiving (100Bytes/1KB)", false, ""},
          {nn::kFileDownloadFailed, {}, 0, "Cancelled (1KB)", true, "message K 2 f.txt was cancelled."},
          {nn::kFileDownloadPartReceived, {{"ioIndex", 200}}, 0, "Cancelled (1KB)", true, ""}}},
        {true, {{nn::kFileDownloadCancelled, {}, 0, "Cancelled (1KB)", true, "message K 2 f.txt was cancelled."}}},
        {true, {{nn::kFileDownloadRejected, {}, 0, "Cancelled (1KB)", true, "message K 2 f.txt was cancelled."}}},
        {true,
         {{nn::kMailDownloadStart, {}, 0, "Coming by mail (1KB)", true, "message K 0 f.txt is being sent by mail.", "isMail"},
          {nn::kMailDownloadEnd, {}, 6, "Done (1KB)", true, "message K 1 f.txt was transferred."}}},
        {true, {{nn::kMailDownloadCancelled, {}, 5, "Waiting (1KB)", false, "message K 2 f.txt cannot be sent by mail."}}},
        {true, {{nn::kMailDownloadUnavailable, {}, 2, "Waiting (1KB)", false, ""}}},

        {false,
         {{nn::kFileUploadPartSent, {{"ioIndex", 2048}, {"transPercent", 25.0f}}, 2, "Sending (2KB/8KB)", false, ""},
          {nn::kFileUploadEnd, {{"ioIndex", 8192}}, 6, "Done (8KB)", true, "message K 1 f.txt was transferred."},
          {nn::kFileUploadPartSent, {}, 6, "Done (8KB)", true, ""}}},
        {false, {{nn::kFileUploadCancelled, {}, 6, "Cancelled (8KB)", true, "message K 2 f.txt was cancelled."}}},
        {false, {{nn::kFileUploadRejected, {}, 6, "Cancelled (8KB)", true, "message K 2 f.txt was cancelled."}}},
        {false,
         {{nn::kMailUploadStart, {{"ioIndex", 1024}}, 0, "Sending by mail (1KB/8KB)", false, "message K 0 f.txt is being sent by mail."},
          {nn::kMailUploadEnd, {}, 6, "Done (8KB)", true, "message K 1 f.txt was transferred.", "isDone"}}},
        {false, {{nn::kMailUploadFailed, {}, 3, "Cancelled (8KB)", true, "message K 2 Sending f.txt by mail failed."}}},
        {false, {{nn::kMailUploadCancelled, {}, 4, "Waiting (8KB)", false, "message K 2 f.txt cannot be sent by mail."}}},
    };
    for (const Scenario &scenario : scenarios) {
        SCOPED_TRACE(scenario.steps.first().notification);
        window.reset();
        files.calls.clear();
        offer(scenario.download, {{"f.txt", scenario.download ? 1024 : 8192}});
        const QString cookie = (scenario.download ? window.receiveRows() : window.sendRows()).last().fileCookie;
        TransferProgressView *view = window.transferViewForFileCookie(cookie);
        for (const Step &step : scenario.steps) {
            SCOPED_TRACE(step.notification);
            lines.lines.clear();
            for (auto it = step.change.cbegin(); it != step.change.cend(); ++it)
                files.set(cookie, it.key().toLatin1().constData(), it.value());
            files.post(step.notification, cookie);
            EXPECT_EQ(view->buttonType(), step.buttonType);
            EXPECT_EQ(view->transferText(), QLatin1String(step.transferText));
            EXPECT_TRUE(parley::test::waitUntil([&] { return view->isDateShown() == step.dateShown; }, 2000));
            EXPECT_EQ(lines.lines, *step.chatLine ? QStringList{QLatin1String(step.chatLine)} : QStringList{});
            if (step.recordFlag) {
                EXPECT_TRUE(files.records.value(cookie).value(QLatin1String(step.recordFlag)).toBool());
            }
        }
    }
    EXPECT_EQ(alerts.keys(), QStringList{"SentFileMailErrorTitle"});
}

TEST_F(TransferWindowTest, AFailedDownloadShowsWhyInItsRow)
{
    offer(true, {{"f.txt", 1024}});
    const QString cookie = window.receiveRows().last().fileCookie;
    TransferProgressView *view = window.transferViewForFileCookie(cookie);
    const QString reason = QStringLiteral("The folder /no/such could not be created, so the file was not received.");
    lines.lines.clear();
    files.post(nn::kFileDownloadFailed, {{"fileCookie", cookie}, {"reason", reason}});
    EXPECT_EQ(view->buttonType(), 0);
    EXPECT_EQ(view->transferText(), reason);
    EXPECT_EQ(view->toolTip(), reason) << "the whole text where the row is too narrow";
    EXPECT_EQ(lines.lines, QStringList{"message K 2 f.txt was cancelled."});
}

TEST_F(TransferWindowTest, ARenameAndAMailStartUpdateTheRecordAndTheRow)
{
    offer(true, {{"f.txt", 10}});
    files.post(nn::kRenameFileNotification, QVariantMap{{"fileCookie", "c1"}, {"filePath", "/downloads/f (1).txt"}});
    EXPECT_EQ(row("c1")->fileText(), QStringLiteral("File: f (1).txt"));
    EXPECT_EQ(row("c1")->buttonType(), 3);
    files.post(nn::kMailDownloadStart, "c1");
    EXPECT_TRUE(files.records.value("c1").value("isMail").toBool());
    // Unknown cookies are ignored.
    files.post(nn::kFileDownloadEndReceived, "nope");
    files.post(nn::kFileUploadCancelled, "nope");
    EXPECT_EQ(window.receiveRows().size(), 1);
}

TEST_F(TransferWindowTest, NotificationsFromAnotherThreadAreHandledOnTheMainThread)
{
    offer(false, {{"f.txt", 4096}, {"g.txt", 4096}});
    files.set("c1", "ioIndex", 1024);
    files.set("c1", "transPercent", 25.0f);
    // Progress, the mail upload's cookie and byte count from a worker.
    std::thread worker([&] {
        files.post(nn::kFileUploadPartSent, "c1");
        files.post(nn::kUploadFileCookieNotification, "c2");
        files.post(nn::kURLConnectionProgress, QVariantMap{{"bytesWritten", qint64(2048)},
                                                           {"totalBytes", qint64(4096)},
                                                           {"percent", 0.5f}});
    });
    worker.join();
    // Nothing ran on the worker; the main thread catches up.
    EXPECT_FALSE(files.readOffMainThread);
    EXPECT_TRUE(parley::test::waitUntil([&] { return row("c2")->transferText().startsWith("Sending (2KB"); }));
    EXPECT_EQ(row("c1")->transferText(), QStringLiteral("Sending (1KB/4KB)"));
    EXPECT_EQ(window.lastFileCookie(), QStringLiteral("c2"));
    EXPECT_EQ(row("c2")->progress(), 50.0);

    // An aborted upload: its thread goes on only once the cancellation ran.
    bool cancelledWhenPostReturned = false;
    std::thread sender([&] {
        files.post(nn::kFileUploadFailed, "c1");
        cancelledWhenPostReturned = files.uploadCancelled;
    });
    EXPECT_TRUE(parley::test::waitUntil([&] { return files.uploadCancelled.load(); }));
    sender.join();
    EXPECT_TRUE(cancelledWhenPostReturned);
    EXPECT_EQ(row("c1")->transferText(), QStringLiteral("Cancelled (4KB)"));
    EXPECT_FALSE(files.readOffMainThread);
}

TEST_F(TransferWindowTest, HostileNamesAreRefusedAfterAWarningAndTheirRowsShowIt)
{
    struct Case {
        const char *name;
        bool refused;
    } cases[] = {
        {"ok.txt", false},           {"../x", true},        {"%2e%2e%2fx", true}, {"%2E%2E%2Fx", true},
        {"%2E%2e%2f..%2Fetc", true}, {"..", true},          {"a%2Fb", true},      {"a/b", true},
        {"%2e%2e", true},            {"100%25 sure", false}, {"%zz.txt", false},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        EXPECT_EQ(TransferController::isAcceptableFileName(QString::fromUtf8(tc.name)), !tc.refused);
    }
    offer(true, {{"fine.txt", 10}, {"%2E%2e%2fevil", 10}, {"..%2f..%2fevil", 10}});
    EXPECT_EQ(alerts.keys(), (QStringList{"InvalidFileErrorTitle", "InvalidFileErrorTitle"}));
    EXPECT_EQ(alerts.shown[0].message, QStringLiteral("The file name \"%2E%2e%2fevil\" could put the file outside your "
                                                      "download folder, so it was refused."));
    EXPECT_EQ(files.calls, (QStringList{"reject c2", "reject c3"}));
    ASSERT_EQ(window.receiveRows().size(), 3);
    EXPECT_EQ(row("c1")->buttonType(), 1);
    EXPECT_EQ(row("c2")->buttonType(), 0);
    EXPECT_EQ(row("c2")->transferText(), QStringLiteral("Cancelled (10Bytes)"));
    EXPECT_TRUE(lines.lines.contains(QStringLiteral("message K 2 %2E%2e%2fevil was cancelled.")));
}

TEST_F(TransferWindowTest, RowButtonsCallTheManagerByTheTransfersState)
{
    offer(true, {{"a", 10}, {"b", 10}});
    offer(false, {{"c", 10}});
    files.set("c2", "ioIndex", 5);
    window.transferViewAccept(row("c1"), "c1");
    EXPECT_EQ(row("c1")->buttonType(), 2);
    window.transferViewReject(row("c1"), "c1"); // nothing received: a refusal
    window.transferViewReject(row("c2"), "c2"); // bytes received: a cancel
    window.transferViewReject(row("c3"), "c3"); // a send: a cancel
    EXPECT_EQ(files.calls, (QStringList{"accept c1", "reject c1", "cancelDownload c2", "cancelUpload c3"}));

    // Mail with a portal ID: the row's direction picks the call.
    files.calls.clear();
    offer(true, {{"d", 10}});
    offer(false, {{"e", 10}});
    window.transferViewMail(row("c4"), "c4");
    window.transferViewMail(row("c5"), "c5");
    EXPECT_EQ(files.calls, (QStringList{"receiveMail c4", "sendMail c5"}));
    EXPECT_EQ(row("c4")->buttonType(), 0);
    EXPECT_EQ(row("c5")->buttonType(), 0);
}

// The shell's bridge page with its calls recorded instead of opened.
class RecordingBridgePage final : public parley::BridgePage
{
public:
    void bridgePageCall(const QString &code, const QString &param, const QString &, int) override
    {
        calls << code + " " + param;
    }
    QStringList calls;
};

// "Open" on a mail row opens the web mailbox signed in, as the main window's
// mail button does.
TEST_F(TransferWindowTest, OpeningAMailRowOpensTheMailboxWithTheUsersTicket)
{
    RecordingBridgePage bridge;
    parley::shell::ShellWindows::setBridgePage(&bridge);
    PLMyInfoManager::sharedManager().setTicket(QStringLiteral("T-42"));
    offer(true, {{"a", 10}});
    files.set("c1", "isMail", true);
    window.transferViewOpen(row("c1"), "c1");
    EXPECT_EQ(bridge.calls, QStringList{"G125 TICKET=T-42"});
    parley::shell::ShellWindows::setBridgePage(nullptr);
    PLMyInfoManager::sharedManager().setTicket(QString());
}

TEST_F(TransferWindowTest, MailWithoutAPortalIDOffersTheLinkPane)
{
    RecordingPrefs prefs;
    PLMyInfoManager::sharedManager().setVelaID(QString());
    offer(false, {{"a", 10}});
    alerts.answer(1);
    window.transferViewMail(row("c1"), "c1");
    EXPECT_TRUE(prefs.calls.isEmpty());
    alerts.answer(0);
    window.transferViewMail(row("c1"), "c1");
    EXPECT_EQ(prefs.calls, (QStringList{"user me@parley.test", "link pane", "show"}));
    EXPECT_EQ(alerts.keys(), (QStringList{"VelaComLinkTitle", "VelaComLinkTitle"}));
    EXPECT_EQ(row("c1")->buttonType(), 3); // unchanged
    EXPECT_TRUE(files.calls.isEmpty());
}

TEST_F(TransferWindowTest, AcceptAllSkipsDoneCancelledAndRunningRowsAndChangesNoRow)
{
    offer(true, {{"a", 10}, {"b", 10}, {"c", 10}, {"d", 10}});
    files.set("c2", "isDone", true);
    files.set("c3", "isCancelled", true);
    files.set("c4", "ioIndex", 3);
    window.acceptReceiveAllButton()->click();
    EXPECT_EQ(files.calls, QStringList{"accept c1"});
    EXPECT_EQ(row("c1")->buttonType(), 1);
}

TEST_F(TransferWindowTest, RemoveAllRefusesOrCancelsFirstAndEmptiesTheList)
{
    offer(true, {{"offered", 10}, {"half", 10}, {"cancelled", 10}});
    files.set("c2", "ioIndex", 5);
    files.set("c3", "isCancelled", true);
    alerts.answer(1);
    window.removeReceiveAllButton()->click();
    EXPECT_EQ(window.receiveRows().size(), 3);
    EXPECT_TRUE(files.calls.isEmpty());

    lines.lines.clear();
    alerts.answer(0);
    window.removeReceiveAllButton()->click();
    EXPECT_EQ(files.calls, (QStringList{"reject c1", "cancelDownload c2", "remove c1", "remove c2", "remove c3"}));
    EXPECT_EQ(lines.lines, (QStringList{"message K 2 offered was cancelled.", "message K 2 half was cancelled."}));
    EXPECT_TRUE(window.receiveRows().isEmpty());
    EXPECT_EQ(window.receiveList()->count(), 0);
    EXPECT_FALSE(window.removeReceiveAllButton()->isEnabled());
    EXPECT_FALSE(window.acceptReceiveAllButton()->isEnabled());
    EXPECT_EQ(alerts.shown.back().style, KCAlertRequest::Style::Critical);
    // Their cookies are forgotten for good.
    files.post(nn::kFileDownloadEndReceived, "c1");
    EXPECT_EQ(window.transferViewForFileCookie("c1"), nullptr);

    offer(false, {{"sending", 10}, {"sent", 10}});
    files.set("c5", "isDone", true);
    files.calls.clear();
    window.reset(); // sign-out: no question
    EXPECT_EQ(files.calls, (QStringList{"cancelUpload c4", "remove c4", "remove c5"}));
    EXPECT_TRUE(window.sendRows().isEmpty());
}

TEST_F(TransferWindowTest, ClosingHidesAndTheNextOfferShowsItAgain)
{
    offer(true, {{"a", 10}});
    ASSERT_TRUE(window.isVisible());
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.receiveRows().size(), 1);
    offer(false, {{"b", 10}});
    EXPECT_TRUE(window.isVisible());
}

TEST_F(TransferWindowTest, SelectingARowTurnsItsTextWhite)
{
    offer(true, {{"a", 10}, {"b", 10}});
    window.receiveList()->setCurrentRow(0);
    EXPECT_TRUE(row("c1")->isSelectedView());
    window.receiveList()->setCurrentRow(1);
    EXPECT_FALSE(row("c1")->isSelectedView());
    EXPECT_TRUE(row("c2")->isSelectedView());
}

} // namespace
} // namespace transfer::test
