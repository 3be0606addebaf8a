#include "CertificateSummary.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

namespace parley::shell {

namespace {

QString nameText(const X509_NAME *name)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    if (!bio || X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) < 0)
        return {};
    char *data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return QString::fromUtf8(data, length);
}

QDateTime timeOf(const ASN1_TIME *time)
{
    tm parts{};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1)
        return {};
    return QDateTime(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                     QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), Qt::UTC);
}

} // namespace

std::optional<CertificateSummary> CertificateSummary::fromDer(const QByteArray &der)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(der.constData());
    const unsigned char *cursor = bytes;
    std::unique_ptr<X509, decltype(&X509_free)> certificate(d2i_X509(nullptr, &cursor, long(der.size())), X509_free);
    // Trailing bytes mean it was not one certificate.
    if (!certificate || cursor != bytes + der.size())
        return std::nullopt;
    CertificateSummary summary;
    summary.subject = nameText(X509_get_subject_name(certificate.get()));
    summary.issuer = nameText(X509_get_issuer_name(certificate.get()));
    summary.notBefore = timeOf(X509_get0_notBefore(certificate.get()));
    summary.notAfter = timeOf(X509_get0_notAfter(certificate.get()));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate.get(), EVP_sha256(), digest, &length) != 1)
        return std::nullopt;
    summary.sha256 = QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex(':').toUpper());
    return summary;
}

} // namespace parley::shell
