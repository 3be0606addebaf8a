// The preferences window: its toolbar and pane switching, the save cycle
// signed out and signed in, the language change, and the General,
// Notification and Message panes.
#include "BuddyManagement/PLMyInfoManager.h"
#include "Preferences/GeneralPane.h"
#include "Preferences/MessagePane.h"
#include "Preferences/NotificationPane.h"
#include "Preferences/AutostartEntry.h"
#include "Preferences/FirewallPane.h"
#include "Preferences/PrefsColorWell.h"
#include "Preferences/PrefsEmoticonTextEdit.h"
#include "PrefsWindowFixture.h"
#include "Preferences/SoundOptionSheet.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <QApplication>
#include <QPointer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

namespace parley::test {
namespace {

UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }

const QVariantMap kNewUser = KCDefaultUserPreferences();

TEST_F(PrefsWindowTest, ToolbarHoldsThePanesOfTheAccount)
{
    const QStringList common{"PLPREFSGeneral", "PLPREFSNotification", "PLPREFSMessage", "PLPREFSPrivacy",
                             "PLPREFSFirewall"};
    const struct {
        const char *name;
        QString userID;
        bool globalMode;
        QStringList tail;
    } cases[] = {
        {"portal ID", portalID("me"), false, {"PLPREFSPlugin", "PLPREFSOrchard"}},
        {"sister-service ID", sisterID("me"), false, {"PLPREFSPlugin", "PLPREFSVelaCom"}},
        {"global mode", sisterID("me"), true, {"PLPREFSOrchard"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PLMyInfoManager::sharedManager().setGlobalMode(c.globalMode);
        signIn(c.userID, kNewUser);
        PrefsController *window = openWindow();
        EXPECT_EQ(window->toolbarItemIdentifiers(), common + c.tail);
        EXPECT_EQ(window->selectedItemIdentifier(), QStringLiteral("PLPREFSGeneral"));
        EXPECT_EQ(window->windowTitle(), KCLocalizedString(QStringLiteral("General")));
        EXPECT_EQ(window->currentPane(), window->generalPane());
        for (const QString &id : common + c.tail)
            EXPECT_TRUE(window->itemList().contains(id)) << id.toStdString();
        closeWindow();
    }
}

TEST_F(PrefsWindowTest, SwitchingPanesKeepsTheTopEdgeAndFitsThePane)
{
    signIn(sisterID("me"), kNewUser);
    PrefsController *window = openWindow();
    const int top = window->geometry().top();
    const struct {
        void (PrefsController::*show)();
        const char *id;
        const char *title;
    } panes[] = {
        {&PrefsController::showNotification, "PLPREFSNotification", "Notification"},
        {&PrefsController::showPrivacy, "PLPREFSPrivacy", "Privacy"},
        {&PrefsController::showMessage, "PLPREFSMessage", "Message"},
        {&PrefsController::showFirewall, "PLPREFSFirewall", "Firewall"},
        {&PrefsController::showPlugin, "PLPREFSPlugin", "Plugin"},
        {&PrefsController::showVelaCom, "PLPREFSVelaCom", "Velacom"},
        {&PrefsController::showGeneral, "PLPREFSGeneral", "General"},
    };
    for (const auto &p : panes) {
        SCOPED_TRACE(p.id);
        (window->*p.show)();
        QCoreApplication::processEvents();
        EXPECT_EQ(window->selectedItemIdentifier(), QLatin1String(p.id));
        EXPECT_EQ(window->windowTitle(), KCLocalizedString(QLatin1String(p.title)));
        EXPECT_EQ(window->geometry().top(), top) << "the window's top edge moved";
        PrefsPane *pane = window->currentPane();
        ASSERT_TRUE(pane);
        EXPECT_TRUE(pane->isVisible());
        EXPECT_EQ(window->centralWidget()->height(), pane->height()) << "the window does not fit the pane";
        EXPECT_GE(pane->height(), pane->sizeHint().height());
        EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "a pane's window is not resizable";
    }
    // The pane already shown: nothing moves.
    const QRect before = window->geometry();
    window->showGeneral();
    EXPECT_EQ(window->geometry(), before);
}

TEST_F(PrefsWindowTest, ClosingSignedOutStoresOnlyTheGlobalKeys)
{
    const QString someone = portalID("someone");
    defaults().setUserDictionary(someone, {{"showEmoticon", true}});
    mUser.id = someone; // a user is known but nobody is signed in
    mShell.signedIn = false;
    PrefsController *window = openWindow();
    window->generalPane()->autoStartButton()->setChecked(true);
    window->generalPane()->showEmoticonButton()->setChecked(false);
    FirewallPane *firewall = window->firewallPane();
    firewall->useProxyButton()->click();
    firewall->proxyModePopup()->setCurrentIndex(0);
    emit firewall->proxyModePopup()->activated(0);
    firewall->serverField()->setText(QStringLiteral("proxy.test"));
    firewall->portField()->setText(QStringLiteral("3128"));
    firewall->p2pPortField()->setText(QStringLiteral("6000"));
    closeWindow();

    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("autoStart")));
    EXPECT_TRUE(QFile::exists(AutostartEntry::path()));
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("UseProxy")));
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("ProxyServer")), QStringLiteral("proxy.test"));
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("ProxyPortHTTP")), QStringLiteral("3128"));
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("P2PPort")), QStringLiteral("6000"));
    EXPECT_EQ(defaults().userDictionary(someone), (QVariantMap{{"showEmoticon", true}}))
        << "the per-user dictionary is not written while signed out";
    EXPECT_TRUE(mSession.calls.isEmpty());
    EXPECT_EQ(savedCount(), 1);

    // And the box off removes the login item again.
    openWindow()->generalPane()->autoStartButton()->setChecked(false);
    closeWindow();
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("autoStart")));
    EXPECT_FALSE(QFile::exists(AutostartEntry::path()));
    EXPECT_EQ(savedCount(), 2);
}

