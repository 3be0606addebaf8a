#include "PLRecvCPRFPacket.h"

namespace parley {

void PLRecvCPRFPacket::decodeFields()
{
    readRawFields(2,
                  {QStringLiteral("typeMask"), QStringLiteral("mobileOm"), QStringLiteral("mobile"),
                   QStringLiteral("emailOm"), QStringLiteral("email"), QStringLiteral("orcmnOm"),
                   QStringLiteral("orcmn"), QStringLiteral("musicDateOm"), QStringLiteral("musicDate"),
                   QStringLiteral("ewerYNOm"), QStringLiteral("ewerYN"), QStringLiteral("birthOm"),
                   QStringLiteral("birth"), QStringLiteral("length")});
}

} // namespace parley
