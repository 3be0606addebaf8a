#include "GeneralPaneRules.h"

namespace parley {

std::optional<QString> GeneralPaneRules::correctedMinutes(const QString &text)
{
    bool ok = false;
    const int minutes = text.trimmed().toInt(&ok);
    if (ok && minutes >= 1 && minutes <= 999)
        return std::nullopt;
    return QString::number(kDefaultAwayMinutes);
}

std::optional<QString> GeneralPaneRules::truncatedDisplayName(const QString &tokenText)
{
    if (tokenText.size() <= kMaxDisplayNameLength)
        return std::nullopt;
    return tokenText.left(kMaxDisplayNameLength);
}

} // namespace parley
