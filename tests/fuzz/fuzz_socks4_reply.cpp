// Arbitrary bytes as a SOCKS4 proxy's reply.
#include "Net/PLSocks4Handshake.h"

#include <cstddef>
#include <cstdint>

using namespace parley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const PLSocks4Handshake::Reply reply = PLSocks4Handshake::parseReply(bytes);
    // Only a full reply can decide anything.
    if (size < 8 && reply.status != PLSocks4Handshake::Reply::NeedMore)
        __builtin_trap();
    if (reply.status == PLSocks4Handshake::Reply::Granted && (data[0] != 0 || data[1] != 90))
        __builtin_trap();
    return 0;
}