TEST_F(PrefsWindowTest, EscapeClosesAndSavesAsTheCloseButtonDoes)
{
    mShell.signedIn = false;
    PrefsController *window = openWindow();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    window->firewallPane()->p2pPortField()->setText(QStringLiteral("6001"));
    QPointer<PrefsController> alive(window);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
    EXPECT_TRUE(alive.isNull() || !alive->isVisible());
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("P2PPort")), QStringLiteral("6001"));
    EXPECT_EQ(savedCount(), 1);
}

TEST_F(PrefsWindowTest, ClosingSignedInReplacesTheUsersDictionary)
{
    const QString me = sisterID("me");
    QVariantMap prefs = kNewUser;
    prefs.insert(QStringLiteral("ExpandGroupNames"), QStringList{QStringLiteral("Friends")});
    signIn(me, prefs);
    PrefsController *window = openWindow();
    window->generalPane()->showEmoticonButton()->setChecked(false);
    // Written behind the window's back: the window's copy replaces it.
    QVariantMap meanwhile = defaults().userDictionary(me);
    meanwhile.insert(QStringLiteral("writtenMeanwhile"), true);
    defaults().setUserDictionary(me, meanwhile);
    closeWindow();

    const QVariantMap stored = defaults().userDictionary(me);
    EXPECT_FALSE(stored.value(QStringLiteral("showEmoticon")).toBool());
    EXPECT_FALSE(stored.contains(QStringLiteral("writtenMeanwhile")));
    EXPECT_EQ(stored.value(QStringLiteral("ExpandGroupNames")).toStringList(), QStringList{QStringLiteral("Friends")});
    EXPECT_EQ(stored.value(QStringLiteral("awayTimeInterval")).toInt(), 10);
    EXPECT_TRUE(stored.value(QStringLiteral("PrivacyEncrypt")).toBool());
    EXPECT_EQ(savedCount(), 1);
}

