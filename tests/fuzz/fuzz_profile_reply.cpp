// Arbitrary bytes as the profile endpoint's reply: every entry must come from
// one line with exactly one "=", trimmed of spaces and tabs.

#include "BuddyManagement/PLMyInfoManager.h"
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

using namespace parley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silenceLog();

    const QString reply = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const PLProfileDict profile = PLMyInfoManager::profileDictFrom(reply + QStringLiteral("\n[Test]"));
    for (auto it = profile.cbegin(); it != profile.cend(); ++it) {
        for (const QString &text : {it.key(), it.value()}) {
            if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('='))
                || (!text.isEmpty() && (text.front() == QLatin1Char(' ') || text.front() == QLatin1Char('\t')
                                        || text.back() == QLatin1Char(' ') || text.back() == QLatin1Char('\t'))))
                __builtin_trap();
        }
    }
    return 0;
}
