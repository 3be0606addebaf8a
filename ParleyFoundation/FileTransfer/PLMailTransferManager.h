#pragma once

// Sends a file that does not go peer to peer through the portal's mail
// service. On "ParleyMailUploadStart" it builds the upload in a temporary file
// on a worker thread: below 10 MiB the file is the attachment of a web mail to
// the buddy; up to 2^31 - 8192 bytes it goes to the bulk-mail server and a
// mail with the download link follows. The result comes back on the main
// thread as "ParleyMailUploadEnd", "ParleyMailUploadFailed" or
// "ParleyMailUploadCancelled" -- always one of them, also when the bulk
// upload's connection fails.

#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include "NotificationCenter.h"
#include "Sessions/PLMailTransferManagerInterface.h"

namespace parley {

class PLFileTransferManager;

class PLMailTransferManager : public QObject, public PLMailTransferManagerInterface
{
    Q_OBJECT

public:
    static constexpr qint64 kMaxAttachmentSize = 10485759;
    static constexpr qint64 kMaxBulkSize = 2147475456;
    static constexpr qint64 kReadSize = 10240;

    static PLMailTransferManager &sharedManager();
    explicit PLMailTransferManager(PLFileTransferManager &files, QObject *parent = nullptr);
    ~PLMailTransferManager() override;

    // Where the portal's mail server and the bulk-mail server are
    // ("http://host[:port]", no trailing slash).
    void setMailServerURL(const QString &url);
    void setBulkmailServerURL(const QString &url);
    // Where upload files are made (the system's temporary folder unless set).
    void setTemporaryFolder(const QString &folder);

    // Starts the next upload afresh (a new boundary); the account session
    // calls it right before it posts "ParleyMailUploadStart".
    void reset() override;
    // Uploads still running (tests wait for none).
    int runningUploads() const;

private:
    struct Job;
    void prepareMailTransfer(const QVariantMap &start);
    void endTransferNotification(const QVariantMap &result);

    PLFileTransferManager &mFiles;
    NotificationCenter::Token mStartToken = 0;
    mutable QMutex mLock;
    QString mMailServerURL;
    QString mBulkmailServerURL;
    QString mBoundary;
    QString mTemporaryFolder;
    int mRunning = 0;
};

} // namespace parley
