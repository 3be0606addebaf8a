#pragma once

#include "PLRecvPacket.h"

namespace parley {

// A typed side-channel notice from one room member to another (file offers,
// animated emoticons, typing and the like). After the header, data items are
// introduced by an escaped TAB ("%09"); each type has its own item parser.
class PLRecvWHSPPacket : public PLRecvPacket
{
public:
    enum PacketType {
        UnknownType = 0,
        Acknowledgement = 1,
        Msg,
        AwayMsg,
        Typing,
        Ink,
        File,
        BkImg,
        DpImg,
        AvChat,
        AvChat2,
        AvChat2Rec,
        Addr,
        DPIRequest,
        PlugIn,
        Emoticon,
        Animicon,
        Keyword,
        GTCon
    };
    enum SubType { UnknownSubType = 0, Request = 1, Ack, Nack, Cancel, Object, UseFlag };

    qint32 packetType() const { return mPacketType; }
    qint32 packetSubType() const { return mPacketSubType; }
    QString ID() const { return value(QStringLiteral("ID")); }
    // The sub-type word as received.
    QString msg() const { return value(QStringLiteral("subType")); }
    // A parsed data item; null when absent.
    QString dataForKey(const QString &key) const { return mDictData.value(key); }
    // A per-entry item, such as "cookie" with index 0 for "cookie0".
    QString dataForKey(const QString &key, int index) const;
    const QHash<QString, QString> &dictData() const { return mDictData; }

protected:
    void decodeFields() override;
    void logParseError(const QString &what) const override;

private:
    using Parser = void (PLRecvWHSPPacket::*)(const QStringList &items);
    struct TypeEntry {
        const char *word;
        PacketType number;
        Parser parser;
    };
    static const TypeEntry *typeEntry(const QString &word);
    static SubType subTypeNumber(const QString &word);

    // Each takes the data items (item 0 is the header) and leaves the packet
    // valid, or marks it invalid, or throws for a logged failure.
    void packetGeneralParsing(const QStringList &items);
    void packetFileParsing(const QStringList &items);
    void packetBkImgParsing(const QStringList &items);
    void packetDpImgParsing(const QStringList &items);
    void packetDPIRequestParsing(const QStringList &items);
    void packetAnimiconParsing(const QStringList &items);

    qint32 mPacketType = UnknownType;
    qint32 mPacketSubType = UnknownSubType;
    QHash<QString, QString> mDictData;
};

} // namespace parley
