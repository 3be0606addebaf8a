// Arbitrary bytes from a switchboard, after entering a room, through the
// switchboard session and the chat-session manager that handles its events.
// Built twice: plain, and (FUZZ_ENCRYPTED) with the bytes also arriving inside
// a valid envelope of an encrypted room.

#include "ChatManagement/PLChatSessionManager.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "Sessions/PLChatCrypto.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace parley;

namespace {

// A transparent cipher: Base64 of the reversed bytes.
class MirrorCrypto : public PLChatCrypto
{
public:
    static QString encipher(const QByteArray &plain)
    {
        QByteArray bytes = plain;
        std::reverse(bytes.begin(), bytes.end());
        return QString::fromLatin1(bytes.toBase64());
    }
    std::optional<QVariantMap> encryptSessionKey(const QByteArray &, bool) override
    {
        return QVariantMap{{QStringLiteral("value"), QStringLiteral("KEY")}};
    }
    QString enCryptMessage(const QString &text, const QString &) override { return encipher(text.toUtf8()); }
    std::optional<QString> deCryptMessage(const QString &text, const QString &) override
    {
        const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return std::nullopt;
        QByteArray bytes = decoded.decoded;
        std::reverse(bytes.begin(), bytes.end());
        return QString::fromUtf8(bytes);
    }
    void clearSessionDicForSSK(const QString &) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = [] {
        setLogSink([](const QString &) {});
        return new QCoreApplication(argc, argv);
    }();
    (void)app;
    static NotificationCenter center;
    static MirrorCrypto crypto;
    static PLChatSessionManager manager(center);
    static const bool configured = [] {
        manager.setCrypto(&crypto);
        manager.setIdentityProvider([] { return PLChatIdentity{QStringLiteral("me"), {}}; });
        manager.setRelayInfoProvider([] { return QVariantMap(); });
        return true;
    }();
    (void)configured;

    const QString key = QStringLiteral("room");
    manager.reset();
    // Port 0: the room exists but never connects, so nothing leaves.
    manager.invitedToChat({{QStringLiteral("ip"), QStringLiteral("127.0.0.1")},
                           {QStringLiteral("key"), key},
                           {QStringLiteral("port"), 0}});
    PLChatSessionInfo *room = manager.sessionInfo(key);
    if (!room || !room->session())
        return 0;
    PLSSSession *session = room->session();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
#ifdef FUZZ_ENCRYPTED
    session->setEncrypted(true);
    session->setEncryptKey(QStringLiteral("KEY"));
    session->dataReceived("ENTR 1\r\n");
    const QByteArray body = MirrorCrypto::encipher(bytes).toLatin1();
    session->dataReceived("CRPT 2 " + QByteArray::number(body.size()) + "\r\n" + body);
    // The room may have closed itself on what it read.
    room = manager.sessionInfo(key);
    if (room && room->session())
        room->session()->dataReceived(bytes);
#else
    session->dataReceived("ENTR 1\r\n");
    session->dataReceived(bytes);
#endif
    manager.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
