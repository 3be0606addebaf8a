#include "PLRecvWHSPPacket.h"

#include "Log.h"
#include "Utils/ParleyStringAdditions.h"

#include <stdexcept>

namespace parley {

namespace {

const QString kItemSeparator = QStringLiteral("%09");

// "<what>, (<file>, <line>)", the text of a failure raised by a parser.
std::runtime_error parserFailure(const char *what, const char *file, int line)
{
    return std::runtime_error(std::string(what) + ", (" + file + ", " + std::to_string(line) + ")");
}

} // namespace

const PLRecvWHSPPacket::TypeEntry *PLRecvWHSPPacket::typeEntry(const QString &word)
{
    static const TypeEntry entries[] = {
        {"MSG", Msg, &PLRecvWHSPPacket::packetGeneralParsing},
        {"AWAYMSG", AwayMsg, &PLRecvWHSPPacket::packetGeneralParsing},
        {"TYPING", Typing, &PLRecvWHSPPacket::packetGeneralParsing},
        {"INK", Ink, &PLRecvWHSPPacket::packetGeneralParsing},
        {"FILE", File, &PLRecvWHSPPacket::packetFileParsing},
        {"BKIMG", BkImg, &PLRecvWHSPPacket::packetBkImgParsing},
        {"DPIMG", DpImg, &PLRecvWHSPPacket::packetDpImgParsing},
        // The audio-video, address, plug-in, emoticon and keyword notices
        // carry nothing this client reads.
        {"AVCHAT", AvChat, &PLRecvWHSPPacket::packetGeneralParsing},
        {"AVCHAT2", AvChat2, &PLRecvWHSPPacket::packetGeneralParsing},
        {"AVCHAT2_REC", AvChat2Rec, &PLRecvWHSPPacket::packetGeneralParsing},
        {"ADDR", Addr, &PLRecvWHSPPacket::packetGeneralParsing},
        {"DPIREQUEST", DPIRequest, &PLRecvWHSPPacket::packetDPIRequestParsing},
        {"PLUGIN", PlugIn, &PLRecvWHSPPacket::packetGeneralParsing},
        {"EMOTICON", Emoticon, &PLRecvWHSPPacket::packetGeneralParsing},
        {"ANIMICON", Animicon, &PLRecvWHSPPacket::packetAnimiconParsing},
        {"KEYWORD", Keyword, &PLRecvWHSPPacket::packetGeneralParsing},
        {"GTCON", GTCon, nullptr},
    };
    for (const TypeEntry &entry : entries) {
        if (word == QLatin1String(entry.word))
            return &entry;
    }
    return nullptr;
}

PLRecvWHSPPacket::SubType PLRecvWHSPPacket::subTypeNumber(const QString &word)
{
    static const struct {
        const char *word;
        SubType number;
    } entries[] = {{"REQUEST", Request}, {"ACK", Ack},       {"NACK", Nack},
                   {"CANCEL", Cancel},   {"OBJECT", Object}, {"USEFLAG", UseFlag}};
    for (const auto &entry : entries) {
        if (word == QLatin1String(entry.word))
            return entry.number;
    }
    return UnknownSubType;
}

QString PLRecvWHSPPacket::dataForKey(const QString &key, int index) const
{
    return mDictData.value(key + QString::number(index));
}

void PLRecvWHSPPacket::decodeFields()
{
    if (fieldCount() <= 4) {
        mPacketType = Acknowledgement;
        return;
    }
    // Items are cut from the line as received: an escaped "%" travels as
    // "%25" and so never forms the separator.
    const QStringList items = mPacketString.split(kItemSeparator);
    const QStringList header = items.first().split(QLatin1Char(' '));
    setValue(QStringLiteral("ID"), stringByParleyDecoding(item(header, 2)));
    setValue(QStringLiteral("type"), stringByParleyDecoding(item(header, 3)));
    setValue(QStringLiteral("subType"), stringByParleyDecoding(item(header, 4)));

    const QString typeWord = value(QStringLiteral("type"));
    const QString subTypeWord = value(QStringLiteral("subType"));
    const TypeEntry *entry = typeEntry(typeWord);
    mDictData.insert(QStringLiteral("type"), typeWord);
    mPacketType = entry ? entry->number : UnknownType;
    mDictData.insert(QStringLiteral("subType"), subTypeWord);
    mPacketSubType = subTypeNumber(subTypeWord);

    // An unknown sub-type (the answer "UNKNOWN" among them) carries no data.
    if (mPacketSubType == UnknownSubType)
        return;
    if (!entry || !entry->parser) {
        markInvalid();
        return;
    }
    (this->*entry->parser)(items);
}

void PLRecvWHSPPacket::logParseError(const QString &what) const
{
    plLog(QStringLiteral("Error:PLRecvWHSPPacket parsing data error  type:%1   Message:%2")
              .arg(value(QStringLiteral("type")), what));
    plLog(QStringLiteral("Packet : %1").arg(mPacketString));
}

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
