#pragma once

#include "KeyExchange.h"

#include <QString>
#include <memory>

namespace localservice {

// The key exchange for the given server certificate chain and private key.
// Without both files the exchange is unavailable (NCPT is refused); answers
// nullptr with `error` set when the files cannot be used.
std::unique_ptr<KeyExchange> makeKeyExchange(const QString &certChainFile, const QString &keyFile,
                                             QString *error);

} // namespace localservice
