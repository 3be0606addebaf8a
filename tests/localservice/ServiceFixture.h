#pragma once

// Starts a local service in-process on kernel-chosen ports, and a stand-in
// cipher for the key exchange that the tests can undo by hand.

#include "KeyExchange.h"
#include "LocalService.h"
#include "RawClient.h"

#include <gtest/gtest.h>

namespace localservice::test {

// A transparent "cipher": the Base64 of the reversed bytes. It lets the tests
// check that the service deciphers what it is sent and enciphers what it
// answers, independent of the crypto library.
class MirrorKeyExchange : public KeyExchange {
public:
    static QByteArray serverKey() { return QByteArrayLiteral("U0VSVkVSLUtFWQ=="); }
    static QByteArray clientKey() { return QByteArrayLiteral("Q0xJRU5ULUtFWQ=="); }
    static QByteArray encipher(const QByteArray &plain);
    static std::optional<QByteArray> decipher(const QByteArray &text);

    std::unique_ptr<KeyExchangeSession> newSession() override;
};

class ServiceTest : public ::testing::Test {
protected:
    // Starts the service with the demo data unless options name a file.
    void startService(ServiceOptions options = {}, bool mirrorCipher = true);
    std::unique_ptr<RawClient> connectDispatch();
    std::unique_ptr<RawClient> connectNotification();

    // Exchanges keys with the mirror cipher and signs in with a plain-text
    // sign-in body; answers whether the LIN4 answer came back.
    bool signIn(RawClient &client, const QByteArray &userID, const QByteArray &password);

    std::unique_ptr<LocalService> mService;
};

// The four-line sign-in text of LIN4, as the client builds it.
QByteArray signInText(const QByteArray &password, const QByteArray &passwordType);
// A LIN4 line with its counted body.
QByteArray lin4(int tid, const QByteArray &userID, const QByteArray &encType,
                const QByteArray &body);

} // namespace localservice::test
