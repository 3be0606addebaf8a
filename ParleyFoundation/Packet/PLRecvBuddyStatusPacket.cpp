#include "PLRecvBuddyStatusPacket.h"

namespace parley {

void PLRecvBuddyStatusPacket::decodeFields()
{
    setValue(QStringLiteral("status"), statusFromWire(field(3)));
    readRawField(QStringLiteral("ID"), 2);
    readRawField(QStringLiteral("fileRoomType"), 4);
    readField(QStringLiteral("fileRoomName"), 5);
    readRawFields(6, {QStringLiteral("fileMediaType"), QStringLiteral("langOS")});
    if (fieldCount() > 8) {
        // Position 9 carries nothing the client uses.
        readRawField(QStringLiteral("sessionCount"), 8);
        readRawField(QStringLiteral("noteOnly"), 10);
    }
}

} // namespace parley
