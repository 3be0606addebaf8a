#pragma once

// A buddy's changed profile fields; the birthday is empty on a line without it.

#include "PLRecvPacket.h"

namespace parley {

class PLRecvNPRFPacket : public PLRecvPacket
{
public:
    QString ID() const { return value(QStringLiteral("ID")); }
    QString typeMask() const { return value(QStringLiteral("typeMask")); }
    QString mobile() const { return value(QStringLiteral("mobile")); }
    QString email() const { return value(QStringLiteral("email")); }
    QString orcmn() const { return value(QStringLiteral("orcmn")); }
    QString musicDate() const { return value(QStringLiteral("musicDate")); }
    QString ewerYN() const { return value(QStringLiteral("ewerYN")); }
    QString birth() const { return value(QStringLiteral("birth")); }

protected:
    void decodeFields() override;
};

} // namespace parley
