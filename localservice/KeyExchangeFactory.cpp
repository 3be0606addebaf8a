#include "KeyExchangeFactory.h"

#include "CofferKeyExchange.h"

namespace localservice {

std::unique_ptr<KeyExchange> makeKeyExchange(const QString &certChainFile, const QString &keyFile,
                                             QString *error)
{
    if (certChainFile.isEmpty() && keyFile.isEmpty())
        return std::make_unique<UnavailableKeyExchange>();
    if (certChainFile.isEmpty() || keyFile.isEmpty()) {
        if (error)
            *error = QStringLiteral("key exchange: --cert-chain and --key go together");
        return nullptr;
    }
    return CofferKeyExchange::fromFiles(certChainFile, keyFile, error);
}

} // namespace localservice
