#pragma once

// What every command test of this binary shares: decoding a line through the
// builder, as a given class, and a capture of the log.

#include "Log.h"
#include "Packet/PLRecvPacketBuilder.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>
#include <string>

namespace parley::test {

inline std::unique_ptr<PLRecvPacket> decodeLine(const QString &line)
{
    return PLRecvPacketBuilder::setPacketString(line);
}

inline std::unique_ptr<PLRecvPacket> decodeLine(const char *line)
{
    return decodeLine(QString::fromUtf8(line));
}

// Decodes a line that must yield a packet of class `Packet`; throws (which
// fails the test) when it does not.
template <typename Packet>
std::unique_ptr<Packet> decodeAs(const QString &line)
{
    auto packet = decodeLine(line);
    auto *typed = dynamic_cast<Packet *>(packet.get());
    if (!typed)
        throw std::runtime_error("not decoded to the expected class: " + line.toStdString());
    packet.release();
    return std::unique_ptr<Packet>(typed);
}

template <typename Packet>
std::unique_ptr<Packet> decodeAs(const char *line)
{
    return decodeAs<Packet>(QString::fromUtf8(line));
}

// Collects every logged line while alive.
class LogCapture
{
public:
    LogCapture()
    {
        lines().clear();
        setLogSink([](const QString &line) { lines().append(line); });
    }
    ~LogCapture() { setLogSink(nullptr); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    static QStringList &lines()
    {
        static QStringList captured;
        return captured;
    }
    static QString all() { return lines().join(QLatin1Char('\n')); }
    bool contains(const QString &text) const
    {
        for (const QString &line : lines())
            if (line.contains(text))
                return true;
        return false;
    }
};

} // namespace parley::test
