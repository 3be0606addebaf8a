#include "BuddyString.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "ImageRegistry.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

namespace parley {

namespace {

struct StatusLook {
    const char *image;
    const char *word;
};

// Indexed by the status code.
constexpr StatusLook kStatusLooks[] = {
    {"16x16_offline", "Offline"}, {"16x16_normal", "Online"}, {"16x16_busy", "Busy"},
    {"16x16_other", "Away"},      {"16x16_busy", "OnThePhone"}, {"16x16_other", "OnThemeeting"},
};

const StatusLook *lookFor(int status)
{
    if (status < 0 || status >= int(std::size(kStatusLooks)))
        return nullptr;
    return &kStatusLooks[status];
}

QString pair(const QString &first, const QString &second)
{
    return first + QStringLiteral(" (") + second + QLatin1Char(')');
}

} // namespace

QString BuddyString::buddyStringType()
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QVariant stored = defaults.objectForKey(QLatin1String(kBuddyStringTypeKey));
    if (stored.isValid())
        return stored.toString();
    const QString type = QLatin1String(kShowAsNickName);
    defaults.setString(type, QLatin1String(kBuddyStringTypeKey));
    return type;
}

void BuddyString::setBuddyStringType(const QString &type)
{
    if (type.isNull())
        return;
    UserDefaults::standardUserDefaults().setString(type, QLatin1String(kBuddyStringTypeKey));
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kBuddyStringTypeChanged));
}

QString BuddyString::displayString(const QString &type, const QString &name, const QString &nickName,
                                   const QString &velaID)
{
    if (type == QLatin1String(kShowAsName))
        return name;
    if (type == QLatin1String(kShowAsNameID))
        return pair(name, velaID);
    if (type == QLatin1String(kShowAsNameNickName))
        return nickName.isEmpty() ? name : pair(name, nickName);
    return nickName.isEmpty() ? name : nickName;
}

QString BuddyString::displayString(const QString &type, const PLBuddy &buddy)
{
    return displayString(type, buddy.name(), buddy.nickName(), buddy.velaID());
}

QString BuddyString::stringForUserInfo(const QVariantMap &userInfo)
{
    return displayString(buddyStringType(), userInfo.value(QStringLiteral("name")).toString(),
                         userInfo.value(QStringLiteral("nickName")).toString(),
                         userInfo.value(QStringLiteral("velaID")).toString());
}

QString BuddyString::buddyStringWithBuddy(const PLBuddyPtr &buddy)
{
    if (!buddy)
        return {};
    return displayString(buddyStringType(), *buddy);
}

QString BuddyString::buddyStringWithBuddy(const PLBuddy &buddy) { return displayString(buddyStringType(), buddy); }

QString BuddyString::buddyStringForMyInfo()
{
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    return displayString(buddyStringType(), me.name(), me.nickName(), me.velaID());
}

QString BuddyString::buddyStringForBuddyID(const QString &velaID)
{
    const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(velaID);
    return buddy ? buddyStringWithBuddy(buddy) : velaID;
}

QString BuddyString::buddyStringWithBuddyDict(const QVariantMap &dict)
{
    return buddyStringForBuddyID(dict.value(QStringLiteral("velaID")).toString());
}

QString BuddyString::buddyStringWithBuddyDictArray(const QVariantList &dicts)
{
    QStringList names;
    names.reserve(dicts.size());
    for (const QVariant &dict : dicts)
        names << buddyStringWithBuddyDict(dict.toMap());
    return names.join(QStringLiteral(", "));
}

QString BuddyString::buddyStringWithBuddyIDs(const QStringList &velaIDs)
{
    QVariantList known;
    for (const QString &velaID : velaIDs) {
        if (PLBuddyManager::sharedManager().buddyForID(velaID))
            known << QVariantMap{{QStringLiteral("velaID"), velaID}};
    }
    return buddyStringWithBuddyDictArray(known);
}

QString BuddyString::buddyStatusImageName(int status)
{
    const StatusLook *look = lookFor(status);
    return look ? QLatin1String(look->image) : QString();
}

QPixmap BuddyString::buddyStatusImageWithStatus(int status)
{
    const QString name = buddyStatusImageName(status);
    return name.isEmpty() ? QPixmap() : ImageRegistry::pixmap(name);
}

QPixmap BuddyString::buddyStatusImageWithBuddy(const PLBuddyPtr &buddy)
{
    return buddy ? buddyStatusImageWithStatus(buddy->status()) : QPixmap();
}

QString BuddyString::buddyStatusStringWithStatus(int status)
{
    const StatusLook *look = lookFor(status);
    return look ? KCLocalizedString(QLatin1String(look->word)) : QString();
}

} // namespace parley
