#pragma once

// The record of one offered file, kept by PLFileTransferManager under its
// file cookie from the offer to the end (and after, until removed).

#include "PLDownloadFile.h"

#include <QFile>
#include <QString>
#include <QVariantMap>
#include <memory>

namespace parley {

struct FileTransferInfo
{
    QString fileCookie;
    bool isDownload = false;
    QString targetID;
    QString chatSessionKey;
    QString fileName;
    qint64 fileSize = 0;
    QString filePath;
    qint64 ioIndex = 0;
    float transPercent = 0.0f;
    bool isDone = false;
    bool isCancelled = false;
    bool isWaiting = false;
    bool isMail = false;
    QString p2pCookie;
    QString dpKey;
    QString status; // "", "connecting" or "transfering"
    int age = 0;
    bool fileRelay = false;
    QString p2pSessionKey;

    // Sending side: the source, open for reading from the offer on.
    std::unique_ptr<QFile> source;
    // Receiving side: the destination once the download starts.
    std::unique_ptr<PLDownloadFile> destination;

    bool hasFileHandle() const { return (source && source->isOpen()) || (destination && destination->isOpen()); }

    // The record's values under their names ("fileCookie", "fileSize", ...);
    // the open file is not included.
    QVariantMap toVariantMap() const;
};

} // namespace parley
