#pragma once

// The one reader of the messenger's settings: the current user's own
// dictionary (stored in the user defaults under the user ID), the global keys
// and the options of the account's server-side profile. Each operation answers
// one question with its type and fallback.

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace parley {

class PLCurrentUserProvider;

// A colour with components from 0 to 1.
struct PLRGBColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
};

class PrefsManager
{
public:
    PrefsManager() = delete;

    // The source of the current user ID; not owned. Null: nobody signed in.
    static void setCurrentUserProvider(const PLCurrentUserProvider *provider);
    static QString currentUserID();

    // The current user's dictionary, none with no user or none stored.
    static std::optional<QVariantMap> userPreferences();

    static bool isFirstLogined();
    static bool privacy_IsMessageEncoded();
    static QString msg_absentMessage();
    static bool msg_IsShowAbsentMessageWhenBusy();
    static bool msg_IsShowAbsentMessageWhenAway();
    static bool noti_IsUseSoundForMininook();
    static bool noti_IsUseSoundForMessage();
    static bool noti_IsUseSoundForLogin();
    static bool noti_IsUseSoundForFileTrans();
    static bool noti_IsUseSoundForMemo();
    static bool noti_IsUseSoundForBuddy();
    static bool noti_IsUseSound();
    static bool noti_IsShowMailAlarm();
    static int noti_showMemoType();
    static bool noti_IsShowBounceAlarm();
    static bool noti_IsShowChatAlarm();
    static bool noti_IsShowLoginedAlarm();
    static int general_doubleClickOption();
    static int general_awayTimeInterval();
    static bool general_IsCheckAway();
    static QString general_DownloadFolder();
    static bool general_IsShowAsEmoticon();
    static bool general_IsParleyAutoStart();
    static QStringList expandedGroupNames();
    static QStringList expandedGroupNamesForOnlineOffline();

    static void setFirstLogined(bool value);
    static void setNoti_IsShowMemoType(int value);
    static void setGeneral_IsShowAsEmoticon(bool value);
    static void setExpandedGroupNames(const std::optional<QStringList> &names);
    static void setExpandedGroupNamesForOnlineOffline(const std::optional<QStringList> &names);

    static int firewall_P2PPort();
    static bool firewall_IsUseProxy();
    // 1 HTTP, 2 SOCKS4, 3 SOCKS5.
    static int firewall_ProxyMode();
    static QString firewall_ProxyServer();
    static QString firewall_ProxyUser();
    static QString firewall_ProxyPass();
    static int firewall_ProxyPort(int proxyKind);
    static bool pref_IsAutoLogin();

    static bool orchard_Islinked();
    static bool parley_Islinked();
    static bool orchard_isMsgGiftAlarm();
    static bool orchard_isNewTextAlarm();
    // 0 open, 1 buddies, 2 closed.
    static int orchard_publicOption();
    static bool privacy_IsReceiveMessageToOnlyBuddy();
    // Whether chats are limited to allowed buddies; settles the profile entry
    // from the local choice when the server sent none.
    static bool privacy_IsChatToAllowedBuddy();
    static int msg_saveChatType();
    static QString msg_AbsentMsgFontName();
    static PLRGBColor msg_AbsentMsgFontColor();
    // The colour as the server wants it: blue << 16 | green << 8 | red, in decimal.
    static QString msg_AbsentMsgColorString();
};

} // namespace parley
