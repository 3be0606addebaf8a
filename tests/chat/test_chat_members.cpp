// The chat window's members: the absence banner and input lock, invitations
// by panel and by drag, file drops by kind of file, and the files that wait
// for their receiver to join.

#include "ChatTestSupport.h"

#include "ScriptedAlerts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace chat::test {
namespace {

class ChatMembersTest : public ::testing::Test
{
protected:
    ChatWorld world;
    parley::test::ScriptedAlerts alerts;
};

QString word(int status) { return BuddyString::buddyStatusStringWithStatus(status); }

TEST_F(ChatMembersTest, TheBannerAndTheInputLockFollowTheStatuses)
{
    struct Case {
        const char *name;
        QList<std::pair<const char *, std::pair<int, const char *>>> buddies; // cmn -> status, flags
        QStringList members;
        const char *lastBuddy;
        int myStatus;
        QString text;
        bool locked, toolbarOff;
    } cases[] = {
        {"everybody online", {{"b1", {1, "1100"}}}, {id("b1")}, "", 1, {}, false, false},
        {"one-to-one with an offline buddy", {{"b1", {0, "1100"}}}, {}, "b1", 1,
         "Name b1 is " + word(0) + " right now.", true, true},
        {"one-to-one with a busy buddy", {{"b1", {2, "1100"}}}, {id("b1")}, "", 1,
         "Name b1 is " + word(2) + " right now.", false, false},
        {"one-to-one with a blocked buddy", {{"b1", {1, "1110"}}}, {id("b1")}, "", 1,
         "You have blocked Name b1. Unblock them to chat.", true, false},
        {"a group with one blocked buddy", {{"b1", {1, "1100"}}, {"b2", {1, "1110"}}}, {id("b1"), id("b2")}, "", 1,
         "You have blocked Name b2, but they can still read this chat.", false, false},
        {"a group with two blocked", {{"b1", {1, "1110"}}, {"b2", {1, "1110"}}}, {id("b1"), id("b2")}, "", 1,
         "You have blocked some members, but they can still read this chat.", false, false},
        {"a group with two absent", {{"b1", {3, "1100"}}, {"b2", {0, "1100"}}}, {id("b1"), id("b2")}, "", 1,
         "Some members are not online right now.", false, false},
        {"blocked and absent", {{"b1", {1, "1110"}}, {"b2", {0, "1100"}}}, {id("b1"), id("b2")}, "", 1,
         "You have blocked Name b1, but they can still read this chat.\nName b2 is " + word(0) + " right now.",
         false, false},
        {"the user offline", {{"b1", {1, "1100"}}}, {id("b1")}, "", 0, "Your status is " + word(0) + ".", true, false},
        {"the user away", {{"b1", {1, "1100"}}}, {id("b1")}, "", 3, "Your status is " + word(3) + ".", false, false},
        {"a stranger is never classified", {}, {id("zz")}, "", 1, {}, false, false},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        PLBuddyManager::sharedManager().reset();
        for (const auto &[cmn, look] : tc.buddies)
            world.buddy(cmn, look.first, look.second);
        PLMyInfoManager::sharedManager().setStatus(tc.myStatus);
        Conversation c(tc.members);
        if (*tc.lastBuddy)
            c.chat.setLastBuddyID(id(tc.lastBuddy));
        c.chat.updateAbsentBuddyStatusView();
        EXPECT_EQ(c.view.banner.text, tc.text);
        EXPECT_EQ(c.view.banner.inputLocked, tc.locked);
        EXPECT_EQ(c.view.banner.toolbarDisabled, tc.toolbarOff);
    }
    PLMyInfoManager::sharedManager().setStatus(1);
}

TEST_F(ChatMembersTest, InvitationsAskForNewcomersOnlyAndBringBackTheAwaitedBuddy)
{
    for (const char *cmn : {"b1", "b2", "b3"})
        world.buddy(cmn);
    struct Case {
        const char *name;
        QStringList members;
        const char *last;
        bool disconnected;
        QStringList chosen;
        QStringList calls;
    } cases[] = {
        {"members are not asked again", {id("b1")}, "", false, {id("b1"), id("b2"), id("b2")},
         {"invite K " + id("b2")}},
        {"an empty room adds the awaited buddy", {}, "b1", false, {id("b2")}, {"invite K " + id("b2") + "," + id("b1")}},
        {"a closed room is reopened with them", {}, "b1", true, {id("b3")}, {"reopen K " + id("b3") + "," + id("b1")}},
        {"nobody new", {id("b1")}, "", false, {id("b1")}, {}},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        Conversation c(tc.members);
        if (*tc.last)
            c.chat.setLastBuddyID(id(tc.last));
        if (tc.disconnected)
            c.chat.sessionWillClose(QStringLiteral("K"));
        c.room.calls.clear();
        c.chat.buddyInvitePanelDidEnd(tc.chosen);
        EXPECT_EQ(c.room.calls, tc.calls);
    }
}

TEST_F(ChatMembersTest, ABuddyDragIsTakenOnlyForSomebodyNewAndSignedIn)
{
    world.buddy("b1");
    world.buddy("b2");
    world.buddy("off", 0);
    Conversation c({id("b1")});
    c.chat.setLastBuddyID(id("b2"));
    EXPECT_EQ(ChatConversation::dragIDList({QVariantMap{{"velaID", id("b1")}}, QVariantMap{{"velaID", id("b1")}},
                                            QVariantMap{{"name", "no id"}}, QVariantMap{{"velaID", id("off")}}}),
              (QStringList{id("b1"), id("off")}));
    struct Case {
        QStringList ids;
        bool accepted;
    } cases[] = {
        {{id("b1")}, false},             // a member
        {{id("b2")}, false},             // the awaited buddy
        {{id("off")}, false},            // offline
        {{id("zz")}, false},             // not a buddy
        {{id("b1"), id("new")}, false},  // "new" is no buddy either
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.ids.join(',').toStdString());
        EXPECT_EQ(c.chat.acceptsBuddies(tc.ids), tc.accepted);
    }
    world.buddy("b3");
    EXPECT_TRUE(c.chat.acceptsBuddies({id("b1"), id("b3")}));
    c.chat.dropBuddies({id("b1"), id("off"), id("b3")});
    EXPECT_EQ(c.room.callsOf("invite"), QStringList{"invite K " + id("b3")});

