#pragma once

// What chat rooms hand to the file-transfer manager.

#include <QString>
#include <QVariantMap>

namespace parley {

class PLChatFileTransferInterface
{
public:
    virtual ~PLChatFileTransferInterface() = default;
    // A buddy offers files: {"sessionKey", "userID", "dpKey", "fileInfos"}.
    virtual void downloadRequestReceived(const QVariantMap &offer) = 0;
    // The offer of this file was withdrawn (or taken by another device).
    virtual void downloadCancelled(const QString &fileCookie) = 0;
    // The buddy refused this file.
    virtual void uploadRejected(const QString &fileCookie) = 0;
};

} // namespace parley
