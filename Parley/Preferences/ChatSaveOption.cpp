#include "ChatSaveOption.h"

namespace parley {

int ChatSaveOption::indexToShow(std::optional<int> storedIndex, const QString &serverValue)
{
    const int stored = storedIndex.value_or(0);
    if (stored >= 0 && stored <= 2)
        return stored;
    // A text that is no number reads as 0, as the server's other readers take it;
    // a number outside the three is shown as the last entry, which saving stores.
    const int server = serverValue.toInt();
    return server >= 0 && server <= 2 ? server : 2;
}

std::optional<QVariantMap> ChatSaveOption::profileChange(int chosenIndex, int indexInForce)
{
    if (chosenIndex == indexInForce)
        return std::nullopt;
    return QVariantMap{{QStringLiteral("chat_save_opt"), QString::number(chosenIndex)}};
}

} // namespace parley
