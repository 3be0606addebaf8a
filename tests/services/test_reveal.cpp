#include "PrivateBus.h"
#include "ServicesTestSupport.h"
#include "Utils/KCRevealInFileManager.h"
#include "Utils/KCShellHooks.h"
#include "Utils/KCUtilities.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;

namespace {

// Stands in for the desktop's file manager on a private bus.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown;
public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        (void)startupId;
        shown << uris;
    }
};

struct AlertHooks : KCShellHooks {
    void showWarningAlert(const QString &title, const QString &message) override { alerts << title + "|" + message; }
    QStringList alerts;
};

class RevealTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mBus.isRunning());
        mAddress = mBus.address();
        KCSetShellHooks(&hooks);
    }
    void TearDown() override
    {
        KCSetShellHooks(nullptr);
        QDBusConnection::disconnectFromBus(QStringLiteral("reveal-service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("reveal-client"));
    }
    QDBusConnection serve()
    {
        QDBusConnection service = QDBusConnection::connectToBus(mAddress, QStringLiteral("reveal-service"));
        service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager,
                               QDBusConnection::ExportAllSlots);
        service.registerService(QStringLiteral("org.freedesktop.FileManager1"));
        return service;
    }
    QDBusConnection client() { return QDBusConnection::connectToBus(mAddress, QStringLiteral("reveal-client")); }
    QString errorAlert() const
    {
        return KCLocalizedString(QStringLiteral("FileErrorTitle")) + "|"
            + KCLocalizedString(QStringLiteral("FileErrorMessage"));
    }

    PrivateBus mBus;
    QString mAddress;
    FakeFileManager fileManager;
    AlertHooks hooks;
};

} // namespace

TEST_F(RevealTest, ShowsTheFilesThatExist)
{
    serve();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral(u"a b \uD55C.txt"));
    writeFile(file, "x");
    KCRevealSelectedItemsInFinder({folder.filePath("missing"), file}, client());
    ASSERT_TRUE(waitUntil([&] { return !fileManager.shown.isEmpty(); }, 20000));
    EXPECT_EQ(fileManager.shown.first(), QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
    EXPECT_TRUE(fileManager.shown.first().first().startsWith("file:///"));
    EXPECT_TRUE(hooks.alerts.isEmpty());
}

TEST_F(RevealTest, NothingToShowOrAFailedRequestAlerts)
{
    serve();
    QTemporaryDir folder;
    KCRevealSelectedItemsInFinder({folder.filePath("missing")}, client());
    KCRevealSelectedItemsInFinder({}, client());
    EXPECT_EQ(hooks.alerts, (QStringList{errorAlert(), errorAlert()}));
    EXPECT_TRUE(fileManager.shown.isEmpty());

    // An empty path stops at once: no request and no alert. The request that
    // follows on the same connection is the first to arrive.
    hooks.alerts.clear();
    writeFile(folder.filePath("f"), "x");
    writeFile(folder.filePath("g"), "x");
    KCRevealSelectedItemsInFinder({folder.filePath("f"), QString()}, client());
    KCRevealSelectedItemsInFinder({folder.filePath("g")}, client());
    ASSERT_TRUE(waitUntil([&] { return !fileManager.shown.isEmpty(); }, 20000));
    EXPECT_EQ(fileManager.shown, QList<QStringList>{{QUrl::fromLocalFile(folder.filePath("g")).toString()}});
    EXPECT_TRUE(hooks.alerts.isEmpty());
    fileManager.shown.clear();

    // No file manager on the bus: the failed request alerts.
    QDBusConnection::disconnectFromBus(QStringLiteral("reveal-service"));
    ASSERT_TRUE(waitUntil([&] {
        return !client().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.FileManager1")).value();
    }));
    KCRevealSelectedItemsInFinder({folder.filePath("f")}, client());
    ASSERT_TRUE(waitUntil([&] { return !hooks.alerts.isEmpty(); }, 20000));
    EXPECT_EQ(hooks.alerts, QStringList{errorAlert()});
    EXPECT_TRUE(fileManager.shown.isEmpty());
}

#include "test_reveal.moc"

TEST_F(RevealTest, WithoutAFileManagerTheFoldersOpenerTakesOver)
{
    struct OpenerHooks : AlertHooks {
        bool openFolder(const QString &folder) override
        {
            folders << folder;
            return true;
        }
        QStringList folders;
    } opener;
    KCSetShellHooks(&opener);
    QTemporaryDir folder;
    writeFile(folder.filePath("f"), "x");
    // Nobody serves org.freedesktop.FileManager1 on this bus.
    KCRevealSelectedItemsInFinder({folder.filePath("f")}, client());
    ASSERT_TRUE(waitUntil([&] { return !opener.folders.isEmpty(); }, 20000));
    EXPECT_EQ(opener.folders, QStringList{QFileInfo(folder.filePath("f")).absolutePath()});
    EXPECT_TRUE(opener.alerts.isEmpty());
    KCSetShellHooks(&hooks);
}
