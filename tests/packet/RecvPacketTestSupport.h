#pragma once

// Helpers for the command tables: compare the decoded fields exactly and
// check the parse-failure log. Kept in a namespace of their own so that other
// test helpers of this binary may use the same short names.

#include "PacketTestSupport.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

namespace parley::test::recv {

using parley::test::decodeAs;
using parley::test::LogCapture;

using Fields = std::map<std::string, std::string>;

// The decoded fields as a sorted map, so that one comparison shows every
// missing, extra or wrong field.
inline Fields fieldsOf(const PLRecvPacket &packet)
{
    Fields fields;
    for (auto it = packet.dictParams().cbegin(); it != packet.dictParams().cend(); ++it)
        fields[it.key().toStdString()] = it.value().toStdString();
    return fields;
}

// Whether the common parse-failure line of a decoder was logged.
inline bool parseErrorLogged()
{
    return LogCapture::all().contains(QLatin1String("parsing error   Message:"));
}

} // namespace parley::test::recv

namespace parley::test::recv {

// One row of a decode table: the line, whether the packet comes out valid,
// every field it must hold (no more), and whether the common parse-failure
// line is logged.
struct DecodeCase {
    const char *line;
    bool valid;
    Fields fields;
    bool logged = false;
};

// Decodes the row's line as Packet and checks validity, fields and log; the
// packet is returned for the class's own accessors.
template <typename Packet>
std::unique_ptr<Packet> checkDecode(const DecodeCase &row)
{
    LogCapture log;
    std::unique_ptr<Packet> packet = decodeAs<Packet>(QString::fromUtf8(row.line));
    if (!packet)
        return nullptr;
    EXPECT_EQ(packet->isValid(), row.valid);
    EXPECT_EQ(fieldsOf(*packet), row.fields);
    EXPECT_EQ(parseErrorLogged(), row.logged) << LogCapture::all().toStdString();
    return packet;
}

} // namespace parley::test::recv
