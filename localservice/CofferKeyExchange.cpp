#include "CofferKeyExchange.h"

#include <coffer_server.h>
#include <nblob.h>

#include <QFile>
#include <QTemporaryFile>

namespace localservice {

namespace {

// The key information travels as Base64 text, the third of the library's
// blob types.
constexpr unsigned int kBase64 = COFFER_BLOB_BASE64;
// The version of the server key information: the one with the server random
// and the certificate chain.
constexpr unsigned int kKeyInfoVersion = 3;

std::optional<QByteArray> takeBlob(_NBLOB *blob)
{
    if (!blob)
        return std::nullopt;
    QByteArray bytes(reinterpret_cast<const char *>(blob->data), qsizetype(blob->size));
    DestroyBlob(blob);
    return bytes;
}

class CofferKeySession : public KeyExchangeSession {
public:
    explicit CofferKeySession(CNServerContext *context) : mSession(context) {}

    QByteArray serverKeyInfo() override
    {
        // Owned by the session: copied, not freed.
        const _NBLOB *info = mSession.GetServerKeyInfo(kBase64, kKeyInfoVersion);
        if (!info || !info->data)
            return {};
        return QByteArray(reinterpret_cast<const char *>(info->data), qsizetype(info->size));
    }

    bool acceptClientKey(const QByteArray &clientKeyInfo) override
    {
        // A length of 0 would make the library read up to a terminating zero.
        if (clientKeyInfo.isEmpty())
            return false;
        mAgreed = mSession.Init(reinterpret_cast<const unsigned char *>(clientKeyInfo.constData()),
                                unsigned(clientKeyInfo.size()), kBase64, /*lenient=*/0)
            != 0;
        return mAgreed;
    }

    std::optional<QByteArray> encrypt(const QByteArray &plain) override
    {
        if (!mAgreed)
            return std::nullopt;
        return takeBlob(mSession.EncryptMessage(
            reinterpret_cast<const unsigned char *>(plain.constData()), unsigned(plain.size()),
            kBase64));
    }

    std::optional<QByteArray> decrypt(const QByteArray &cipherText) override
    {
        if (!mAgreed || cipherText.isEmpty())
            return std::nullopt;
        return takeBlob(mSession.DecryptMessage(
            reinterpret_cast<const unsigned char *>(cipherText.constData()),
            unsigned(cipherText.size()), kBase64));
    }

private:
    CNServerSession mSession;
    bool mAgreed = false;
};

// The PEM certificate blocks of a file, in order.
QList<QByteArray> certificateBlocks(const QByteArray &pem)
{
    static const QByteArray begin = "-----BEGIN CERTIFICATE-----";
    static const QByteArray end = "-----END CERTIFICATE-----";
    QList<QByteArray> blocks;
    qsizetype from = 0;
    while (true) {
        const qsizetype start = pem.indexOf(begin, from);
        if (start < 0)
            break;
        const qsizetype stop = pem.indexOf(end, start);
        if (stop < 0)
            break;
        blocks.append(pem.mid(start, stop + end.size() - start) + '\n');
        from = stop + end.size();
    }
    return blocks;
}

} // namespace

CofferKeyExchange::CofferKeyExchange() : mContext(std::make_unique<CNServerContext>()) {}

CofferKeyExchange::~CofferKeyExchange() = default;

std::unique_ptr<CofferKeyExchange> CofferKeyExchange::fromFiles(const QString &certChainFile,
                                                                const QString &keyFile,
                                                                QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = QStringLiteral("key exchange: ") + text;
        return nullptr;
    };
    QFile chain(certChainFile);
    if (!chain.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(certChainFile, chain.errorString()));
    // A PEM chain of 11 certificates is a few tens of kilobytes.
    const QByteArray pem = chain.read(1024 * 1024);
    const QList<QByteArray> blocks = certificateBlocks(pem);
    if (blocks.isEmpty())
        return fail(QStringLiteral("%1 holds no PEM certificate").arg(certChainFile));
    if (blocks.size() - 1 > qsizetype(CNServerContext::kMaxChainCerts))
        return fail(QStringLiteral("%1 holds more than %2 certificates after the server's")
                        .arg(certChainFile)
                        .arg(CNServerContext::kMaxChainCerts));

    // The library reads the server certificate and its chain from two files.
    QTemporaryFile rest;
    if (blocks.size() > 1) {
        if (!rest.open())
            return fail(QStringLiteral("cannot write a temporary file: %1").arg(rest.errorString()));
        for (qsizetype i = 1; i < blocks.size(); ++i)
            rest.write(blocks[i]);
        rest.flush();
    }
    std::unique_ptr<CofferKeyExchange> exchange(new CofferKeyExchange());
    const QByteArray keyPath = QFile::encodeName(keyFile);
    const QByteArray certPath = QFile::encodeName(certChainFile);
    const QByteArray restPath = QFile::encodeName(rest.fileName());
    if (!exchange->mContext->ReadPvkAndCertFromFile(keyPath.constData(), nullptr,
                                                    certPath.constData(),
                                                    blocks.size() > 1 ? restPath.constData()
                                                                      : nullptr))
        return fail(QStringLiteral("cannot read the private key %1 or the certificates of %2")
                        .arg(keyFile, certChainFile));
    if (!exchange->mContext->Init())
        return fail(QStringLiteral("the crypto library offers no algorithm"));
    return exchange;
}

std::unique_ptr<KeyExchangeSession> CofferKeyExchange::newSession()
{
    return std::make_unique<CofferKeySession>(mContext.get());
}

} // namespace localservice
