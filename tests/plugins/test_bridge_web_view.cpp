// The bridge page as a browser takes it: the written file, loaded in a web
// view offscreen that plays the desktop's browser (a local file may post to
// a web site), posts its form at once to a raw HTTP server of the test,
// which checks every field as the portal would decode it.
#include "BridgePage.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "KoreanCodePage.h"
#include "PlugInTestSupport.h"
#include "ShellDoubles.h"
#include "TestSupport.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>

using namespace parley;
using namespace parley::plugins::test;

namespace {

// Takes one request, keeps its head and body, answers "ok".
class RawHttpServer : public QObject
{
public:
    RawHttpServer()
    {
        mServer.listen(QHostAddress::LocalHost, 0);
        connect(&mServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = mServer.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        });
    }
    quint16 port() const { return mServer.serverPort(); }
    bool done = false;
    QByteArray head;
    QByteArray body;

private:
    void read(QTcpSocket *socket)
    {
        mBuffer += socket->readAll();
        const qsizetype end = mBuffer.indexOf("\r\n\r\n");
        if (end < 0 || done)
            return;
        head = mBuffer.left(end);
        qsizetype length = 0;
        for (const QByteArray &line : head.split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (mBuffer.size() < end + 4 + length)
            return;
        body = mBuffer.mid(end + 4, length);
        done = true;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
        socket->disconnectFromHost();
    }
    QTcpServer mServer;
    QByteArray mBuffer;
};

// A form body's fields as the portal reads them: "+" is a space, escapes are
// bytes of code page 949.
QMap<QString, QString> formFields(const QByteArray &body)
{
    QMap<QString, QString> fields;
    for (const QByteArray &pair : body.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals < 0)
            continue;
        QByteArray value = pair.mid(equals + 1);
        value.replace('+', ' ');
        fields.insert(QString::fromLatin1(pair.left(equals)), KoreanCodePage::decode(QByteArray::fromPercentEncoding(value)));
    }
    return fields;
}

} // namespace

TEST(BridgeWebView, TheWrittenFormPostsEveryFieldAsItStands)
{
    QTemporaryDir runtime;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());

    RawHttpServer portal;
    PLEndpoints endpoints;
    endpoints.webBridge = QStringLiteral("http://127.0.0.1:%1").arg(portal.port());
    PLEndpoints::setCurrent(endpoints);
    PLConfManager::sharedManager().setMConfDict(QVariantMap{});
    PLMyInfoManager::sharedManager().resetForTesting();
    // Server values with quotes, brackets and ampersands, and Korean text.
    const QString ticket = QStringLiteral("t'k\"<&>+=");
    const QString param = QString::fromUtf8("한글 & x=1 '따옴표'");
    const QString returnURL = QStringLiteral("https://r.test/?q='1'&w=<2>");
    PLMyInfoManager::sharedManager().setTicket(ticket);

    RecordingOpener opener;
    parley::shell::test::ManualScheduler scheduler;
    BridgePage bridge(&opener, &scheduler);
    bridge.bridgePageCall(QStringLiteral("B003"), param, returnURL, 1);
    ASSERT_EQ(opener.opened.size(), 1);

    QWebEngineView browser;
    browser.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    browser.resize(400, 300);
    browser.show();
    browser.load(opener.opened.first());
    EXPECT_TRUE(parley::test::waitUntil([&] { return portal.done; }, 60000));

    EXPECT_TRUE(portal.head.startsWith("POST /index.php HTTP/1.1")) << portal.head.toStdString();
    EXPECT_TRUE(portal.head.toLower().contains("content-type: application/x-www-form-urlencoded"));
    const QMap<QString, QString> fields = formFields(portal.body);
    EXPECT_EQ(fields.keys(), (QStringList{"code", "h_flag", "param", "r_url", "t"}));
    EXPECT_EQ(fields.value("t"), ticket);
    EXPECT_EQ(fields.value("code"), QStringLiteral("B003"));
    EXPECT_EQ(fields.value("param"), param);
    EXPECT_EQ(fields.value("r_url"), returnURL);
    EXPECT_EQ(fields.value("h_flag"), QStringLiteral("1"));

    bridge.removeBridgeFile();
    PLMyInfoManager::sharedManager().resetForTesting();
    PLConfManager::sharedManager().resetForTesting();
    PLEndpoints::setCurrent(PLEndpoints());
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
}
