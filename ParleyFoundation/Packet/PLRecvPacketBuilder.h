#pragma once

// The receive side's entry point: a header line becomes the packet object of
// its command word, or an error reply for a numeric word.

#include "PLRecvPacket.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

namespace parley {

class PLRecvPacketBuilder
{
public:
    // The one instance, created (thread-safely) on first use.
    static PLRecvPacketBuilder &sharedRecvPacketBuilder();

    // Decodes one header line without its CR LF. Null for a null line, a word
    // that is neither known nor numeric, or a known word without a tid field.
    static std::unique_ptr<PLRecvPacket> setPacketString(const QString &line);
    // The same, decoding into `spare` (a packet handed back after its handler
    // was done) when it is reusable and of the line's word: bulk lines then
    // cost no new packet each.
    static std::unique_ptr<PLRecvPacket> setPacketString(const QString &line, std::unique_ptr<PLRecvPacket> spare);

    // A new, empty packet of the word's class; null for an unknown word.
    std::unique_ptr<PLRecvPacket> recvPacketForCommand(const QString &word) const;
    bool hasCommand(const QString &word) const { return mDictRecvPacket.contains(word); }
    qsizetype commandCount() const { return mDictRecvPacket.size(); }

    // A copy with every empty string removed (not used on the receive path:
    // empty fields keep their positions there).
    static QStringList removeEmptyStringWithArray(const QStringList &list);

    PLRecvPacketBuilder(const PLRecvPacketBuilder &) = delete;
    PLRecvPacketBuilder &operator=(const PLRecvPacketBuilder &) = delete;

private:
    PLRecvPacketBuilder();
    // Fills the word table if it is still empty.
    void loadPLRecvPacketClassObjectList();

    using Factory = std::unique_ptr<PLRecvPacket> (*)();
    template <typename Packet>
    void add(const char *word)
    {
        addFactory(QString::fromLatin1(word), [] { return std::unique_ptr<PLRecvPacket>(new Packet); });
    }
    void addFactory(const QString &word, Factory factory);

    // A four-letter word, every command's length, packed into a number: the
    // line's word is looked up without making a string of it.
    static quint64 packedWord(QStringView word);
    struct Entry {
        QString word;
        Factory factory = nullptr;
    };
    // A new packet of the word's class with the word as its command; null
    // for an unknown word.
    std::unique_ptr<PLRecvPacket> packetForWord(QStringView word) const;

    QHash<QString, Factory> mDictRecvPacket;
    QHash<quint64, Entry> mFourLetterWords;
};

} // namespace parley
