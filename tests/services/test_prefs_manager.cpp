#include "BuddyManagement/PLMyInfoManager.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCDownloadFolder.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLCurrentUserProvider.h"
#include "Utils/PrefsManager.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace parley;

namespace {

struct FixedUser : PLCurrentUserProvider {
    QString id;
    QString currentUserID() const override { return id; }
};

class PrefsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        defaults().setPath(mFolder.filePath("defaults.plist"));
        PrefsManager::setCurrentUserProvider(&user);
        PLMyInfoManager::sharedManager().resetForTesting();
    }
    void TearDown() override
    {
        PrefsManager::setCurrentUserProvider(nullptr);
        PLMyInfoManager::sharedManager().resetForTesting();
        defaults().setPath(UserDefaults::defaultPath());
    }
    static UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }
    void signIn(const QVariantMap &prefs)
    {
        user.id = QStringLiteral("me@vela.test");
        defaults().setUserDictionary(user.id, prefs);
    }

    QTemporaryDir mFolder;
    FixedUser user;
};

using BoolReader = bool (*)();
const struct {
    const char *key;
    BoolReader read;
} kBoolReaders[] = {
    {"PrivacyEncrypt", PrefsManager::privacy_IsMessageEncoded},
    {"showBusyMsg", PrefsManager::msg_IsShowAbsentMessageWhenBusy},
    {"showAwayMsg", PrefsManager::msg_IsShowAbsentMessageWhenAway},
    {"soundForMiniNook", PrefsManager::noti_IsUseSoundForMininook},
    {"soundForMessage", PrefsManager::noti_IsUseSoundForMessage},
    {"soundForLogin", PrefsManager::noti_IsUseSoundForLogin},
    {"soundForFileTransfer", PrefsManager::noti_IsUseSoundForFileTrans},
    {"soundForMemo", PrefsManager::noti_IsUseSoundForMemo},
    {"soundForBuddy", PrefsManager::noti_IsUseSoundForBuddy},
    {"useSound", PrefsManager::noti_IsUseSound},
    {"showMail", PrefsManager::noti_IsShowMailAlarm},
    {"showBounce", PrefsManager::noti_IsShowBounceAlarm},
    {"showMessage", PrefsManager::noti_IsShowChatAlarm},
    {"showAlertWhenConnection", PrefsManager::noti_IsShowLoginedAlarm},
    {"checkAway", PrefsManager::general_IsCheckAway},
    {"showEmoticon", PrefsManager::general_IsShowAsEmoticon},
    {"autoStart", PrefsManager::general_IsParleyAutoStart},
};

} // namespace

TEST_F(PrefsTest, WithNoUserEveryReaderFallsBack)
{
    defaults().setUserDictionary(QStringLiteral("me@vela.test"), KCDefaultUserPreferences());
    for (const auto &reader : kBoolReaders)
        EXPECT_FALSE(reader.read()) << reader.key;
    EXPECT_EQ(PrefsManager::general_awayTimeInterval(), 10);
    EXPECT_EQ(PrefsManager::msg_saveChatType(), 2);
    EXPECT_FALSE(PrefsManager::isFirstLogined());
    EXPECT_TRUE(PrefsManager::expandedGroupNames().isEmpty());
    EXPECT_TRUE(PrefsManager::msg_absentMessage().isNull());
    EXPECT_TRUE(PrefsManager::msg_AbsentMsgColorString().isNull());
    EXPECT_EQ(PrefsManager::noti_showMemoType(), 0);
    PrefsManager::setFirstLogined(false);
    EXPECT_FALSE(defaults().userDictionary(QStringLiteral("me@vela.test")).contains("isFirstLogin"));
}

TEST_F(PrefsTest, BooleanReadersReadTheirOwnKey)
{
    for (const auto &reader : kBoolReaders) {
        SCOPED_TRACE(reader.key);
        signIn({{QLatin1String(reader.key), true}});
        EXPECT_TRUE(reader.read());
        for (const auto &other : kBoolReaders) {
            if (&other != &reader) {
                EXPECT_FALSE(other.read()) << other.key;
            }
        }
        signIn({{QLatin1String(reader.key), false}});
        EXPECT_FALSE(reader.read());
    }
}

