#pragma once

// The General pane's rules for what the user types: the away minutes and
// the display name's length.

#include <QString>

#include <optional>

namespace parley {

class GeneralPaneRules
{
public:
    GeneralPaneRules() = delete;

    static constexpr int kDefaultAwayMinutes = 10;
    static constexpr int kMaxDisplayNameLength = 127;

    // The text the minutes field must show instead of `text` (empty, not a
    // number, below 1 or above 999 give "10"); none when it may stay.
    static std::optional<QString> correctedMinutes(const QString &text);
    // The display name's token text cut to its limit; none when it fits.
    static std::optional<QString> truncatedDisplayName(const QString &tokenText);
};

} // namespace parley