TEST_F(PrefsWindowTest, ChangingTheLanguageAsksThenQuits)
{
    const struct {
        const char *name;
        const char *language;
        int choose;
        int answer; // -1: no alert expected
        const char *stored;
        bool quits;
    } cases[] = {
        {"OK stores the language and quits", "en", 1, 0, "ja", true},
        {"Cancel keeps the language", "en", 4, 1, "en", false},
        {"the same entry asks nothing", "de", 2, -1, "de", false},
        {"a Korean interface is never compared", "ko", 1, -1, "ko", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        setLanguage(c.language);
        mShell.calls.clear();
        mAlerts->shown.clear();
        const int saved = savedCount();
        PrefsController *window = openWindow();
        QComboBox *popup = window->generalPane()->languagePopup();
        EXPECT_EQ(popup->isEnabled(), QLatin1String(c.language) != QLatin1String("ko"));
        popup->setCurrentIndex(c.choose);
        if (c.answer >= 0)
            mAlerts->answer(c.answer);
        closeWindow();
        EXPECT_EQ(mAlerts->keys(),
                  c.answer >= 0 ? QStringList{QStringLiteral("ChangeLangAlertMessage")} : QStringList{});
        EXPECT_EQ(KCCurrentLanguage(), QLatin1String(c.stored));
        EXPECT_EQ(mShell.calls.contains(QStringLiteral("terminateApplication")), c.quits);
        EXPECT_EQ(savedCount(), saved + 1) << "the saved notification is posted in every case";
    }
}

TEST_F(PrefsWindowTest, MinutesFieldCorrectsWhatIsTyped)
{
    signIn(sisterID("me"), kNewUser);
    QLineEdit *field = openWindow()->generalPane()->intervalTimeField();
    const struct {
        const char *typed;
        const char *shown;
    } cases[] = {{"0", "10"}, {"1000", "10"}, {"1", "1"}, {"999", "999"}, {"abc", "10"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        field->clear();
        QTest::keyClicks(field, QLatin1String(c.typed));
        EXPECT_EQ(field->text(), QLatin1String(c.shown));
    }
    field->setText(QStringLiteral("25"));
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), QStringLiteral("10")) << "an emptied field shows 10";
    field->setText(QStringLiteral("25"));
    closeWindow();
    EXPECT_EQ(defaults().userDictionary(mUser.id).value(QStringLiteral("awayTimeInterval")).toInt(), 25);
}

TEST_F(PrefsWindowTest, DisplayNameIsCutWhileTypingAndSentOnlyWhenChanged)
{
    PLMyInfoManager::sharedManager().setNickName(QStringLiteral("Ally /smile/"));
    signIn(sisterID("me"), kNewUser);
    PrefsController *window = openWindow();
    PrefsEmoticonTextEdit *name = window->generalPane()->displayNameView();
    EXPECT_EQ(name->emoticonString(), QStringLiteral("Ally /smile/"));
    EXPECT_FALSE(name->isReadOnly());
    closeWindow();
    EXPECT_TRUE(mSession.callsOf("setMyNickName").isEmpty()) << "an unchanged name sends nothing";

    window = openWindow();
    name = window->generalPane()->displayNameView();
    name->setPlainText(QString(130, QLatin1Char('x')));
    EXPECT_EQ(name->emoticonString(), QString(127, QLatin1Char('x')));
    name->setPlainText(QStringLiteral("New "));
    name->moveCursor(QTextCursor::End);
    QTest::keyClicks(name, QStringLiteral("name"));
    closeWindow();
    EXPECT_EQ(mSession.callsOf("setMyNickName"), (QList<QVariantList>{{QStringLiteral("New name")}}));
}

TEST_F(PrefsWindowTest, ChosenEmoticonGoesIntoTheShownPanesText)
{
    PLMyInfoManager::sharedManager().setNickName(QStringLiteral("Ally"));
    QVariantMap prefs = kNewUser;
    prefs.insert(QStringLiteral("showAwayMsg"), true);
    signIn(sisterID("me"), prefs);
    PrefsController *window = openWindow();
    window->generalPane()->emoticonButton()->click();
    ASSERT_EQ(mPalette.shownAt.size(), 1);
    window->generalPane()->displayNameView()->moveCursor(QTextCursor::End);
    mPalette.choose(QStringLiteral("/smile/"));
    PrefsEmoticonTextEdit *name = window->generalPane()->displayNameView();
    EXPECT_EQ(name->emoticonString(), QStringLiteral("Ally/smile/"));
    EXPECT_TRUE(name->toHtml().contains(QLatin1String("<img"))) << "the token is shown as its picture";
    QTest::keyClicks(name, QStringLiteral("x"));
    EXPECT_EQ(name->emoticonString(), QStringLiteral("Ally/smile/x")) << "what is typed after a picture is text";

    window->showMessage();
    window->messagePane()->emoticonButton()->click();
    mPalette.choose(QStringLiteral("/nosuchtoken/"));
    EXPECT_EQ(window->messagePane()->awayMessageView()->emoticonString(), QStringLiteral("/nosuchtoken/"))
        << "a token without a picture goes in as text";
    closeWindow();
    EXPECT_EQ(mPalette.closed, 1) << "closing the window closes the palette";
}

