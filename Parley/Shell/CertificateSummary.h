#pragma once

// What the certificate dialog shows of one certificate: subject, issuer,
// validity and the SHA-256 fingerprint, read from its DER bytes.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace parley::shell {

struct CertificateSummary {
    QString subject;     // one line, RFC 2253 order ("CN=...,O=...")
    QString issuer;
    QDateTime notBefore; // UTC
    QDateTime notAfter;
    QString sha256;      // upper-case hex pairs joined by ":"

    // Nothing when the bytes are not one DER certificate.
    static std::optional<CertificateSummary> fromDer(const QByteArray &der);
};

} // namespace parley::shell
