#include "HTTPInterface/PLHTTPManager.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "RawHttpServer.h"
#include "ServicesTestSupport.h"

#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace parley;
using namespace parley::test;

namespace {

const QByteArray kUserAgent = "Parley/1.1 (Mac)";
const QByteArray kAcceptList = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-powerpoint, "
                               "application/vnd.ms-excel, application/msword, */*";
const QByteArray kForm = "application/x-www-form-urlencoded;charset=UTF-8";

struct Header {
    QByteArray name;
    QByteArray value; // null: the header must be absent
};

struct RequestCase {
    const char *name;
    std::function<QString(PLHTTPManager &, RawHttpServer &, const QString &folder)> send;
    QByteArray method;
    QByteArray path;
    QByteArray body;
    QList<Header> headers;
};

QString writeUpload(const QString &folder, const QByteArray &bytes)
{
    const QString path = folder + QStringLiteral("/upload.bin");
    writeFile(path, bytes);
    return path;
}

QByteArray repeated(const QByteArray &unit, int times)
{
    QByteArray bytes;
    for (int i = 0; i < times; ++i)
        bytes += unit;
    return bytes;
}

// "한글" in code page 949, written out independently of any converter.
const QByteArray kHangeulCP949 = QByteArray::fromHex("c7d1b1db");

QList<RequestCase> requestCases()
{
    const QByteArray binary = QByteArray::fromHex("00ff0d0a2d2d") + repeated("x", 3000);
    return {
        {"get",
         [](PLHTTPManager &m, RawHttpServer &s, const QString &) { return m.getReqGET(s.url("/count?id=a")); },
         "GET", "/count?id=a", {},
         {{"User-Agent", kUserAgent}, {"Accept-Charset", "utf-8"}, {"Host", "127.0.0.1"}}},
        {"form post",
         [](PLHTTPManager &m, RawHttpServer &s, const QString &) { return m.getReqPOST("a=1&b=2", s.url("/count")); },
         "POST", "/count", "a=1&b=2",
         {{"Content-Transfer-Encoding", "8bit"},
          {"Content-Type", kForm},
          {"User-Agent", kUserAgent},
          {"Content-Length", "7"},
          {"Connection", "close"},
          {"Accept-Language", "ko"},
          {"Accept-Charset", "utf-8"},
          {"Host", "127.0.0.1"}}},
        {"form post with Hangul counts UTF-8 bytes",
         [](PLHTTPManager &m, RawHttpServer &s, const QString &) {
             return m.getReqPOST(QStringLiteral(u"name=\uD55C\uAE00"), s.url("/count"));
         },
         "POST", "/count", "name=\xED\x95\x9C\xEA\xB8\x80", {{"Content-Length", "11"}, {"Content-Type", kForm}}},
        {"post with a content type",
         [](PLHTTPManager &m, RawHttpServer &s, const QString &) {
             return m.getReqPOSTContentType("<a/>", "text/xml", s.url("/count"));
         },
         "POST", "/count", "<a/>", {{"Content-Type", "text/xml"}, {"Content-Length", "4"}, {"Connection", "close"}}},
        {"multipart post in code page 949",
         [](PLHTTPManager &m, RawHttpServer &s, const QString &) {
             return m.getReqPOSTBoundary(QString(QStringLiteral(u"\uD55C\uAE00")).repeated(25), "abc", s.url("/mail"));
         },
         "POST", "/mail", repeated(kHangeulCP949, 25) + "--abc--\r\n",
         {{"Accept", kAcceptList},
          {"Accept-Language", "ko"},
          {"User-Agent", kUserAgent},
          {"Content-Type", "multipart/form-data; boundary=abc"},
          {"Accept-Encoding", "gzip, deflate"},
          {"Content-Length", "109"},
          {"Connection", "Keep-Alive"}}},
        {"multipart post: characters without a code page 949 code become ?",
         [](PLHTTPManager &m, RawHttpServer &s, const QString &) {
             return m.getReqPOSTBoundary(QStringLiteral(u"a\U0001F600\uD55Cb"), "xy", s.url("/mail"));
         },
         "POST", "/mail", "a?\xC7\xD1" "b--xy--\r\n", {{"Content-Length", "13"}}},
        {"attachment post streams the file",
         [binary](PLHTTPManager &m, RawHttpServer &s, const QString &folder) {
             return m.getReqPostWithAttachment(writeUpload(folder, binary), "b0", s.url("/mail"));
         },
         "POST", "/mail", binary,
         {{"Accept", kAcceptList},
          {"Content-Type", "multipart/form-data; boundary=b0"},
          {"Content-Length", QByteArray::number(binary.size())},
          {"Connection", "Keep-Alive"}}},
        {"attachment post of a missing file sends an empty body",
         [](PLHTTPManager &m, RawHttpServer &s, const QString &folder) {
             return m.getReqPostWithAttachment(folder + "/missing", "b0", s.url("/mail"));
         },
         "POST", "/mail", "", {{"Content-Length", "0"}}},
        {"bulk upload",
         [binary](PLHTTPManager &m, RawHttpServer &s, const QString &folder) {
             return m.getReqBulkmail(writeUpload(folder, binary), s.url("/upload/sid=3")) ? QStringLiteral("made")
                                                                                          : QString();
         },
         "POST", "/upload/sid=3", binary,
         {{"Accept", "text/*"},
          {"Accept-Language", "ko"},
          {"User-Agent", kUserAgent},
          {"Content-Length", QByteArray::number(binary.size())},
          {"Connection", "Keep-Alive"},
          {"Cache-Control", "no-cache"},
          {"Content-Type", QByteArray()}}},
        {"chat log upload",
         [](PLHTTPManager &m, RawHttpServer &s, const QString &) {
             PLHTTPManager::setSaveChatURL(s.url("/client/SaveChat.do"));
             m.saveChatPOST("--part\r\n");
             return QStringLiteral("sent");
         },
         "POST", "/client/SaveChat.do", "--part\r\n",
         {{"Content-Type", "multipart/form-data; charset=UTF-8; boundary=---------------------------93e41c6e209110"},
          {"Content-Length", "8"},
          {"Accept-Language", "ko"}}},
    };
}

} // namespace

