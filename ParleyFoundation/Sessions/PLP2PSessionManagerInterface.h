#pragma once

// What the sign-in asks of the peer-to-peer session manager: the own address
// that peers are to connect to. The real manager implements it.

#include <QString>

namespace parley {

class PLP2PSessionManagerInterface
{
public:
    virtual ~PLP2PSessionManagerInterface() = default;
    virtual void setMyIP(const QString &ip) = 0;
};

} // namespace parley
