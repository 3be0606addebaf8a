// End to end: the local service in this process, alice signed in through the
// account session with the real chat-window manager and chat windows
// (offscreen), and her buddies bob and carol played by parley-headless.

#include "ChatTestSupport.h"

#include "FacadeFixture.h"
#include "HeadlessPeer.h"

#include "Chat/ChatDocument.h"
#include "Chat/ChatManager.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "Conversation/KCWebView.h"
#include "NotificationNames.h"
#include "Sessions/PLManagerRegistry.h"
#include "FileTransfer/PLCookieManager.h"
#include "HTTPInterface/PLHTTPManager.h"
#include "Sessions/PLAccountWebQueries.h"
#include "Utils/PLEndpoints.h"
#include "WebServer.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "FileTransfer/PLP2PSessionManager.h"
#include "ScriptedAlerts.h"
#include "ChatManagement/PLChatSessionInfo.h"
#include "Sessions/PLSSSession.h"
#include "SwitchboardServer.h"
#include "TestSupport.h"
#include "Transfer/PLFileTransferPort.h"
#include "Transfer/TransferController.h"
#include "Shell/PlugInSide.h"
#include "Shell/ShellWindows.h"
#include "Shell/UrlOpener.h"
#include "TranscriptLinks.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Utils/KCUtilities.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {

using namespace parley;
using facade::test::HeadlessPeer;
using parley::test::waitUntil;
namespace nn = parley::notifications;

const QString kAlice = QStringLiteral("alice@parley.test");
const QString kBob = QStringLiteral("bob@parley.test");
const QString kCarol = QStringLiteral("carol@parley.test");

std::function<bool(const QVariantMap &)> with(const char *key, const QVariant &value)
{
    return [key, value](const QVariantMap &info) { return info.value(QString::fromLatin1(key)) == value; };
}

// The browser: what it was asked to open.
class RecordingOpener final : public shell::UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        opened << url;
        return true;
    }
    QList<QUrl> opened;
};

// The typing notices (their flags) a buddy received after the line that ends
// with `text`.
QStringList typingFlagsAfter(HeadlessPeer &peer, const QString &text)
{
    QStringList flags;
    bool after = false;
    for (const QJsonObject &line : peer.lines()) {
        const QString name = line.value(QStringLiteral("name")).toString();
        const QJsonObject info = line.value(QStringLiteral("userInfo")).toObject();
        if (name == QLatin1String(nn::kChatSessionMessageReceived)
            && info.value(QStringLiteral("message")).toString().endsWith(text))
            after = true;
        else if (after && name == QLatin1String(nn::kChatSessionTypingInfoReceived))
            flags << info.value(QStringLiteral("flag")).toString();
    }
    return flags;
}

