// Arbitrary text through the whisper decoder's item parsers. The first byte
// picks a type word so that every parser is reached quickly; the rest is the
// sub-type and data items as they would follow on the line.

#include "FuzzSupport.h"
#include "Packet/PLRecvPacketBuilder.h"
#include "Packet/PLRecvWHSPPacket.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <iterator>

using namespace parley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silenceLog();
    if (size == 0)
        return 0;

    static const char *const types[] = {"FILE", "BKIMG", "DPIMG", "DPIREQUEST", "ANIMICON", "MSG", "GTCON", "OTHER"};
    const char *type = types[data[0] % std::size(types)];
    const QString tail = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    // The tail after a fixed header, and the whole input as a line of its own.
    for (const QString &line : {QStringLiteral("WHSP 0 u1 %1 %2").arg(QLatin1String(type), tail),
                                QStringLiteral("WHSP ") + tail}) {
        auto packet = PLRecvPacketBuilder::setPacketString(line);
        auto *whisper = dynamic_cast<PLRecvWHSPPacket *>(packet.get());
        if (!whisper)
            continue;
        (void)whisper->isValid();
        const int count = whisper->dataForKey(QStringLiteral("fileCount")).toInt();
        for (int i = 0; i < count && i < 64; ++i)
            (void)whisper->dataForKey(QStringLiteral("cookie"), i);
    }
    return 0;
}
