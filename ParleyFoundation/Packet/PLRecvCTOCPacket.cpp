#include "PLRecvCTOCPacket.h"

namespace parley {

void PLRecvCTOCPacket::decodeFields()
{
    // Only the five-item form carries the sender's key before the length.
    if (fieldCount() == 5)
        mFromKey = field(3);
    readField(QStringLiteral("fromID"), 2);
    setValue(QStringLiteral("bodyLen"), lastField(3));
}

} // namespace parley