TEST_F(PrefsWindowTest, FolderChooserStartsAtTheUsersFolderAndStoresTheChoice)
{
    const QString mine = mFolder.filePath(QStringLiteral("My Files"));
    const QString other = mFolder.filePath(QStringLiteral("Other"));
    QDir().mkpath(mine);
    QDir().mkpath(other);
    QVariantMap prefs = kNewUser;
    prefs.insert(QStringLiteral("destinationPath"), mine);
    signIn(sisterID("me"), prefs);
    // A global key of that name is no longer where the chooser starts.
    defaults().setString(QDir::rootPath(), QStringLiteral("destinationPath"));
    GeneralPane *general = openWindow()->generalPane();
    QComboBox *popup = general->receivedFilePopup();
    ASSERT_EQ(popup->count(), 3);
    EXPECT_EQ(popup->itemText(0), QStringLiteral("My Files"));
    EXPECT_EQ(popup->itemText(2), KCLocalizedString(QStringLiteral("OtherDestination")));

    general->selectDownloadPath();
    QFileDialog *chooser = general->folderChooser();
    ASSERT_TRUE(chooser);
    EXPECT_EQ(QDir(chooser->directory()).absolutePath(), QDir(mine).absolutePath());
    chooser->selectFile(other);
    QMetaObject::invokeMethod(chooser, "accept");
    EXPECT_EQ(popup->itemText(0), QStringLiteral("Other"));
    closeWindow();
    EXPECT_EQ(defaults().userDictionary(mUser.id).value(QStringLiteral("destinationPath")).toString(), other);
}

TEST_F(PrefsWindowTest, FolderChooserWithoutAFolderStartsAtTheDownloads)
{
    QVariantMap prefs = kNewUser;
    prefs.remove(QStringLiteral("destinationPath"));
    signIn(sisterID("me"), prefs);
    ASSERT_TRUE(QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)));
    GeneralPane *general = openWindow()->generalPane();
    EXPECT_EQ(general->receivedFilePopup()->count(), 1) << "only the entry that opens the chooser";
    general->selectDownloadPath();
    ASSERT_TRUE(general->folderChooser());
    EXPECT_EQ(QDir(general->folderChooser()->directory()).absolutePath(),
              QDir(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)).absolutePath());
    general->folderChooser()->reject();
    EXPECT_EQ(general->receivedFilePopup()->count(), 1);
}

TEST_F(PrefsWindowTest, TheSoundFileChooserStoresTheGlobalPathAndKeepsTheUnsavedBoxes)
{
    signIn(sisterID("me"), kNewUser);
    const QString wav = mFolder.filePath(QStringLiteral("ding.wav"));
    QFile file(wav);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF");
    file.close();
    PrefsController *window = openWindow();
    window->showNotification();
    NotificationPane *pane = window->notificationPane();
    const bool mail = pane->showMailButton()->isChecked();
    pane->showMailButton()->click(); // not saved yet
    ASSERT_TRUE(pane->soundFileButton()->isVisibleTo(pane));
    EXPECT_EQ(pane->soundFileButton()->text(), KCLocalizedString(QStringLiteral("SelectSoundFile")));

    // Cancel stores nothing.
    pane->soundFileButton()->click();
    ASSERT_TRUE(pane->soundFileChooser());
    const QString start = QDir(pane->soundFileChooser()->directory()).absolutePath();
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    EXPECT_TRUE(start == QDir::home().absolutePath() || (QFileInfo(music).isDir() && start == QDir(music).absolutePath()))
        << "the music or home folder, not where the program started: " << start.toStdString();
    pane->soundFileChooser()->reject();
    EXPECT_FALSE(defaults().objectForKey(QStringLiteral("soundFilePath")).isValid());

    pane->soundFileButton()->click();
    QFileDialog *chooser = pane->soundFileChooser();
    ASSERT_TRUE(chooser);
    EXPECT_EQ(chooser->fileMode(), QFileDialog::ExistingFile) << "one file, no folders";
    EXPECT_EQ(chooser->windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(chooser->nameFilters().join(QLatin1Char(' ')).contains(QLatin1String("*.wav")));
    chooser->setDirectory(mFolder.path());
    chooser->selectFile(wav);
    QMetaObject::invokeMethod(chooser, "accept");
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("soundFilePath")), wav) << "global, at once";
    pane->soundFileButton()->click();
    ASSERT_TRUE(pane->soundFileChooser());
    EXPECT_EQ(QDir(pane->soundFileChooser()->directory()).absolutePath(), QDir(mFolder.path()).absolutePath())
        << "next time where the chosen file is";
    pane->soundFileChooser()->reject();
    EXPECT_EQ(pane->soundFileField()->text(), QStringLiteral("ding.wav"));
    EXPECT_EQ(pane->showMailButton()->isChecked(), !mail) << "reading again keeps what is being edited";
    closeWindow();
    EXPECT_EQ(defaults().userDictionary(mUser.id).value(QStringLiteral("showMail")).toBool(), !mail);
}