class ChatEndToEnd : public facade::test::FacadeTest
{
protected:
    void SetUp() override
    {
        FacadeTest::SetUp();
        PLManagerRegistry::setChatSessionManager(&PLChatSessionManager::sharedManager());
    }
    void TearDown() override
    {
        if (mTransfersInstalled) {
            PLFileTransferManager &files = PLFileTransferManager::sharedManager();
            files.setSession(static_cast<PLParleySession *>(nullptr));
            PLChatSessionManager::sharedManager().setFileTransferManager(nullptr);
            PLManagerRegistry::setFileTransferManager(nullptr);
            PLManagerRegistry::setP2PSessionManager(nullptr);
            PLManagerRegistry::setCookieManager(nullptr);
        }
        if (mManager) {
            const QList<ChatDocument *> windows = mManager->documents();
            for (ChatDocument *window : windows)
                delete window;
            PLChatSessionManager::sharedManager().setChatWindows(nullptr);
            mManager.reset();
        }
        PLChatSessionManager::resetShared();
        PLManagerRegistry::setChatSessionManager(nullptr);
        chat::test::forgetSaveOption();
        FacadeTest::TearDown();
    }
    // Alice signed in with her windows' manager, `peer` signed in and online
    // in her list.
    bool start(HeadlessPeer &peer, const QString &peerID)
    {
        ChatManager::Account account;
        account.createRoom = [this](const QStringList &ids, QString *uuid) {
            return mSession->createNewChattingRoomWithBuddies(ids, uuid);
        };
        account.invite = [this](const QStringList &ids, const QString &key) { return mSession->inviteBuddies(ids, key); };
        account.upload = [](const QStringList &paths, const QString &user, const QString &key) {
            return PLFileTransferManager::sharedManager().uploadFiles(paths, user, key);
        };
        mManager = std::make_unique<ChatManager>(PLChatSessionManager::sharedManager(), NotificationCenter::defaultCenter(),
                                                 account);
        PLChatSessionManager::sharedManager().setChatWindows(&mManager->coreInterface());
        if (!peer.waitFor(nn::kLoginCompleted))
            return false;
        return waitUntil(
            [&] {
                const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(peerID);
                return buddy && buddy->status() != 0;
            },
            15000);
    }
    // A chat window with bob, once bob is in its room (null otherwise).
    ChatDocument *openRoomWithBob()
    {
        ChatDocument *window = mManager->openChatRoom({kBob});
        if (!window
            || !waitUntil([&] { return window->conversation().buddyIDList() == QStringList{kBob}; }, 10000))
            return nullptr;
        return window;
    }
    // The transfer managers of this process, as the messenger installs them.
    void installTransfers(const QString &downloadFolder)
    {
        PLFileTransferManager &files = PLFileTransferManager::sharedManager();
        files.setChatSessionManager(&PLChatSessionManager::sharedManager());
        PLChatSessionManager::sharedManager().setFileTransferManager(&files);
        PLManagerRegistry::setCookieManager(&PLCookieManager::sharedManager());
        PLManagerRegistry::setP2PSessionManager(&PLP2PSessionManager::sharedManager());
        PLManagerRegistry::setFileTransferManager(&files);
        files.setSession(mSession.get());
        files.setDownloadPath(downloadFolder);
        mTransfersInstalled = true;
    }
    static void type(ChatDocument *window, const QString &text)
    {
        QTest::keyClicks(window->input(), text);
        QTest::keyClick(window->input(), Qt::Key_Return);
    }
    static bool shows(ChatDocument *window, const QString &text)
    {
        return waitUntil([&] { return window->transcript()->toPlainText().contains(text); }, 10000);
    }

    std::unique_ptr<ChatManager> mManager;
    bool mTransfersInstalled = false;
};

TEST_F(ChatEndToEnd, AChatBothWaysBetweenAWindowAndAHeadlessBuddy)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"));
    ASSERT_TRUE(start(bob, kBob));

    ChatDocument *window = mManager->openChatRoom({kBob});
    ASSERT_TRUE(window);
    ASSERT_TRUE(bob.waitFor(nn::kInvitedToChat));
    ASSERT_TRUE(waitUntil([&] { return window->conversation().buddyIDList() == QStringList{kBob}; }, 10000));
    const QString key = window->sessionKey();
    EXPECT_EQ(mManager->chatDocumentForSessionKey(key), window) << "the real room key";

    type(window, QStringLiteral("hello bob"));
    const auto received = bob.waitFor(nn::kChatSessionMessageReceived, with("sessionKey", key));
    ASSERT_TRUE(received);
    EXPECT_TRUE(received->value(QStringLiteral("message")).toString().endsWith(QLatin1String("\thello bob")));
    EXPECT_EQ(received->value(QStringLiteral("velaID")), kAlice);

    bob.command(QStringLiteral("say %1 \"hi <b>alice</b>\"").arg(key));
    EXPECT_TRUE(shows(window, QStringLiteral("hi <b>alice</b>"))) << "peer text stays text";

    bob.command(QStringLiteral("leave %1").arg(key));
    ASSERT_TRUE(waitUntil([&] { return window->conversation().buddyIDList().isEmpty(); }, 10000));
    EXPECT_EQ(window->conversation().lastBuddyID(), kBob) << "the window waits for bob again";
}