TEST(PLHTTPManager, EachRequestSendsItsMethodPathBodyAndHeaders)
{
    for (const RequestCase &c : requestCases()) {
        SCOPED_TRACE(c.name);
        RawHttpServer server;
        server.answer(c.path, "reply 1");
        QTemporaryDir folder;
        const QString reply = runOnWorker<QString>(
            [&] { return c.send(PLHTTPManager::sharedManager(), server, folder.path()); });
        ASSERT_EQ(server.receivedCount(), 1);
        const ReceivedRequest request = server.received().first();
        EXPECT_EQ(request.method, c.method);
        EXPECT_EQ(request.path, c.path);
        EXPECT_EQ(request.body, c.body);
        for (const Header &header : c.headers) {
            SCOPED_TRACE(header.name.toStdString());
            EXPECT_EQ(request.header(header.name), header.value);
            if (!header.value.isNull()) {
                EXPECT_EQ(request.headerCount(header.name), 1);
            }
        }
        EXPECT_FALSE(reply.isNull());
    }
}

TEST(PLHTTPManager, RepliesComeBackAsTextAndNeverFromACache)
{
    RawHttpServer server;
    server.answer("/memo", "count=1");
    const auto ask = [&] {
        return runOnWorker<QString>([&] { return PLHTTPManager::sharedManager().getReqGET(server.url("/memo")); });
    };
    EXPECT_EQ(ask(), QStringLiteral("count=1"));
    server.answer("/memo", "count=2 \xEC\x9D\xB4");
    EXPECT_EQ(ask(), QStringLiteral(u"count=2 \uC774"));
    EXPECT_EQ(server.receivedCount(), 2);

    const auto post = [&] {
        return runOnWorker<QString>(
            [&] { return PLHTTPManager::sharedManager().getReqPOST("ticket=t", server.url("/memo")); });
    };
    EXPECT_EQ(post(), QStringLiteral(u"count=2 \uC774"));
    server.answer("/memo", "count=3");
    EXPECT_EQ(post(), QStringLiteral("count=3"));
    EXPECT_EQ(server.receivedCount(), 4);
}

TEST(PLHTTPManager, FailuresGiveNullAndTheMainThreadSendsNothing)
{
    RawHttpServer server;
    server.answer("/count", "x");
    // On the main thread the request would block the interface.
    EXPECT_TRUE(PLHTTPManager::sharedManager().getReqGET(server.url("/count")).isNull());
    EXPECT_TRUE(PLHTTPManager::sharedManager().getReqPOST("a", server.url("/count")).isNull());
    EXPECT_EQ(server.receivedCount(), 0);

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/count").arg(closed.serverPort());
    closed.close();
    EXPECT_TRUE(runOnWorker<QString>([&] { return PLHTTPManager::sharedManager().getReqGET(refused); }).isNull());

    // A server that answers, even with an error status and no body, gives text.
    const QString empty =
        runOnWorker<QString>([&] { return PLHTTPManager::sharedManager().getReqGET(server.url("/none")); });
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(empty.isEmpty());
}

TEST(PLHTTPManager, TheEndOfTheMainLoopAbortsWhatAWorkerWaitsFor)
{
    // A server that takes the request and never answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    QList<QTcpSocket *> held;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *socket = silent.nextPendingConnection())
            held.append(socket);
    });
    const QString url = QStringLiteral("http://127.0.0.1:%1/count").arg(silent.serverPort());
    std::atomic<bool> done{false};
    QString reply = QStringLiteral("not yet");
    std::thread worker([&] {
        reply = PLHTTPManager::sharedManager().getReqGET(url);
        done = true;
    });
    ASSERT_TRUE(waitUntil([&] { return !held.isEmpty(); }));
    // The program's main loop runs and ends, as when the program quits.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    // The worker has its answer at once (none), not after the request's
    // time-out: it is out of the network code before the program ends.
    const bool ended = waitUntil([&] { return done.load(); }, 5000);
    worker.join();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(reply.isNull());
    qDeleteAll(held);
}

