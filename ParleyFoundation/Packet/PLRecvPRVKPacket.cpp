#include "PLRecvPRVKPacket.h"

namespace parley {

void PLRecvPRVKPacket::decodeFields()
{
    if (fieldCount() == 3)
        readField(QStringLiteral("success"), 2);
}

} // namespace parley
