#include "Log.h"
#include "Packet/PLRecvERRPacket.h"
#include "Packet/PLRecvPINGPacket.h"
#include "Packet/PLRecvPacketBuilder.h"
#include "Packet/PLSendPacket.h"

#include <gtest/gtest.h>

using namespace parley;

namespace {

QStringList gLogged;
void captureLog(const QString &line) { gLogged.append(line); }

// A body-carrying command as the command classes write them.
class BodyPacket : public PLSendPacket
{
public:
    QString field = QStringLiteral("%00");
    QString body;

protected:
    bool composeParams() override
    {
        mParams.clear();
        mParams << field;
        appendBody(body);
        return true;
    }
};

// An enciphering command whose key is missing.
class NoKeyPacket : public PLSendPacket
{
protected:
    bool composeParams() override { return false; }
};

} // namespace

TEST(SendPacket, WritesCommandTidAndEscapedParameters)
{
    PLSendPacket packet(7);
    packet.setCommand(QStringLiteral("GLST"));
    packet.setMParams({QStringLiteral("a b"), QString(), QStringLiteral("%00"), QStringLiteral("50%")});
    EXPECT_EQ(packet.packetString(), QStringLiteral("GLST 7 a%20b %00 %00 50%25\r\n"));
    // Nothing is cached: a second call gives the same line.
    EXPECT_EQ(packet.data(), QByteArray("GLST 7 a%20b %00 %00 50%25\r\n"));
}

TEST(SendPacket, NegativeTidAndNoParameters)
{
    PLSendPacket packet;
    packet.setCommand(QStringLiteral("LOUT"));
    EXPECT_EQ(packet.data(), QByteArray("LOUT 0\r\n"));
    packet.setTID(-3);
    EXPECT_EQ(packet.data(), QByteArray("LOUT -3\r\n"));
}