TEST_F(ChatEndToEnd, EveryKindOfTranscriptLinkOpensInTheBrowser)
{
    ASSERT_TRUE(startAndSignIn());
    RecordingOpener browser;
    // The shell's bridge page (it also makes the server's report links).
    shell::PlugInSide plugInSide(&browser);
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"));
    ASSERT_TRUE(start(bob, kBob));
    mManager->setUrlOpener(&browser);
    ChatDocument *window = openRoomWithBob();
    ASSERT_TRUE(window);
    const QString key = window->sessionKey();

    bob.command(QStringLiteral("say %1 \"see http://example.org/page?x=1&y=2 :) or kim@parley.dev, "
                               "www.parley.dev/docs에서 <link href=\\\"bridge://G125?http://mail.parley.test/\\\">"
                               "your mail</link>\"")
                    .arg(key));
    ASSERT_TRUE(shows(window, QStringLiteral("your mail")));
    mService->switchboardServer()->pushNotice(key, QStringLiteral("BANKWARN"), QStringLiteral("careful"));
    ASSERT_TRUE(shows(window, KCLocalizedString(QStringLiteral("Reporting"))));
    QString reportLink;
    for (QTextBlock block = window->transcript()->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorHref().contains(QLatin1String("code=A054")))
                reportLink = it.fragment().charFormat().anchorHref();
    ASSERT_FALSE(reportLink.isEmpty());

    const QString ticket = PLMyInfoManager::sharedManager().ticket();
    const std::pair<QString, QString> links[] = {
        {QStringLiteral("http://example.org/page?x=1&y=2"), QStringLiteral("http://example.org/page?x=1&y=2")},
        {QStringLiteral("mailto:kim@parley.dev"), QStringLiteral("mailto:kim@parley.dev")},
        {QStringLiteral("www.parley.dev/docs"), QStringLiteral("http://www.parley.dev/docs")},
        {QStringLiteral("bridge://G125?http://mail.parley.test/"),
         shell::ShellWindows::bridgePage().bridgePageUrl() + QStringLiteral("?t=") + ticket
             + QStringLiteral("&code=G125&r_url=http://mail.parley.test/")},
        {reportLink, reportLink},
    };
    QList<QUrl> expected;
    for (const auto &[href, opened] : links) {
        SCOPED_TRACE(href.toStdString());
        EXPECT_TRUE(parley::test::clickLink(*window->transcript(), href));
        expected << QUrl(opened, QUrl::StrictMode);
    }
    EXPECT_EQ(browser.opened, expected);
    mManager->setUrlOpener(nullptr);
}

TEST_F(ChatEndToEnd, ASentLineSendsNoTypingNoticeForTheClearedInput)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"));
    ASSERT_TRUE(start(bob, kBob));
    ChatDocument *window = openRoomWithBob();
    ASSERT_TRUE(window);
    const QString key = window->sessionKey();

    QTest::keyClicks(window->input(), QStringLiteral("first"));
    ASSERT_TRUE(bob.waitFor(nn::kChatSessionTypingInfoReceived, with("flag", QStringLiteral("1"))));
    QTest::keyClick(window->input(), Qt::Key_Return);
    ASSERT_TRUE(bob.waitFor(nn::kChatSessionMessageReceived, with("sessionKey", key)));
    EXPECT_TRUE(window->input()->document()->isEmpty());
    // The next keystroke's notice comes after anything the send let out.
    QTest::keyClicks(window->input(), QStringLiteral("s"));
    ASSERT_TRUE(waitUntil([&] { return !typingFlagsAfter(bob, QStringLiteral("first")).isEmpty(); }, 10000));
    EXPECT_EQ(typingFlagsAfter(bob, QStringLiteral("first")), QStringList{QStringLiteral("1")});
}

TEST_F(ChatEndToEnd, AfterTheServerClosedTheRoomTheNextLineReopensItWithTheBuddy)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"));
    ASSERT_TRUE(start(bob, kBob));
    ChatDocument *window = openRoomWithBob();
    ASSERT_TRUE(window);
    const QString first = window->sessionKey();

    mService->switchboardServer()->closeRoom(first);
    ASSERT_TRUE(waitUntil([&] { return window->conversation().isSessionDisconnected(); }, 10000));
    EXPECT_FALSE(PLChatSessionManager::sharedManager().isValidSessionKey(first));
    EXPECT_TRUE(window->isVisible()) << "the window stays open";

    type(window, QStringLiteral("are you still there"));
    const auto received = bob.waitFor(nn::kChatSessionMessageReceived, [](const QVariantMap &info) {
        return info.value(QStringLiteral("message")).toString().endsWith(QLatin1String("are you still there"));
    });
    ASSERT_TRUE(received) << "the queued line goes out once bob joined the new room";
    const QString second = received->value(QStringLiteral("sessionKey")).toString();
    EXPECT_NE(second, first);
    EXPECT_EQ(window->sessionKey(), second);
    EXPECT_EQ(mManager->documents().size(), 1);
}