TEST_F(PrefsWindowTest, SignedOutPanesDisableWhatEditsTheUsersValues)
{
    PrefsController *window = openWindow();
    GeneralPane *general = window->generalPane();
    EXPECT_TRUE(general->autoStartButton()->isEnabled());
    EXPECT_FALSE(general->showEmoticonButton()->isEnabled());
    EXPECT_FALSE(general->checkAwayButton()->isEnabled());
    EXPECT_TRUE(general->intervalTimeField()->isReadOnly());
    EXPECT_TRUE(general->displayNameView()->isReadOnly());
    EXPECT_EQ(general->clickOptionPopup()->count(), 0);
    EXPECT_EQ(general->receivedFilePopup()->count(), 0);
    EXPECT_FALSE(general->privacySettingButton()->isEnabled());
    NotificationPane *notification = window->notificationPane();
    EXPECT_FALSE(notification->useSoundButton()->isEnabled());
    EXPECT_FALSE(notification->advancedButton()->isEnabled());
    EXPECT_EQ(notification->memoActionPopup()->count(), 0);
    MessagePane *message = window->messagePane();
    EXPECT_FALSE(message->showAwayMsgButton()->isEnabled());
    EXPECT_TRUE(message->awayMessageView()->isReadOnly());
    EXPECT_EQ(message->saveDialogPopup()->count(), 0);
}

TEST_F(PrefsWindowTest, SoundSwitchesFollowEachOther)
{
    signIn(sisterID("me"), kNewUser);
    NotificationPane *pane = openWindow()->notificationPane();
    SoundOptionSheet *sheet = pane->soundOptionSheet();
    const auto eventsEnabled = [sheet] {
        int enabled = 0;
        for (QCheckBox *box : sheet->eventButtons())
            enabled += box->isEnabled();
        return enabled;
    };
    EXPECT_TRUE(pane->useSoundButton()->isChecked());
    EXPECT_FALSE(sheet->optionButton()->isChecked());
    EXPECT_EQ(eventsEnabled(), 6);

    pane->useSoundButton()->click();
    EXPECT_TRUE(sheet->optionButton()->isChecked());
    EXPECT_EQ(eventsEnabled(), 0);

    pane->advancedButton()->click();
    ASSERT_TRUE(sheet->isVisible());
    // The button that opens it ends in dots; the window's title does not.
    EXPECT_TRUE(pane->advancedButton()->text().startsWith(sheet->windowTitle()));
    EXPECT_FALSE(sheet->windowTitle().isEmpty());
    EXPECT_FALSE(sheet->windowTitle().endsWith(QLatin1Char('.')));
    sheet->optionButton()->click();
    EXPECT_TRUE(pane->useSoundButton()->isChecked());
    EXPECT_EQ(eventsEnabled(), 6);
    sheet->eventButtons().at(1)->click(); // memos: off
    sheet->cancelButton()->click();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(sheet->optionButton()->isChecked()) << "Cancel puts the sheet back as it was";
    EXPECT_TRUE(sheet->eventButtons().at(1)->isChecked());
    EXPECT_FALSE(pane->useSoundButton()->isChecked());
    EXPECT_EQ(eventsEnabled(), 0);

    pane->advancedButton()->click();
    sheet->optionButton()->click();
    sheet->eventButtons().at(1)->click();
    sheet->okButton()->click();
    closeWindow();
    const QVariantMap stored = defaults().userDictionary(mUser.id);
    EXPECT_TRUE(stored.value(QStringLiteral("useSound")).toBool());
    EXPECT_FALSE(stored.value(QStringLiteral("useAllSound")).toBool());
    EXPECT_FALSE(stored.value(QStringLiteral("soundForMemo")).toBool());
    EXPECT_TRUE(stored.value(QStringLiteral("soundForBuddy")).toBool());
}