TEST_F(PrefsTest, DefaultsOfANewAccountReadBack)
{
    signIn(KCDefaultUserPreferences());
    EXPECT_TRUE(PrefsManager::isFirstLogined());
    EXPECT_EQ(PrefsManager::general_awayTimeInterval(), 10);
    EXPECT_EQ(PrefsManager::noti_showMemoType(), 1);
    EXPECT_EQ(PrefsManager::msg_saveChatType(), 1);
    EXPECT_EQ(PrefsManager::general_doubleClickOption(), 0);
    EXPECT_EQ(PrefsManager::msg_absentMessage(), QString(""));
    EXPECT_EQ(PrefsManager::general_DownloadFolder(), KCDefaultDownloadFolder());
    EXPECT_EQ(PrefsManager::msg_AbsentMsgFontName(), QStringLiteral("AppleGothic"));
    EXPECT_EQ(PrefsManager::msg_AbsentMsgColorString(), QStringLiteral("0"));
}

TEST_F(PrefsTest, WritersReplaceTheUsersDictionary)
{
    user.id = QStringLiteral("me@vela.test");
    PrefsManager::setFirstLogined(false); // no dictionary yet: nothing stored
    EXPECT_FALSE(defaults().hasUserDictionary(user.id));

    signIn({{"showMail", true}});
    PrefsManager::setFirstLogined(false);
    PrefsManager::setNoti_IsShowMemoType(0);
    PrefsManager::setGeneral_IsShowAsEmoticon(true);
    PrefsManager::setExpandedGroupNames(QStringList{"Friends", "Work"});
    PrefsManager::setExpandedGroupNamesForOnlineOffline(std::nullopt);
    EXPECT_FALSE(PrefsManager::isFirstLogined());
    EXPECT_EQ(PrefsManager::expandedGroupNames(), (QStringList{"Friends", "Work"}));
    EXPECT_TRUE(PrefsManager::expandedGroupNamesForOnlineOffline().isEmpty());
    // Written through to the file.
    UserDefaults fromDisk(defaults().path());
    EXPECT_EQ(fromDisk.userDictionary(user.id),
              (QVariantMap{{"showMail", true},
                           {"isFirstLogin", false},
                           {"showMemoIndex", 0},
                           {"showEmoticon", true},
                           {"ExpandGroupNames", QVariantList{"Friends", "Work"}}}));
}

TEST_F(PrefsTest, GlobalKeys)
{
    EXPECT_EQ(PrefsManager::firewall_ProxyMode(), 2);
    EXPECT_EQ(PrefsManager::firewall_P2PPort(), 0);
    EXPECT_FALSE(PrefsManager::firewall_IsUseProxy());
    EXPECT_FALSE(PrefsManager::pref_IsAutoLogin());
    EXPECT_TRUE(PrefsManager::firewall_ProxyServer().isNull());
    defaults().setInteger(1, "ProxyIndex");
    defaults().setInteger(6004, "P2PPort");
    defaults().setBool(true, "UseProxy");
    defaults().setBool(true, "autoLogin");
    defaults().setString("proxy.test", "ProxyServer");
    defaults().setString("user", "ProxyUser");
    defaults().setString("pw", "ProxyPassword");
    defaults().setInteger(8080, "ProxyPortHTTP");
    defaults().setInteger(1080, "ProxyPortSocks4");
    defaults().setInteger(1081, "ProxyPortSocks5");
    EXPECT_EQ(PrefsManager::firewall_ProxyMode(), 1);
    EXPECT_EQ(PrefsManager::firewall_P2PPort(), 6004);
    EXPECT_TRUE(PrefsManager::firewall_IsUseProxy());
    EXPECT_TRUE(PrefsManager::pref_IsAutoLogin());
    EXPECT_EQ(PrefsManager::firewall_ProxyServer(), QStringLiteral("proxy.test"));
    EXPECT_EQ(PrefsManager::firewall_ProxyUser(), QStringLiteral("user"));
    EXPECT_EQ(PrefsManager::firewall_ProxyPass(), QStringLiteral("pw"));
    const int ports[][2] = {{1, 8080}, {2, 1080}, {3, 1081}, {4, 0}, {0, 0}};
    for (const auto &p : ports)
        EXPECT_EQ(PrefsManager::firewall_ProxyPort(p[0]), p[1]) << p[0];
}