    // While the input is locked a drop does nothing.
    PLMyInfoManager::sharedManager().setStatus(0);
    c.chat.updateAbsentBuddyStatusView();
    c.room.calls.clear();
    c.chat.dropBuddies({id("b3")});
    EXPECT_TRUE(c.room.calls.isEmpty());
    PLMyInfoManager::sharedManager().setStatus(1);
}

TEST_F(ChatMembersTest, OnlyRegularFilesAreTakenFromADrop)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("a.txt");
    const QString folder = dir.filePath("folder");
    const QString link = dir.filePath("link-to-file");
    const QString dangling = dir.filePath("dangling");
    const QString fifo = dir.filePath("fifo");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("abc");
    f.close();
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::link(file, link));
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), dangling));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case {
        QStringList paths;
        bool accepted;
    } cases[] = {
        {{file}, true},
        {{link}, true},
        {{file, link}, true},
        {{folder}, false},
        {{fifo}, false},
        {{dangling}, false},
        {{file, folder}, false},
        {{}, false},
        {{dir.filePath("missing")}, false},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.paths.join(',').toStdString());
        EXPECT_EQ(ChatConversation::acceptsFiles(tc.paths), tc.accepted);
    }

    world.buddy("b1");
    world.buddy("b2");
    Conversation group({id("b1"), id("b2")});
    group.chat.dropFiles({fifo});
    EXPECT_TRUE(group.room.calls.isEmpty());
    group.chat.dropFiles({file});
    EXPECT_EQ(group.room.calls, (QStringList{"upload K " + id("b1") + " " + file, "upload K " + id("b2") + " " + file}));
}

TEST_F(ChatMembersTest, FilesDroppedAfterThePeerLeftWaitForItsReturnWithoutAJoinedLine)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    world.buddy("b1");
    Conversation c({id("b1")});
    c.room.members.remove(QStringLiteral("K"));
    c.chat.userQuited({{"velaID", id("b1")}});
    c.view.lines.clear();

    c.chat.dropFiles({file});
    EXPECT_EQ(c.room.calls, QStringList{"invite K " + id("b1")});
    EXPECT_TRUE(c.chat.isWantUploadFileToLastUser());
    c.chat.send(QStringLiteral("are you there?")); // waits with the files
    c.room.calls.clear();

    c.room.members.insert(QStringLiteral("K"), {member(id("b1"))});
    c.chat.userJoined({{"velaID", id("b1")}});
    EXPECT_EQ(c.room.calls, (QStringList{"upload K " + id("b1") + " " + file}));
    EXPECT_FALSE(c.chat.isWantUploadFileToLastUser());
    EXPECT_TRUE(c.chat.lastBuddyID().isEmpty());
    EXPECT_FALSE(c.view.lines.join('\n').contains(QStringLiteral("joined")));

    // A room with nobody and nobody awaited takes no files.
    Conversation empty;
    empty.chat.dropFiles({file});
    EXPECT_TRUE(empty.room.calls.isEmpty());
}

