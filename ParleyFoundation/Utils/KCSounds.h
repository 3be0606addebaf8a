#pragma once

// The event sounds. Each plays when the user's "useSound" and the event's own
// setting are both on; a null user ID plays nothing.

#include <QString>

namespace parley {

void KCPlayTransferSound(const QString &userID);
void KCPlayMemoSound(const QString &userID);
void KCPlayChatSound(const QString &userID);
void KCPlayMininookSound(const QString &userID);
void KCPlayLoginSound(const QString &userID);
void KCPlayBuddyLoginSound(const QString &userID);

} // namespace parley
