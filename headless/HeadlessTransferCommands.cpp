#include "HeadlessTransferCommands.h"

#include "ChatManagement/PLChatSessionManager.h"
#include "FileTransfer/PLCookieManager.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "FileTransfer/PLMailTransferManager.h"
#include "FileTransfer/PLP2PSessionManager.h"
#include "Sessions/PLManagerRegistry.h"

#include <QDir>

namespace headless::transfer {

using parley::PLFileTransferManager;

void installTransferManagers(const TransferOptions &options)
{
    parley::PLP2PSessionManager::setDefaultListenPort(quint16(options.p2pPort), options.p2pPortFixed);
    PLFileTransferManager &files = PLFileTransferManager::sharedManager();
    if (!options.downloadFolder.isEmpty())
        files.setDownloadPath(options.downloadFolder);
    files.setTickInterval(options.tickMs);
    files.setRelayDelayTicks(options.relayDelayTicks);
    files.setChatSessionManager(&parley::PLChatSessionManager::sharedManager());
    parley::PLChatSessionManager::sharedManager().setFileTransferManager(&files);
    parley::PLManagerRegistry::setCookieManager(&parley::PLCookieManager::sharedManager());
    parley::PLManagerRegistry::setP2PSessionManager(&parley::PLP2PSessionManager::sharedManager());
    parley::PLManagerRegistry::setFileTransferManager(&files);
    parley::PLManagerRegistry::setMailTransferManager(&parley::PLMailTransferManager::sharedManager());
}

void attachSession(parley::PLParleySession &session) { PLFileTransferManager::sharedManager().setSession(&session); }

void detachSession() { PLFileTransferManager::sharedManager().setSession(static_cast<parley::PLParleySession *>(nullptr)); }

Result offer(HeadlessContext &, const QStringList &args, bool *sent)
{
    QStringList paths;
    for (const QString &path : args.mid(2))
        paths.append(QDir::current().absoluteFilePath(path));
    *sent = PLFileTransferManager::sharedManager().uploadFiles(paths, args[1], args[0]);
    return std::nullopt;
}

Result accept(HeadlessContext &, const QStringList &args, bool *sent)
{
    PLFileTransferManager &files = PLFileTransferManager::sharedManager();
    if (files.fileInfoForCookie(args[0]).isEmpty())
        return QStringLiteral("no file \"%1\"").arg(args[0]);
    if (args.size() > 1) {
        if (!QDir(args[1]).exists())
            return QStringLiteral("no folder \"%1\"").arg(args[1]);
        files.setDownloadPath(QDir(args[1]).absolutePath());
    }
    *sent = files.acceptDownloadFor(args[0]);
    return std::nullopt;
}

Result refuse(HeadlessContext &, const QStringList &args, bool *sent)
{
    PLFileTransferManager &files = PLFileTransferManager::sharedManager();
    if (files.fileInfoForCookie(args[0]).isEmpty())
        return QStringLiteral("no file \"%1\"").arg(args[0]);
    *sent = files.rejectDownloadFor(args[0]);
    return std::nullopt;
}

Result cancel(HeadlessContext &, const QStringList &args, bool *sent)
{
    PLFileTransferManager &files = PLFileTransferManager::sharedManager();
    const QVariantMap info = files.fileInfoForCookie(args[0]);
    if (info.isEmpty())
        return QStringLiteral("no file \"%1\"").arg(args[0]);
    *sent = info.value(QStringLiteral("isDownload")).toBool() ? files.cancelDownloadFor(args[0])
                                                              : files.cancelUploadFor(args[0]);
    return std::nullopt;
}

} // namespace headless::transfer
