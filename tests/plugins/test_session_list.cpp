// The session list: its rows as a table (the own login left out, names cut
// and escaped, keys percent-encoded in the links), which row a clicked link
// names ("12" is not "123"), and the window's questions and the logouts it
// asks for.
#include "BuddyManagement/PLMyInfoManager.h"
#include "KCAlertPresenter.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLSessionManager.h"
#include "ScriptedAlerts.h"
#include "SessionListModel.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "WebPaneLoader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace parley;

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

const SessionListIcons kIcons{"/r/pc.png", "/r/mobile.png", "/r/web.png", "/r/out.png"};

} // namespace

TEST(SessionListModel, RowsLeaveOutTheOwnLoginAndCutLongNames)
{
    SessionListModel model;
    model.setOwnSessionKey(QStringLiteral("own"));
    struct Case {
        const char *key;
        const char *name;
        QString typeName;
        bool listed;
        int type;
        const char *shown;
    };
    const Case cases[] = {
        {"own", "this one", text("TypePC"), false, 0, ""},
        {"", "no key", text("TypePC"), false, 0, ""},
        {"a", "twelve chars", text("TypePC"), true, SessionListModel::Computer, "twelve chars"},
        {"b", "thirteen char", text("TypeMobile"), true, SessionListModel::Mobile, "thirteen ch..."},
        {"c", "웹브라우저에서로그인한사람", text("TypeWeb"), true, SessionListModel::Web, "웹브라우저에서로그인한..."},
        {"d", "odd", QStringLiteral("Fridge"), true, SessionListModel::Unknown, "odd"},
    };
    for (const Case &c : cases)
        model.addList(QLatin1String(c.key), QString::fromUtf8(c.name), c.typeName);
    qsizetype row = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        if (!c.listed)
            continue;
        ASSERT_LT(row, model.list().size());
        const SessionListModel::Entry &e = model.list()[row++];
        EXPECT_EQ(e.sessionKey, QLatin1String(c.key));
        EXPECT_EQ(e.type, c.type);
        EXPECT_EQ(e.displayName, QString::fromUtf8(c.shown));
    }
    EXPECT_EQ(row, model.list().size());
    EXPECT_EQ(SessionListModel::typeNameForMediaType("1"), text("TypePC"));
    EXPECT_EQ(SessionListModel::typeNameForMediaType("2"), text("TypeMobile"));
    EXPECT_EQ(SessionListModel::typeNameForMediaType("3"), text("TypeWeb"));
    EXPECT_EQ(SessionListModel::typeNameForMediaType("9"), text("TypePC"));
}

TEST(SessionListModel, ARowIsTheTemplateWithEscapedValues)
{
    SessionListModel::Entry entry{SessionListModel::Mobile, QStringLiteral("<b>Bob's</b> & co"),
                                  QStringLiteral("k 1/2?\"'<"), QStringLiteral("Mobile")};
    EXPECT_EQ(SessionListModel::rowHTML(entry, kIcons),
              QStringLiteral("<tr ><td><img src=\"file:///r/mobile.png\"></td><td>Mobile - &lt;b&gt;Bob&#39;s&lt;/b&gt; "
                             "&amp; co</td><td><a href=\"file://xxx/k%201%2F2%3F%22%27%3C\"><img "
                             "src=\"file:///r/out.png\"></a></td></tr>"));
    SessionListModel model;
    EXPECT_TRUE(model.tableHTML(kIcons).isEmpty());
    model.addList(QStringLiteral("9"), QStringLiteral("pc"), text("TypePC"));
    model.addList(QStringLiteral("8"), QStringLiteral("web"), text("TypeWeb"));
    const QString table = model.tableHTML(kIcons);
    EXPECT_TRUE(table.startsWith(QStringLiteral("<table WIDTH=\"100%\"><tr ><td><img src=\"file:///r/pc.png\">")));
    EXPECT_TRUE(table.contains(QStringLiteral("<img src=\"file:///r/web.png\">")));
    EXPECT_TRUE(table.endsWith(QStringLiteral("</tr></table>")));
}

TEST(SessionListModel, ALinkNamesTheRowOfExactlyItsKey)
{
    SessionListModel model;
    for (const char *key : {"12", "123", "1", "a b", "x/y"})
        model.addList(QLatin1String(key), QLatin1String(key), text("TypePC"));
    struct Case {
        const char *link;
        qsizetype row;
    };
    const Case cases[] = {
        {"file://xxx/123", 1}, {"file://xxx/12", 0},  {"file://xxx/1", 2},     {"file://xxx/a%20b", 3},
        {"file://xxx/x%2Fy", 4}, {"file://xxx/1234", -1}, {"file://xxx/2", -1}, {"file://xxx/", -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.link);
        EXPECT_EQ(model.indexForLink(QUrl(QLatin1String(c.link))), c.row);
    }
    // Each row's own link names that row.
    for (qsizetype i = 0; i < model.list().size(); ++i) {
        const QString row = SessionListModel::rowHTML(model.list()[i], kIcons);
        const qsizetype at = row.indexOf(QStringLiteral("href=\"")) + 6;
        EXPECT_EQ(model.indexForLink(QUrl(row.mid(at, row.indexOf(QLatin1Char('"'), at) - at))), i);
    }
}

