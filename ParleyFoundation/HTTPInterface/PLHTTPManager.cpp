#include "PLHTTPManager.h"

#include "Log.h"
#include "MainThread.h"
#include "PLURLConnection.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>
#include <QWaitCondition>

#include <iconv.h>
#include <zlib.h>

namespace parley {

namespace {

constexpr int kTimeoutMs = 10000;
const QByteArray kUserAgent = QByteArrayLiteral("Parley/1.1 (Mac)");
const QByteArray kAcceptList = QByteArrayLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
                                                 "application/vnd.ms-powerpoint, application/vnd.ms-excel, "
                                                 "application/msword, */*");
const QString kChatLogBoundary = QStringLiteral("---------------------------93e41c6e209110");

QMutex gSaveChatLock;
QString gSaveChatURL = QStringLiteral("https://memo.vela.test:443/client/SaveChat.do");

// A reply inflated beyond this is refused rather than filling the memory.
constexpr qsizetype kMaxInflatedBytes = 64 * 1024 * 1024;

// The requests worker threads are waiting for. When the program's main loop
// ends they are aborted, and before Qt's own objects go at exit the program
// waits (a bounded time) for them to end: a worker still inside the network
// code while the process comes apart would crash it.
constexpr int kExitWaitMs = 3000;
QMutex gFlightLock;
QWaitCondition gFlightEnded;
int gInFlight = 0;
bool gClosing = false;

void waitForRequestsInFlight()
{
    QMutexLocker locker(&gFlightLock);
    gClosing = true;
    QDeadlineTimer deadline(kExitWaitMs);
    while (gInFlight > 0)
        if (!gFlightEnded.wait(&gFlightLock, deadline))
            break;
}

// Registered as the application object is made, on the main thread: a
// worker's first request may well come after the program began to end.
void registerExitWait() { qAddPostRoutine(waitForRequestsInFlight); }

// Counts one request while it runs; not admitted once the program is closing
// (or without an application object).
class InFlight
{
public:
    InFlight()
    {
        QMutexLocker locker(&gFlightLock);
        mAdmitted = !gClosing && QCoreApplication::instance() && !QCoreApplication::closingDown();
        if (mAdmitted)
            ++gInFlight;
    }
    ~InFlight()
    {
        if (!mAdmitted)
            return;
        QMutexLocker locker(&gFlightLock);
        --gInFlight;
        gFlightEnded.wakeAll();
    }
    InFlight(const InFlight &) = delete;
    InFlight &operator=(const InFlight &) = delete;
    bool admitted() const { return mAdmitted; }

private:
    bool mAdmitted = false;
};

// The common settings of every request.
QNetworkRequest baseRequest(const QString &urlString)
{
    const QUrl url(urlString);
    QNetworkRequest request(url);
    request.setRawHeader("Host", url.host().toUtf8());
    // The Host header above would be wrong for another server, so only
    // redirects within the same server are followed.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setTransferTimeout(kTimeoutMs);
    // Counts and uploads must always come from the server.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return request;
}

// Code page 949 through iconv; characters it has no code for become "?".
QByteArray toCodePage949(const QString &text)
{
    QByteArray out;
    iconv_t converter = iconv_open("CP949", "UTF-8");
    if (converter == iconv_t(-1)) {
        plLog(QStringLiteral("iconv: no CP949 converter"));
        return out;
    }
    bool replaced = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            length = 2;
        QByteArray in = text.mid(i, length).toUtf8();
        char buffer[16];
        char *inPtr = in.data();
        size_t inLeft = size_t(in.size());
        char *outPtr = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) {
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
            out += '?';
            replaced = true;
        } else {
            out.append(buffer, qsizetype(sizeof buffer - outLeft));
        }
        i += length - 1;
    }
    iconv_close(converter);
    if (replaced)
        plLog(QStringLiteral("iconv: characters without a CP949 code were sent as ?"));
    return out;
}

// A gzip or zlib stream (or, failing that, raw deflate) inflated; null when
// the bytes are no such stream or inflate too far.
QByteArray inflateBody(const QByteArray &compressed)
{
    for (const int windowBits : {15 + 32, -15}) {
        z_stream stream{};
        if (inflateInit2(&stream, windowBits) != Z_OK)
            return QByteArray();
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData()));
        stream.avail_in = uInt(compressed.size());
        QByteArray out;
        char chunk[16384];
        int status = Z_OK;
        while (status == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef *>(chunk);
            stream.avail_out = sizeof chunk;
            status = inflate(&stream, Z_NO_FLUSH);
            out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
            if (out.size() > kMaxInflatedBytes)
                status = Z_MEM_ERROR;
            if (status == Z_BUF_ERROR && stream.avail_in == 0)
                break; // a stream cut short: keep what came
        }
        inflateEnd(&stream);
        if (status == Z_STREAM_END || status == Z_BUF_ERROR)
            return out;
    }
    return QByteArray();
}

QNetworkRequest postRequest(const QString &url, const QByteArray &contentType, qint64 length)
{
    QNetworkRequest request = baseRequest(url);
    request.setRawHeader("Content-Transfer-Encoding", "8bit");
    request.setRawHeader("Content-Type", contentType);
    request.setRawHeader("User-Agent", kUserAgent);
    request.setRawHeader("Content-Length", QByteArray::number(length));
    request.setRawHeader("Connection", "close");
    request.setRawHeader("Accept-Language", "ko");
    request.setRawHeader("Accept-Charset", "utf-8");
    return request;
}

