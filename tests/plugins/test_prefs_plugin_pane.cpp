// The preferences' plug-in pane on the real plug-in side: it lists the
// plug-ins of plugin.plist, its auto-start box reaches the file, and its
// Remove deletes the bundle once the plug-in manager saw the plug-in end.
#include "DistributedNotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInManager.h"
#include "PlugInSide.h"
#include "PlugInTestSupport.h"
#include "Preferences/PlugInPane.h"
#include "Preferences/PrefsPane.h"
#include "Preferences/PrefsServices.h"
#include "PrivateBus.h"
#include "PropertyList.h"
#include "ScriptedAlerts.h"
#include "ShellDoubles.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::plugins::test;

namespace {

const QString kBoxID = QLatin1String(notifications::kMessageBoxPlugInID);
const QString kOtherID = QStringLiteral("11111111-2222-3333-4444-555555555555");

class PrefsPlugInPaneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mFolder.isValid());
        mBox = makePlugInBundle(mFolder.path(), QStringLiteral("Pigeonhole"), QStringLiteral("1.0"));
        mOther = makePlugInBundle(mFolder.path(), QStringLiteral("Other"), QStringLiteral("1.9"));
        const QVariantList plugins{
            QVariantMap{{"id", kBoxID}, {"name", "Pigeonhole"}, {"description", "Memos and chats"}, {"path", mBox},
                        {"version", "1.0"}, {"autolaunch", true}, {"enableAutoLaunch", false}},
            QVariantMap{{"id", kOtherID}, {"name", "Other"}, {"description", "Another"}, {"path", mOther},
                        {"version", "1.9"}, {"autolaunch", false}, {"enableAutoLaunch", true}}};
        ASSERT_TRUE(PropertyList::writeFile(listPath(), QVariantMap{{"plugins", plugins}}).isEmpty());
        mSide = std::make_unique<shell::PlugInSide>(&mOpener, &mScheduler);
        mSide->plugInManager().loadPlugInFromLocal(listPath());
        mContext.signedIn = true;
        mContext.userID = QStringLiteral("me@parley.test");
        mPane = std::make_unique<PlugInPane>(mContext);
        mPane->read();
    }
    void TearDown() override
    {
        mPane.reset();
        mSide.reset();
    }
    QString listPath() const { return mFolder.filePath(QStringLiteral("plugin.plist")); }
    // The entry of that id in plugin.plist as it is on disk.
    QVariantMap storedEntry(const QString &id) const
    {
        const QVariantList plugins = PropertyList::readFile(listPath()).value.toMap().value("plugins").toList();
        for (const QVariant &entry : plugins) {
            if (entry.toMap().value("id").toString() == id)
                return entry.toMap();
        }
        return {};
    }

    QTemporaryDir mFolder;
    QString mBox;
    QString mOther;
    RecordingOpener mOpener;
    shell::test::ManualScheduler mScheduler;
    std::unique_ptr<shell::PlugInSide> mSide;
    PrefsContext mContext;
    std::unique_ptr<PlugInPane> mPane;
};

} // namespace

TEST_F(PrefsPlugInPaneTest, ListsThePlugInsOfTheList)
{
    QTableWidget *table = mPane->table();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Pigeonhole"));
    EXPECT_EQ(table->item(1, 0)->text(), QStringLiteral("Other"));
    EXPECT_EQ(table->item(1, 1)->text(), KCLocalizedString(QStringLiteral("Installed")));

    table->selectRow(0);
    EXPECT_EQ(mPane->nameField()->text(), QStringLiteral("Pigeonhole"));
    EXPECT_FALSE(mPane->autoStartButton()->isEnabled()) << "its entry forbids changing the auto-start";
    EXPECT_FALSE(mPane->autoStartButton()->isChecked()) << "shown off while it can't be changed";
    EXPECT_FALSE(mPane->removeButton()->isEnabled()) << "the message box is never removed here";

    table->selectRow(1);
    EXPECT_TRUE(mPane->autoStartButton()->isEnabled());
    EXPECT_FALSE(mPane->autoStartButton()->isChecked());
    EXPECT_TRUE(mPane->removeButton()->isEnabled());
    EXPECT_FALSE(mPane->updateButton()->isEnabled()) << "no update pending";
}

TEST_F(PrefsPlugInPaneTest, AutoStartBoxReachesThePlugInList)
{
    mPane->table()->selectRow(1);
    mPane->autoStartButton()->click();
    EXPECT_TRUE(mSide->plugInManager().isAutoLaunchPlugIn(kOtherID));
    EXPECT_EQ(storedEntry(kOtherID).value("autolaunch"), QVariant(true));
    EXPECT_EQ(storedEntry(kOtherID).value("path").toString(), mOther) << "the rest of the entry is kept";

    mPane->table()->selectRow(0);
    mPane->table()->selectRow(1);
    EXPECT_TRUE(mPane->autoStartButton()->isChecked()) << "read back from the manager";
    mPane->autoStartButton()->click();
    EXPECT_FALSE(mSide->plugInManager().isAutoLaunchPlugIn(kOtherID));
    EXPECT_EQ(storedEntry(kOtherID).value("autolaunch"), QVariant(false));
}

TEST_F(PrefsPlugInPaneTest, RemoveDeletesTheBundleOnceThePlugInEnded)
{
    test::PrivateBus bus;
    if (!test::PrivateBus::available() || !bus.isRunning())
        GTEST_SKIP() << "no dbus-daemon";
    DistributedNotificationCenter center(bus.connect(QStringLiteral("prefs-pane-messenger")));
    PrefsServices::setDistributedCenter(&center);
    test::ScriptedAlerts alerts;
    alerts.answer(0);
    mPane->table()->selectRow(1);
    mPane->removeButton()->click();
    EXPECT_TRUE(QFileInfo::exists(mOther)) << "nothing is deleted before the plug-in ended";
    EXPECT_EQ(mSide->plugInManager().willQuitPlugInList(), QStringList{kOtherID});

    EXPECT_TRUE(mScheduler.runNext());
    PrefsServices::setDistributedCenter(nullptr);
    EXPECT_FALSE(QFileInfo::exists(mOther));
    EXPECT_TRUE(QFileInfo::exists(mBox));
    EXPECT_EQ(mPane->table()->rowCount(), 1);
    EXPECT_TRUE(storedEntry(kOtherID).isEmpty());
}

TEST_F(PrefsPlugInPaneTest, ThePaneForgetsThePlugInSideWhenItGoes)
{
    mSide.reset();
    mPane->reloadTable();
    EXPECT_EQ(mPane->table()->rowCount(), 0);
}

TEST_F(PrefsPlugInPaneTest, SignedOutTheEmptyTableIsTitledNotNumbered)
{
    for (const char *language : {"ko", "en"}) {
        SCOPED_TRACE(language);
        UserDefaults::standardUserDefaults().setObject(QStringList{QLatin1String(language)},
                                                       QLatin1String(kAppleLanguagesKey));
        PrefsContext signedOut;
        PlugInPane pane(signedOut);
        pane.read();
        QTableWidget *table = pane.table();
        EXPECT_EQ(table->rowCount(), 0);
        ASSERT_TRUE(table->horizontalHeaderItem(0));
        ASSERT_TRUE(table->horizontalHeaderItem(1));
        EXPECT_EQ(table->horizontalHeaderItem(0)->text(), KCLocalizedString(QStringLiteral("PluginName")));
        EXPECT_EQ(table->horizontalHeaderItem(1)->text(), KCLocalizedString(QStringLiteral("PluginInstalled")));
    }
    UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("ko")}, QLatin1String(kAppleLanguagesKey));
}
