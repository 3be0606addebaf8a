#include "KCSounds.h"

#include "KCShellHooks.h"
#include "UserDefaults.h"

namespace parley {

namespace {

void playIfAllowed(const QString &userID, const char *eventKey, const char *soundName)
{
    if (userID.isNull())
        return;
    const QVariantMap prefs = UserDefaults::standardUserDefaults().userDictionary(userID);
    if (prefs.value(QStringLiteral("useSound")).toBool() && prefs.value(QLatin1String(eventKey)).toBool())
        KCCurrentShellHooks().playSound(QLatin1String(soundName));
}

} // namespace

void KCPlayTransferSound(const QString &userID) { playIfAllowed(userID, "soundForFileTransfer", "trans_comp"); }
void KCPlayMemoSound(const QString &userID) { playIfAllowed(userID, "soundForMemo", "recv_memo"); }
void KCPlayChatSound(const QString &userID) { playIfAllowed(userID, "soundForMessage", "recv_chat"); }
void KCPlayMininookSound(const QString &userID) { playIfAllowed(userID, "soundForMiniNook", "minicubby"); }
void KCPlayLoginSound(const QString &userID) { playIfAllowed(userID, "soundForLogin", "login"); }
void KCPlayBuddyLoginSound(const QString &userID) { playIfAllowed(userID, "soundForBuddy", "buddy_login"); }

} // namespace parley