QNetworkRequest multipartRequest(const QString &url, const QString &boundary, qint64 length)
{
    QNetworkRequest request = baseRequest(url);
    request.setRawHeader("Accept", kAcceptList);
    request.setRawHeader("Accept-Language", "ko");
    request.setRawHeader("User-Agent", kUserAgent);
    request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + boundary.toUtf8());
    request.setRawHeader("Accept-Encoding", "gzip, deflate");
    request.setRawHeader("Content-Length", QByteArray::number(length));
    request.setRawHeader("Connection", "Keep-Alive");
    return request;
}

// The file for a streamed body, or an empty stream when it cannot be read.
std::unique_ptr<QIODevice> openBody(const QString &filePath)
{
    auto file = std::make_unique<QFile>(filePath);
    if (file->open(QIODevice::ReadOnly))
        return file;
    plLog(QStringLiteral("cannot read upload file ") + filePath);
    auto empty = std::make_unique<QBuffer>();
    empty->open(QIODevice::ReadOnly);
    return empty;
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(registerExitWait)

PLHTTPManager &PLHTTPManager::sharedManager()
{
    static PLHTTPManager instance;
    return instance;
}

QString PLHTTPManager::saveChatURL()
{
    QMutexLocker lock(&gSaveChatLock);
    return gSaveChatURL;
}

void PLHTTPManager::setSaveChatURL(const QString &url)
{
    QMutexLocker lock(&gSaveChatLock);
    gSaveChatURL = url;
}

QString PLHTTPManager::responseMessage(const Request &request)
{
    // The wait below would freeze the interface.
    PL_GUARD_FLAG(!isMainThread(), QString());
    const InFlight flight;
    PL_GUARD_FLAG(flight.admitted(), QString());
    QNetworkAccessManager manager;
    QNetworkReply *reply = request.bodyDevice
        ? manager.sendCustomRequest(request.request, request.method, request.bodyDevice)
        : manager.sendCustomRequest(request.request, request.method, request.body);
    PL_GUARD_OBJECT(reply, QString());
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // Nobody reads the answer once the program's main loop is over.
    if (QCoreApplication *app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, reply, &QNetworkReply::abort);
    if (!reply->isFinished())
        loop.exec();
    QString text;
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        QByteArray body = reply->readAll();
        const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
        if (request.inflateReply && (encoding == "gzip" || encoding == "deflate")) {
            body = inflateBody(body);
            if (body.isNull())
                plLog(QStringLiteral("reply could not be inflated"));
        }
        text = body.isEmpty() ? QString(QLatin1String("")) : QString::fromUtf8(body);
    } else {
        plLog(QStringLiteral("request failed: ") + reply->errorString());
    }
    delete reply;
    return text;
}

QString PLHTTPManager::getReqGET(const QString &url)
{
    QNetworkRequest request = baseRequest(url);
    request.setRawHeader("User-Agent", kUserAgent);
    request.setRawHeader("Accept-Charset", "utf-8");
    return responseMessage({request, QByteArrayLiteral("GET"), {}, nullptr});
}

QString PLHTTPManager::getReqPOSTContentType(const QString &body, const QString &contentType, const QString &url)
{
    const QByteArray bytes = body.toUtf8();
    return responseMessage({postRequest(url, contentType.toUtf8(), bytes.size()), QByteArrayLiteral("POST"), bytes,
                            nullptr});
}

QString PLHTTPManager::getReqPOST(const QString &body, const QString &url)
{
    return getReqPOSTContentType(body, QStringLiteral("application/x-www-form-urlencoded;charset=UTF-8"), url);
}

QString PLHTTPManager::getReqPOSTBoundary(const QString &body, const QString &boundary, const QString &url)
{
    QByteArray bytes = toCodePage949(body);
    bytes += (QLatin1String("--") + boundary + QLatin1String("--\r\n")).toUtf8();
    return responseMessage(
        {multipartRequest(url, boundary, bytes.size()), QByteArrayLiteral("POST"), bytes, nullptr, true});
}

QString PLHTTPManager::getReqPostWithAttachment(const QString &filePath, const QString &boundary, const QString &url)
{
    const std::unique_ptr<QIODevice> body = openBody(filePath);
    return responseMessage(
        {multipartRequest(url, boundary, body->size()), QByteArrayLiteral("POST"), {}, body.get(), true});
}

QByteArray PLHTTPManager::codePage949(const QString &text)
{
    return toCodePage949(text);
}

bool PLHTTPManager::getReqBulkmail(const QString &filePath, const QString &url)
{
    const std::unique_ptr<QIODevice> body = openBody(filePath);
    QNetworkRequest request = baseRequest(url);
    request.setRawHeader("Accept", "text/*");
    request.setRawHeader("Accept-Language", "ko");
    request.setRawHeader("User-Agent", kUserAgent);
    request.setRawHeader("Content-Length", QByteArray::number(body->size()));
    request.setRawHeader("Connection", "Keep-Alive");
    request.setRawHeader("Cache-Control", "no-cache");
    PLURLConnection connection(request, QByteArrayLiteral("POST"), body.get());
    return true;
}

void PLHTTPManager::saveChatPOST(const QString &body)
{
    getReqPOSTContentType(body, QStringLiteral("multipart/form-data; charset=UTF-8; boundary=") + kChatLogBoundary,
                          saveChatURL());
}

} // namespace parley