TEST(PLHTTPManager, BulkUploadReportsProgressAndItsEnd)
{
    RawHttpServer server;
    server.answer("/upload/sid=1", "0&info");
    QTemporaryDir folder;
    const QByteArray bytes = repeated("0123456789", 2000);
    const QString path = writeUpload(folder.path(), bytes);

    struct Seen {
        qint64 lastWritten = -1;
        qint64 total = -1;
        float percent = -1;
        QByteArray response;
        int finishes = 0;
    } seen;
    NotificationCenter &center = NotificationCenter::defaultCenter();
    const auto progress = center.addObserver(QLatin1String(notifications::kURLConnectionProgress), nullptr,
                                             [&](const Notification &n) {
                                                 seen.lastWritten = n.userInfo.value("bytesWritten").toLongLong();
                                                 seen.total = n.userInfo.value("totalBytes").toLongLong();
                                                 seen.percent = n.userInfo.value("percent").toFloat();
                                             });
    const auto finish = center.addObserver(QLatin1String(notifications::kURLConnectionFinish), nullptr,
                                           [&](const Notification &n) {
                                               seen.response = n.userInfo.value("responseData").toByteArray();
                                               ++seen.finishes;
                                           });
    EXPECT_TRUE(runOnWorker<bool>(
        [&] { return PLHTTPManager::sharedManager().getReqBulkmail(path, server.url("/upload/sid=1")); }));
    center.removeObserver(progress);
    center.removeObserver(finish);

    EXPECT_EQ(seen.finishes, 1);
    EXPECT_EQ(seen.response, QByteArray("0&info"));
    EXPECT_EQ(seen.total, bytes.size());
    EXPECT_EQ(seen.lastWritten, bytes.size());
    EXPECT_FLOAT_EQ(seen.percent, 1.0f);
}

TEST(PLHTTPManager, BulkUploadThatFailsPostsNoEnd)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/upload").arg(closed.serverPort());
    closed.close();
    QTemporaryDir folder;
    const QString path = writeUpload(folder.path(), "abc");
    int finishes = 0;
    const auto finish = NotificationCenter::defaultCenter().addObserver(
        QLatin1String(notifications::kURLConnectionFinish), nullptr, [&](const Notification &) { ++finishes; });
    EXPECT_TRUE(runOnWorker<bool>([&] { return PLHTTPManager::sharedManager().getReqBulkmail(path, refused); }));
    NotificationCenter::defaultCenter().removeObserver(finish);
    EXPECT_EQ(finishes, 0);
}

TEST(PLHTTPManager, CompressedRepliesToMultipartPostsAreInflated)
{
    // These requests name their own Accept-Encoding, so Qt hands the reply
    // over as it came.
    const struct {
        const char *encoding;
        QByteArray body;
        const char *text;
    } cases[] = {
        {"gzip", QByteArray::fromHex("1f8b08000000000002032b4a2d2ecd29b1f5f706007017fb2409000000"), "result=OK"},
        {"deflate", QByteArray::fromHex("789c2b4a2d2ecd29b1f5f7060012a20377"), "result=OK"},
        {"identity", "result=OK", "result=OK"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.encoding);
        RawHttpServer server;
        server.answer("/mail", c.body, QByteArray("Content-Encoding: ") + c.encoding + "\r\n");
        const QString reply = runOnWorker<QString>(
            [&] { return PLHTTPManager::sharedManager().getReqPOSTBoundary("x", "b", server.url("/mail")); });
        EXPECT_EQ(reply, QString::fromLatin1(c.text));
    }
}

TEST(PLHTTPManager, RedirectsAreFollowedOnlyWithinTheSameServer)
{
    // The request names its Host, which would be wrong for another server.
    RawHttpServer server;
    RawHttpServer other;
    server.redirect("/old", server.url("/new"));
    server.answer("/new", "moved here");
    server.redirect("/away", other.url("/new"));
    other.answer("/new", "elsewhere");
    EXPECT_EQ(runOnWorker<QString>([&] { return PLHTTPManager::sharedManager().getReqGET(server.url("/old")); }),
              QStringLiteral("moved here"));
    ASSERT_EQ(server.receivedCount(), 2);
    EXPECT_EQ(server.received().at(1).path, QByteArray("/new"));

    const QString reply =
        runOnWorker<QString>([&] { return PLHTTPManager::sharedManager().getReqGET(server.url("/away")); });
    EXPECT_NE(reply, QStringLiteral("elsewhere"));
    EXPECT_EQ(other.receivedCount(), 0);
}
