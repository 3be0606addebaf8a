// The sign-in with libcoffer3 on both ends: the service's server side with a
// certificate chain made by the openssl tool, the library's client side here.
#include "ServiceFixture.h"

#include "TestSupport.h"

#include <coffer.h>
#include <info_header.h>
#include <nblob.h>

#include <QDir>
#include <QFile>
#include <QProcess>

using namespace localservice;
using namespace localservice::test;

namespace {

const QByteArray kAliceWords =
    "100001 Alice%20Kim Ally Y 1 %00 %00 alice@parley.test 100001 alice.orchard 900001 "
    "010-1111-0001 "
    "alice@parley.test %00 N token-alice ticket-alice\r\n";

QString inHome(const QString &name)
{
    return QDir(parley::test::isolatedHome()).filePath(name);
}

bool openssl(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(PARLEY_OPENSSL_TOOL), arguments);
    return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit
        && tool.exitCode() == 0;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A CA, a server certificate it signed, and the chain file (server first).
struct Certificates {
    QString chain, key;
    QByteArray serverDer, caDer;
};

Certificates makeCertificates(const QString &tag)
{
    const auto at = [&](const char *name) { return inHome(tag + QLatin1String(name)); };
    Certificates c;
    const bool made =
        openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", at("ca.key"), "-out",
                 at("ca.pem"), "-subj", "/CN=Parley Test CA", "-days", "2"})
        && openssl({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", at("server.key"), "-out",
                    at("server.csr"), "-subj", "/CN=ns.parley.test"})
        && openssl({"x509", "-req", "-in", at("server.csr"), "-CA", at("ca.pem"), "-CAkey",
                    at("ca.key"), "-CAcreateserial", "-out", at("server.pem"), "-days", "2"})
        && openssl({"x509", "-in", at("server.pem"), "-outform", "DER", "-out", at("server.der")})
        && openssl({"x509", "-in", at("ca.pem"), "-outform", "DER", "-out", at("ca.der")});
    if (!made)
        return c;
    c.chain = at("chain.pem");
    QFile chain(c.chain);
    if (!chain.open(QIODevice::WriteOnly))
        return {};
    chain.write(readAll(at("server.pem")) + readAll(at("ca.pem")));
    c.key = at("server.key");
    c.serverDer = readAll(at("server.der"));
    c.caDer = readAll(at("ca.der"));
    return c;
}

QByteArray blobBytes(const _NBLOB &blob)
{
    return QByteArray(reinterpret_cast<const char *>(blob.data), qsizetype(blob.size));
}

// The library's client side of one connection.
class CofferClient {
public:
    CofferClient() : mSession(&mContext) { mContext.Init(0); }
    bool init(const QByteArray &keyInfo)
    {
        return mSession.Init(reinterpret_cast<const unsigned char *>(keyInfo.constData()),
                             unsigned(keyInfo.size()), COFFER_BLOB_BASE64, 0);
    }
    QByteArray exportedKey()
    {
        const _NBLOB *key = mSession.ExportSessionKey(COFFER_BLOB_BASE64);
        return key ? blobBytes(*key) : QByteArray();
    }
    QByteArray encrypt(const QByteArray &plain)
    {
        return take(mSession.EncryptMessage(reinterpret_cast<const unsigned char *>(plain.constData()),
                                            unsigned(plain.size()), COFFER_BLOB_BASE64));
    }
    QByteArray decrypt(const QByteArray &text)
    {
        return take(mSession.DecryptMessage(reinterpret_cast<const unsigned char *>(text.constData()),
                                            unsigned(text.size()), COFFER_BLOB_BASE64));
    }

private:
    static QByteArray take(_NBLOB *blob)
    {
        if (!blob)
            return {};
        const QByteArray bytes = blobBytes(*blob);
        DestroyBlob(blob);
        return bytes;
    }
    CCofferContext mContext;
    CNClientSession mSession;
};

class CofferSignInTest : public ServiceTest {
protected:
    static void SetUpTestSuite()
    {
        sCerts = new Certificates(makeCertificates(QStringLiteral("a-")));
        sOtherCerts = new Certificates(makeCertificates(QStringLiteral("b-")));
    }
    static void TearDownTestSuite()
    {
        delete sCerts;
        delete sOtherCerts;
    }
    void SetUp() override
    {
        ASSERT_FALSE(sCerts->serverDer.isEmpty()) << "the openssl tool made no certificates";
        ServiceOptions options;
        options.certChainFile = sCerts->chain;
        options.keyFile = sCerts->key;
        startService(options, /*mirrorCipher=*/false);
    }
    // NCPT on a fresh connection; answers the server key information.
    QByteArray offer(RawClient &client)
    {
        client.send("NCPT 1 alice@parley.test PRM 0\r\n");
        const auto line = client.readLine();
        if (!line || !line->startsWith("NCPT 1 PRM BASE64 "))
            return {};
        return client.readBytes(line->split(' ').last().toInt()).value_or(QByteArray());
    }
    bool agree(RawClient &client, CofferClient &coffer)
    {
        const QByteArray info = offer(client);
        if (info.isEmpty() || !coffer.init(info))
            return false;
        const QByteArray key = coffer.exportedKey();
        client.send("PRVK 2 BASE64 " + QByteArray::number(key.size()) + "\r\n" + key);
        return client.readLine() == QByteArray("PRVK 2 OK");
    }

