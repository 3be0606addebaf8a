#pragma once

// The Message pane's chat-saving choice: 0 save automatically, 1 don't,
// 2 ask. It lives both in the user's settings ("saveDialogIndex") and in
// the account's server profile ("chat_save_opt").

#include <QString>
#include <QVariantMap>

#include <optional>

namespace parley {

class ChatSaveOption
{
public:
    ChatSaveOption() = delete;

    // The choice to show: the stored index (0 when none), or the server's
    // value when the stored index is not one of the three (a server value
    // outside them shows the last entry).
    static int indexToShow(std::optional<int> storedIndex, const QString &serverValue);
    // The profile change to send for the chosen index when it differs from
    // the choice in force; none when it does not.
    static std::optional<QVariantMap> profileChange(int chosenIndex, int indexInForce);
};

} // namespace parley
