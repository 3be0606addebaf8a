#pragma once

// The transfer window's port on the process's transfer manager.

#include "TransferFilePort.h"

namespace parley {

class PLFileTransferManager;

class PLFileTransferPort final : public TransferFilePort
{
public:
    explicit PLFileTransferPort(PLFileTransferManager &manager) : mManager(manager) {}

    QVariantMap fileInfoForCookie(const QString &fileCookie) override;
    void setFileInfoFlag(const QString &fileCookie, const QString &key, bool value) override;
    bool acceptDownloadFor(const QString &fileCookie) override;
    bool rejectDownloadFor(const QString &fileCookie) override;
    bool cancelDownloadFor(const QString &fileCookie) override;
    bool cancelUploadFor(const QString &fileCookie) override;
    bool receiveMailFor(const QString &fileCookie) override;
    bool sendMailFor(const QString &fileCookie) override;
    bool checkMailForCookie(const QString &fileCookie) override;
    bool removeFileInfoForCookie(const QString &fileCookie) override;

private:
    PLFileTransferManager &mManager;
};

} // namespace parley
