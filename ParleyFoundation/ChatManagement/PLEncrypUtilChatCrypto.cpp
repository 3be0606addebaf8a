#include "PLEncrypUtilChatCrypto.h"

#include "Sessions/PLEncrypUtil.h"

namespace parley {

std::optional<QVariantMap> PLEncrypUtilChatCrypto::encryptSessionKey(const QByteArray &publicKey, bool isChat)
{
    QVariantMap result = PLEncrypUtil::shared().encryptSessionKey(publicKey, isChat);
    // The glue answers an empty map when no exchange could be made at all.
    if (result.isEmpty())
        return std::nullopt;
    return result;
}

QString PLEncrypUtilChatCrypto::enCryptMessage(const QString &text, const QString &sessionKey)
{
    return PLEncrypUtil::shared().enCryptMessage(text, sessionKey);
}

std::optional<QString> PLEncrypUtilChatCrypto::deCryptMessage(const QString &text, const QString &sessionKey)
{
    return PLEncrypUtil::shared().deCryptMessage(text, sessionKey);
}

void PLEncrypUtilChatCrypto::clearSessionDicForSSK(const QString &sessionKey)
{
    PLEncrypUtil::shared().clearSessionDicForSSK(sessionKey);
}

} // namespace parley
