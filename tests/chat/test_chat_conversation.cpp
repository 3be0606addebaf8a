// The chat window's message flow without widgets: sending into a room that is
// there or gone, receiving each kind of line, the away reply, joins,
// departures and the server closing the room, the title, and the log with
// its subject.

#include "ChatTestSupport.h"

#include "Chat/ChatText.h"
#include "TestSupport.h"

namespace chat::test {
namespace {

const QString kMine = QStringLiteral("name Me Myself says:");

class ChatConversationTest : public ::testing::Test
{
protected:
    ChatWorld world;
};

TEST_F(ChatConversationTest, SendingIntoALiveRoomShowsTheTextAndSendsTheFourFields)
{
    world.buddy("b1");
    Conversation c({id("b1")});
    EXPECT_FALSE(c.chat.send(QString()));
    EXPECT_TRUE(c.room.calls.isEmpty());
    EXPECT_TRUE(c.view.lines.isEmpty());

    ASSERT_TRUE(c.chat.send(QStringLiteral("hi\tthere")));
    EXPECT_EQ(c.room.calls, QStringList{QStringLiteral("send K Gulim\t255\t\thi there")});
    // My line shows the text, not the four fields.
    EXPECT_EQ(c.view.lines, (QStringList{kMine, QStringLiteral("chat hi\tthere [255/]")}));
    EXPECT_TRUE(c.chat.messageQueue().isEmpty());
}

TEST_F(ChatConversationTest, AGoneRoomIsReopenedOnceAndTheQueueGoesOutWhenTheBuddyJoins)
{
    world.buddy("b1");
    Conversation c;
    c.room.valid.clear();
    c.chat.setSelectedBuddyID(id("b1"));

    ASSERT_TRUE(c.chat.send(QStringLiteral("one")));
    ASSERT_TRUE(c.chat.send(QStringLiteral("two")));
    EXPECT_EQ(c.room.callsOf("reopen"), QStringList{"reopen K " + id("b1")});
    EXPECT_TRUE(c.room.callsOf("send").isEmpty());
    EXPECT_EQ(c.chat.messageQueue().size(), 2);
    EXPECT_EQ(c.chat.lastBuddyID(), id("b1"));

    // The manager re-keys the window and attaches it to the new room.
    c.chat.setSessionKey(QStringLiteral("K2"));
    c.room.valid.insert(QStringLiteral("K2"));
    c.chat.setSessionDisconnected(false);
    c.room.members.insert(QStringLiteral("K2"), {member(id("b1"))});
    c.view.lines.clear();
    c.chat.userJoined({{"velaID", id("b1")}});

    EXPECT_EQ(c.room.callsOf("send"),
              (QStringList{QStringLiteral("send K2 Gulim\t255\t\tone"), QStringLiteral("send K2 Gulim\t255\t\ttwo")}));
    EXPECT_TRUE(c.chat.messageQueue().isEmpty());
    EXPECT_TRUE(c.chat.lastBuddyID().isEmpty());
    EXPECT_TRUE(c.view.lines.isEmpty()) << c.view.lines.join('\n').toStdString(); // no "joined" line
}

TEST_F(ChatConversationTest, AFailedReopenIsAskedAgainByTheNextLine)
{
    world.buddy("b1");
    Conversation c;
    c.room.valid.clear();
    c.room.reopenAnswer = false;
    c.chat.setSelectedBuddyID(id("b1"));
    c.chat.send(QStringLiteral("one"));
    c.chat.send(QStringLiteral("two"));
    EXPECT_EQ(c.room.callsOf("reopen").size(), 2);
    EXPECT_EQ(c.chat.messageQueue().size(), 2);
}

TEST_F(ChatConversationTest, ReceivedLinesByKind)
{
    world.buddy("b1");
    const QString anicoText = QStringLiteral("look <ANICO|C001|C_001.bmp|Wave|/ANICO> here");
    struct Case {
        const char *name;
        QVariantMap info;
        QStringList lines;
        QStringList plays;
        bool statusSet;
    } cases[] = {
        {"a line with font fields",
         {{"velaID", id("b1")}, {"message", "Face\t32767\t\thello"}},
         {"name Name b1 says:", "chat hello [32767/]"},
         {},
         true},
        {"a line without a TAB",
         {{"velaID", id("b1")}, {"message", "bare text"}},
         {"name Name b1 says:", "chat bare text [/]"},
         {},
         true},
        {"an animicon",
         {{"velaID", id("b1")}, {"message", "Face\t1\t\t" + anicoText}},
         {"name Name b1 says:",
          "animicon " + anicoText + " {look }{<ANICO|C001|C_001.bmp|Wave|/ANICO>}{ here}",
          "system An animicon arrived."},
         {"http://play/C001"},
         true},
        {"an animicon that does not decode",
         {{"velaID", id("b1")}, {"message", "x\t1\t\t<ANICO|bad|/ANICO>"}},
         {},
         {},
         false},
        {"handwriting",
         {{"activateType", "inkMessage"}, {"message", "ink"}, {"senderID", id("b1") + "|mobile"}},
         {"system Name b1 sent a handwritten message, which cannot be shown here."},
         {},
         true},
        {"a server warning",
         {{"activateType", "spshMessage"}, {"message", "<b>Careful</b> <br>"}},
         {"warning <b>Careful</b> <br>"},
         {},
         false},
        {"an empty message", {{"velaID", id("b1")}, {"message", ""}}, {}, {}, false},
        {"a stranger's line",
         {{"velaID", id("zz")}, {"message", "F\t1\t\t<i>x</i>"}},
         {"name zz@parley.test says:", "chat <i>x</i> [1/]"},
         {},
         true},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        Conversation c({id("b1")});
        c.chat.messageReceived(tc.info);
        EXPECT_EQ(c.view.lines, tc.lines);
        EXPECT_EQ(c.view.plays, tc.plays);
        EXPECT_EQ(!c.view.status.isEmpty(), tc.statusSet);
        if (tc.statusSet)
            EXPECT_EQ(c.view.status, "Last message received: " + ChatText::dateString(c.room.clock, true));
    }
}

TEST_F(ChatConversationTest, AnUnseenLineRaisesTheNoticesAndAWarningNone)
{
    world.buddy("b1");
    world.setPreference("useSound", true);
    world.setPreference("soundForMessage", true);
    Conversation c({id("b1")});
    c.view.isKey = false;

    c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\thello"}});
    c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\tagain"}});
    const QString when = ChatText::dateString(c.room.clock, true);
    EXPECT_EQ(c.room.calls,
              (QStringList{"badge", "unread", "sound chat",
                           "notice Name b1 (1 new) | hello\n" + when + " | ToastIconChat | CHAT," + id("b1"), "badge",
                           "unread", "sound chat",
                           "notice Name b1 (2 new) | again\n" + when + " | ToastIconChat | CHAT," + id("b1")}));
    EXPECT_TRUE(c.chat.isExistNewMessage());
    EXPECT_EQ(c.chat.unviewedCount(), 2);

    // The bounce setting asks for attention instead of redrawing the badge.
    world.setPreference("showBounce", true);
    c.room.calls.clear();
    c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\tthird"}});
    EXPECT_EQ(c.room.calls.first(), QStringLiteral("bounce"));

    // An animicon's notice names it by the wire form's fourth field.
    c.room.calls.clear();
    c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\t<ANICO|C001|C_001.bmp|Wave|/ANICO>"}});
    ASSERT_EQ(c.room.callsOf("notice").size(), 1);
    EXPECT_TRUE(c.room.callsOf("notice").first().contains(QStringLiteral("| Wave\n")));

    // A warning raises nothing.
    c.room.calls.clear();
    c.chat.messageReceived({{"activateType", "spshMessage"}, {"message", "warn"}});
    EXPECT_TRUE(c.room.calls.isEmpty());

    // Seen: the window became key.
    c.chat.windowDidBecomeKey(true);
    EXPECT_FALSE(c.chat.isExistNewMessage());
    EXPECT_EQ(c.chat.unviewedCount(), 0);
}

TEST_F(ChatConversationTest, AwayReplyGoesOutOnceAfterOpeningAndOnceAfterEachStatusChange)
{
    world.buddy("b1");
    struct Case {
        const char *name;
        int status;
        bool awayOption, busyOption;
        const char *text;
        int repliesToTwoMessages;
    } cases[] = {
        {"busy with the busy option", 2, false, true, "brb", 1},
        {"away with the away option", 3, true, false, "brb", 1},
        {"busy with only the away option", 2, true, false, "brb", 0},
        {"away with only the busy option", 3, false, true, "brb", 0},
        {"no absence text", 3, true, true, "", 0},
        {"online", 1, true, true, "brb", 0},
        {"idle away (6)", 6, true, true, "brb", 0},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        world.setPreference("showAwayMsg", tc.awayOption);
        world.setPreference("showBusyMsg", tc.busyOption);
        world.setPreference("mAwayMessage", QString::fromUtf8(tc.text));
        world.setPreference("AbsentMessageFontColorR", 1.0);
        PLMyInfoManager::sharedManager().setStatus(tc.status);
        Conversation c({id("b1")});
        c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\tfirst"}});
        c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\tsecond"}});
        EXPECT_EQ(c.room.callsOf("leave").size(), tc.repliesToTwoMessages);
        if (tc.repliesToTwoMessages == 0)
            continue;
        EXPECT_EQ(c.room.callsOf("leave").first(), QStringLiteral("leave K AppleGothic\t255\t\tbrb"));
        EXPECT_TRUE(c.view.lines.contains(QStringLiteral("name Me Myself (away message):")));
        EXPECT_TRUE(c.view.lines.contains(QStringLiteral("chat brb [255/]")));
        // A change of status (and back) allows one more.
        c.chat.myStatusChanged();
        c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\tthird"}});
        c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\tfourth"}});
        EXPECT_EQ(c.room.callsOf("leave").size(), 2);
    }
    PLMyInfoManager::sharedManager().setStatus(1);
}

TEST_F(ChatConversationTest, TheServerClosingAThreeMemberRoomNamesTheOthersAndReopensWithTheSelectedOne)
{
    for (const char *cmn : {"b1", "b2", "b3"})
        world.buddy(cmn);
    Conversation c({id("b1"), id("b2"), id("b3")});
    c.chat.setSelectedBuddyID(id("b2"));

    c.chat.sessionWillClose(QStringLiteral("other"));
    EXPECT_TRUE(c.view.lines.isEmpty());
    EXPECT_FALSE(c.chat.isSessionDisconnected());

    c.chat.sessionWillClose(QStringLiteral("K"));
    // The waited-for buddy and the selection become the first member.
    EXPECT_EQ(c.chat.lastBuddyID(), id("b1"));
    EXPECT_EQ(c.chat.selectedBuddyID(), id("b1"));
    EXPECT_EQ(c.view.lines, (QStringList{"system Name b2 is no longer in this chat.",
                                         "system Name b3 is no longer in this chat.",
                                         "system The server closed this chat. Send a message to start again with the "
                                         "selected buddy, then invite the others again."}));
    EXPECT_EQ(c.room.callsOf("removeAllUser"), QStringList{"removeAllUser K"});
    EXPECT_TRUE(c.chat.isSessionDisconnected());

    // The next line asks for exactly one room with the selected buddy.
    c.room.valid.clear();
    c.view.lines.clear();
    c.chat.send(QStringLiteral("back?"));
    c.chat.send(QStringLiteral("hello?"));
    EXPECT_EQ(c.room.callsOf("reopen"), QStringList{"reopen K " + id("b1")});
    c.chat.setSessionKey(QStringLiteral("K2"));
    c.room.valid.insert(QStringLiteral("K2"));
    c.room.members.insert(QStringLiteral("K2"), {member(id("b1"))});
    c.chat.setSessionDisconnected(false);
    c.view.lines.clear();
    c.chat.userJoined({{"velaID", id("b1")}});
    EXPECT_EQ(c.room.callsOf("send K2").size(), 2);
    EXPECT_FALSE(c.view.lines.join('\n').contains(QStringLiteral("joined")));
}

TEST_F(ChatConversationTest, TheServerClosingAllRoomsReachesEveryWindowWithoutForgettingMembers)
{
    world.buddy("b1");
    Conversation one({id("b1")}, QStringLiteral("K1"));
    Conversation two({id("b1")}, QStringLiteral("K2"));
    for (Conversation *c : {&one, &two}) {
        c->chat.sessionWillClose(QStringLiteral("all"));
        EXPECT_TRUE(c->chat.isSessionDisconnected());
        EXPECT_EQ(c->chat.lastBuddyID(), id("b1"));
        EXPECT_TRUE(c->room.callsOf("removeAllUser").isEmpty());
        EXPECT_TRUE(c->view.lines.isEmpty()); // one member: no lines
    }
}

TEST_F(ChatConversationTest, JoinsAndDeparturesUpdateLinesTitleAndSelection)
{
    for (const char *cmn : {"b1", "b2"})
        world.buddy(cmn);
    Conversation c({id("b1")});
    c.chat.setLastBuddyID(id("b1"));

    // Somebody else comes first: a line, and the window still waits.
    c.room.members[QStringLiteral("K")] << member(id("b2"));
    c.chat.userJoined({{"velaID", id("b2")}});
    EXPECT_FALSE(c.chat.isJoined());
    EXPECT_EQ(c.view.lines.last(), QStringLiteral("system Name b2 joined the chat."));
    EXPECT_EQ(c.view.title, QStringLiteral("Chat with Name b1, Name b2"));
    // The awaited buddy: no line.
    c.chat.userJoined({{"velaID", id("b1")}});
    EXPECT_TRUE(c.chat.isJoined());
    EXPECT_EQ(c.view.lines.size(), 1);

    // The selected one leaves: the selection moves to the first member.
    c.room.members[QStringLiteral("K")] = {member(id("b2"))};
    c.chat.userQuited({{"velaID", id("b1")}});
    EXPECT_EQ(c.view.lines.last(), QStringLiteral("system Name b1 left the chat."));
    EXPECT_EQ(c.chat.selectedBuddyID(), id("b2"));
    EXPECT_EQ(c.view.title, QStringLiteral("Chat with Name b2"));
    EXPECT_TRUE(c.chat.lastBuddyID().isEmpty());

    // The last one leaves: no line, the window waits for them.
    c.room.members.remove(QStringLiteral("K"));
    const int linesBefore = int(c.view.lines.size());
    c.chat.userQuited({{"velaID", id("b2")}});
    EXPECT_EQ(c.view.lines.size(), linesBefore);
    EXPECT_EQ(c.chat.lastBuddyID(), id("b2"));
    EXPECT_EQ(c.chat.selectedBuddyID(), id("b2"));
    EXPECT_EQ(c.view.title, QStringLiteral("Chat with Name b2"));
    EXPECT_EQ(c.chat.buddyCount(), 1);
}

TEST_F(ChatConversationTest, PeerTextIsNeverAFormatAndIsEscapedInSystemLines)
{
    PLBuddyPtr b = world.buddy("b1");
    b->setName(QStringLiteral("<b>%@%d</b>"));
    Conversation c({id("b1"), id("b2")});
    c.chat.userJoined({{"velaID", id("b1")}});
    EXPECT_EQ(c.view.lines.last(), QStringLiteral("system &lt;b&gt;%@%d&lt;/b&gt; joined the chat."));
    EXPECT_TRUE(c.chat.chatText().endsWith(QStringLiteral("<b>%@%d</b> joined the chat.")));

    // The acknowledgement's message holds a name already: shown as it is.
    c.chat.ackAnimicon({{"userID", id("b1")}, {"message", "<i>%@</i> lacks it"}});
    EXPECT_EQ(c.view.lines.last(), QStringLiteral("system &lt;i&gt;%@&lt;/i&gt; lacks it"));

    // Lines the room never delivered are shown, not dropped.
    c.chat.messagesUndelivered({{"sessionKey", "K"},
                                {"messages", QVariantList{QVariantMap{{"message", "F\t1\t\tlost <one>"}, {"absence", false}}}}});
    EXPECT_EQ(c.view.lines.last(), QStringLiteral("system Not delivered: lost &lt;one&gt;"));
}

TEST_F(ChatConversationTest, TypingFlagsGoOutOncePerMessageAndShowByName)
{
    world.buddy("b1");
    Conversation c({id("b1")});
    c.chat.textDidChange(false);
    c.chat.textDidChange(false);
    c.chat.textDidChange(true);
    c.chat.textDidChange(false);
    EXPECT_EQ(c.room.calls, (QStringList{"typing K 1", "typing K 0"}));
    c.chat.send(QStringLiteral("x"));
    c.chat.textDidChange(false);
    EXPECT_EQ(c.room.calls.last(), QStringLiteral("typing K 1"));

    c.chat.typingInfoReceived({{"velaID", id("b1")}, {"flag", "1"}});
    EXPECT_EQ(c.view.status, QStringLiteral("Name b1 is typing..."));
    c.chat.typingInfoReceived({{"velaID", id("b1")}, {"flag", "0"}});
    EXPECT_EQ(c.view.status, QStringLiteral("Ready to chat."));
}

TEST_F(ChatConversationTest, TheLogKeepsEveryLineAndTheSubjectIsTheFirstLineOfTheFirstChatLine)
{
    world.buddy("b1");
    world.setPreference("PrivacyEncrypt", false);
    Conversation c({id("b1")});
    c.chat.start();
    EXPECT_TRUE(c.chat.subject().isEmpty());
    c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\tfirst line\r\nsecond"}});
    c.chat.send(QStringLiteral("mine"));
    c.chat.addWarningMessage(QStringLiteral("<b>Bold</b> &amp; <a href='http://x'>report</a>"));
    c.chat.addFileInfo(QStringLiteral("a.txt (3Bytes)"), 0);
    c.chat.addFileMessage(QStringLiteral("Sent a.txt."), 1);
    EXPECT_EQ(c.chat.subject(), QStringLiteral("first line"));
    EXPECT_EQ(c.chat.chatText(), QStringLiteral("This chat is sent without encryption."
                                                "Name b1 says:\nfirst line\r\nsecond\n"
                                                "Me Myself says:\nmine\n"
                                                "Bold & report"
                                                "a.txt (3Bytes)\n"
                                                "Sent a.txt."));
    // A file line can be the first.
    Conversation d({id("b1")});
    d.chat.addFileMessage(QStringLiteral("b1 offers files.\nmore"), 0);
    d.chat.send(QStringLiteral("later"));
    EXPECT_EQ(d.chat.subject(), QStringLiteral("b1 offers files."));
}

} // namespace
} // namespace chat::test
