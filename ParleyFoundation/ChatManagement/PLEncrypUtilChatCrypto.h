#pragma once

// Chat rooms' cipher on the client's crypto glue (PLEncrypUtil::shared()).

#include "Sessions/PLChatCrypto.h"

namespace parley {

class PLEncrypUtilChatCrypto : public PLChatCrypto
{
public:
    std::optional<QVariantMap> encryptSessionKey(const QByteArray &publicKey, bool isChat) override;
    QString enCryptMessage(const QString &text, const QString &sessionKey) override;
    std::optional<QString> deCryptMessage(const QString &text, const QString &sessionKey) override;
    void clearSessionDicForSSK(const QString &sessionKey) override;
};

} // namespace parley
