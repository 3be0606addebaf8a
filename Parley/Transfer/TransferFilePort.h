#pragma once

// What the file transfer window asks of the transfer manager: each file's
// record by its cookie (FileTransferInfo's keys: "fileName", "fileSize",
// "targetID", "chatSessionKey", "ioIndex", "transPercent", "isDone",
// "isCancelled", "isDownload", "filePath", "isMail") and the answers to
// transfers. PLFileTransferPort forwards to the real manager; tests keep
// records of their own.

#include <QString>
#include <QVariantMap>

namespace parley {

class TransferFilePort
{
public:
    virtual ~TransferFilePort() = default;

    // An empty map for an unknown cookie.
    virtual QVariantMap fileInfoForCookie(const QString &fileCookie) = 0;
    // Writes "isMail" or "isDone" of a record.
    virtual void setFileInfoFlag(const QString &fileCookie, const QString &key, bool value) = 0;

    virtual bool acceptDownloadFor(const QString &fileCookie) = 0;
    virtual bool rejectDownloadFor(const QString &fileCookie) = 0;
    virtual bool cancelDownloadFor(const QString &fileCookie) = 0;
    virtual bool cancelUploadFor(const QString &fileCookie) = 0;
    virtual bool receiveMailFor(const QString &fileCookie) = 0;
    virtual bool sendMailFor(const QString &fileCookie) = 0;
    virtual bool checkMailForCookie(const QString &fileCookie) = 0;
    virtual bool removeFileInfoForCookie(const QString &fileCookie) = 0;
};

} // namespace parley
