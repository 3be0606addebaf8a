// Arbitrary bytes as the server's configuration body: every pair that comes
// out must be one line's key (without "=") and the rest of that line.

#include "FuzzSupport.h"
#include "Utils/PLConfManager.h"

#include <cstddef>
#include <cstdint>

using namespace parley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silenceLog();

    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    const QMap<QString, QString> pairs = PLConfManager::parseConfBody(body);
    for (auto it = pairs.cbegin(); it != pairs.cend(); ++it) {
        if (it.key().contains(QLatin1Char('=')) || it.key().contains(QLatin1String("\r\n"))
            || it.value().contains(QLatin1String("\r\n")))
            __builtin_trap();
    }
    return 0;
}
