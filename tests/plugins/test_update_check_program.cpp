// The update check's fetcher program: what it takes and refuses, against a
// small web server of the test's own; and the messenger's side, which must
// not load TLS into its own process to fetch the lists over https.
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLUpdateManager.h"
#include "PlugInManager.h"
#include "ShellDoubles.h"
#include "TestSupport.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace parley;

namespace {

// Answers each request with the canned response of its path (404 without one).
class CannedWebServer
{
public:
    CannedWebServer()
    {
        mServer.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&mServer, &QTcpServer::newConnection, &mServer, [this] {
            while (QTcpSocket *socket = mServer.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    mRequests[socket] += socket->readAll();
                    const QByteArray &request = mRequests[socket];
                    if (!request.contains("\r\n\r\n"))
                        return;
                    const QByteArray path = request.split(' ').value(1);
                    mRequests.remove(socket);
                    socket->write(responses.value(path, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"));
                    socket->disconnectFromHost();
                });
            }
        });
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(mServer.serverPort()).arg(path);
    }
    static QByteArray ok(const QByteArray &body)
    {
        return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }
    static QByteArray redirect(const QString &to)
    {
        return "HTTP/1.1 302 Found\r\nLocation: " + to.toUtf8() + "\r\nContent-Length: 0\r\n\r\n";
    }

    QHash<QByteArray, QByteArray> responses;

private:
    QTcpServer mServer;
    QHash<QTcpSocket *, QByteArray> mRequests;
};

struct Fetched {
    int exitCode = -1;
    QByteArray out;
};

// Runs the fetcher on `url` while this thread goes on serving.
Fetched runFetcher(const QString &url)
{
    QProcess fetcher;
    fetcher.start(PLUpdateManager::listFetcherPath(), {url});
    if (!fetcher.waitForStarted(10000))
        return {};
    parley::test::waitUntil([&] { return fetcher.state() == QProcess::NotRunning; }, 30000);
    if (fetcher.state() != QProcess::NotRunning || fetcher.exitStatus() != QProcess::NormalExit)
        return {};
    return {fetcher.exitCode(), fetcher.readAllStandardOutput()};
}

const QByteArray kList = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                         "<key>latestInstallPackage</key><dict><key>version</key><string>9.1</string></dict>"
                         "</dict></plist>\n";

} // namespace

TEST(UpdateCheckProgram, WritesOnlyAWholeListFromAnAllowedPlace)
{
    CannedWebServer web;
    web.responses["/list.plist"] = CannedWebServer::ok(kList);
    web.responses["/moved.plist"] = CannedWebServer::redirect(web.url(QStringLiteral("/list.plist")));
    web.responses["/away.plist"] = CannedWebServer::redirect(QStringLiteral("http://update.parley.test/list.plist"));
    web.responses["/huge.plist"] = CannedWebServer::ok(QByteArray(PLUpdateManager::kMaxListBytes + 1, 'x'));
    web.responses["/broken.plist"] = "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 4\r\n\r\noops";
    const struct {
        const char *what;
        QString url;
        int exitCode;
        QByteArray out;
    } cases[] = {
        {"a list from this machine", web.url(QStringLiteral("/list.plist")), 0, kList},
        {"a redirect to an allowed place", web.url(QStringLiteral("/moved.plist")), 0, kList},
        {"a redirect to plain http elsewhere", web.url(QStringLiteral("/away.plist")), 1, {}},
        {"a list over the limit", web.url(QStringLiteral("/huge.plist")), 1, {}},
        {"a server error", web.url(QStringLiteral("/broken.plist")), 1, {}},
        {"no such list", web.url(QStringLiteral("/none.plist")), 1, {}},
        {"plain http from another host", QStringLiteral("http://update.parley.test/list.plist"), 2, {}},
        {"no address", QStringLiteral("::"), 2, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Fetched fetched = runFetcher(c.url);
        EXPECT_EQ(fetched.exitCode, c.exitCode);
        EXPECT_EQ(fetched.out, c.out);
    }
}

namespace {

// Whether the TLS library or Qt's TLS back end is mapped into this process.
bool tlsMapped(const char **which = nullptr)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    const QByteArray mapped = maps.readAll();
    for (const char *name : {"libssl", "plugins/tls/"}) {
        if (mapped.contains(name)) {
            if (which)
                *which = name;
            return true;
        }
    }
    return false;
}

} // namespace

TEST(UpdateCheckProgram, ListsOverHttpsLeaveNoTlsInTheMessenger)
{
    // An https update host that answers nothing: the check ends in errors,
    // and TLS was set up, if at all, in the fetcher.
    if (tlsMapped())
        GTEST_SKIP() << "an earlier test in this process loaded TLS";
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    PLEndpoints endpoints;
    endpoints.webUpdate = QStringLiteral("https://127.0.0.1:%1").arg(port);
    PLEndpoints::setCurrent(endpoints);
    PLConfManager::sharedManager().setMConfDict(QVariantMap{});
    QTemporaryDir home;
    PlugInManager plugIns(nullptr, home.path());
    shell::test::ManualScheduler scheduler;
    QStringList posted;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        QString(), nullptr, [&](const Notification &n) {
            if (n.name.startsWith(QLatin1String("UpdateManager")) && n.userInfo.value(QStringLiteral("error")).toBool())
                posted.append(n.name);
        });
    {
        PLUpdateManager updates(plugIns, &scheduler, home.path());
        updates.checkVersion();
        ASSERT_TRUE(scheduler.runNext());
        EXPECT_TRUE(parley::test::waitUntil([&] { return updates.mIsPlugInVersionCheckCompleted(); }, 20000));
    }
    NotificationCenter::defaultCenter().removeObserver(token);
    PLConfManager::sharedManager().resetForTesting();
    PLEndpoints::setCurrent(PLEndpoints());

    EXPECT_EQ(posted, (QStringList{QLatin1String(notifications::kUpdateManagerMainVersionChecked),
                                   QLatin1String(notifications::kUpdateManagerPlugInVersionChecked)}));
    const char *loaded = "";
    EXPECT_FALSE(tlsMapped(&loaded)) << loaded << " was loaded into the messenger";
}
