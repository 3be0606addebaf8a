#include "PLRecvUSERPacket.h"

namespace parley {

void PLRecvUSERPacket::decodeFields()
{
    readField(QStringLiteral("idx"), 2);
    readField(QStringLiteral("count"), 3);
    readField(QStringLiteral("ID"), 4);
    readField(QStringLiteral("nickName"), 5);
    readField(QStringLiteral("name"), 6);
    // Only the full form carries the version and device; a longer line is
    // taken without them rather than guessed at.
    if (fieldCount() == 9) {
        readField(QStringLiteral("pver"), 7);
        readField(QStringLiteral("deviceType"), 8);
    }
}

} // namespace parley
