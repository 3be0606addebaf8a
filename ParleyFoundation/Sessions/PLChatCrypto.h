#pragma once

// What a chat room needs of the crypto glue: a session key made for the
// switchboard's public key, and the message cipher of that key. The glue that
// signs in implements it; tests give a transparent one.

#include <QString>
#include <QVariantMap>
#include <optional>

namespace parley {

class PLChatCrypto
{
public:
    virtual ~PLChatCrypto() = default;

    // Makes a new session key for the server's key information and remembers
    // it. {"size", "value" = the encrypted key as text} on success (the value
    // is also the handle of the key); {"chat", "error" = -1} when the server's
    // certificate was refused; nothing when no crypto context could be made.
    virtual std::optional<QVariantMap> encryptSessionKey(const QByteArray &publicKey, bool isChat) = 0;
    // The text enciphered under the key; a null string when it cannot be.
    virtual QString enCryptMessage(const QString &text, const QString &sessionKey) = 0;
    // The deciphered text; nothing when the text does not decipher.
    virtual std::optional<QString> deCryptMessage(const QString &text, const QString &sessionKey) = 0;
    // Forgets the key.
    virtual void clearSessionDicForSSK(const QString &sessionKey) = 0;
};

} // namespace parley
