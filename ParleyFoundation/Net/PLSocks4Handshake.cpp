#include "PLSocks4Handshake.h"

namespace parley {

QByteArray PLSocks4Handshake::request(quint32 ipv4, quint16 port, const QByteArray &userID)
{
    QByteArray bytes;
    bytes.reserve(9 + userID.size());
    bytes.append(char(4));
    bytes.append(char(1));
    bytes.append(char(port >> 8));
    bytes.append(char(port & 0xFF));
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((ipv4 >> shift) & 0xFF));
    // A NUL inside the user ID would end it early on the proxy's side.
    bytes.append(userID.left(userID.indexOf('\0') < 0 ? userID.size() : userID.indexOf('\0')));
    bytes.append('\0');
    return bytes;
}

PLSocks4Handshake::Reply PLSocks4Handshake::parseReply(const QByteArray &bytes)
{
    if (bytes.size() < kReplyLength)
        return {};
    if (bytes.at(0) != 0)
        return {Reply::Malformed, 0};
    const int code = quint8(bytes.at(1));
    if (code == 90)
        return {Reply::Granted, code};
    if (code >= 91 && code <= 93)
        return {Reply::Refused, code};
    return {Reply::Malformed, code};
}

} // namespace parley