namespace {

class SessionWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mSettings = std::make_unique<shell::test::FreshSettings>();
        PLMyInfoManager::sharedManager().resetForTesting();
        PLMyInfoManager::sharedManager().setDpKey(QStringLiteral("1"));
        PLMyInfoManager::sharedManager().setDpPCName(QStringLiteral("desk"));
        mToken = NotificationCenter::defaultCenter().addObserver(
            QLatin1String(notifications::kSessionKill), nullptr, [this](const Notification &n) { kills.append(n.userInfo); });
        mWindow = PLSessionManager::defaultController();
        for (const char *key : {"1", "12", "123"})
            mWindow->addList(QLatin1String(key), "1", "0", "ko.macm", QStringLiteral("pc-") + QLatin1String(key), text("TypePC"));
        mWindow->reloadSessionList();
    }
    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(mToken);
        if (mWindow)
            mWindow->close();
        parley::test::waitUntil([] { return false; }, 10);
        PLMyInfoManager::sharedManager().resetForTesting();
    }

    std::unique_ptr<shell::test::FreshSettings> mSettings;
    parley::test::ScriptedAlerts mAlerts;
    QPointer<PLSessionManager> mWindow;
    QList<QVariantMap> kills;
    NotificationCenter::Token mToken = 0;
};

} // namespace

TEST_F(SessionWindowTest, ALinkLogsOutThatLoginAfterAsking)
{
    EXPECT_EQ(mWindow->myPCName->text(), text("TypeMyPC").arg("desk"));
    ASSERT_EQ(mWindow->model().list().size(), 2); // not the own "1"
    // Cancel leaves everything as it was.
    mAlerts.answer(1);
    mWindow->linkClicked(QUrl(QStringLiteral("file://xxx/123")));
    EXPECT_TRUE(kills.isEmpty());
    EXPECT_EQ(mWindow->model().list().size(), 2);
    EXPECT_EQ(mAlerts.shown[0].title, text("OtherLocLogout").arg("pc-123"));
    EXPECT_EQ(mAlerts.shown[0].parent, mWindow.data());

    mAlerts.answer(0);
    mWindow->linkClicked(QUrl(QStringLiteral("file://xxx/123")));
    ASSERT_EQ(kills.size(), 1);
    EXPECT_EQ(kills[0], (QVariantMap{{"killKey", "123"}, {"killType", "U"}, {"PCName", "pc-123"}}));
    ASSERT_EQ(mWindow->model().list().size(), 1);
    EXPECT_EQ(mWindow->model().list()[0].sessionKey, QStringLiteral("12"));
    EXPECT_FALSE(mWindow->shownHTML().contains(QStringLiteral("pc-123")));
    // A link that names no row asks nothing.
    mWindow->linkClicked(QUrl(QStringLiteral("file://xxx/1234")));
    EXPECT_EQ(mAlerts.shown.size(), 2u);
}

TEST_F(SessionWindowTest, LogOutAllSendsTheFirstKeyWithE)
{
    mAlerts.answer(1);
    mWindow->allLogoutButton->click();
    EXPECT_TRUE(kills.isEmpty());
    EXPECT_EQ(mAlerts.keys(), QStringList{"AllLocLogout"});
    mAlerts.answer(0);
    mWindow->allLogoutButton->click();
    ASSERT_EQ(kills.size(), 1);
    EXPECT_EQ(kills[0], (QVariantMap{{"killKey", "12"}, {"killType", "E"}, {"PCName", ""}}));
    // An empty list shows its text and asks nothing.
    mWindow->removeAllList();
    EXPECT_TRUE(mWindow->shownHTML().contains(text("NoLoginDevice")));
    mWindow->allLogoutButton->click();
    EXPECT_EQ(mAlerts.shown.size(), 2u);
}

TEST_F(SessionWindowTest, ClosingKeepsTheChoices)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    EXPECT_EQ(mWindow->status->count(), 7);
    mWindow->status->setCurrentIndex(3);
    mWindow->viewAgain->setChecked(false);
    mWindow->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(mWindow.isNull());
    EXPECT_FALSE(PLSessionManager::isAvailable());
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("statusSessionManager")), 3);
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("viewSessionManager")));
    EXPECT_FALSE(PLMyInfoManager::sharedManager().isAutoViewSessionManager());
    // The next window reads them back.
    mWindow = PLSessionManager::defaultController();
    EXPECT_EQ(mWindow->status->currentIndex(), 3);
    EXPECT_FALSE(mWindow->viewAgain->isChecked());
    EXPECT_EQ(mWindow->oldStatus(), 3);
}