TEST_F(ChatEndToEnd, AnEncryptedRoomCarriesTheLinesBothWays)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"));
    ASSERT_TRUE(start(bob, kBob));
    PLChatSessionManager::sharedManager().setEncryptMode(true);
    ChatDocument *window = openRoomWithBob();
    ASSERT_TRUE(window);
    const QString key = window->sessionKey();
    PLSSSession *room = PLChatSessionManager::sharedManager().sessionInfo(key)->session();
    ASSERT_TRUE(room);
    EXPECT_TRUE(room->isEncrypted());
    EXPECT_TRUE(waitUntil([&] { return !room->encryptKey().isEmpty(); }, 10000)) << "the key was exchanged";
    type(window, QStringLiteral("secret plans"));
    EXPECT_TRUE(bob.waitFor(nn::kChatSessionMessageReceived, [](const QVariantMap &info) {
        return info.value(QStringLiteral("message")).toString().endsWith(QLatin1String("secret plans"));
    }));
    bob.command(QStringLiteral("say %1 \"secret answer\"").arg(key));
    EXPECT_TRUE(shows(window, QStringLiteral("secret answer")));
    PLChatSessionManager::sharedManager().setEncryptMode(false);
}

TEST_F(ChatEndToEnd, TheLogSavedOnCloseIsUploadedToTheMemoServer)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"));
    ASSERT_TRUE(start(bob, kBob));
    // The shell's part: each log the manager posts is uploaded off the main thread.
    NotificationCenter::defaultCenter().addObserver(
        mManager.get(), QLatin1String(nn::kSaveChatMessage), nullptr, [&](const Notification &note) {
            PLHTTPManager::setSaveChatURL(PLAccountWebQueries::saveChatURL(PLEndpoints::current().webMemo));
            const QString body = note.userInfo.value(QStringLiteral("content")).toString();
            std::thread([body] { PLHTTPManager::sharedManager().saveChatPOST(body); }).detach();
        });
    mManager->setSaveInterval(50);
    // Asked whether to save (no settings of a signed-in user: ask), the user says OK.
    parley::test::ScriptedAlerts alerts;
    alerts.answer(0);

    ChatDocument *window = openRoomWithBob();
    ASSERT_TRUE(window);
    bob.command(QStringLiteral("say %1 \"see you tomorrow\"").arg(window->sessionKey()));
    ASSERT_TRUE(shows(window, QStringLiteral("see you tomorrow")));
    window->close();
    EXPECT_EQ(alerts.keys(), QStringList{QStringLiteral("SaveChatMsg")});
    ASSERT_TRUE(waitUntil([&] { return !mService->web()->savedChatLogs().isEmpty(); }, 15000));
    const QByteArray body = mService->web()->savedChatLogs().first();
    EXPECT_TRUE(body.contains("name=\"content\"\r\n\r\n")) << body.constData();
    EXPECT_TRUE(body.contains("see you tomorrow"));
    EXPECT_TRUE(body.contains("name=\"subject\"\r\n\r\nsee you tomorrow\r\n"));
    EXPECT_TRUE(body.endsWith("-----------------------------93e41c6e209110--"));
}

TEST_F(ChatEndToEnd, AHeadlessBuddysFirstMessageOpensAWindowThatAnswers)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"));
    ASSERT_TRUE(start(bob, kBob));

    bob.command(QStringLiteral("chat %1").arg(kAlice));
    const auto created = bob.waitFor(nn::kChatSessionCreated);
    ASSERT_TRUE(created);
    const QString key = created->value(QStringLiteral("sessionKey")).toString();
    ASSERT_TRUE(bob.waitFor(nn::kChatSessionUserJoin, with("velaID", kAlice)));
    bob.command(QStringLiteral("say %1 \"knock knock\"").arg(key));
    ASSERT_TRUE(waitUntil([&] { return mManager->documents().size() == 1; }, 10000));
    ChatDocument *window = mManager->documents().first();
    EXPECT_TRUE(shows(window, QStringLiteral("knock knock")));
    EXPECT_EQ(window->sessionKey(), key);
    EXPECT_FALSE(window->isVisible()) << "a message alone shows no window";
    EXPECT_EQ(mManager->openChatRoom({kBob}), window) << "the chat with bob is this window";

    type(window, QStringLiteral("who is there"));
    ASSERT_TRUE(bob.waitFor(nn::kChatSessionMessageReceived, [](const QVariantMap &info) {
        return info.value(QStringLiteral("message")).toString().endsWith(QLatin1String("who is there"));
    }));
}