TEST(SendPacket, BodyLengthCountsTheBytesSent)
{
    const struct {
        QString body;
        QByteArray wire;
    } cases[] = {
        {QStringLiteral("a=1\r\n"), QByteArray("TEST 1 x 5\r\na=1\r\n")},
        {QString::fromUtf8("한글"), QByteArray("TEST 1 x 6\r\n\xed\x95\x9c\xea\xb8\x80")},
        {QString(QStringLiteral("a%1b")).arg(QChar(0)), QByteArray("TEST 1 x 3\r\na\0b", 15)},
        {QString(), QByteArray("TEST 1 x 0\r\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.wire.toHex().toStdString());
        BodyPacket packet;
        packet.setTID(1);
        packet.setCommand(QStringLiteral("TEST"));
        packet.field = QStringLiteral("x");
        packet.body = c.body;
        // The body is not escaped, the fields are.
        EXPECT_EQ(packet.data(), c.wire);
    }
}

TEST(SendPacket, APacketThatCannotComposeProducesNoLine)
{
    NoKeyPacket packet;
    packet.setCommand(QStringLiteral("LSIN"));
    EXPECT_TRUE(packet.packetString().isNull());
    EXPECT_TRUE(packet.data().isNull());
}

TEST(RecvBuilder, DecodesKnownWordsAndErrorReplies)
{
    auto ping = PLRecvPacketBuilder::setPacketString(QStringLiteral("PING 5"));
    ASSERT_NE(ping, nullptr);
    EXPECT_NE(dynamic_cast<PLRecvPINGPacket *>(ping.get()), nullptr);
    EXPECT_EQ(ping->command(), QStringLiteral("PING"));
    EXPECT_EQ(ping->tID(), 5);
    EXPECT_TRUE(ping->isValid());
    EXPECT_EQ(ping->packetString(), QStringLiteral("PING 5"));
}

TEST(RecvBuilder, ErrorReplies)
{
    const struct {
        const char *line;
        int code;
        const char *tid;
        const char *subCode; // nullptr: absent
        const char *message; // nullptr: absent
    } cases[] = {
        {"301 12", 301, "12", nullptr, nullptr},
        {"911 0 2 Server%20busy", 911, "0", "2", "Server busy"},
        {"911 0 2 Server%20busy extra ignored", 911, "0", "2", "Server busy"},
        {"-5 3 x", -5, "3", "x", nullptr},
        {"911 0  x", 911, "0", "", "x"}, // two spaces: an empty field keeps its position
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        auto packet = PLRecvPacketBuilder::setPacketString(QString::fromUtf8(c.line));
        ASSERT_NE(packet, nullptr);
        auto *error = dynamic_cast<PLRecvERRPacket *>(packet.get());
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->command(), QStringLiteral("ERR"));
        EXPECT_EQ(error->tID(), 0);
        EXPECT_TRUE(error->isValid());
        EXPECT_EQ(error->errCode(), c.code);
        EXPECT_EQ(error->errTID(), QString::fromUtf8(c.tid));
        EXPECT_EQ(error->errSubCode().isNull(), c.subCode == nullptr);
        if (c.subCode) {
            EXPECT_EQ(error->errSubCode(), QString::fromUtf8(c.subCode));
        }
        EXPECT_EQ(error->errMessage().isNull(), c.message == nullptr);
        if (c.message) {
            EXPECT_EQ(error->errMessage(), QString::fromUtf8(c.message));
        }
        EXPECT_EQ(error->packetString(), QString::fromUtf8(c.line));
    }
}

TEST(RecvBuilder, AnErrorReplyWithoutTidIsInvalidAndLogged)
{
    gLogged.clear();
    setLogSink(captureLog);
    auto packet = PLRecvPacketBuilder::setPacketString(QStringLiteral("500"));
    setLogSink(nullptr);
    ASSERT_NE(packet, nullptr);
    EXPECT_FALSE(packet->isValid());
    EXPECT_EQ(packet->intValue(QStringLiteral("errCode")), 500);
    ASSERT_EQ(gLogged.size(), 1);
    EXPECT_TRUE(gLogged.first().startsWith(QStringLiteral("Error: PLRecvERRPacket parsing error   Message:")));
    EXPECT_TRUE(gLogged.first().endsWith(QStringLiteral(" \nPacket String: 500")));
}

TEST(RecvBuilder, UnknownAndNonNumericWordsAreDropped)
{
    for (const char *line : {"0 12", "ABCD 1", "list 1", "ping 1", "", " PING 1", "PING"}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(PLRecvPacketBuilder::setPacketString(QString::fromUtf8(line)), nullptr);
    }
    EXPECT_EQ(PLRecvPacketBuilder::setPacketString(QString()), nullptr);
}

TEST(RecvBuilder, NonNumericTidReadsAsZero)
{
    auto packet = PLRecvPacketBuilder::setPacketString(QStringLiteral("PING abc"));
    ASSERT_NE(packet, nullptr);
    EXPECT_EQ(packet->tID(), 0);
}

TEST(RecvBuilder, RecvPacketForCommandMakesFreshInstances)
{
    PLRecvPacketBuilder &builder = PLRecvPacketBuilder::sharedRecvPacketBuilder();
    EXPECT_EQ(&builder, &PLRecvPacketBuilder::sharedRecvPacketBuilder());
    auto a = builder.recvPacketForCommand(QStringLiteral("PING"));
    auto b = builder.recvPacketForCommand(QStringLiteral("PING"));
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a.get(), b.get());
    EXPECT_FALSE(a->isValid());
    EXPECT_EQ(builder.recvPacketForCommand(QStringLiteral("ERR")), nullptr);
    EXPECT_EQ(builder.recvPacketForCommand(QStringLiteral("LOUT")), nullptr);
}

TEST(RecvBuilder, RemoveEmptyStrings)
{
    const QStringList in{QString(), QStringLiteral("a"), QLatin1String(""), QStringLiteral("b"), QLatin1String("")};
    EXPECT_EQ(PLRecvPacketBuilder::removeEmptyStringWithArray(in), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_TRUE(PLRecvPacketBuilder::removeEmptyStringWithArray({}).isEmpty());
}

// A packet lets go of its line before it reads the next one, so as to reuse
// its buffer: its own line given back to it must still read whole.
TEST(RecvPacket, ReadsItsOwnLineAgain)
{
    const QString line = QStringLiteral("GLST 3 0 1 Y 7 n%20m 0");
    auto packet = PLRecvPacketBuilder::setPacketString(QString(line.constData(), line.size()));
    ASSERT_TRUE(packet && packet->isValid());
    packet->setParams(packet->packetString());
    EXPECT_TRUE(packet->isValid());
    EXPECT_EQ(packet->packetString(), line);
    EXPECT_EQ(packet->command(), QStringLiteral("GLST"));
    EXPECT_EQ(packet->value(QStringLiteral("groupName")), QStringLiteral("n m"));
}