    static Certificates *sCerts;
    static Certificates *sOtherCerts;
};

Certificates *CofferSignInTest::sCerts = nullptr;
Certificates *CofferSignInTest::sOtherCerts = nullptr;

} // namespace

TEST_F(CofferSignInTest, OffersTheGivenCertificateAndChain)
{
    auto client = connectNotification();
    const QByteArray info = QByteArray::fromBase64(offer(*client));
    ASSERT_FALSE(info.isEmpty());
    _COFFER_KEYINFO keyInfo{};
    ASSERT_TRUE(DecodeKeyInfo(&keyInfo, reinterpret_cast<const unsigned char *>(info.constData()),
                              unsigned(info.size()), /*allowMissingHash=*/0));
    EXPECT_EQ(keyInfo.version, 3u);
    EXPECT_EQ(keyInfo.header.hash.size, 16u); // the server random
    EXPECT_EQ(blobBytes(keyInfo.payload), sCerts->serverDer);
    ASSERT_EQ(keyInfo.header.certCount, 1);
    EXPECT_EQ(blobBytes(keyInfo.header.pCerts[0]), sCerts->caDer);
    FreeKeyInfo(&keyInfo);

    // Each connection draws its own server random.
    auto second = connectNotification();
    EXPECT_NE(offer(*second), QByteArray());
}

TEST_F(CofferSignInTest, SignsInUnderTheAgreedKey)
{
    auto client = connectNotification();
    CofferClient coffer;
    ASSERT_TRUE(agree(*client, coffer));
    const QByteArray body = coffer.encrypt(signInText(coffer.encrypt("alice-pw"), "NE3"));
    client->send(lin4(3, "alice@parley.test", "NE3", body));
    const auto line = client->readLine();
    ASSERT_TRUE(line);
    ASSERT_TRUE(line->startsWith("LIN4 3 alice@parley.test NE3 ")) << line->toStdString();
    const auto answer = client->readBytes(line->split(' ').last().toInt());
    ASSERT_TRUE(answer);
    EXPECT_EQ(coffer.decrypt(*answer), kAliceWords);
}

TEST_F(CofferSignInTest, RefusesAWrongPasswordAndAKeyMadeForAnotherServer)
{
    auto client = connectNotification();
    CofferClient coffer;
    ASSERT_TRUE(agree(*client, coffer));
    client->send(lin4(3, "alice@parley.test", "NE3",
                      coffer.encrypt(signInText(coffer.encrypt("bob-pw"), "NE3"))));
    EXPECT_EQ(client->readLine(), QByteArray("301 3"));

    // A client that answered another server's offer: its session key is
    // enciphered to a certificate whose private key we do not hold.
    LocalService other;
    ServiceOptions options;
    options.certChainFile = sOtherCerts->chain;
    options.keyFile = sOtherCerts->key;
    QString error;
    ASSERT_TRUE(other.start(options, &error)) << error.toStdString();
    RawClient otherClient(other.notificationPort());
    CofferClient stray;
    ASSERT_TRUE(stray.init(offer(otherClient)));
    const QByteArray strayKey = stray.exportedKey();

    auto victim = connectNotification();
    ASSERT_FALSE(offer(*victim).isEmpty());
    victim->send("PRVK 2 BASE64 " + QByteArray::number(strayKey.size()) + "\r\n" + strayKey);
    EXPECT_EQ(victim->readLine(), QByteArray("502 2"));
}

TEST(CofferKeyExchangeFiles, RefusesFilesItCannotUse)
{
    const QString empty = inHome(QStringLiteral("empty.pem"));
    {
        QFile file(empty);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("no certificate here\n");
    }
    const Certificates certs = makeCertificates(QStringLiteral("c-"));
    ASSERT_FALSE(certs.chain.isEmpty());
    struct Case {
        QString chain, key;
        const char *error;
    } const cases[] = {
        {inHome(QStringLiteral("missing.pem")), certs.key, "missing.pem"},
        {empty, certs.key, "holds no PEM certificate"},
        {certs.chain, inHome(QStringLiteral("missing.key")), "cannot read the private key"},
        {certs.chain, QString(), "--cert-chain and --key go together"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.error);
        LocalService service;
        ServiceOptions options;
        options.certChainFile = c.chain;
        options.keyFile = c.key;
        QString error;
        EXPECT_FALSE(service.start(options, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("key exchange: "))) << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
    }
}