TEST_F(ChatEndToEnd, AnInvitationMakesAGroupChat)
{
    ASSERT_TRUE(startAndSignIn());
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"));
    HeadlessPeer carol(mService->dispatchPort(), kCarol, QStringLiteral("carol-pw"));
    ASSERT_TRUE(start(bob, kBob));
    ASSERT_TRUE(carol.waitFor(nn::kLoginCompleted));
    ASSERT_TRUE(waitUntil(
        [] {
            const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(kCarol);
            return buddy && buddy->status() != 0;
        },
        15000));

    ChatDocument *window = openRoomWithBob();
    ASSERT_TRUE(window);
    window->conversation().buddyInvitePanelDidEnd({kCarol, kBob});
    const QString key = window->sessionKey();
    ASSERT_TRUE(carol.waitFor(nn::kInvitedToChat, with("key", key)));
    ASSERT_TRUE(waitUntil([&] { return window->conversation().buddyIDList().size() == 2; }, 10000));
    EXPECT_TRUE(window->conversation().buddyIDList().contains(kCarol));

    carol.command(QStringLiteral("say %1 \"hello both\"").arg(key));
    EXPECT_TRUE(shows(window, QStringLiteral("hello both")));
    type(window, QStringLiteral("welcome carol"));
    EXPECT_TRUE(bob.waitFor(nn::kChatSessionMessageReceived, [](const QVariantMap &info) {
        return info.value(QStringLiteral("message")).toString().endsWith(QLatin1String("welcome carol"));
    }));
    EXPECT_TRUE(carol.waitFor(nn::kChatSessionMessageReceived, [](const QVariantMap &info) {
        return info.value(QStringLiteral("message")).toString().endsWith(QLatin1String("welcome carol"));
    }));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(ChatEndToEnd, FilesBothWaysWithRowsAndChatLinesAndAHostileNameRefused)
{
    ASSERT_TRUE(startAndSignIn());
    QTemporaryDir aliceRoot, bobFolder;
    const QString aliceFolder = aliceRoot.filePath(QStringLiteral("downloads"));
    ASSERT_TRUE(QDir().mkpath(aliceFolder));
    installTransfers(aliceFolder);
    parley::test::ScriptedAlerts alerts;
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"),
                     {QStringLiteral("--download-folder"), bobFolder.path()});
    ASSERT_TRUE(start(bob, kBob));
    PLFileTransferPort port(PLFileTransferManager::sharedManager());
    TransferController transfers(port, mManager.get(), NotificationCenter::defaultCenter());

    ChatDocument *window = openRoomWithBob();
    ASSERT_TRUE(window);
    const QString key = window->sessionKey();

    // Alice to bob, from the window's file panel.
    const QString outgoing = aliceRoot.filePath(QStringLiteral("to bob.txt"));
    ASSERT_TRUE(writeFile(outgoing, "for bob\n"));
    window->sendFiles({outgoing});
    const auto offered = bob.waitFor(nn::kFileDownloadRequestReceived);
    ASSERT_TRUE(offered);
    const QString sent = offered->value(QStringLiteral("fileCookies")).toList().value(0).toString();
    ASSERT_EQ(transfers.sendRows().size(), 1);
    bob.command(QStringLiteral("file-accept \"%1\"").arg(sent));
    ASSERT_TRUE(bob.waitFor(nn::kFileDownloadEndReceived, with("fileCookie", sent), 30000));
    EXPECT_EQ(readFile(QDir(bobFolder.path()).filePath(QStringLiteral("to bob.txt"))), QByteArray("for bob\n"));
    EXPECT_TRUE(waitUntil([&] { return transfers.sendRows().value(0).view->buttonType() != 0; }, 10000));
    EXPECT_TRUE(shows(window, QStringLiteral("to bob.txt"))) << window->transcript()->toPlainText().toStdString();

    // Bob to alice, accepted in the transfer window's row.
    const QString incoming = QDir(bobFolder.path()).filePath(QStringLiteral("from bob.txt"));
    ASSERT_TRUE(writeFile(incoming, "for alice\n"));
    bob.command(QStringLiteral("file-offer %1 %2 \"%3\"").arg(key, kAlice, incoming));
    ASSERT_TRUE(waitUntil([&] { return transfers.receiveRows().size() == 1; }, 10000));
    const TransferController::Row row = transfers.receiveRows().first();
    EXPECT_TRUE(shows(window, QStringLiteral("from bob.txt")));
    transfers.transferViewAccept(row.view, row.fileCookie);
    ASSERT_TRUE(waitUntil([&] { return readFile(QDir(aliceFolder).filePath(QStringLiteral("from bob.txt"))) == "for alice\n"; },
                          30000));

    // A peer of the test's own offers, in the room, a name that reads as
    // "../" once its escapes are read: refused with an alert.
    PLSSSession *room = PLChatSessionManager::sharedManager().sessionInfo(key)->session();
    ASSERT_TRUE(room);
    alerts.answer(0);
    room->dataReceived("WHSP 0 " + kBob.toUtf8() + "|x|y FILE REQUEST%091%09%252E%252e%252fescape.txt|6|hostile1\r\n");
    ASSERT_TRUE(waitUntil([&] { return alerts.keys().contains(QStringLiteral("InvalidFileErrorTitle")); }, 10000))
        << alerts.keys().join(',').toStdString() << " rows " << transfers.receiveRows().size() << "\n"
        << window->transcript()->toPlainText().toStdString();
    EXPECT_FALSE(QFile::exists(aliceRoot.filePath(QStringLiteral("escape.txt"))));
    EXPECT_EQ(QDir(aliceFolder).entryList(QDir::Files), QStringList{QStringLiteral("from bob.txt")});
}

