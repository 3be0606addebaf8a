#pragma once

// The key exchange on libcoffer3's server side: one server context holding
// the private key and the certificate chain, one server session per
// connection.

#include "KeyExchange.h"

#include <QString>
#include <memory>

class CNServerContext;

namespace localservice {

class CofferKeyExchange : public KeyExchange {
public:
    ~CofferKeyExchange() override;

    // Reads the private key and the chain (the server certificate first, then
    // the certificates that vouch for it, PEM). Answers nullptr with `error`
    // set when either cannot be used.
    static std::unique_ptr<CofferKeyExchange> fromFiles(const QString &certChainFile,
                                                        const QString &keyFile, QString *error);

    std::unique_ptr<KeyExchangeSession> newSession() override;

private:
    CofferKeyExchange();

    std::unique_ptr<CNServerContext> mContext;
};

} // namespace localservice
