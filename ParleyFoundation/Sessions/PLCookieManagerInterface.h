#pragma once

// What the sign-in asks of the transfer-cookie manager: the own CMN, from
// which it makes cookies. The real manager implements it.

#include <QString>

namespace parley {

class PLCookieManagerInterface
{
public:
    virtual ~PLCookieManagerInterface() = default;
    virtual void setCMN(const QString &cmn) = 0;
    // A new peer-to-peer cookie; reset forgets the CMN.
    virtual QString p2pCookie() = 0;
    virtual void reset() = 0;
};

} // namespace parley