TEST_F(ChatMembersTest, WaitingFilesAndQueuedMessagesBothGoOutWhenTheAwaitedBuddyJoins)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    world.buddy("b1");
    // A window opened to send files, whose room was gone when the user typed.
    Conversation c;
    c.chat.setLastBuddyID(id("b1"));
    c.chat.setSelectedBuddyID(id("b1"));
    c.chat.setFileTransferChat(true, {file}, id("b1"));
    c.room.valid.clear();
    c.chat.send(QStringLiteral("sending you a file"));
    c.chat.setSessionKey(QStringLiteral("K2"));
    c.room.valid.insert(QStringLiteral("K2"));
    c.room.calls.clear();

    c.room.members.insert(QStringLiteral("K2"), {member(id("b1"))});
    c.chat.userJoined({{"velaID", id("b1")}});
    EXPECT_EQ(c.room.calls,
              (QStringList{"upload K2 " + id("b1") + " " + file, QStringLiteral("send K2 Gulim\t255\t\tsending you a file")}));
    EXPECT_FALSE(c.chat.isFileTransferChat());
    EXPECT_TRUE(c.chat.messageQueue().isEmpty());
}

TEST_F(ChatMembersTest, TheFilePanelRefusesFoldersWithAnAlertAndSendsTheRest)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    world.buddy("b1");

    Conversation c({id("b1")});
    c.chat.sendFiles({dir.path()});
    EXPECT_EQ(alerts.keys(), QStringList{"NotFileErrorTitle"});
    EXPECT_TRUE(c.room.calls.isEmpty());
    c.chat.sendFiles({dir.path(), file});
    EXPECT_EQ(alerts.keys().size(), 2);
    EXPECT_EQ(c.room.calls, QStringList{"upload K " + id("b1") + " " + file});

    // An empty room: the files wait for the selected buddy, who is invited.
    Conversation waiting;
    waiting.chat.setSelectedBuddyID(id("b1"));
    waiting.chat.sendFiles({file});
    EXPECT_EQ(waiting.room.calls, QStringList{"invite K " + id("b1")});
    EXPECT_EQ(waiting.chat.lastUserForUploadFile(), id("b1"));
    // Nobody at all: nothing.
    Conversation nobody;
    nobody.chat.sendFiles({file});
    EXPECT_TRUE(nobody.room.calls.isEmpty());
    EXPECT_FALSE(nobody.chat.isWantUploadFileToLastUser());
}

TEST_F(ChatMembersTest, ARecordedTransferRunsWhenTheRoomAndTheReceiverAreThere)
{
    world.buddy("b1");
    Conversation c;
    c.chat.setFileTransferChat(true, {"/tmp/x"}, id("b1"));
    c.room.valid.clear();
    c.chat.fileUploadingCheck(); // the room is being made
    EXPECT_TRUE(c.room.calls.isEmpty());
    c.room.valid.insert(QStringLiteral("K"));
    c.chat.fileUploadingCheck(); // the receiver is not in yet
    EXPECT_EQ(c.room.calls, QStringList{"invite K " + id("b1")});
    c.room.members.insert(QStringLiteral("K"), {member(id("b1"))});
    c.chat.fileUploadingCheck();
    EXPECT_EQ(c.room.calls.last(), "upload K " + id("b1") + " /tmp/x");
    EXPECT_FALSE(c.chat.isFileTransferChat());

    // Without files the panel opens.
    Conversation ask;
    ask.chat.setFileTransferChat(true, {}, id("b1"));
    ask.chat.fileUploadingCheck();
    EXPECT_EQ(ask.view.filePanels, 1);
    EXPECT_FALSE(ask.chat.isFileTransferChat());
    ask.chat.fileUploadingCheck();
    EXPECT_EQ(ask.view.filePanels, 1);
}

TEST_F(ChatMembersTest, FileLinesFillOnlyOurFormatAndNoticeWhenUnseen)
{
    PLBuddyPtr b = world.buddy("b1");
    b->setName(QStringLiteral("%@ <Kim>"));
    world.setPreference("useSound", true);
    world.setPreference("soundForFileTransfer", true);
    Conversation c({id("b1")});
    c.view.isKey = false;
    c.chat.addFileInfoMessage(QStringLiteral("FileTransferDownloadMessage"), 0, id("b1"));
    c.chat.addFileMessage(QStringLiteral("Received %@ <x>.txt."), 1);
    c.chat.addFileInfo(QStringLiteral("%d.txt (1KB)"), 0);
    ASSERT_EQ(c.view.lines.size(), 3);
    EXPECT_TRUE(c.view.lines[0].startsWith(QStringLiteral("file0 ")));
    EXPECT_TRUE(c.view.lines[0].contains(QStringLiteral("%@ &lt;Kim&gt;"))) << c.view.lines[0].toStdString();
    EXPECT_EQ(c.view.lines[1], QStringLiteral("file1 Received %@ &lt;x&gt;.txt."));
    EXPECT_EQ(c.view.lines[2], QStringLiteral("fileinfo0 %d.txt (1KB)"));
    EXPECT_EQ(c.room.calls, (QStringList{"sound transfer", "notice File transfer with %@ <Kim> | %d.txt (1KB) | "
                                                           "FileButton | CHAT," + id("b1")}));
}

} // namespace
} // namespace chat::test