TEST_F(PrefsTest, ProfileOptions)
{
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    const struct {
        const char *mode; // nullptr: missing
        int option;
    } modes[] = {{"O", 0}, {"o", 0}, {"b", 1}, {"B", 1}, {"X", 2}, {"", 2}, {nullptr, 2}};
    for (const auto &m : modes) {
        me.setMProfileDict(m.mode ? PLProfileDict{{"orchard_open_mode", m.mode}} : PLProfileDict{});
        EXPECT_EQ(PrefsManager::orchard_publicOption(), m.option) << (m.mode ? m.mode : "missing");
    }
    const struct {
        const char *value;
        bool on;
    } flags[] = {{"1", true}, {"Y", true}, {"y", false}, {"N", false}, {"0", false}};
    for (const auto &f : flags) {
        me.setMProfileDict({{"orchard_noti1", f.value}, {"orchard_noti2", f.value}, {"allow_buddy_only", f.value}});
        EXPECT_EQ(PrefsManager::orchard_isNewTextAlarm(), f.on) << f.value;
        EXPECT_EQ(PrefsManager::orchard_isMsgGiftAlarm(), f.on) << f.value;
        EXPECT_EQ(PrefsManager::privacy_IsReceiveMessageToOnlyBuddy(), QLatin1String(f.value) == QLatin1String("Y"));
    }

    me.setLoginType("N");
    me.setOrchardCMN("o1");
    EXPECT_TRUE(PrefsManager::orchard_Islinked());
    EXPECT_FALSE(PrefsManager::parley_Islinked());
    me.setLoginType("Y");
    me.setVelaID("me@vela.test");
    EXPECT_FALSE(PrefsManager::orchard_Islinked());
    EXPECT_TRUE(PrefsManager::parley_Islinked());
    me.setVelaID("");
    EXPECT_FALSE(PrefsManager::parley_Islinked());
}

TEST_F(PrefsTest, ChatWithAllowedBuddiesSettlesTheProfileFromTheLocalChoice)
{
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    signIn({{"PrivacyCheckBuddy", true}});
    EXPECT_FALSE(PrefsManager::privacy_IsChatToAllowedBuddy());
    EXPECT_EQ(me.profileValueForKey("allow_nonbuddy_chat"), QStringLiteral("Y"));
    signIn({{"PrivacyCheckBuddy", false}});
    EXPECT_FALSE(PrefsManager::privacy_IsChatToAllowedBuddy()); // the profile now decides

    me.setMProfileDict({});
    EXPECT_TRUE(PrefsManager::privacy_IsChatToAllowedBuddy());
    EXPECT_EQ(me.profileValueForKey("allow_nonbuddy_chat"), QStringLiteral("N"));

    me.setMProfileDict({});
    user.id.clear();
    EXPECT_TRUE(PrefsManager::privacy_IsChatToAllowedBuddy());
    EXPECT_EQ(me.profileValueForKey("allow_nonbuddy_chat"), QStringLiteral("N"));
    me.setMProfileDict({{"allow_nonbuddy_chat", "anything"}});
    EXPECT_TRUE(PrefsManager::privacy_IsChatToAllowedBuddy());
}

TEST_F(PrefsTest, SaveChatTypePrefersTheProfile)
{
    signIn({{"saveDialogIndex", 1}});
    EXPECT_EQ(PrefsManager::msg_saveChatType(), 1);
    PLMyInfoManager::sharedManager().setProfileValue("3", "chat_save_opt");
    EXPECT_EQ(PrefsManager::msg_saveChatType(), 3);
    signIn({});
    PLMyInfoManager::sharedManager().setMProfileDict({});
    EXPECT_EQ(PrefsManager::msg_saveChatType(), 0);
}

TEST_F(PrefsTest, AbsenceMessageColour)
{
    const struct {
        double r, g, b;
        const char *text;
    } cases[] = {
        {1, 0.5, 0, "32767"}, {1, 0, 0, "255"}, {0, 0, 1, "16711680"}, {0, 1, 0, "65280"}, {1, 1, 1, "16777215"},
        {0.999, 0.001, 0, "254"},
    };
    for (const auto &c : cases) {
        signIn({{"AbsentMessageFontColorR", c.r}, {"AbsentMessageFontColorG", c.g}, {"AbsentMessageFontColorB", c.b}});
        EXPECT_EQ(PrefsManager::msg_AbsentMsgColorString(), QLatin1String(c.text)) << c.text;
    }
    signIn({{"AbsentMessageFontColorG", 1.0}});
    const PLRGBColor colour = PrefsManager::msg_AbsentMsgFontColor();
    EXPECT_EQ(colour.red, 0);
    EXPECT_EQ(colour.green, 1);
    EXPECT_EQ(colour.alpha, 1);
}
