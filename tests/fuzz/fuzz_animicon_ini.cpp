// Arbitrary bytes as an animicon catalogue file: read as code page 949 or
// refused, and every lookup answers a value from one line of the text.

#include "FuzzSupport.h"
#include "IniManager.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    parley::fuzz::silenceLog();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<IniManager> ini = IniManager::fromData(bytes);
    if (!ini)
        return 0;
    const QString lookups[][2] = {
        {QStringLiteral("Category info"), QStringLiteral("count")},
        {QStringLiteral("AnicoTab1"), QStringLiteral("id")},
        {QStringLiteral("list_info"), QStringLiteral("1")},
        {QStringLiteral(""), QStringLiteral("")},
    };
    for (const auto &lookup : lookups) {
        const QString value = ini->valueForPrimaryKey(lookup[0], lookup[1]);
        if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('=')))
            __builtin_trap();
        if (!value.isEmpty() && !ini->iniString().contains(value))
            __builtin_trap();
    }
    return 0;
}
