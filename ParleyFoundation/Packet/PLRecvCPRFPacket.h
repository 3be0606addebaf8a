#pragma once

// The user's own profile fields, each with its open mode, as they came; the
// last field is the length of a body of profile values that follows when the
// tid is 0.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvCPRFPacket : public PLRecvPacket
{
public:
    QString typeMask() const { return value(QStringLiteral("typeMask")); }
    QString mobileOm() const { return value(QStringLiteral("mobileOm")); }
    QString mobile() const { return value(QStringLiteral("mobile")); }
    QString emailOm() const { return value(QStringLiteral("emailOm")); }
    QString email() const { return value(QStringLiteral("email")); }
    QString orcmnOm() const { return value(QStringLiteral("orcmnOm")); }
    QString orcmn() const { return value(QStringLiteral("orcmn")); }
    QString musicDateOm() const { return value(QStringLiteral("musicDateOm")); }
    QString musicDate() const { return value(QStringLiteral("musicDate")); }
    QString ewerYNOm() const { return value(QStringLiteral("ewerYNOm")); }
    QString ewerYN() const { return value(QStringLiteral("ewerYN")); }
    QString birthOm() const { return value(QStringLiteral("birthOm")); }
    QString birth() const { return value(QStringLiteral("birth")); }
    qint32 length() const { return intValue(QStringLiteral("length"), -1); }

protected:
    void decodeFields() override;
};

} // namespace parley
