#include "PLRecvWHSPPacket.h"

#include "Log.h"
#include "Utils/ParleyStringAdditions.h"

namespace parley {

namespace {
const QString kItemSeparator = QStringLiteral("%09");
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

} // namespace parley
