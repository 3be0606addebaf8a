#pragma once

// The server's half of the session-key exchange behind a small interface, so
// that the servers do not care which crypto back end (if any) is present.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace localservice {

// One connection's key exchange and, once it succeeded, its message cipher.
// Every text in and out is the Base64 form that travels on the wire.
class KeyExchangeSession {
public:
    virtual ~KeyExchangeSession() = default;
    // The server key information sent as the NCPT body; empty on failure.
    virtual QByteArray serverKeyInfo() = 0;
    // Takes the client's key information (the PRVK body); true when a session
    // key was agreed.
    virtual bool acceptClientKey(const QByteArray &clientKeyInfo) = 0;
    // Valid only after acceptClientKey succeeded; nothing on failure.
    virtual std::optional<QByteArray> encrypt(const QByteArray &plain) = 0;
    virtual std::optional<QByteArray> decrypt(const QByteArray &cipherText) = 0;
};

class KeyExchange {
public:
    virtual ~KeyExchange() = default;
    // A new session per connection, or nullptr when no exchange is possible.
    virtual std::unique_ptr<KeyExchangeSession> newSession() = 0;
};

// A connection's key exchange opened for the NCPT answer, with the key
// information that answer carries; no session when none could be opened or it
// had nothing to offer.
struct OpenedKeyExchange {
    std::unique_ptr<KeyExchangeSession> session;
    QByteArray serverKeyInfo;
};

inline OpenedKeyExchange openKeyExchange(KeyExchange &exchange)
{
    OpenedKeyExchange opened{exchange.newSession(), {}};
    if (opened.session)
        opened.serverKeyInfo = opened.session->serverKeyInfo();
    if (opened.serverKeyInfo.isEmpty())
        opened.session.reset();
    return opened;
}

// Stands in while the crypto library's server side is missing: every
// exchange is refused, so NCPT is answered with an error.
class UnavailableKeyExchange : public KeyExchange {
public:
    std::unique_ptr<KeyExchangeSession> newSession() override { return nullptr; }
};

} // namespace localservice
