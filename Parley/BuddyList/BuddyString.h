#pragma once

// How a person is named on screen everywhere (buddy rows and their order, chat
// titles, memo windows, notices), by the one machine-wide display choice, and
// the small status images and words of the buddy status codes.

#include "BuddyManagement/PLBuddy.h"
#include "ChatManagement/BuddyStringInterface.h"

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace parley {

class BuddyString final : public BuddyStringInterface
{
public:
    // The user default holding the display type (one value for every account).
    static constexpr char kBuddyStringTypeKey[] = "BuddyStringType";
    static constexpr char kShowAsName[] = "ShowAsName";
    static constexpr char kShowAsNickName[] = "ShowAsNickName";
    static constexpr char kShowAsNameID[] = "ShowAsNameID";
    static constexpr char kShowAsNameNickName[] = "ShowAsNameNickName";

    // The stored type; stores "ShowAsNickName" first when none is stored.
    static QString buddyStringType();
    // A null type changes nothing; otherwise stores it and announces the change.
    static void setBuddyStringType(const QString &type);

    // The display string of a person by a given type (any unknown type reads
    // as "ShowAsNickName"). The rebuild of the list reads the type once and
    // names thousands of buddies with it.
    static QString displayString(const QString &type, const QString &name, const QString &nickName,
                                 const QString &velaID);
    static QString displayString(const QString &type, const PLBuddy &buddy);

    // {"name", "nickName", "velaID"} by the current type.
    static QString stringForUserInfo(const QVariantMap &userInfo);
    // Null for a null buddy.
    static QString buddyStringWithBuddy(const PLBuddyPtr &buddy);
    static QString buddyStringForMyInfo();
    // The buddy's display string; the ID itself when no buddy has it.
    static QString buddyStringForBuddyID(const QString &velaID);
    static QString buddyStringWithBuddyDict(const QVariantMap &dict);
    // Joined with ", ".
    static QString buddyStringWithBuddyDictArray(const QVariantList &dicts);
    // IDs that no buddy has are left out.
    static QString buddyStringWithBuddyIDs(const QStringList &velaIDs);

    // Image names and words of the status codes 0 to 5; codes outside give
    // an empty name, a null image and a null word.
    static QString buddyStatusImageName(int status);
    static QPixmap buddyStatusImageWithStatus(int status);
    static QPixmap buddyStatusImageWithBuddy(const PLBuddyPtr &buddy);
    static QString buddyStatusStringWithStatus(int status);

    // BuddyStringInterface: what the chat rooms of the core ask.
    QString buddyStringWithBuddy(const PLBuddy &buddy) override;
};

} // namespace parley
