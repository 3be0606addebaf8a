#pragma once

// Shared pieces of the command tests: expected field tables, encode tables
// and an encipherer double.

#include "PacketTestSupport.h"
#include "Packet/PLEncipherer.h"
#include "Packet/PLSendPacket.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace parley::test {

using FieldList = std::vector<std::pair<const char *, const char *>>;

inline QHash<QString, QString> fieldHash(const FieldList &fields)
{
    QHash<QString, QString> hash;
    for (const auto &[name, value] : fields)
        hash.insert(QString::fromUtf8(name), QString::fromUtf8(value));
    return hash;
}

// The first `count` entries of a field list (a line cut short keeps those).
inline FieldList firstFields(const FieldList &fields, std::size_t count)
{
    return FieldList(fields.begin(), fields.begin() + std::min(count, fields.size()));
}

// A received line, whether it decodes valid, and every named field it must
// yield (no more, no fewer).
struct DecodeCase {
    const char *line;
    bool valid;
    FieldList fields;
};

inline void PrintTo(const DecodeCase &c, std::ostream *os)
{
    *os << '"' << c.line << '"';
}

// Decodes the case's line and checks validity and the exact field table;
// answers the packet for further checks.
inline std::unique_ptr<PLRecvPacket> expectDecodes(const DecodeCase &c)
{
    SCOPED_TRACE(c.line);
    auto packet = decodeLine(c.line);
    EXPECT_NE(packet, nullptr);
    if (!packet)
        return packet;
    EXPECT_EQ(packet->isValid(), c.valid);
    EXPECT_EQ(packet->packetString(), QString::fromUtf8(c.line));
    const QHash<QString, QString> expected = fieldHash(c.fields);
    EXPECT_EQ(packet->dictParams(), expected)
        << "fields: " << QStringList(packet->dictParams().keys()).join(u',').toStdString();
    return packet;
}

// A packet built by `make` and the exact bytes it must write (null: no line).
struct EncodeCase {
    const char *name;
    std::function<std::unique_ptr<PLSendPacket>()> make;
    QByteArray bytes;
};

inline void PrintTo(const EncodeCase &c, std::ostream *os)
{
    *os << c.name;
}

inline void expectEncodes(const EncodeCase &c)
{
    SCOPED_TRACE(c.name);
    auto packet = c.make();
    const QByteArray first = packet->data();
    EXPECT_EQ(first, c.bytes);
    EXPECT_EQ(first.isNull(), c.bytes.isNull());
    EXPECT_EQ(packet->packetString().isNull(), c.bytes.isNull());
    // Serialising again gives the same bytes.
    EXPECT_EQ(packet->data(), first);
}

template <typename Packet>
std::unique_ptr<PLSendPacket> sendPacket(qint32 tid, const std::function<void(Packet &)> &fill = {})
{
    auto packet = std::make_unique<Packet>(tid);
    if (fill)
        fill(*packet);
    return packet;
}

// Enciphers as "E(key)<text>" so that tests see what was enciphered under which
// key; with `fails` set it yields nothing. Installed while alive.
class FakeEncipherer : public PLEncipherer
{
public:
    FakeEncipherer() { PLEncipherer::setShared(this); }
    ~FakeEncipherer() override { PLEncipherer::setShared(nullptr); }
    QString enCryptMessage(const QString &text, const QString &sessionKey) override
    {
        ++calls;
        if (fails)
            return QString();
        return QStringLiteral("E(") + sessionKey + QStringLiteral(")") + text;
    }
    bool fails = false;
    int calls = 0;
};

// Fixtures of the per-command tables; each test file names its own alias.
class EncodeTableTest : public ::testing::TestWithParam<EncodeCase>
{
};

class DecodeTableTest : public ::testing::TestWithParam<DecodeCase>
{
protected:
    LogCapture log;
};

// Checks that each word decodes to its own class.
template <typename Packet>
void expectWordDecodesTo(const char *word)
{
    SCOPED_TRACE(word);
    auto packet = decodeLine((QByteArray(word) + " 1").constData());
    ASSERT_NE(packet, nullptr);
    EXPECT_NE(dynamic_cast<Packet *>(packet.get()), nullptr);
    EXPECT_EQ(packet->command(), QString::fromLatin1(word));
    EXPECT_EQ(packet->tID(), 1);
}

} // namespace parley::test
