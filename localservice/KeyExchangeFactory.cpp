#include "KeyExchangeFactory.h"

namespace localservice {

std::unique_ptr<KeyExchange> makeKeyExchange(const QString &certChainFile, const QString &keyFile,
                                             QString *error)
{
    if (certChainFile.isEmpty() && keyFile.isEmpty())
        return std::make_unique<UnavailableKeyExchange>();
    if (error)
        *error = QStringLiteral("key exchange: the crypto library's server side is not part of "
                                "this build yet, so --cert-chain and --key cannot be used");
    return nullptr;
}

} // namespace localservice
