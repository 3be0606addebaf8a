// The item parsers of the whisper decoder, one per type of notice.

#include "PLRecvWHSPPacket.h"

#include "Utils/ParleyStringAdditions.h"

#include <stdexcept>
#include <string>

namespace parley {

namespace {

// "<what>, (<file>, <line>)", the text of a failure raised by a parser.
std::runtime_error parserFailure(const char *what, const char *file, int line)
{
    return std::runtime_error(std::string(what) + ", (" + file + ", " + std::to_string(line) + ")");
}

} // namespace

void PLRecvWHSPPacket::packetGeneralParsing(const QStringList &) {}

void PLRecvWHSPPacket::packetFileParsing(const QStringList &items)
{
    const QString &count = item(items, 1);
    mDictData.insert(QStringLiteral("fileCount"), count);
    const qint32 entries = plIntValue(count);
    // A count beyond the items present fails at the first missing one.
    for (qint32 i = 0; i < entries; ++i) {
        const QStringList pieces = item(items, qsizetype(i) + 2).split(QLatin1Char('|'));
        const QString index = QString::number(i);
        if (pieces.size() == 1) {
            mDictData.insert(QStringLiteral("cookie") + index, pieces.at(0));
            continue;
        }
        mDictData.insert(QStringLiteral("fileName") + index, stringByParleyDecoding(pieces.at(0)));
        mDictData.insert(QStringLiteral("fileSize") + index, pieces.at(1));
        if (pieces.size() >= 3)
            mDictData.insert(QStringLiteral("cookie") + index, pieces.at(2));
    }
}

void PLRecvWHSPPacket::packetBkImgParsing(const QStringList &items)
{
    const QStringList parts = item(items, 1).split(QLatin1Char(' '));
    if (parts.size() != 2)
        return markInvalid();
    const QStringList pieces = parts.at(1).split(QLatin1Char('|'));
    if (pieces.size() != 3)
        return markInvalid();
    mDictData.insert(QStringLiteral("fileCount"), parts.at(0));
    mDictData.insert(QStringLiteral("fileName"), stringByParleyDecoding(pieces.at(0)));
    mDictData.insert(QStringLiteral("fileSize"), pieces.at(1));
    mDictData.insert(QStringLiteral("cookie"), pieces.at(2));
}

void PLRecvWHSPPacket::packetDpImgParsing(const QStringList &items)
{
    if (mPacketSubType == Nack)
        mDictData.insert(QStringLiteral("cookie"), item(items, 1));
    else if (mPacketSubType != Request)
        markInvalid();
}

void PLRecvWHSPPacket::packetDPIRequestParsing(const QStringList &items)
{
    mDictData.insert(QStringLiteral("index"), item(items, 1));
}

void PLRecvWHSPPacket::packetAnimiconParsing(const QStringList &items)
{
    if (mPacketSubType == Ack || mPacketSubType == Nack)
        return;
    if (mPacketSubType != Object)
        throw parserFailure("Unknown Subtype", __FILE__, __LINE__);
    if (items.size() != 2)
        throw parserFailure("Invalid Parameter", __FILE__, __LINE__);
    // Kept escaped: the consumer passes the object through as it came.
    mDictData.insert(QStringLiteral("animicon"), items.at(1));
}

} // namespace parley
