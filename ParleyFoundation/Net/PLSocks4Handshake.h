#pragma once

// The two messages of a SOCKS version 4 connect: our request, and the proxy's
// eight-byte reply (anything after those eight bytes is already the target's).

#include <QByteArray>

namespace parley {

class PLSocks4Handshake
{
public:
    static constexpr qsizetype kReplyLength = 8;

    // VN 4, CD 1 (connect), the port and IPv4 address in network order, the
    // user ID and its NUL terminator.
    static QByteArray request(quint32 ipv4, quint16 port, const QByteArray &userID = {});

    struct Reply
    {
        enum Status {
            NeedMore, // fewer than eight bytes so far
            Granted,  // code 90
            Refused,  // codes 91 to 93; `code` says which
            Malformed // a version byte other than 0 or an unknown code
        };
        Status status = NeedMore;
        int code = 0;
    };
    // Reads the reply from the first bytes received.
    static Reply parseReply(const QByteArray &bytes);
};

} // namespace parley
