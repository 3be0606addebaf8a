#pragma once

// The HTTP requests the messenger sends to the portal's web services: counts,
// account information, chat-log uploads and the mail uploads. Every request
// blocks its caller until the reply (10 s without traffic ends it), so callers
// run them on worker threads; on the main thread they send nothing.
// Nothing is ever answered from a cache.

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>

class QIODevice;

namespace parley {

class PLHTTPManager
{
public:
    static PLHTTPManager &sharedManager();
    PLHTTPManager(const PLHTTPManager &) = delete;
    PLHTTPManager &operator=(const PLHTTPManager &) = delete;

    // The reply's text (UTF-8), or null when no reply came.
    QString getReqGET(const QString &url);
    // A form post, "application/x-www-form-urlencoded;charset=UTF-8".
    QString getReqPOST(const QString &body, const QString &url);
    // A post of the body's UTF-8 bytes with the given content type.
    QString getReqPOSTContentType(const QString &body, const QString &contentType, const QString &url);
    // A multipart post: the body in code page 949, then the closing boundary line.
    QString getReqPOSTBoundary(const QString &body, const QString &boundary, const QString &url);
    // A multipart post whose whole body is the file at the path.
    QString getReqPostWithAttachment(const QString &filePath, const QString &boundary, const QString &url);
    // The bulk upload of the file at the path through a PLURLConnection, which
    // posts its progress and its end; true once the connection was made.
    bool getReqBulkmail(const QString &filePath, const QString &url);
    // Uploads a chat log already formed as multipart with the fixed boundary.
    void saveChatPOST(const QString &body);

    // The text in code page 949 (what the portal's forms expect); characters
    // without a code become "?".
    static QByteArray codePage949(const QString &text);

    // Where saved chat logs go; tests point it at their own server.
    static QString saveChatURL();
    static void setSaveChatURL(const QString &url);

    struct Request {
        QNetworkRequest request;
        QByteArray method;
        QByteArray body;
        QIODevice *bodyDevice = nullptr; // used instead of body when set
        // The request names its own Accept-Encoding, so Qt leaves a
        // compressed reply as it came and it is inflated here.
        bool inflateReply = false;
    };
    // Sends a request and waits for the reply's text.
    QString responseMessage(const Request &request);

private:
    PLHTTPManager() = default;
};

} // namespace parley
