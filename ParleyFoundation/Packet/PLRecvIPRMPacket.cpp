#include "PLRecvIPRMPacket.h"

namespace parley {

void PLRecvIPRMPacket::decodeFields()
{
    markInvalid();
}

} // namespace parley
