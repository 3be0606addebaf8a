#include "PrefsManager.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "PLCurrentUserProvider.h"
#include "ParleyStringAdditions.h"
#include "UserDefaults.h"

#include <algorithm>

#include <atomic>

namespace parley {

namespace {

std::atomic<const PLCurrentUserProvider *> gProvider{nullptr};

QVariant userValue(const char *key)
{
    const auto prefs = PrefsManager::userPreferences();
    return prefs ? prefs->value(QLatin1String(key)) : QVariant();
}

bool userBool(const char *key) { return userValue(key).toBool(); }
int userInt(const char *key) { return userValue(key).toInt(); }

QVariant globalValue(const char *key)
{
    return UserDefaults::standardUserDefaults().objectForKey(QLatin1String(key));
}

void storeUserValue(const char *key, const QVariant &value)
{
    const QString userID = PrefsManager::currentUserID();
    if (userID.isNull())
        return;
    auto prefs = PrefsManager::userPreferences();
    // A user without a dictionary gets one at sign-in, not here.
    if (!prefs)
        return;
    prefs->insert(QLatin1String(key), value);
    UserDefaults::standardUserDefaults().setUserDictionary(userID, *prefs);
}

bool profileFlag(const char *key)
{
    const QString value = PLMyInfoManager::sharedManager().profileValueForKey(QLatin1String(key));
    return value == QLatin1String("1") || value == QLatin1String("Y");
}

} // namespace

void PrefsManager::setCurrentUserProvider(const PLCurrentUserProvider *provider)
{
    gProvider.store(provider);
}

QString PrefsManager::currentUserID()
{
    const PLCurrentUserProvider *provider = gProvider.load();
    return provider ? provider->currentUserID() : QString();
}

std::optional<QVariantMap> PrefsManager::userPreferences()
{
    const QString userID = currentUserID();
    if (userID.isNull())
        return std::nullopt;
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (!defaults.hasUserDictionary(userID))
        return std::nullopt;
    return defaults.userDictionary(userID);
}

bool PrefsManager::isFirstLogined()
{
    if (currentUserID().isNull())
        return false;
    const QVariant value = userValue("isFirstLogin");
    return value.isValid() ? value.toBool() : true;
}

bool PrefsManager::privacy_IsMessageEncoded() { return userBool("PrivacyEncrypt"); }
QString PrefsManager::msg_absentMessage() { return userValue("mAwayMessage").toString(); }
bool PrefsManager::msg_IsShowAbsentMessageWhenBusy() { return userBool("showBusyMsg"); }
bool PrefsManager::msg_IsShowAbsentMessageWhenAway() { return userBool("showAwayMsg"); }
bool PrefsManager::noti_IsUseSoundForMininook() { return userBool("soundForMiniNook"); }
bool PrefsManager::noti_IsUseSoundForMessage() { return userBool("soundForMessage"); }
bool PrefsManager::noti_IsUseSoundForLogin() { return userBool("soundForLogin"); }
bool PrefsManager::noti_IsUseSoundForFileTrans() { return userBool("soundForFileTransfer"); }
bool PrefsManager::noti_IsUseSoundForMemo() { return userBool("soundForMemo"); }
bool PrefsManager::noti_IsUseSoundForBuddy() { return userBool("soundForBuddy"); }
bool PrefsManager::noti_IsUseSound() { return userBool("useSound"); }
bool PrefsManager::noti_IsShowMailAlarm() { return userBool("showMail"); }
int PrefsManager::noti_showMemoType() { return userInt("showMemoIndex"); }
bool PrefsManager::noti_IsShowBounceAlarm() { return userBool("showBounce"); }
bool PrefsManager::noti_IsShowChatAlarm() { return userBool("showMessage"); }
bool PrefsManager::noti_IsShowLoginedAlarm() { return userBool("showAlertWhenConnection"); }
int PrefsManager::general_doubleClickOption() { return userInt("clickOptionIndex"); }

int PrefsManager::general_awayTimeInterval()
{
    if (currentUserID().isNull())
        return 10;
    return userInt("awayTimeInterval");
}

bool PrefsManager::general_IsCheckAway() { return userBool("checkAway"); }
QString PrefsManager::general_DownloadFolder() { return userValue("destinationPath").toString(); }
bool PrefsManager::general_IsShowAsEmoticon() { return userBool("showEmoticon"); }
bool PrefsManager::general_IsParleyAutoStart() { return userBool("autoStart"); }
QStringList PrefsManager::expandedGroupNames() { return userValue("ExpandGroupNames").toStringList(); }

QStringList PrefsManager::expandedGroupNamesForOnlineOffline()
{
    return userValue("ExpandGroupNamesForOnlineOffline").toStringList();
}

void PrefsManager::setFirstLogined(bool value) { storeUserValue("isFirstLogin", value); }
void PrefsManager::setNoti_IsShowMemoType(int value) { storeUserValue("showMemoIndex", value); }
void PrefsManager::setGeneral_IsShowAsEmoticon(bool value) { storeUserValue("showEmoticon", value); }

void PrefsManager::setExpandedGroupNames(const std::optional<QStringList> &names)
{
    if (names)
        storeUserValue("ExpandGroupNames", *names);
}

void PrefsManager::setExpandedGroupNamesForOnlineOffline(const std::optional<QStringList> &names)
{
    if (names)
        storeUserValue("ExpandGroupNamesForOnlineOffline", *names);
}

int PrefsManager::firewall_P2PPort() { return globalValue("P2PPort").toInt(); }
bool PrefsManager::firewall_IsUseProxy() { return globalValue("UseProxy").toBool(); }

int PrefsManager::firewall_ProxyMode()
{
    const QVariant value = globalValue("ProxyIndex");
    return value.isValid() ? value.toInt() : 2;
}

QString PrefsManager::firewall_ProxyServer() { return globalValue("ProxyServer").toString(); }
QString PrefsManager::firewall_ProxyUser() { return globalValue("ProxyUser").toString(); }
QString PrefsManager::firewall_ProxyPass() { return globalValue("ProxyPassword").toString(); }

int PrefsManager::firewall_ProxyPort(int proxyKind)
{
    switch (proxyKind) {
    case 1:
        return globalValue("ProxyPortHTTP").toInt();
    case 2:
        return globalValue("ProxyPortSocks4").toInt();
    case 3:
        return globalValue("ProxyPortSocks5").toInt();
    default:
        return 0;
    }
}

bool PrefsManager::pref_IsAutoLogin() { return globalValue("autoLogin").toBool(); }

bool PrefsManager::orchard_Islinked()
{
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    return !me.loginType() && !me.orchardCMN().isEmpty();
}

bool PrefsManager::parley_Islinked()
{
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    return me.loginType() && !me.velaID().isEmpty();
}

bool PrefsManager::orchard_isMsgGiftAlarm() { return profileFlag("orchard_noti2"); }
bool PrefsManager::orchard_isNewTextAlarm() { return profileFlag("orchard_noti1"); }

int PrefsManager::orchard_publicOption()
{
    const QString mode =
        PLMyInfoManager::sharedManager().profileValueForKey(QStringLiteral("orchard_open_mode")).toUpper();
    if (mode == QLatin1String("O"))
        return 0;
    if (mode == QLatin1String("B"))
        return 1;
    return 2;
}

bool PrefsManager::privacy_IsReceiveMessageToOnlyBuddy()
{
    return PLMyInfoManager::sharedManager().profileValueForKey(QStringLiteral("allow_buddy_only"))
        == QLatin1String("Y");
}

bool PrefsManager::privacy_IsChatToAllowedBuddy()
{
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    const QString key = QStringLiteral("allow_nonbuddy_chat");
    QString value = me.profileValueForKey(key);
    if (value.isNull()) {
        // The server sent no choice: the local one becomes the profile's.
        value = userBool("PrivacyCheckBuddy") ? QStringLiteral("Y") : QStringLiteral("N");
        me.setProfileValue(value, key);
    }
    return value != QLatin1String("Y");
}

int PrefsManager::msg_saveChatType()
{
    if (currentUserID().isNull())
        return 2;
    const QString fromProfile = PLMyInfoManager::sharedManager().profileValueForKey(QStringLiteral("chat_save_opt"));
    if (!fromProfile.isNull())
        return plIntValue(fromProfile);
    return userInt("saveDialogIndex");
}

QString PrefsManager::msg_AbsentMsgFontName()
{
    return QStringLiteral("AppleGothic");
}

PLRGBColor PrefsManager::msg_AbsentMsgFontColor()
{
    const auto prefs = userPreferences();
    if (!prefs)
        return {};
    return {prefs->value(QStringLiteral("AbsentMessageFontColorR")).toDouble(),
            prefs->value(QStringLiteral("AbsentMessageFontColorG")).toDouble(),
            prefs->value(QStringLiteral("AbsentMessageFontColorB")).toDouble(), 1.0};
}

QString PrefsManager::msg_AbsentMsgColorString()
{
    if (currentUserID().isNull())
        return QString();
    const PLRGBColor color = msg_AbsentMsgFontColor();
    const auto byte = [](double component) { return int(std::clamp(component, 0.0, 1.0) * 255.0) & 0xFF; };
    return QString::number((byte(color.blue) << 16) | (byte(color.green) << 8) | byte(color.red));
}

} // namespace parley
