#include "PrefsLanguage.h"

#include <array>

namespace parley {

namespace {

// Index 0 is English, which is also every unknown code's entry.
constexpr std::array<const char *, 6> kCodes{"en", "ja", "de", "es", "zh-Hans", "zh-Hant"};

} // namespace

QStringList PrefsLanguage::titleKeys()
{
    return {QStringLiteral("English"), QStringLiteral("Japanese"),    QStringLiteral("German"),
            QStringLiteral("Spanish"), QStringLiteral("ChineseHans"), QStringLiteral("ChineseHant")};
}

std::optional<int> PrefsLanguage::indexForLanguage(const QString &code)
{
    if (code == QLatin1String("ko"))
        return std::nullopt;
    for (int i = 1; i < int(kCodes.size()); ++i)
        if (code == QLatin1String(kCodes[size_t(i)]))
            return i;
    return 0;
}

QString PrefsLanguage::codeForIndex(int index)
{
    if (index < 1 || index >= int(kCodes.size()))
        return QLatin1String(kCodes[0]);
    return QLatin1String(kCodes[size_t(index)]);
}

} // namespace parley
