// Saving a chat: the upload body byte for byte, read back by Python's email
// package into its seven fields (also when a peer typed the boundary into
// the chat), the message box's record, and the prompts when a window closes.

#include "ChatTestSupport.h"

#include "Chat/ChatLogBody.h"
#include "ScriptedAlerts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace chat::test {
namespace {

const QString kBoundary = QStringLiteral("-----------------------------93e41c6e209110");

// The fields of a multipart body as Python's email package reads them:
// [[name, value], ...].
QList<std::pair<QString, QString>> parsedByPython(const QString &body)
{
    const char *script = R"PY(
import sys, json, email
from email import policy
data = sys.stdin.buffer.read()
head = b'Content-Type: multipart/form-data; boundary="---------------------------93e41c6e209110"\r\n\r\n'
message = email.message_from_bytes(head + data, policy=policy.HTTP)
fields = []
for part in message.iter_parts():
    fields.append([part.get_param('name', header='content-disposition'),
                   part.get_payload(decode=True).decode('utf-8')])
print(json.dumps(fields))
)PY";
    QProcess python;
    python.start(QStringLiteral(PARLEY_PYTHON), {QStringLiteral("-c"), QString::fromUtf8(script)});
    python.write(body.toUtf8());
    python.closeWriteChannel();
    python.waitForFinished(30000);
    QList<std::pair<QString, QString>> fields;
    for (const QJsonValue &field : QJsonDocument::fromJson(python.readAllStandardOutput()).array())
        fields.append({field.toArray().at(0).toString(), field.toArray().at(1).toString()});
    if (fields.isEmpty())
        ADD_FAILURE() << python.readAllStandardError().toStdString();
    return fields;
}

class ChatLogTest : public ::testing::Test
{
protected:
    ChatLogTest()
    {
        PLMyInfoManager::sharedManager().setTicket(QStringLiteral("TICKET"));
        PLMyInfoManager::sharedManager().setCMN(QStringLiteral("100001"));
    }
    ChatWorld world;
    parley::test::ScriptedAlerts alerts;
};

QString part(const char *name, const QString &value)
{
    return kBoundary + "\r\nContent-Disposition: form-data; name=\"" + QLatin1String(name) + "\"\r\n\r\n" + value
        + "\r\n";
}

TEST_F(ChatLogTest, TheBodyIsSevenFieldsAndTheClosingBoundaryWithoutALineBreak)
{
    world.buddy("b1");
    Conversation c({id("b1"), id("zz")});
    EXPECT_TRUE(c.chat.chatLogBody().isNull()); // nothing said yet
    c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\thello 안녕"}});
    c.chat.send(QStringLiteral("bye"));

    const QString log = QStringLiteral("Name b1 says:\nhello 안녕\nMe Myself says:\nbye\n");
    const QString expected = part("t", "TICKET") + part("owner_cmn", "100001") + part("box_type", "chat")
        + part("buddys", id("b1") + " b1 Name b1\r\n" + id("zz") + " 0 " + id("zz") + "\r\n")
        + part("subject", "hello 안녕") + part("content", log) + part("os", "ko.mac") + kBoundary + "--";
    const QString body = c.chat.chatLogBody();
    EXPECT_EQ(body, expected);
    EXPECT_FALSE(body.endsWith(QStringLiteral("\r\n")));

    const auto fields = parsedByPython(body);
    ASSERT_EQ(fields.size(), 7);
    const QStringList names{"t", "owner_cmn", "box_type", "buddys", "subject", "content", "os"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(fields[i].first, names[i]);
    EXPECT_EQ(fields[3].second, id("b1") + " b1 Name b1\r\n" + id("zz") + " 0 " + id("zz") + "\r\n");
    EXPECT_EQ(fields[5].second, log);
}

TEST_F(ChatLogTest, ABoundaryTypedIntoTheChatAddsNoField)
{
    world.buddy("b1");
    Conversation c({id("b1")});
    const QString forged = kBoundary + "\r\nContent-Disposition: form-data; name=\"os\"\r\n\r\nforged\r\n" + kBoundary
        + "--";
    // At the start of a line after CR LF, LF and CR, at the start of the
    // subject, and in the buddy's name.
    c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\t" + forged}});
    c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\ta\n" + forged}});
    c.chat.messageReceived({{"velaID", id("b1")}, {"message", "F\t1\t\ta\r" + forged}});
    PLBuddyManager::sharedManager().buddyForID(id("b1"))->setName("x\r\n" + kBoundary + "--");

    const QString body = c.chat.chatLogBody();
    const auto fields = parsedByPython(body);
    ASSERT_EQ(fields.size(), 7);
    EXPECT_EQ(fields[6], std::pair(QStringLiteral("os"), QStringLiteral("ko.mac")));
    // What was typed arrives whole, each boundary line one space in.
    EXPECT_TRUE(fields[4].second.startsWith(' ' + kBoundary));
    EXPECT_TRUE(fields[5].second.contains(QStringLiteral("\r\n ") + kBoundary + "--"));
    EXPECT_TRUE(fields[5].second.contains(QStringLiteral("a\n ") + kBoundary));
    EXPECT_TRUE(fields[5].second.contains(QStringLiteral("a\r ") + kBoundary));
    EXPECT_TRUE(fields[3].second.contains(QStringLiteral("x\r\n ") + kBoundary + "--"));

    struct Case {
        QString value, hardened;
    } cases[] = {
        {kBoundary, ' ' + kBoundary},
        {"a" + kBoundary, "a" + kBoundary}, // not at a line's start
        {"\r\n" + kBoundary + "\r\n" + kBoundary, "\r\n " + kBoundary + "\r\n " + kBoundary},
        {"-----", "-----"},
    };
    for (const Case &tc : cases)
        EXPECT_EQ(ChatLogBody::harden(tc.value), tc.hardened);
}

TEST_F(ChatLogTest, AnEmptyRoomNamesTheAwaitedOrSelectedBuddyInTheMemberLines)
{
    world.buddy("b1");
    world.buddy("b2");
    struct Case {
        const char *last, *selected;
        QString buddys;
    } cases[] = {
        {"b1", "b2", id("b1") + " b1 Name b1\r\n"},
        {"", "b2", id("b2") + " b2 Name b2\r\n"},
        {"zz", "b2", id("b2") + " b2 Name b2\r\n"}, // the awaited one is no buddy
        {"zz", "yy", ""},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.last);
        EXPECT_EQ(ChatLogBody::buddysField({}, *tc.last ? id(tc.last) : QString(), id(tc.selected)), tc.buddys);
    }
}