TEST_F(PrefsWindowTest, NotificationPaneStoresEveryBox)
{
    signIn(sisterID("me"), kNewUser);
    NotificationPane *pane = openWindow()->notificationPane();
    const struct {
        QCheckBox *box;
        const char *key;
    } boxes[] = {
        {pane->showAlertButton(), "showAlertWhenConnection"},
        {pane->showMessageButton(), "showMessage"},
        {pane->showBounceButton(), "showBounce"},
        {pane->showMailButton(), "showMail"},
    };
    for (const auto &b : boxes)
        EXPECT_TRUE(b.box->isChecked()) << b.key;
    EXPECT_EQ(pane->memoActionPopup()->currentIndex(), 1);
    for (const auto &b : boxes)
        if (QLatin1String(b.key) != QLatin1String("showMessage"))
            b.box->setChecked(false);
    pane->memoActionPopup()->setCurrentIndex(2);
    closeWindow();
    const QVariantMap stored = defaults().userDictionary(mUser.id);
    for (const auto &b : boxes)
        EXPECT_EQ(stored.value(QLatin1String(b.key)).toBool(), QLatin1String(b.key) == QLatin1String("showMessage"))
            << b.key;
    EXPECT_EQ(stored.value(QStringLiteral("showMemoIndex")).toInt(), 2);
}

TEST_F(PrefsWindowTest, StoredChatSavingAboveTwoTakesTheServersChoice)
{
    QVariantMap prefs = kNewUser;
    prefs.insert(QStringLiteral("saveDialogIndex"), 3);
    PLMyInfoManager::sharedManager().setProfileValue(QStringLiteral("1"), QStringLiteral("chat_save_opt"));
    signIn(sisterID("me"), prefs);
    PrefsController *window = openWindow();
    EXPECT_EQ(window->messagePane()->saveDialogPopup()->currentIndex(), 1);
    EXPECT_EQ(window->userPrefs().value(QStringLiteral("saveDialogIndex")).toInt(), 1);
    closeWindow();
    EXPECT_EQ(defaults().userDictionary(mUser.id).value(QStringLiteral("saveDialogIndex")).toInt(), 1);
    EXPECT_TRUE(mSession.callsOf("setCPRF").isEmpty()) << "the choice in force sends nothing";
}

TEST_F(PrefsWindowTest, ChatSavingGoesToTheServerOnlyWhenChanged)
{
    PLMyInfoManager::sharedManager().setProfileValue(QStringLiteral("1"), QStringLiteral("chat_save_opt"));
    signIn(sisterID("me"), kNewUser);
    openWindow()->messagePane()->saveDialogPopup()->setCurrentIndex(2);
    closeWindow();
    EXPECT_EQ(mSession.callsOf("setCPRF"), (QList<QVariantList>{{QVariantMap{{"chat_save_opt", "2"}}}}));
    EXPECT_EQ(PLMyInfoManager::sharedManager().profileValueForKey(QStringLiteral("chat_save_opt")), QStringLiteral("2"));
    EXPECT_EQ(defaults().userDictionary(mUser.id).value(QStringLiteral("saveDialogIndex")).toInt(), 2);
}

TEST_F(PrefsWindowTest, AwayMessageItsColourAndItsBoxes)
{
    QVariantMap prefs = kNewUser;
    prefs.insert(QStringLiteral("mAwayMessage"), QStringLiteral("Out for lunch /smile/"));
    prefs.insert(QStringLiteral("AbsentMessageFontColorR"), 1.0);
    prefs.insert(QStringLiteral("AbsentMessageFontColorG"), 0.0);
    prefs.insert(QStringLiteral("AbsentMessageFontColorB"), 0.0);
    signIn(sisterID("me"), prefs);
    MessagePane *pane = openWindow()->messagePane();
    EXPECT_EQ(pane->awayMessageView()->emoticonString(), QStringLiteral("Out for lunch /smile/"));
    EXPECT_TRUE(pane->awayMessageView()->isReadOnly()) << "neither box is on";
    pane->showBusyMsgButton()->click();
    EXPECT_FALSE(pane->awayMessageView()->isReadOnly());
    pane->showBusyMsgButton()->click();
    EXPECT_TRUE(pane->awayMessageView()->isReadOnly());
    pane->showAwayMsgButton()->click();
    pane->awayMessageView()->clear();
    mWindow->colorWell()->setColor(QColor(0, 0, 255));
    closeWindow();
    const QVariantMap stored = defaults().userDictionary(mUser.id);
    EXPECT_TRUE(stored.value(QStringLiteral("showAwayMsg")).toBool());
    EXPECT_FALSE(stored.value(QStringLiteral("showBusyMsg")).toBool());
    EXPECT_EQ(stored.value(QStringLiteral("mAwayMessage")), QVariant(QStringLiteral("")));
    EXPECT_EQ(stored.value(QStringLiteral("AbsentMessageFontColorR")).toDouble(), 0.0);
    EXPECT_EQ(stored.value(QStringLiteral("AbsentMessageFontColorB")).toDouble(), 1.0);
}

} // namespace
} // namespace parley::test
