#pragma once

// Recording stand-ins for what the chat-session manager calls: the room's
// receiver, the chat windows' manager, the buddy display string, the bridge
// page and the file-transfer manager; and the client's half of the service's
// mirror cipher.

#include "ChatManagement/BridgePageInterface.h"
#include "ChatManagement/BuddyStringInterface.h"
#include "ChatManagement/ChatManagerInterface.h"
#include "ChatManagement/PLChatMessageProtocol.h"
#include "ChatManagement/PLChatFileTransferInterface.h"
#include "Sessions/PLChatCrypto.h"

#include <QHash>
#include <QList>
#include <QUrl>
#include <QPair>
#include <QStringList>
#include <QVariantMap>
#include <algorithm>
#include <optional>

namespace parley::test {

using Call = QPair<QString, QVariantMap>;

class RecordingReceiver : public PLChatMessageProtocol
{
public:
    void messageReceived(const QVariantMap &info) override { calls.append({QStringLiteral("messageReceived"), info}); }
    void awayMessageReceived(const QVariantMap &info) override { calls.append({QStringLiteral("awayMessageReceived"), info}); }
    void typingInfoReceived(const QVariantMap &info) override { calls.append({QStringLiteral("typingInfoReceived"), info}); }
    void animiconReceived(const QVariantMap &info) override { calls.append({QStringLiteral("animiconReceived"), info}); }
    void userInfoReceived(const QVariantMap &info) override { calls.append({QStringLiteral("userInfoReceived"), info}); }
    void userJoined(const QVariantMap &info) override { calls.append({QStringLiteral("userJoined"), info}); }
    void userQuited(const QVariantMap &info) override { calls.append({QStringLiteral("userQuited"), info}); }
    void ackAnimicon(const QVariantMap &info) override { calls.append({QStringLiteral("ackAnimicon"), info}); }
    void messagesUndelivered(const QVariantMap &info) override { calls.append({QStringLiteral("messagesUndelivered"), info}); }

    QList<QVariantMap> named(const QString &name) const
    {
        QList<QVariantMap> found;
        for (const Call &call : calls)
            if (call.first == name)
                found.append(call.second);
        return found;
    }
    // The texts of the chat messages received, in order.
    QStringList messages() const
    {
        QStringList texts;
        for (const QVariantMap &info : named(QStringLiteral("messageReceived")))
            texts.append(info.value(QStringLiteral("message")).toString());
        return texts;
    }

    QList<Call> calls;
};

class RecordingChatWindows : public ChatManagerInterface
{
public:
    bool chatDocumentForBuddyIDs(const QStringList &buddyIDs) override
    {
        asked.append(buddyIDs);
        QStringList sorted = buddyIDs;
        std::sort(sorted.begin(), sorted.end());
        return openWindows.contains(sorted);
    }
    QString getChatText(const QString &sessionKey) override { return chatTexts.value(sessionKey); }
    void openChatRoom(const QStringList &buddyIDs) override { openedRooms.append(buddyIDs); }
    void openChatRoomWithFileTransfer(const QStringList &buddyIDs, const QStringList &files,
                                      const QString &toUser) override
    {
        fileTransfers.append({buddyIDs, files, toUser});
    }

    struct FileTransfer {
        QStringList buddyIDs;
        QStringList files;
        QString toUser;
    };
    QList<QStringList> openWindows; // each sorted
    QHash<QString, QString> chatTexts;
    QList<QStringList> asked;
    QList<QStringList> openedRooms;
    QList<FileTransfer> fileTransfers;
};

class RecordingBuddyString : public BuddyStringInterface
{
public:
    QString buddyStringWithBuddy(const PLBuddy &buddy) override { return QStringLiteral("[%1]").arg(buddy.name()); }
};

class RecordingBridgePage : public BridgePageInterface
{
public:
    QString urlencode(const QString &text) override { return QString::fromLatin1(QUrl::toPercentEncoding(text)); }
    QString reportPageUrl(const QString &parameter) override
    {
        parameters.append(parameter);
        return QStringLiteral("https://report.parley.test/?p=") + parameter;
    }
    QStringList parameters;
};

class RecordingFileTransfer : public PLChatFileTransferInterface
{
public:
    void downloadRequestReceived(const QVariantMap &offer) override { offers.append(offer); }
    void downloadCancelled(const QString &cookie) override { cancelled.append(cookie); }
    void uploadRejected(const QString &cookie) override { rejected.append(cookie); }

    QList<QVariantMap> offers;
    QStringList cancelled;
    QStringList rejected;
};

// The client's half of the service's mirror cipher: the key is agreed when the
// server's key information is the mirror's, and a text is enciphered as the
// Base64 of its reversed UTF-8 bytes.
class MirrorChatCrypto : public PLChatCrypto
{
public:
    enum class Mode { Agree, RefuseCertificate, NoContext, EchoPlain };

    static QByteArray serverKey() { return QByteArrayLiteral("U0VSVkVSLUtFWQ=="); }
    static QString clientKey() { return QStringLiteral("Q0xJRU5ULUtFWQ=="); }
    static QString encipher(const QString &text)
    {
        QByteArray bytes = text.toUtf8();
        std::reverse(bytes.begin(), bytes.end());
        return QString::fromLatin1(bytes.toBase64());
    }

    std::optional<QVariantMap> encryptSessionKey(const QByteArray &publicKey, bool isChat) override
    {
        offered.append(publicKey);
        switch (mode) {
        case Mode::NoContext: return std::nullopt;
        case Mode::RefuseCertificate: return QVariantMap{{QStringLiteral("chat"), isChat}, {QStringLiteral("error"), -1}};
        default: break;
        }
        if (publicKey != serverKey())
            return QVariantMap{{QStringLiteral("chat"), isChat}, {QStringLiteral("error"), -1}};
        return QVariantMap{{QStringLiteral("size"), 128}, {QStringLiteral("value"), clientKey()}};
    }
    QString enCryptMessage(const QString &text, const QString &sessionKey) override
    {
        if (sessionKey != clientKey())
            return {};
        return mode == Mode::EchoPlain ? text : encipher(text);
    }
    std::optional<QString> deCryptMessage(const QString &text, const QString &sessionKey) override
    {
        if (sessionKey != clientKey())
            return std::nullopt;
        if (mode == Mode::EchoPlain)
            return text; // what a cipher that cannot decrypt hands back
        const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return std::nullopt;
        QByteArray bytes = decoded.decoded;
        std::reverse(bytes.begin(), bytes.end());
        return QString::fromUtf8(bytes);
    }
    void clearSessionDicForSSK(const QString &sessionKey) override { cleared.append(sessionKey); }

    Mode mode = Mode::Agree;
    QList<QByteArray> offered;
    QStringList cleared;
};

} // namespace parley::test