TEST_F(ChatLogTest, SavingHandsTheBodyToTheManagerAndTheRecordToTheMessageBox)
{
    world.buddy("b1");
    world.setPreference("PrivacyEncrypt", false);
    Conversation c({id("b1")});
    c.chat.start();
    c.chat.saveChatMessages(); // only the "not encoded" notice: nothing
    EXPECT_TRUE(c.room.saved.isEmpty());
    EXPECT_TRUE(c.room.records.isEmpty());

    c.chat.updateChatTitle(std::nullopt);
    c.chat.send(QStringLiteral("hello"));
    c.chat.saveChatMessages();
    ASSERT_EQ(c.room.saved.size(), 1);
    ASSERT_EQ(c.room.records.size(), 1);
    const QVariantMap record = c.room.records.first();
    EXPECT_EQ(record.value("chatUserID").toStringList(), QStringList{id("b1")});
    EXPECT_EQ(record.value("chatUser").toStringList(), QStringList{"Name b1"});
    EXPECT_EQ(record.value("date").toDateTime(), c.room.clock);
    EXPECT_EQ(record.value("bodyData").toString(), "Chat with Name b1\nhello\n" + c.chat.chatText());
    EXPECT_EQ(record.value("size").toLongLong(), 1);
    // Each save hands over a new body.
    c.chat.saveChatMessages();
    EXPECT_EQ(c.room.saved.size(), 2);
    EXPECT_EQ(ChatLogBody::messageBoxRecord("t", "s", QString(1024, 'x'), {}, {}, {}).value("size").toLongLong(), 2);
}

TEST_F(ChatLogTest, ClosingAsksAsTheSettingsSay)
{
    world.buddy("b1");
    world.buddy("b2");
    struct Case {
        const char *name;
        QStringList members;
        int saveType;
        QList<int> answers;
        bool closes;
        int saves;
        QStringList alerts;
    } cases[] = {
        {"save without asking", {id("b1")}, 0, {}, true, 1, {}},
        {"ask, OK", {id("b1")}, 2, {0}, true, 1, {"SaveChatMsg"}},
        {"ask, Cancel still closes", {id("b1")}, 2, {1}, true, 0, {"SaveChatMsg"}},
        {"never save", {id("b1")}, 1, {}, true, 0, {}},
        {"a group asks first", {id("b1"), id("b2")}, 0, {0}, true, 1, {"AlertMsgForChat"}},
        {"a group, Cancel keeps it open", {id("b1"), id("b2")}, 2, {1}, false, 0, {"AlertMsgForChat"}},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.name);
        parley::test::ScriptedAlerts script;
        for (int a : tc.answers)
            script.answer(a);
        world.setPreference("saveDialogIndex", tc.saveType);
        Conversation c(tc.members);
        c.chat.send(QStringLiteral("something"));
        EXPECT_EQ(c.chat.windowShouldClose(), tc.closes);
        EXPECT_EQ(c.room.saved.size(), tc.saves);
        EXPECT_EQ(script.keys(), tc.alerts);
    }
}

} // namespace
} // namespace chat::test
