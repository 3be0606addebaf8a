// The Privacy, Firewall, Plug-in and account-linking panes against the
// recording facade, shell and plug-in host.
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "DistributedNotificationCenter.h"
#include "Preferences/FirewallPane.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Preferences/OrchardPane.h"
#include "Preferences/PlugInPane.h"
#include "Preferences/PrefsServices.h"
#include "PrefsWindowFixture.h"
#include "Preferences/PrivacyPane.h"
#include "PrivateBus.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"
#include "Preferences/VelaComPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

namespace parley::test {
namespace {

UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }

const QVariantMap kNewUser = KCDefaultUserPreferences();

void addBuddy(const char *cmn, const char *id, const char *name, const char *flags)
{
    const PLBuddyPtr b = PLBuddyManager::sharedManager().createBuddyForCMN(QLatin1String(cmn));
    b->setVelaID(QLatin1String(id));
    b->setName(QLatin1String(name));
    b->setBuddyFlags(QLatin1String(flags));
}

QStringList rows(QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QString other() { return KCLocalizedString(QStringLiteral("PrivacyOtherBuddies")); }

// The server profile says: anybody may chat, memos from anybody.
void profileAllowsEverybody()
{
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    me.setProfileValue(QStringLiteral("Y"), QStringLiteral("allow_nonbuddy_chat"));
    me.setProfileValue(QStringLiteral("N"), QStringLiteral("allow_buddy_only"));
}

TEST_F(PrefsWindowTest, PrivacySendsOnlyTheChangedSwitches)
{
    const struct {
        const char *name;
        bool onlyAllowed;
        bool memos;
        QList<QVariantList> sent;
    } cases[] = {
        {"nothing changed", false, false, {}},
        {"only allowed", true, false, {{QVariantMap{{"allow_nonbuddy_chat", "N"}}}}},
        {"memos", false, true, {{QVariantMap{{"allow_buddy_only", "Y"}}}}},
        {"both", true, true, {{QVariantMap{{"allow_nonbuddy_chat", "N"}, {"allow_buddy_only", "Y"}}}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        mSession.calls.clear();
        PLMyInfoManager::sharedManager().resetForTesting();
        profileAllowsEverybody();
        QVariantMap prefs = kNewUser;
        prefs.insert(QStringLiteral("PrivacyEncrypt"), false);
        signIn(sisterID("me"), prefs);
        PrivacyPane *pane = openWindow()->privacyPane();
        EXPECT_FALSE(pane->checkBuddyButton()->isChecked());
        EXPECT_FALSE(pane->allowNoteButton()->isChecked());
        EXPECT_FALSE(pane->encryptButton()->isChecked());
        pane->checkBuddyButton()->setChecked(c.onlyAllowed);
        pane->allowNoteButton()->setChecked(c.memos);
        pane->encryptButton()->setChecked(true);
        closeWindow();
        EXPECT_EQ(mSession.callsOf("setCPRF"), c.sent);
        const QVariantMap stored = defaults().userDictionary(mUser.id);
        EXPECT_TRUE(stored.value(QStringLiteral("PrivacyEncrypt")).toBool()) << "always written";
        EXPECT_EQ(stored.value(QStringLiteral("PrivacyCheckBuddy")).toBool(), !c.onlyAllowed);
        if (c.memos) {
            EXPECT_TRUE(stored.value(QStringLiteral("PrivacyAllowNote")).toBool());
        }
        EXPECT_EQ(PLMyInfoManager::sharedManager().profileValueForKey(QStringLiteral("allow_nonbuddy_chat")),
                  c.onlyAllowed ? QStringLiteral("N") : QStringLiteral("Y"));
    }
}

// Who may reach the user and how messages are encrypted are two options,
// each with its own description.
TEST_F(PrefsWindowTest, PrivacyAndEncryptionHaveTheirOwnDescriptions)
{
    signIn(sisterID("me"), kNewUser);
    PrivacyPane *pane = openWindow()->privacyPane();
    QStringList texts;
    for (const QLabel *label : pane->findChildren<QLabel *>())
        texts << label->text();
    const QString privacy = KCLocalizedString(QStringLiteral("PrivacyGuide"));
    const QString encryption = KCLocalizedString(QStringLiteral("PrivacyEncryptGuide"));
    EXPECT_NE(privacy, encryption);
    EXPECT_EQ(texts.count(privacy), 1);
    EXPECT_EQ(texts.count(encryption), 1);
}

TEST_F(PrefsWindowTest, OtherBuddiesRowMovesBetweenTheTablesWithoutSending)
{
    profileAllowsEverybody();
    signIn(sisterID("me"), kNewUser);
    PrivacyPane *pane = openWindow()->privacyPane();
    EXPECT_EQ(rows(pane->allowTable()), QStringList{other()});
    EXPECT_TRUE(rows(pane->denyTable()).isEmpty());
    pane->allowTable()->setCurrentRow(0);
    pane->blockButton()->click();
    EXPECT_TRUE(pane->checkBuddyButton()->isChecked());
    EXPECT_TRUE(rows(pane->allowTable()).isEmpty());
    EXPECT_EQ(rows(pane->denyTable()), QStringList{other()});
    pane->denyTable()->setCurrentRow(0);
    pane->allowButton()->click();
    EXPECT_FALSE(pane->checkBuddyButton()->isChecked());
    EXPECT_EQ(rows(pane->allowTable()), QStringList{other()});
    EXPECT_TRUE(mSession.calls.isEmpty());
}

TEST_F(PrefsWindowTest, BlockAndAllowAreSentAtOnce)
{
    profileAllowsEverybody();
    addBuddy("1", "ann@x.test", "Ann", "1100");
    addBuddy("2", "ben@x.test", "Ben", "0010");
    signIn(sisterID("me"), kNewUser);
    PrivacyPane *pane = openWindow()->privacyPane();
    EXPECT_EQ(rows(pane->allowTable()), (QStringList{other(), QStringLiteral("Ann (ann@x.test)")}));
    EXPECT_EQ(rows(pane->denyTable()), QStringList{QStringLiteral("Ben (ben@x.test)")});
    pane->allowTable()->setCurrentRow(1);
    pane->blockButton()->click();
    pane->denyTable()->setCurrentRow(0);
    pane->allowButton()->click();
    EXPECT_EQ(mSession.calls, (QList<Call>{{QStringLiteral("blockBuddy"), {QStringLiteral("ann@x.test")}},
                                           {QStringLiteral("unblockBuddy"), {QStringLiteral("ben@x.test")}}}));

    // The tables follow the buddy manager.
    PLBuddyManager::sharedManager().buddyForID(QStringLiteral("ann@x.test"))->setBuddyFlags(QStringLiteral("1010"));
    PLBuddyManager::sharedManager().postBuddyUpdatedNotification(QStringLiteral("ann@x.test"));
    EXPECT_EQ(rows(pane->denyTable()).size(), 2);

    // Not logged in: nothing goes out.
    mSession.calls.clear();
    mSession.loggedIn = false;
    pane->denyTable()->setCurrentRow(0);
    pane->allowButton()->click();
    EXPECT_TRUE(mSession.calls.isEmpty());
}

TEST_F(PrefsWindowTest, PrivacyMenusActOnTheSelectedBuddy)
{
    profileAllowsEverybody();
    addBuddy("1", "ann@x.test", "Ann", "0100"); // allowed, not on my list, not on hers
    signIn(sisterID("me"), kNewUser);
    PrivacyPane *pane = openWindow()->privacyPane();
    pane->allowTable()->setCurrentRow(1);
    QMenu *menu = pane->menuFor(PrivacyLists::Table::Allowed);
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), KCLocalizedString(QStringLiteral("ShowBuddyProfile")).arg(QStringLiteral("ann@x.test")));
    for (QAction *action : actions)
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    for (QAction *action : actions)
        action->trigger();
    EXPECT_EQ(mShell.calls, QStringList{QStringLiteral("showBuddyProfile ann@x.test")});
    EXPECT_EQ(mSession.calls, (QList<Call>{{QStringLiteral("showBuddy"), {QStringLiteral("ann@x.test")}},
                                           {QStringLiteral("blockBuddy"), {QStringLiteral("ann@x.test")}},
                                           {QStringLiteral("removeBuddyFlag"),
                                            {QStringLiteral("ann@x.test"), QStringLiteral("AL")}}}));

    pane->allowTable()->setCurrentRow(0); // the other-buddies row: no buddy
    for (QAction *action : pane->menuFor(PrivacyLists::Table::Allowed)->actions())
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
}

TEST_F(PrefsWindowTest, PrivacySignedOutShowsNothingAndDisablesTheButtons)
{
    addBuddy("1", "ann@x.test", "Ann", "1100");
    PrivacyPane *pane = openWindow()->privacyPane();
    EXPECT_EQ(rows(pane->allowTable()), (QStringList{QString(), QString()}));
    EXPECT_FALSE(pane->blockButton()->isEnabled());
    EXPECT_FALSE(pane->allowButton()->isEnabled());
    EXPECT_FALSE(pane->checkBuddyButton()->isEnabled());
    EXPECT_FALSE(pane->encryptButton()->isEnabled());
}

TEST_F(PrefsWindowTest, FirewallSavesWhatTheFormSays)
{
    defaults().setString(QStringLiteral("1080"), QStringLiteral("ProxyPortSocks4"));
    defaults().setString(QStringLiteral("1081"), QStringLiteral("ProxyPortSocks5"));
    defaults().setString(QStringLiteral("8080"), QStringLiteral("ProxyPortHTTP"));
    const struct {
        const char *name;
        int kind;
        const char *server;
        const char *p2p;
        bool useProxy;
        const char *portKey;
        const char *port;
        const char *user;
        const char *stored;
    } cases[] = {
        {"http", 1, "proxy.test", "6000", true, "ProxyPortHTTP", "3128", "me", "6000"},
        {"socks4 empties user and password", 2, "socks.test", "0", true, "ProxyPortSocks4", "1090", "", "5004"},
        {"socks5", 3, "socks.test", "abc", true, "ProxyPortSocks5", "1091", "me", "5004"},
        {"no server", 1, "", "7000", false, "ProxyPortHTTP", "3129", "me", "7000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FirewallPane *pane = openWindow()->firewallPane();
        pane->useProxyButton()->click();
        ASSERT_TRUE(pane->useProxyButton()->isChecked());
        pane->userField()->setText(QStringLiteral("me"));
        pane->passwordField()->setText(QStringLiteral("secret"));
        QComboBox *kinds = pane->proxyModePopup();
        kinds->setCurrentIndex(c.kind - 1);
        emit kinds->activated(c.kind - 1);
        EXPECT_EQ(pane->portField()->text(), defaults().stringForKey(QLatin1String(c.portKey)))
            << "each kind shows its own port";
        pane->serverField()->setText(QLatin1String(c.server));
        pane->portField()->setText(QLatin1String(c.port));
        pane->p2pPortField()->setText(QLatin1String(c.p2p));
        const QString othersBefore = defaults().stringForKey(QStringLiteral("ProxyPortHTTP")) + QLatin1Char('/')
            + defaults().stringForKey(QStringLiteral("ProxyPortSocks4")) + QLatin1Char('/')
            + defaults().stringForKey(QStringLiteral("ProxyPortSocks5"));
        closeWindow();
        EXPECT_EQ(defaults().boolForKey(QStringLiteral("UseProxy")), c.useProxy);
        EXPECT_EQ(defaults().integerForKey(QStringLiteral("ProxyIndex")), c.kind);
        EXPECT_EQ(defaults().stringForKey(QLatin1String(c.portKey)), QLatin1String(c.port));
        EXPECT_EQ(defaults().stringForKey(QStringLiteral("ProxyServer")), QLatin1String(c.server));
        EXPECT_EQ(defaults().stringForKey(QStringLiteral("ProxyUser")), QLatin1String(c.user));
        EXPECT_EQ(defaults().stringForKey(QStringLiteral("ProxyPassword")),
                  QLatin1String(c.user).isEmpty() ? QString() : QStringLiteral("secret"));
        EXPECT_EQ(defaults().stringForKey(QStringLiteral("P2PPort")), QLatin1String(c.stored));
        // The password lives in the user defaults file, which only its owner can read.
        const QFile::Permissions mode = QFile::permissions(defaults().path());
        EXPECT_TRUE(mode & QFile::ReadOwner);
        EXPECT_FALSE(mode & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
        // The other kinds' ports are as they were.
        QStringList ports = othersBefore.split(QLatin1Char('/'));
        const char *const keys[] = {"ProxyPortHTTP", "ProxyPortSocks4", "ProxyPortSocks5"};
        for (int i = 0; i < 3; ++i)
            if (QLatin1String(keys[i]) != QLatin1String(c.portKey)) {
                EXPECT_EQ(defaults().stringForKey(QLatin1String(keys[i])), ports[i]) << keys[i];
            }
        // Reset the proxy for the next case.
        defaults().setBool(false, QStringLiteral("UseProxy"));
    }
}

TEST_F(PrefsWindowTest, ImportTakesTheSystemsHttpProxy)
{
    const QByteArray saved = qgetenv("http_proxy");
    qputenv("http_proxy", "http://proxy.test:3128");
    defaults().setBool(true, QStringLiteral("UseProxy"));
    defaults().setInteger(1, QStringLiteral("ProxyIndex"));
    FirewallPane *pane = openWindow()->firewallPane();
    ASSERT_TRUE(pane->importButton()->isVisibleTo(pane)) << "an HTTP proxy can be imported";
    pane->importButton()->click();
    EXPECT_TRUE(waitUntil([pane] { return !pane->isImporting(); }, 20000));
    EXPECT_EQ(pane->serverField()->text(), QStringLiteral("proxy.test"));
    EXPECT_EQ(pane->portField()->text(), QStringLiteral("3128"));

    // No proxy in the system: the fields stay.
    qunsetenv("http_proxy");
    pane->serverField()->setText(QStringLiteral("kept.test"));
    pane->importButton()->click();
    EXPECT_TRUE(waitUntil([pane] { return !pane->isImporting(); }, 20000));
    EXPECT_EQ(pane->serverField()->text(), QStringLiteral("kept.test"));
    if (!saved.isNull())
        qputenv("http_proxy", saved);

    // A SOCKS proxy offers no import.
    pane->proxyModePopup()->setCurrentIndex(1);
    emit pane->proxyModePopup()->activated(1);
    EXPECT_FALSE(pane->importButton()->isVisibleTo(pane));
}

class PlugInPaneTest : public PrefsWindowTest
{
protected:
    void SetUp() override
    {
        PrefsWindowTest::SetUp();
        if (!PrivateBus::available() || !mBus.isRunning())
            GTEST_SKIP() << "no dbus-daemon";
        mCenter = std::make_unique<DistributedNotificationCenter>(mBus.connect(QStringLiteral("prefs-messenger")));
        mListener = std::make_unique<DistributedNotificationCenter>(mBus.connect(QStringLiteral("prefs-plugin")));
        mListener->addObserver(QLatin1String(notifications::kQuitPlugInProcess),
                               [this](const DistributedNotification &n) { quits << n.object; });
        PrefsServices::setDistributedCenter(mCenter.get());
        mHost.entries = {{{"id", QLatin1String(notifications::kMessageBoxPlugInID)},
                          {"name", "Pigeonhole"},
                          {"description", "Memos and chats"},
                          {"version", "1.0"},
                          {"newVersion", "1.2"}},
                         {{"id", "other-plugin"}, {"name", "Other"}, {"description", "Another"}, {"version", "2.0"}}};
        mHost.facts[QLatin1String(notifications::kMessageBoxPlugInID)] = {true, true, true, true};
        mHost.facts[QStringLiteral("other-plugin")] = {false, true, false, false};
        signIn(sisterID("me"), kNewUser);
        mPane = openWindow()->plugInPane();
    }
    void TearDown() override
    {
        PrefsServices::setDistributedCenter(nullptr);
        PrefsWindowTest::TearDown();
    }
    void postQuit(const QString &id, const char *key)
    {
        NotificationCenter::defaultCenter().post(QLatin1String(notifications::kPlugInQuit), nullptr,
                                                 {{QStringLiteral("id"), id}, {QStringLiteral("key"), QLatin1String(key)}});
    }

    PrivateBus mBus;
    std::unique_ptr<DistributedNotificationCenter> mCenter;
    std::unique_ptr<DistributedNotificationCenter> mListener;
    QStringList quits;
    PlugInPane *mPane = nullptr;
};

TEST_F(PlugInPaneTest, RowsAndButtonsOfTheSelectedPlugIn)
{
    QTableWidget *table = mPane->table();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Pigeonhole"));
    EXPECT_EQ(table->item(1, 1)->text(), KCLocalizedString(QStringLiteral("NotInstalled"))) << "no file at its path";
    EXPECT_FALSE(mPane->installButton()->isEnabled());
    EXPECT_TRUE(mPane->nameField()->text().isEmpty());

    table->selectRow(0);
    EXPECT_FALSE(mPane->installButton()->isEnabled());
    EXPECT_TRUE(mPane->updateButton()->isEnabled());
    EXPECT_FALSE(mPane->removeButton()->isEnabled()) << "the message box is never removed here";
    EXPECT_TRUE(mPane->autoStartButton()->isEnabled());
    EXPECT_TRUE(mPane->autoStartButton()->isChecked());
    EXPECT_EQ(mPane->nameField()->text(), QStringLiteral("Pigeonhole"));
    EXPECT_TRUE(mPane->descriptionField()->text().contains(QStringLiteral("1.2")));

    table->selectRow(1);
    EXPECT_FALSE(mPane->autoStartButton()->isEnabled());
    EXPECT_FALSE(mPane->autoStartButton()->isChecked());
    EXPECT_FALSE(mPane->updateButton()->isEnabled());
    EXPECT_TRUE(mPane->removeButton()->isEnabled());
    mHost.facts[QStringLiteral("other-plugin")].enableAutoLaunch = true;
    table->selectRow(0);
    table->selectRow(1);
    mPane->autoStartButton()->click();
    EXPECT_EQ(mHost.calls, QStringList{QStringLiteral("setPluginAutoLaunch other-plugin 1")});

    table->clearSelection();
    EXPECT_FALSE(mPane->removeButton()->isEnabled());
    EXPECT_TRUE(mPane->nameField()->text().isEmpty());
}

TEST_F(PlugInPaneTest, UpgradeAsksThePlugInToQuitThenUpdates)
{
    const QString box = QLatin1String(notifications::kMessageBoxPlugInID);
    mPane->table()->selectRow(0);
    mPane->updateButton()->click();
    EXPECT_EQ(mHost.calls, QStringList{QStringLiteral("quitPlugin %1 updatePlugIn_Preference").arg(box)});
    EXPECT_TRUE(waitUntil([this] { return !quits.isEmpty(); }));
    EXPECT_EQ(quits, QStringList{box});
    mHost.calls.clear();
    postQuit(box, "updatePlugIn_Preference");
    EXPECT_EQ(mHost.calls, (QStringList{QStringLiteral("updatePlugIn %1 1").arg(box),
                                        QStringLiteral("showPlugInUpdater %1 0").arg(box)}));
    mHost.calls.clear();
    postQuit(box, "updatePlugIn_App");
    EXPECT_TRUE(mHost.calls.isEmpty()) << "another window's key is not ours";
}

TEST_F(PlugInPaneTest, RemoveAsksTheUserThenThePlugIn)
{
    mPane->table()->selectRow(1);
    mAlerts->answer(1); // Cancel
    mPane->removeButton()->click();
    EXPECT_EQ(mAlerts->keys(), QStringList{QStringLiteral("PlugInRemoveMsg")});
    EXPECT_TRUE(mAlerts->shown.front().message.contains(QStringLiteral("Other")));
    EXPECT_TRUE(mHost.calls.isEmpty());

    mAlerts->answer(0);
    mPane->removeButton()->click();
    EXPECT_EQ(mHost.calls, QStringList{QStringLiteral("quitPlugin other-plugin removePlugIn_Preference")});
    EXPECT_TRUE(waitUntil([this] { return !quits.isEmpty(); }));
    EXPECT_EQ(quits, QStringList{QStringLiteral("other-plugin")});
    mHost.calls.clear();
    mHost.entries.removeLast();
    postQuit(QStringLiteral("other-plugin"), "removePlugIn_Preference");
    EXPECT_EQ(mHost.calls, QStringList{QStringLiteral("removePlugIn other-plugin")});
    EXPECT_EQ(mPane->table()->rowCount(), 1) << "the table is read again";
}

TEST_F(PlugInPaneTest, FinishedUpdateRefreshesTheSelectedRow)
{
    const QString box = QLatin1String(notifications::kMessageBoxPlugInID);
    mPane->table()->selectRow(0);
    EXPECT_TRUE(mPane->updateButton()->isEnabled());
    mHost.facts[box].needUpdate = false;
    mHost.entries[0].remove(QStringLiteral("newVersion"));
    mHost.entries[0].insert(QStringLiteral("version"), QStringLiteral("1.2"));
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kUpdateControllerCompleted));
    EXPECT_FALSE(mPane->updateButton()->isEnabled());
    EXPECT_TRUE(mPane->descriptionField()->text().contains(QStringLiteral("1.2")));
}

TEST_F(PrefsWindowTest, LinkButtonSendsOneRequestUntilTheAnswer)
{
    signIn(sisterID("me"), kNewUser);
    VelaComPane *pane = openWindow()->velaComPane();
    pane->couplingButton()->click();
    EXPECT_EQ(mAlerts->keys(), QStringList{QStringLiteral("OrchardCouleIDPassErr")}) << "an empty ID";
    EXPECT_TRUE(mSession.calls.isEmpty());

    pane->idField()->setText(QStringLiteral("dana"));
    pane->passwordField()->setText(QStringLiteral("dana-pw"));
    pane->couplingButton()->click();
    pane->couplingButton()->click();
    EXPECT_EQ(mSession.callsOf("setVelaInterlock"),
              (QList<QVariantList>{{QStringLiteral("dana"), QStringLiteral("dana-pw")}}));
    EXPECT_EQ(mWindow->linking().velaTID(), 7);
}

TEST_F(PrefsWindowTest, ALinkThatWentNowhereLeavesTheButtonLive)
{
    mSession.nextTid = -1;
    signIn(portalID("me"), kNewUser);
    OrchardPane *pane = openWindow()->orchardPane();
    pane->idField()->setText(QStringLiteral("erin"));
    pane->passwordField()->setText(QStringLiteral("pw"));
    pane->couplingButton()->click();
    pane->couplingButton()->click();
    EXPECT_EQ(mSession.callsOf("setOrchardInterlock").size(), 2);
    EXPECT_FALSE(mWindow->linking().isWaiting());
}

TEST_F(PrefsWindowTest, CancellingTheUnlinkQuestionKeepsTheLink)
{
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    me.setLoginType(QStringLiteral("N"));
    me.setOrchardCMN(QStringLiteral("900001"));
    me.setOrchardID(QStringLiteral("erin@orchard"));
    signIn(portalID("me"), kNewUser);
    OrchardPane *pane = openWindow()->orchardPane();
    EXPECT_EQ(pane->idField()->text(), QStringLiteral("erin@orchard"));
    EXPECT_TRUE(pane->idField()->isReadOnly());
    EXPECT_EQ(pane->couplingButton()->text(), KCLocalizedString(QStringLiteral("CouplingButtonOffTitle")));
    EXPECT_TRUE(pane->publicPopup()->isEnabled());
    mAlerts->answer(1);
    pane->couplingButton()->click();
    EXPECT_EQ(mAlerts->keys(), QStringList{QStringLiteral("OrchardCoupleOffMsg")});
    EXPECT_TRUE(mSession.calls.isEmpty());
    mAlerts->answer(0);
    pane->couplingButton()->click();
    EXPECT_EQ(mSession.callsOf("resetOrchardInterlock").size(), 1);
    EXPECT_TRUE(mWindow->linking().isWaiting());
}

TEST_F(PrefsWindowTest, SisterServiceOptionsAreSentOnlyWhenChanged)
{
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    me.setLoginType(QStringLiteral("N"));
    me.setOrchardCMN(QStringLiteral("900001"));
    // A value the pop-up can't show.
    me.setProfileValue(QStringLiteral("N"), QStringLiteral("orchard_open_mode"));
    me.setProfileValue(QStringLiteral("Y"), QStringLiteral("orchard_noti1"));
    signIn(portalID("me"), kNewUser);
    OrchardPane *pane = openWindow()->orchardPane();
    EXPECT_EQ(pane->publicPopup()->count(), 3);
    EXPECT_EQ(pane->publicPopup()->currentIndex(), 2);
    EXPECT_TRUE(pane->textAlarmButton()->isChecked());
    closeWindow();
    EXPECT_TRUE(mSession.callsOf("setCPRF").isEmpty()) << "the server's N stays";

    pane = openWindow()->orchardPane();
    pane->messageAlarmButton()->setChecked(true);
    closeWindow();
    EXPECT_EQ(mSession.callsOf("setCPRF"), (QList<QVariantList>{{QVariantMap{{"orchard_noti2", "Y"}}}}));
    EXPECT_EQ(me.profileValueForKey(QStringLiteral("orchard_noti2")), QStringLiteral("Y"));
    EXPECT_EQ(me.profileValueForKey(QStringLiteral("orchard_open_mode")), QStringLiteral("N"));
}

TEST_F(PrefsWindowTest, SisterServicePagesOpenAtTheEndpointsHosts)
{
    PLEndpoints endpoints = PLEndpoints::current();
    const PLEndpoints saved = endpoints;
    endpoints.webSister = QStringLiteral("http://sister.test");
    endpoints.webSisterMember = QStringLiteral("http://member.sister.test:81");
    endpoints.webSisterHelp = QStringLiteral("http://help.sister.test");
    PLEndpoints::setCurrent(endpoints);
    signIn(portalID("me"), kNewUser);
    OrchardPane *pane = openWindow()->orchardPane();
    pane->miniNookButton()->click();
    pane->joinButton()->click();
    pane->findIDButton()->click();
    EXPECT_EQ(mShell.urls, (QList<QUrl>{QUrl(QStringLiteral("http://sister.test/main2/preview_minicb.asp")),
                                        QUrl(QStringLiteral("http://member.sister.test:81/main/regist/checkmember.jsp")),
                                        QUrl(QStringLiteral("http://help.sister.test/id/id_main.asp"))}));
    closeWindow();
    signIn(sisterID("me"), kNewUser);
    VelaComPane *vela = openWindow()->velaComPane();
    vela->joinButton()->click();
    vela->findIDButton()->click();
    EXPECT_EQ(mShell.calls, (QStringList{QStringLiteral("showVelaJoin 1"), QStringLiteral("showVelaFindID 1")}));
    PLEndpoints::setCurrent(saved);
}

} // namespace
} // namespace parley::test
