#include "PLFileTransferPort.h"

#include "FileTransfer/PLFileTransferManager.h"

namespace parley {

QVariantMap PLFileTransferPort::fileInfoForCookie(const QString &fileCookie)
{
    return mManager.fileInfoForCookie(fileCookie);
}

void PLFileTransferPort::setFileInfoFlag(const QString &fileCookie, const QString &key, bool value)
{
    FileTransferInfo *entry = mManager.entryForCookie(fileCookie);
    if (!entry)
        return;
    if (key == QLatin1String("isMail"))
        entry->isMail = value;
    else if (key == QLatin1String("isDone"))
        entry->isDone = value;
}

bool PLFileTransferPort::acceptDownloadFor(const QString &c) { return mManager.acceptDownloadFor(c); }
bool PLFileTransferPort::rejectDownloadFor(const QString &c) { return mManager.rejectDownloadFor(c); }
bool PLFileTransferPort::cancelDownloadFor(const QString &c) { return mManager.cancelDownloadFor(c); }
bool PLFileTransferPort::cancelUploadFor(const QString &c) { return mManager.cancelUploadFor(c); }
bool PLFileTransferPort::receiveMailFor(const QString &c) { return mManager.receiveMailFor(c); }
bool PLFileTransferPort::sendMailFor(const QString &c) { return mManager.sendMailFor(c); }
bool PLFileTransferPort::checkMailForCookie(const QString &c) { return mManager.checkMailForCookie(c); }
bool PLFileTransferPort::removeFileInfoForCookie(const QString &c) { return mManager.removeFileInfoForCookie(c); }

} // namespace parley
