// The lines that sessions write directly: exact bytes, and refusal of any
// value that would add fields or commands.

#include "Packet/PLRawLines.h"
#include "Packet/PLRecvATHCPacket.h"
#include "RecvPacketTestSupport.h"
#include "TestSupport.h"

#include <functional>

using namespace parley;
using namespace parley::test::recv;

TEST(RawLines, ExactBytes)
{
    const struct {
        const char *name;
        QByteArray line;
        QByteArray bytes;
    } cases[] = {
        {"ATHC direct", PLRawLines::athcRequestLine(7, QStringLiteral("me"), QStringLiteral("peer"), QStringLiteral("c1"), 6004),
         "ATHC 7 me peer c1 6004 0\r\n"},
        {"ATHC relayed",
         PLRawLines::athcRelayRequestLine(7, QStringLiteral("me"), QStringLiteral("peer"), QStringLiteral("c1"),
                                          QStringLiteral("r9"), 6004),
         "ATHC 7 me peer c1 r9 6004 0\r\n"},
        {"FRIN", PLRawLines::frinLine(8, QStringLiteral("peer"), QStringLiteral("r9")), "FRIN 8 peer r9\r\n"},
        {"REFR", PLRawLines::refrLine(12, QStringLiteral("buddy@x.com")), "REFR 12 buddy@x.com\r\n"},
        {"RCON", PLRawLines::rconLine(1, QStringLiteral("dp.example.net"), 5004), "RCON 1 dp.example.net 5004\r\n"},
        {"PONG", PLRawLines::pongLine(31), "PONG 31\r\n"},
        {"PONG negative tid", PLRawLines::pongLine(-2), "PONG -2\r\n"},
        {"FILE ENDRES", PLRawLines::fileEndresLine(6), "FILE 6 ENDRES 0\r\n"},
        // Values go as they are: non-ASCII as UTF-8, "%" unescaped.
        {"REFR non-ASCII", PLRawLines::refrLine(1, QStringLiteral("한%")), "REFR 1 \xED\x95\x9C%\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.line, c.bytes);
    }
}

TEST(RawLines, RefuseValuesThatWouldInjectFieldsOrCommands)
{
    using Formatter = std::function<QByteArray(const QString &)>;
    const QString ok = QStringLiteral("v");
    const struct {
        const char *name;
        Formatter format;
    } formatters[] = {
        {"ATHC from", [&](const QString &v) { return PLRawLines::athcRequestLine(1, v, ok, ok, 6004); }},
        {"ATHC target", [&](const QString &v) { return PLRawLines::athcRequestLine(1, ok, v, ok, 6004); }},
        {"ATHC cookie", [&](const QString &v) { return PLRawLines::athcRequestLine(1, ok, ok, v, 6004); }},
        {"relayed ATHC from", [&](const QString &v) { return PLRawLines::athcRelayRequestLine(1, v, ok, ok, ok, 6004); }},
        {"relayed ATHC target", [&](const QString &v) { return PLRawLines::athcRelayRequestLine(1, ok, v, ok, ok, 6004); }},
        {"relayed ATHC cookie", [&](const QString &v) { return PLRawLines::athcRelayRequestLine(1, ok, ok, v, ok, 6004); }},
        {"relayed ATHC relay cookie",
         [&](const QString &v) { return PLRawLines::athcRelayRequestLine(1, ok, ok, ok, v, 6004); }},
        {"FRIN target", [&](const QString &v) { return PLRawLines::frinLine(1, v, ok); }},
        {"FRIN relay cookie", [&](const QString &v) { return PLRawLines::frinLine(1, ok, v); }},
        {"REFR", [&](const QString &v) { return PLRawLines::refrLine(1, v); }},
        {"RCON", [&](const QString &v) { return PLRawLines::rconLine(1, v, 80); }},
    };
    const QString hostile[] = {
        QString(),
        QLatin1String(""),
        QStringLiteral("a b"),
        QStringLiteral("peer\r\nKILL 0"),
        QStringLiteral("x\r"),
        QStringLiteral("\ny"),
        QStringLiteral("a\tb"),
        QString::fromLatin1("a\0b", 3),
        QStringLiteral(" "),
    };
    for (const auto &f : formatters) {
        SCOPED_TRACE(f.name);
        ASSERT_FALSE(f.format(ok).isNull());
        for (const QString &value : hostile) {
            SCOPED_TRACE(value.toStdString());
            EXPECT_TRUE(f.format(value).isNull());
        }
    }
}

TEST(RawLines, RelayedATHCRequestDecodesAsTheReceiverReadsIt)
{
    QByteArray line = PLRawLines::athcRelayRequestLine(5, QStringLiteral("u1"), QStringLiteral("u2"),
                                                       QStringLiteral("k1"), QStringLiteral("r1"), 6004);
    line.chop(2);
    auto packet = decodeAs<PLRecvATHCPacket>(QString::fromUtf8(line));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->type(), PLRecvATHCPacket::Request);
    EXPECT_EQ(packet->fromID(), QStringLiteral("u1"));
    EXPECT_EQ(packet->p2pFRCookie(), QStringLiteral("k1"));
    EXPECT_EQ(packet->p2pFRAuthCookie(), QStringLiteral("r1"));
    EXPECT_EQ(packet->p2pNegoListenPort(), 6004);
}
