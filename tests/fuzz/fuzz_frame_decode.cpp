// Arbitrary bytes through the receive path: framing, decoding every line, and
// reading the bodies that a line's last field announces.

#include "FuzzSupport.h"
#include "Packet/PLFrameReader.h"
#include "Packet/PLRecvPacketBuilder.h"
#include "Utils/ParleyStringAdditions.h"

#include <cstddef>
#include <cstdint>

using namespace parley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silenceLog();

    PLFrameReader reader;
    // Two appends, so that a line split across reads is exercised too.
    const size_t half = size / 2;
    reader.append(QByteArray(reinterpret_cast<const char *>(data), qsizetype(half)));
    bool secondHalf = false;
    for (;;) {
        PLFrameReader::Frame frame = reader.next();
        if (frame.status == PLFrameReader::Status::Line) {
            auto packet = PLRecvPacketBuilder::setPacketString(frame.line);
            if (packet) {
                (void)packet->isValid();
                (void)packet->countParams();
                // Treat the last field as a body length, as body-carrying commands do.
                const qsizetype space = frame.line.lastIndexOf(QLatin1Char(' '));
                if (space > 0 && frame.line.size() % 3 == 0)
                    reader.expectBody(plIntValue(QStringView(frame.line).mid(space + 1)));
            }
        } else if (frame.status == PLFrameReader::Status::Dropped || frame.status == PLFrameReader::Status::Body) {
            continue;
        } else if (frame.status == PLFrameReader::Status::NeedMore && !secondHalf) {
            secondHalf = true;
            reader.append(QByteArray(reinterpret_cast<const char *>(data + half), qsizetype(size - half)));
        } else {
            break;
        }
    }
    return 0;
}
