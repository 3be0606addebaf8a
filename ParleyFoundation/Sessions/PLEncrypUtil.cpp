#include "PLEncrypUtil.h"

#include "Log.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "PLCertAlert.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"

#include <coffer.h>
#include <coffer_verify.h>
#include <nblob.h>

#include <openssl/x509.h>

#include <QMutexLocker>
#include <memory>

namespace parley {

namespace {

// The library's Base64 text form.
constexpr unsigned int kBase64 = 2;

struct BlobDeleter {
    void operator()(_NBLOB *blob) const { DestroyBlob(blob); }
};
using OwnedBlob = std::unique_ptr<_NBLOB, BlobDeleter>;

QByteArray blobBytes(const _NBLOB *blob)
{
    if (!blob || !blob->data || blob->size == 0)
        return {};
    return QByteArray(reinterpret_cast<const char *>(blob->data), qsizetype(blob->size));
}

QList<QByteArray> certificateChain(CNClientSession &session)
{
    QList<QByteArray> chain;
    CofferCertArray *certs = session.GetCertificateCFArray();
    if (!certs)
        return chain;
    for (int i = 0; i < sk_X509_num(certs); ++i) {
        unsigned char *der = nullptr;
        const int length = i2d_X509(sk_X509_value(certs, i), &der);
        if (length > 0 && der)
            chain.append(QByteArray(reinterpret_cast<const char *>(der), length));
        OPENSSL_free(der);
    }
    sk_X509_pop_free(certs, X509_free);
    return chain;
}

} // namespace

bool isHostInPortalDomain(const QString &hostName, const QString &domain)
{
    if (domain.isEmpty() || hostName.isEmpty())
        return false;
    if (hostName.compare(domain, Qt::CaseInsensitive) == 0)
        return true;
    // Only at a label boundary: "ns.example.com" is in "example.com",
    // "evilexample.com" is not.
    return hostName.size() > domain.size() + 1 && hostName.endsWith(domain, Qt::CaseInsensitive)
        && hostName.at(hostName.size() - domain.size() - 1) == QLatin1Char('.');
}

signed char VelaComVerifier(const char *hostName, void *)
{
    const QString host = hostName ? QString::fromUtf8(hostName) : QString();
    const bool valid = isHostInPortalDomain(host, PLEndpoints::current().portalDomain);
    plLog(QStringLiteral("Host name %1 is %2 Domain\n").arg(host, valid ? QStringLiteral("Valid") : QStringLiteral("Invalid")));
    return valid ? 1 : 0;
}

PLEncrypUtil &PLEncrypUtil::shared()
{
    static PLEncrypUtil instance;
    return instance;
}

void PLEncrypUtil::install() { PLEncipherer::setShared(&shared()); }

PLEncrypUtil::~PLEncrypUtil()
{
    QMutexLocker lock(&mMutex);
    qDeleteAll(mClientSessionDic);
    mClientSessionDic.clear();
}

QVariantMap PLEncrypUtil::encryptSessionKey(const QByteArray &serverKeyInfo, bool isChat)
{
    CCofferContext context;
    if (!context.Init(0)) {
        plLog(QStringLiteral("Do not create EncContext"));
        return {};
    }
    auto session = std::make_unique<CNClientSession>(&context);
    session->SetHostNameVerifier(&VelaComVerifier, nullptr);
    if (serverKeyInfo.isEmpty()
        || !session->Init(reinterpret_cast<const unsigned char *>(serverKeyInfo.constData()),
                          unsigned(serverKeyInfo.size()), kBase64, isChat ? 1 : 0)) {
        plLog(QStringLiteral("no encryption!!"));
        return {};
    }

    PLMyInfoManager &myInfo = PLMyInfoManager::sharedManager();
    if (!myInfo.disableCertAlert()) {
        int32_t code = 0;
        if (!session->VerifyServerCertificate(&code)) {
            const QList<QByteArray> chain = certificateChain(*session);
            // A client session remembers accepted certificates only for
            // itself, and each exchange has a new one: the chain the user
            // accepted is kept here too.
            if (chain.isEmpty() || chain != acceptedChain()) {
                const int answer = PLCertAlert::ask(KCLocalizedString(QStringLiteral("AlertCert")), chain, int(code));
                if (answer == PLCertAlert::TimedOut && !isChat)
                    return {};
                // Only an explicit "continue" goes on; any other answer stops.
                if (answer != PLCertAlert::Continue)
                    return {{QStringLiteral("chat"), isChat}, {QStringLiteral("error"), -1}};
                myInfo.setDisableCertAlert(true);
                session->IgnoreNextSameCertError();
                QMutexLocker lock(&mMutex);
                mAcceptedChain = chain;
            }
        }
    }

    const _NBLOB *exported = session->ExportSessionKey(kBase64);
    const QByteArray keyText = blobBytes(exported);
    if (keyText.isEmpty()) {
        plLog(QStringLiteral("no encryption!!"));
        return {};
    }
    const QString key = QString::fromLatin1(keyText);
    // The session outlives the context: its message calls use only its own fields.
    {
        QMutexLocker lock(&mMutex);
        delete mClientSessionDic.take(key);
        mClientSessionDic.insert(key, session.release());
    }
    return {{QStringLiteral("size"), qint64(exported->size)}, {QStringLiteral("value"), key}};
}

CNClientSession *PLEncrypUtil::sessionFor(const QString &sessionKey) const
{
    QMutexLocker lock(&mMutex);
    return mClientSessionDic.value(sessionKey);
}

QList<QByteArray> PLEncrypUtil::acceptedChain() const
{
    QMutexLocker lock(&mMutex);
    return mAcceptedChain;
}

void PLEncrypUtil::forgetAcceptedChain()
{
    QMutexLocker lock(&mMutex);
    mAcceptedChain.clear();
}

bool PLEncrypUtil::hasSession(const QString &sessionKey) const { return sessionFor(sessionKey) != nullptr; }

QString PLEncrypUtil::enCryptMessage(const QString &text, const QString &sessionKey)
{
    PL_GUARD_OBJECT(!text.isNull() && !sessionKey.isNull(), QString());
    CNClientSession *session = sessionFor(sessionKey);
    PL_GUARD_OBJECT(session, QString());
    const QByteArray plain = text.toUtf8();
    OwnedBlob blob(session->EncryptMessage(reinterpret_cast<const unsigned char *>(plain.constData()),
                                           unsigned(plain.size()), kBase64));
    const QByteArray enciphered = blobBytes(blob.get());
    if (enciphered.isEmpty()) {
        plLog(QStringLiteral("message encryption failed; nothing is sent"));
        return QString();
    }
    return QString::fromUtf8(enciphered);
}

std::optional<QString> PLEncrypUtil::deCryptMessage(const QString &text, const QString &sessionKey)
{
    PL_GUARD_OBJECT(!text.isNull() && !sessionKey.isNull(), std::nullopt);
    CNClientSession *session = sessionFor(sessionKey);
    PL_GUARD_OBJECT(session, std::nullopt);
    const QByteArray enciphered = text.toUtf8();
    OwnedBlob blob(session->DecryptMessage(reinterpret_cast<const unsigned char *>(enciphered.constData()),
                                           unsigned(enciphered.size()), kBase64));
    if (!blob) {
        plLog(QStringLiteral("message decryption failed"));
        return std::nullopt;
    }
    return QString::fromUtf8(blobBytes(blob.get()));
}

void PLEncrypUtil::clearSessionDicForSSK(const QString &sessionKey)
{
    QMutexLocker lock(&mMutex);
    delete mClientSessionDic.take(sessionKey);
}

} // namespace parley
