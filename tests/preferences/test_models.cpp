// The preferences window's decisions as tables: the toolbar, the pane switch,
// the language codes, the typing rules, the sound switches, the chat-saving
// choice, the privacy tables and their profile changes, the firewall's save,
// the plug-in buttons, the account link's state and the sister service's
// options.
#include "Preferences/AccountLinking.h"
#include "BuddyManagement/PLBuddy.h"
#include "Preferences/ChatSaveOption.h"
#include "Preferences/FirewallSettings.h"
#include "Preferences/GeneralPaneRules.h"
#include "Preferences/OrchardOptions.h"
#include "Preferences/PlugInPaneModel.h"
#include "Preferences/PrefsLanguage.h"
#include "Preferences/PrefsPaneGeometry.h"
#include "Preferences/PrefsToolbarModel.h"
#include "Preferences/PrivacyLists.h"
#include "Preferences/PrivacyProfileChange.h"
#include "Preferences/SoundOptionRules.h"
#include "TestSupport.h"
#include "Utils/KCUtilities.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace parley;

namespace {

TEST(PrefsToolbarModel, ItemsByKindOfAccount)
{
    const QStringList common{"PLPREFSGeneral", "PLPREFSNotification", "PLPREFSMessage", "PLPREFSPrivacy",
                             "PLPREFSFirewall"};
    const struct {
        bool globalMode;
        bool velaMode;
        QStringList tail;
    } cases[] = {
        {true, true, {"PLPREFSOrchard"}},
        {true, false, {"PLPREFSOrchard"}},
        {false, true, {"PLPREFSPlugin", "PLPREFSOrchard"}},
        {false, false, {"PLPREFSPlugin", "PLPREFSVelaCom"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "global " << c.globalMode << " vela " << c.velaMode);
        EXPECT_EQ(PrefsToolbarModel::itemIdentifiers(c.globalMode, c.velaMode), common + c.tail);
    }
}

TEST(PrefsToolbarModel, EveryItemNamesItsLabelImageAndPane)
{
    const struct {
        const char *id;
        const char *label;
        const char *image;
        PrefsPaneKind pane;
    } cases[] = {
        {"PLPREFSGeneral", "General", "prefs_general", PrefsPaneKind::General},
        {"PLPREFSNotification", "Notification", "prefs_notificaiton", PrefsPaneKind::Notification},
        {"PLPREFSMessage", "Message", "prefs_message", PrefsPaneKind::Message},
        {"PLPREFSPrivacy", "Privacy", "prefs_privacy", PrefsPaneKind::Privacy},
        {"PLPREFSFirewall", "Firewall", "prefs_firewall", PrefsPaneKind::Firewall},
        {"PLPREFSPlugin", "Plugin", "prefs_plugin", PrefsPaneKind::Plugin},
        {"PLPREFSOrchard", "Orchard", "prefs_orchard", PrefsPaneKind::Orchard},
        {"PLPREFSVelaCom", "Velacom", "prefs_velacom", PrefsPaneKind::VelaCom},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        const auto item = PrefsToolbarModel::item(QLatin1String(c.id));
        ASSERT_TRUE(item);
        EXPECT_EQ(item->labelKey, QLatin1String(c.label));
        EXPECT_EQ(item->image, QLatin1String(c.image));
        EXPECT_EQ(item->pane, c.pane);
        EXPECT_EQ(PrefsToolbarModel::itemForPane(c.pane).identifier, QLatin1String(c.id));
    }
    EXPECT_FALSE(PrefsToolbarModel::item(QStringLiteral("PLPREFSUnknown")));
}

// Frames have their origin at the bottom left, y up.
TEST(PrefsPaneGeometry, SwitchKeepsTheTopEdge)
{
    const struct {
        const char *name;
        bool alreadyShown;
        QRectF window;
        qreal content;
        QSizeF pane;
        bool unchanged;
        bool blankFirst;
        QRectF frame;
    } cases[] = {
        // 60 of toolbar over 300 of pane; the new pane is 400 tall: the bottom moves down by 100.
        {"taller", false, {100, 200, 580, 360}, 300, {580, 400}, false, true, {100, 100, 580, 460}},
        {"shorter and narrower", false, {100, 200, 580, 360}, 300, {500, 250}, false, true, {100, 250, 500, 310}},
        {"as tall as the current one", false, {100, 200, 580, 360}, 300, {600, 300}, false, false,
         {100, 200, 600, 360}},
        {"already shown", true, {100, 200, 580, 360}, 300, {580, 400}, true, false, {100, 200, 580, 360}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const PrefsPaneSwitch s =
            PrefsPaneGeometry::switchToPane(c.alreadyShown, c.window, c.content, c.pane, {560, 280}, 22);
        EXPECT_EQ(s.unchanged, c.unchanged);
        EXPECT_EQ(s.blankFirst, c.blankFirst);
        EXPECT_EQ(s.frame, c.frame);
        if (!c.unchanged) {
            EXPECT_EQ(s.minimumSize, QSizeF(560, 302));
            EXPECT_EQ(s.frame.y() + s.frame.height(), c.window.y() + c.window.height()) << "the top edge moved";
        }
    }
}

TEST(PrefsPaneGeometry, ScreenRectanglesFlipAtTheScreensHeight)
{
    const QRectF frame(100, 100, 580, 460);
    const QRectF onScreen = PrefsPaneGeometry::toScreen(frame, 1000);
    EXPECT_EQ(onScreen, QRectF(100, 440, 580, 460));
    EXPECT_EQ(PrefsPaneGeometry::fromScreen(onScreen, 1000), frame);
}

TEST(PrefsLanguage, PopupIndexAndCode)
{
    const struct {
        const char *code;
        std::optional<int> index;
    } cases[] = {{"ko", std::nullopt}, {"en", 0},      {"ja", 1},      {"de", 2},
                 {"es", 3},            {"zh-Hans", 4}, {"zh-Hant", 5}, {"fr", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(PrefsLanguage::indexForLanguage(QLatin1String(c.code)), c.index);
        if (c.index && QLatin1String(c.code) != QLatin1String("fr"))
            EXPECT_EQ(PrefsLanguage::codeForIndex(*c.index), QLatin1String(c.code));
    }
    EXPECT_EQ(PrefsLanguage::codeForIndex(6), QStringLiteral("en"));
    EXPECT_EQ(PrefsLanguage::codeForIndex(-1), QStringLiteral("en"));
    EXPECT_EQ(PrefsLanguage::titleKeys().size(), 6);
}

TEST(GeneralPaneRules, MinutesFieldWhileTyping)
{
    const struct {
        const char *typed;
        const char *shown; // nullptr: the text stays
    } cases[] = {{"0", "10"},   {"1000", "10"}, {"", "10"},   {"-5", "10"},
                 {"abc", "10"}, {"1", nullptr}, {"999", nullptr}, {"25", nullptr}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        const auto corrected = GeneralPaneRules::correctedMinutes(QLatin1String(c.typed));
        if (c.shown)
            EXPECT_EQ(corrected, QLatin1String(c.shown));
        else
            EXPECT_FALSE(corrected);
    }
}

TEST(GeneralPaneRules, DisplayNameIsCutAt127Characters)
{
    EXPECT_FALSE(GeneralPaneRules::truncatedDisplayName(QString(127, QLatin1Char('a'))));
    const QString long128 = QString(120, QLatin1Char('a')) + QStringLiteral("/smile/");
    ASSERT_EQ(long128.size(), 127);
    EXPECT_FALSE(GeneralPaneRules::truncatedDisplayName(long128));
    EXPECT_EQ(GeneralPaneRules::truncatedDisplayName(long128 + QStringLiteral("b")), long128);
    EXPECT_EQ(GeneralPaneRules::truncatedDisplayName(QString(300, QChar(0xD55C)))->size(), 127);
}

TEST(SoundOptionRules, TheTwoBoxesAreInverse)
{
    const struct {
        bool byUseSound;
        bool on;
        SoundBoxes expected;
    } cases[] = {
        {true, true, {true, false, true}},
        {true, false, {false, true, false}},
        {false, true, {false, true, false}},
        {false, false, {true, false, true}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.byUseSound ? "use sound " : "option ") << c.on);
        const SoundBoxes b = c.byUseSound ? SoundOptionRules::afterUseSound(c.on) : SoundOptionRules::afterOption(c.on);
        EXPECT_EQ(b.useSound, c.expected.useSound);
        EXPECT_EQ(b.option, c.expected.option);
        EXPECT_EQ(b.eventsEnabled, c.expected.eventsEnabled);
    }
}

TEST(ChatSaveOption, IndexShownAndProfileChange)
{
    const struct {
        std::optional<int> stored;
        const char *server;
        int shown;
    } cases[] = {
        {0, "2", 0}, {2, "0", 2}, {std::nullopt, "2", 0}, {3, "2", 2}, {3, "1", 1}, {7, "0", 0},
        {3, "", 0},  {3, "9", 2}, {-1, "1", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored.value_or(-99) << " " << c.server);
        EXPECT_EQ(ChatSaveOption::indexToShow(c.stored, QLatin1String(c.server)), c.shown);
    }
    EXPECT_FALSE(ChatSaveOption::profileChange(1, 1));
    EXPECT_EQ(ChatSaveOption::profileChange(2, 0), (QVariantMap{{"chat_save_opt", "2"}}));
    EXPECT_EQ(ChatSaveOption::profileChange(0, 1), (QVariantMap{{"chat_save_opt", "0"}}));
}

PLBuddyPtr buddy(const char *id, const char *name, const char *flags)
{
    auto b = std::make_shared<PLBuddy>(QStringLiteral("cmn-") + QLatin1String(id));
    b->setVelaID(QLatin1String(id));
    b->setName(QLatin1String(name));
    b->setBuddyFlags(QLatin1String(flags));
    return b;
}

TEST(PrivacyLists, TheOtherBuddiesRowFollowsTheCheckBox)
{
    using T = PrivacyLists::Table;
    const QList<PLBuddyPtr> allowed{buddy("ann@x.test", "Ann", "1100"), buddy("ben@x.test", "Ben", "0100")};
    const QList<PLBuddyPtr> blocked{buddy("cy@x.test", "Cy", "0010")};
    const QString other = KCLocalizedString(QStringLiteral("PrivacyOtherBuddies"));

    const PrivacyLists off(allowed, blocked, false, true);
    EXPECT_EQ(off.rowCount(T::Allowed), 3);
    EXPECT_EQ(off.rowCount(T::Blocked), 1);
    EXPECT_EQ(off.cellText(T::Allowed, 0), other);
    EXPECT_EQ(off.cellText(T::Allowed, 1), QStringLiteral("Ann (ann@x.test)"));
    EXPECT_EQ(off.cellText(T::Allowed, 2), QStringLiteral("ben@x.test")) << "not on my list: the ID alone";
    EXPECT_EQ(off.cellText(T::Blocked, 0), QStringLiteral("Cy (cy@x.test)")) << "blocked: always name and ID";
    EXPECT_EQ(off.buddyAt(T::Allowed, 2)->velaID(), QStringLiteral("ben@x.test"));
    EXPECT_EQ(off.buddyAt(T::Allowed, 3), nullptr);

    const PrivacyLists on(allowed, blocked, true, true);
    EXPECT_EQ(on.rowCount(T::Allowed), 2);
    EXPECT_EQ(on.rowCount(T::Blocked), 2);
    EXPECT_EQ(on.cellText(T::Blocked, 0), other);
    EXPECT_EQ(on.cellText(T::Allowed, 0), QStringLiteral("Ann (ann@x.test)"));
    EXPECT_EQ(on.buddyAt(T::Blocked, 1)->velaID(), QStringLiteral("cy@x.test"));

    const PrivacyLists empty({}, {}, false, true);
    EXPECT_EQ(empty.rowCount(T::Allowed), 1);
    EXPECT_EQ(empty.cellText(T::Allowed, 0), other);

    const PrivacyLists signedOut(allowed, blocked, false, false);
    EXPECT_EQ(signedOut.cellText(T::Allowed, 0), QString());
    EXPECT_EQ(signedOut.cellText(T::Allowed, 1), QString());
}

TEST(PrivacyLists, BlockAndAllowByRow)
{
    using Kind = PrivacyLists::Action::Kind;
    const QList<PLBuddyPtr> allowed{buddy("ann@x.test", "Ann", "1100")};
    const QList<PLBuddyPtr> blocked{buddy("cy@x.test", "Cy", "0010")};
    const PrivacyLists off(allowed, blocked, false, true);
    const PrivacyLists on(allowed, blocked, true, true);
    const struct {
        const char *name;
        PrivacyLists::Action action;
        Kind kind;
        const char *buddyID;
    } cases[] = {
        {"no selection", off.blockAction(std::nullopt), Kind::Nothing, nullptr},
        {"block the other-buddies row", off.blockAction(0), Kind::FlipOnlyAllowed, nullptr},
        {"block a buddy after the row", off.blockAction(1), Kind::Send, "ann@x.test"},
        {"block past the end", off.blockAction(2), Kind::Nothing, nullptr},
        {"block with the row in the other table", on.blockAction(0), Kind::Send, "ann@x.test"},
        {"allow the other-buddies row", on.allowAction(0), Kind::FlipOnlyAllowed, nullptr},
        {"allow a buddy after the row", on.allowAction(1), Kind::Send, "cy@x.test"},
        {"allow without the row", off.allowAction(0), Kind::Send, "cy@x.test"},
        {"allow past the end", off.allowAction(1), Kind::Nothing, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.action.kind, c.kind);
        if (c.buddyID) {
            ASSERT_TRUE(c.action.buddy);
            EXPECT_EQ(c.action.buddy->velaID(), QLatin1String(c.buddyID));
        }
    }
}

TEST(PrivacyLists, MenuItemsByBuddy)
{
    using M = PrivacyLists::MenuItem;
    const PLBuddyPtr listed = buddy("ann@x.test", "Ann", "1101");   // on my list, I am on hers
    const PLBuddyPtr stranger = buddy("ben@x.test", "Ben", "0100"); // neither
    const struct {
        const char *name;
        M item;
        PLBuddyPtr buddy;
        bool enabled;
    } cases[] = {
        {"profile", M::Profile, listed, true},          {"show a listed buddy", M::ShowAtList, listed, false},
        {"show a stranger", M::ShowAtList, stranger, true}, {"move", M::Move, stranger, true},
        {"remove when on her list", M::Remove, listed, false}, {"remove a stranger", M::Remove, stranger, true},
        {"no buddy", M::Move, nullptr, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PrivacyLists::validate(c.item, c.buddy).enabled, c.enabled);
    }
    EXPECT_EQ(PrivacyLists::validate(M::Profile, listed).title,
              KCLocalizedString(QStringLiteral("ShowBuddyProfile")).arg(QStringLiteral("Ann (ann@x.test)")));
    EXPECT_EQ(PrivacyLists::validate(M::Profile, stranger).title,
              KCLocalizedString(QStringLiteral("ShowBuddyProfile")).arg(QStringLiteral("ben@x.test")));
}

TEST(PrivacyProfileChange, OnlyTheChangedSwitchesAreSent)
{
    const struct {
        const char *name;
        bool onlyAllowed, memos, encrypt, onlyAllowedInForce, memosInForce;
        QVariantMap sent;
        QVariantMap prefs;
    } cases[] = {
        {"nothing changed", false, true, true, false, true, {}, {{"PrivacyEncrypt", true}}},
        {"only allowed turned on", true, true, false, false, true, {{"allow_nonbuddy_chat", "N"}},
         {{"PrivacyCheckBuddy", false}, {"PrivacyEncrypt", false}}},
        {"only allowed turned off", false, false, true, true, false, {{"allow_nonbuddy_chat", "Y"}},
         {{"PrivacyCheckBuddy", true}, {"PrivacyEncrypt", true}}},
        {"memos only", false, true, true, false, false, {{"allow_buddy_only", "Y"}},
         {{"PrivacyAllowNote", true}, {"PrivacyEncrypt", true}}},
        {"both", true, false, false, false, true, {{"allow_nonbuddy_chat", "N"}, {"allow_buddy_only", "N"}},
         {{"PrivacyCheckBuddy", false}, {"PrivacyAllowNote", false}, {"PrivacyEncrypt", false}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const PrivacyProfileChange change =
            PrivacyProfileChange::forBoxes(c.onlyAllowed, c.memos, c.encrypt, c.onlyAllowedInForce, c.memosInForce);
        EXPECT_EQ(change.profileChange, c.sent);
        EXPECT_EQ(change.userPrefs, c.prefs);
    }
}

TEST(FirewallSettings, WhatSavingStores)
{
    const auto form = [](bool use, int kind, const char *server, const char *port, const char *p2p) {
        FirewallForm f;
        f.useProxy = use;
        f.kind = kind;
        f.server = QLatin1String(server);
        f.port = QLatin1String(port);
        f.user = QStringLiteral("u");
        f.password = QStringLiteral("p w");
        f.p2pPort = QLatin1String(p2p);
        return f;
    };
    const struct {
        const char *name;
        FirewallForm form;
        bool useProxy;
        int index;
        const char *portKey;
        const char *p2p;
    } cases[] = {
        {"http", form(true, 1, "proxy.test", "3128", "6000"), true, 1, "ProxyPortHTTP", "6000"},
        {"socks4", form(true, 2, "s.test", "1080", "5004"), true, 2, "ProxyPortSocks4", "5004"},
        {"socks5", form(true, 3, "s.test", "1081", "7000"), true, 3, "ProxyPortSocks5", "7000"},
        {"no server turns the proxy off", form(true, 1, "", "80", "6000"), false, 1, "ProxyPortHTTP", "6000"},
        {"an unknown kind is http", form(false, 9, "x", "80", "6000"), false, 1, "ProxyPortHTTP", "6000"},
        {"p2p zero", form(false, 1, "", "", "0"), false, 1, "ProxyPortHTTP", "5004"},
        {"p2p not a number", form(false, 1, "", "", "abc"), false, 1, "ProxyPortHTTP", "5004"},
        {"p2p empty", form(false, 1, "", "", ""), false, 1, "ProxyPortHTTP", "5004"},
        {"p2p beyond the last port", form(false, 1, "", "", "70000"), false, 1, "ProxyPortHTTP", "5004"},
        {"p2p negative", form(false, 1, "", "", "-3"), false, 1, "ProxyPortHTTP", "5004"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QVariantMap v = FirewallSettings::valuesToSave(c.form);
        EXPECT_EQ(v.value("UseProxy").toBool(), c.useProxy);
        EXPECT_EQ(v.value("ProxyIndex").toInt(), c.index);
        EXPECT_EQ(v.value(QLatin1String(c.portKey)).toString(), c.form.port);
        // Only the chosen kind's port is written.
        for (const char *other : {"ProxyPortHTTP", "ProxyPortSocks4", "ProxyPortSocks5"})
            if (QLatin1String(other) != QLatin1String(c.portKey))
                EXPECT_FALSE(v.contains(QLatin1String(other))) << other;
        EXPECT_EQ(v.value("P2PPort").toString(), QLatin1String(c.p2p));
        EXPECT_EQ(v.value("ProxyServer").toString(), c.form.server);
        EXPECT_EQ(v.value("ProxyPassword").toString(), QStringLiteral("p w"));
    }
    EXPECT_FALSE(FirewallSettings::takesCredentials(2));
    EXPECT_TRUE(FirewallSettings::takesCredentials(1));
    EXPECT_TRUE(FirewallSettings::takesCredentials(3));
}

TEST(PlugInPaneModel, ButtonsBySituation)
{
    const struct {
        const char *name;
        PlugInFacts facts;
        PlugInControls expected;
    } cases[] = {
        // message box, installed, update pending, auto-launch allowed, auto-launch on
        {"message box up to date", {true, true, false, true, true}, {true, true, false, false, false}},
        {"message box with an update", {true, true, true, true, false}, {true, false, false, true, false}},
        {"message box not even installed", {true, false, true, false, true}, {false, false, false, true, false}},
        {"installed, up to date", {false, true, false, false, true}, {false, false, false, false, true}},
        {"installed, update pending", {false, true, true, true, true}, {true, true, false, true, true}},
        {"not installed", {false, false, true, true, false}, {true, false, true, false, false}},
        {"auto-launch on but not allowed", {false, true, false, false, true}, {false, false, false, false, true}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const PlugInControls got = PlugInPaneModel::controlsFor(c.facts);
        EXPECT_EQ(got.autoStartEnabled, c.expected.autoStartEnabled);
        EXPECT_EQ(got.autoStartChecked, c.expected.autoStartChecked);
        EXPECT_EQ(got.installEnabled, c.expected.installEnabled);
        EXPECT_EQ(got.upgradeEnabled, c.expected.upgradeEnabled);
        EXPECT_EQ(got.removeEnabled, c.expected.removeEnabled);
    }
}

TEST(PlugInPaneModel, DescriptionAndInstalledColumn)
{
    // A description holding a placeholder is data, not a format.
    const QVariantMap entry{{"description", "Keeps memos %2"}, {"version", "1.0"}, {"newVersion", "1.5"}};
    const QString installedText = KCLocalizedString(QStringLiteral("PluginVersionFormat"))
                                      .arg(QStringLiteral("Keeps memos %2"), QStringLiteral("1.0"));
    EXPECT_EQ(PlugInPaneModel::descriptionText(entry, true, false), installedText);
    EXPECT_EQ(PlugInPaneModel::descriptionText(entry, false, false), QString());
    EXPECT_EQ(PlugInPaneModel::descriptionText(entry, true, true),
              KCLocalizedString(QStringLiteral("UpdateIsExist"))
                  .arg(QStringLiteral("Keeps memos %2\n1.0\n\n"), QStringLiteral("1.5")));
    EXPECT_EQ(PlugInPaneModel::descriptionText(entry, false, true),
              KCLocalizedString(QStringLiteral("UpdateIsExist")).arg(QString(), QStringLiteral("1.5")));

    QTemporaryDir dir;
    EXPECT_EQ(PlugInPaneModel::installedText({{"path", dir.path()}}), KCLocalizedString(QStringLiteral("Installed")));
    EXPECT_EQ(PlugInPaneModel::installedText({{"path", dir.filePath("gone.app")}}),
              KCLocalizedString(QStringLiteral("NotInstalled")));
    EXPECT_EQ(PlugInPaneModel::installedText({}), KCLocalizedString(QStringLiteral("NotInstalled")));
}

TEST(AccountLinking, PressingTheLinkButton)
{
    using P = AccountLinking::Press;
    AccountLinking idle;
    EXPECT_EQ(idle.pressLink(false, false, "id", "pw"), P::Ignore);
    EXPECT_EQ(idle.pressLink(true, false, "id", "pw"), P::Link);
    EXPECT_EQ(idle.pressLink(true, false, "", "pw"), P::MissingFields);
    EXPECT_EQ(idle.pressLink(true, false, "id", ""), P::MissingFields);
    EXPECT_EQ(idle.pressLink(true, true, "", ""), P::AskUnlink);

    AccountLinking waiting;
    waiting.linkRequested(AccountLinking::Service::Orchard, 12);
    EXPECT_TRUE(waiting.isWaiting());
    EXPECT_EQ(waiting.pressLink(true, false, "id", "pw"), P::Ignore);
    EXPECT_EQ(waiting.pressLink(true, true, "", ""), P::Ignore);
}

TEST(AccountLinking, ARequestThatWasNotSentLeavesTheButtonLive)
{
    for (const bool link : {true, false}) {
        SCOPED_TRACE(link ? "link" : "unlink");
        AccountLinking state;
        if (link)
            state.linkRequested(AccountLinking::Service::Vela, -1);
        else
            state.unlinkRequested(AccountLinking::Service::Vela, -1);
        EXPECT_FALSE(state.isWaiting());
        EXPECT_EQ(state.pressLink(true, false, "id", "pw"), AccountLinking::Press::Link);
    }
}

TEST(AccountLinking, ResultsOfTheSisterServicesPane)
{
    const struct {
        const char *name;
        const char *tid;
        const char *orcmn;
        bool handled;
        bool linked;
        const char *alert;
    } cases[] = {
        {"ours, linked", "12", "900001", true, true, "OrchardCoupleOKMsg"},
        {"ours, %00 is unlinked", "12", "%00", true, false, "OrchardCoupleCancelMsg"},
        {"ours, empty is unlinked", "12", "", true, false, "OrchardCoupleCancelMsg"},
        {"nobody's, still shown", "0", "900001", true, true, "OrchardCoupleOKMsg"},
        {"somebody else's", "13", "900001", false, false, ""},
        {"no number", "x", "900001", false, false, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AccountLinking state;
        state.linkRequested(AccountLinking::Service::Orchard, 12);
        const AccountLinking::Result r = state.cprfResult(true, true, QLatin1String(c.tid), QLatin1String(c.orcmn));
        EXPECT_EQ(r.handled, c.handled);
        EXPECT_EQ(r.linked, c.linked);
        EXPECT_EQ(r.alertKey, QLatin1String(c.alert));
        EXPECT_FALSE(state.isWaiting()) << "any result ends the wait";
    }
    AccountLinking signedOut;
    signedOut.linkRequested(AccountLinking::Service::Orchard, 12);
    EXPECT_FALSE(signedOut.cprfResult(true, false, "12", "900001").handled);
    EXPECT_FALSE(signedOut.isWaiting());
}

TEST(AccountLinking, ResultsOfThePortalsPane)
{
    const struct {
        const char *name;
        bool link;
        const char *tid;
        bool handled;
        bool linked;
        const char *alert;
    } cases[] = {
        {"linked", true, "12", true, true, "OrchardCoupleOKMsg"},
        {"unlinked", false, "12", true, false, "VelaCoupleCancelMsg"},
        {"nobody's after a link: silent", true, "0", true, true, ""},
        {"nobody's after an unlink: silent", false, "0", true, false, ""},
        {"somebody else's", true, "99", false, false, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AccountLinking state;
        if (c.link)
            state.linkRequested(AccountLinking::Service::Vela, 12);
        else
            state.unlinkRequested(AccountLinking::Service::Vela, 12);
        EXPECT_EQ(state.isCoupling(), c.link);
        const AccountLinking::Result r = state.cprfResult(false, true, QLatin1String(c.tid), QString());
        EXPECT_EQ(r.handled, c.handled);
        EXPECT_EQ(r.linked, c.linked);
        EXPECT_EQ(r.alertKey, QLatin1String(c.alert));
    }
}

TEST(AccountLinking, ErrorReplies)
{
    const struct {
        const char *name;
        AccountLinking::Service service;
        const char *tid;
        const char *code;
        bool stillWaiting;
        const char *alert;
    } cases[] = {
        {"sister service's request, any code", AccountLinking::Service::Orchard, "12", "500", false, ""},
        {"portal's request, 309", AccountLinking::Service::Vela, "12", "309", false, "VelaComCoupleErrMsg"},
        {"portal's request, another code", AccountLinking::Service::Vela, "12", "500", true, ""},
        {"another request", AccountLinking::Service::Vela, "40", "309", true, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        AccountLinking state;
        state.linkRequested(c.service, 12);
        EXPECT_EQ(state.errorReceived(QLatin1String(c.tid), QLatin1String(c.code)), QLatin1String(c.alert));
        EXPECT_EQ(state.isWaiting(), c.stillWaiting);
    }
}

TEST(OrchardOptions, OpenModesAndChangedOptions)
{
    EXPECT_EQ(OrchardOptions::openModeTitles().size(), 3) << "a fourth entry would store N, read back as C";
    const char *const modes[] = {"O", "B", "C", "N", "N"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(OrchardOptions::openModeForIndex(i), QLatin1String(modes[i])) << i;
    const OrchardOptionValues inForce{2, true, false};
    EXPECT_TRUE(OrchardOptions::changedOptions(inForce, inForce).isEmpty());
    EXPECT_EQ(OrchardOptions::changedOptions({0, true, false}, inForce), (QVariantMap{{"orchard_open_mode", "O"}}));
    EXPECT_EQ(OrchardOptions::changedOptions({2, false, true}, inForce),
              (QVariantMap{{"orchard_noti1", "N"}, {"orchard_noti2", "Y"}}));
}

} // namespace
