// Arbitrary bytes as a tunnel reply, fed in pieces whose sizes the input
// chooses, then the end of stream; and the header parser on its own.
#include "HTTPInterface/PLHTTPTunnelReply.h"
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

using namespace parley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silenceLog();
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype step = 1 + data[0] % 64;

    PLHTTPTunnelReply reply;
    for (qsizetype at = 0; at < bytes.size() && reply.status() == PLHTTPTunnelReply::Status::NeedMore; at += step)
        reply.feed(bytes.mid(at, step));
    reply.finish();
    if (reply.status() == PLHTTPTunnelReply::Status::Complete && reply.body().size() > PLHTTPTunnelReply::kMaxBodyLength)
        __builtin_trap();
    (void)reply.headerValue(QStringLiteral("Ticket"));

    int code = 0;
    (void)PLHTTPTunnelReply::parseHeader(bytes, &code);
    return 0;
}