TEST_F(ChatEndToEnd, OfferedNamesWithPercentSignsArriveAsNamed)
{
    ASSERT_TRUE(startAndSignIn());
    QTemporaryDir aliceRoot, bobFolder;
    const QString aliceFolder = aliceRoot.filePath(QStringLiteral("downloads"));
    ASSERT_TRUE(QDir().mkpath(aliceFolder));
    installTransfers(aliceFolder);
    parley::test::ScriptedAlerts alerts;
    alerts.answer(0);
    HeadlessPeer bob(mService->dispatchPort(), kBob, QStringLiteral("bob-pw"),
                     {QStringLiteral("--download-folder"), bobFolder.path()});
    ASSERT_TRUE(start(bob, kBob));
    PLFileTransferPort port(PLFileTransferManager::sharedManager());
    TransferController transfers(port, mManager.get(), NotificationCenter::defaultCenter());
    ChatDocument *window = openRoomWithBob();
    ASSERT_TRUE(window);
    const QString key = window->sessionKey();

    // Real files of bob's, offered under their own names; the last reads as
    // "../" once its percent escapes are read and so is still refused.
    const QStringList names = {QStringLiteral("50% off %1 %2.txt"), QStringLiteral("100%25 sure.txt"),
                               QStringLiteral("%2E%2e%2fescape.txt")};
    QStringList quoted;
    for (const QString &name : names) {
        const QString path = QDir(bobFolder.path()).filePath(name);
        ASSERT_TRUE(writeFile(path, "six b\n"));
        quoted.append(QLatin1Char('"') + path + QLatin1Char('"'));
    }
    bob.command(QStringLiteral("file-offer %1 %2 ").arg(key, kAlice) + quoted.join(QLatin1Char(' ')));
    ASSERT_TRUE(waitUntil([&] { return transfers.receiveRows().size() == 3; }, 10000));
    QStringList arrived;
    for (const TransferController::Row &row : transfers.receiveRows())
        arrived.append(PLFileTransferManager::sharedManager().fileInfoForCookie(row.fileCookie)
                           .value(QStringLiteral("fileName"))
                           .toString());
    EXPECT_EQ(arrived, names);
    ASSERT_EQ(alerts.keys(), QStringList{QStringLiteral("InvalidFileErrorTitle")});
    EXPECT_TRUE(alerts.shown[0].message.contains(names[2])) << alerts.shown[0].message.toStdString();

    // An accepted one is saved under the very name it was offered with.
    const TransferController::Row first = transfers.receiveRows().first();
    transfers.transferViewAccept(first.view, first.fileCookie);
    ASSERT_TRUE(waitUntil([&] { return readFile(QDir(aliceFolder).filePath(names[0])) == "six b\n"; }, 30000));
    EXPECT_EQ(QDir(aliceFolder).entryList(QDir::Files), QStringList{names[0]});
}

} // namespace
