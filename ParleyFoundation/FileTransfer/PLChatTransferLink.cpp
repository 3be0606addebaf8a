#include "PLChatTransferLink.h"

#include "ChatManagement/PLChatSessionManager.h"

namespace parley {

bool PLChatTransferLink::requestTransferFiles(const QVariantList &files, const QString &sessionKey,
                                              const QString &userID)
{
    return mChat.requestTransferFiles(files, sessionKey, userID);
}

bool PLChatTransferLink::acceptTransferFiles(const QVariantList &files, const QString &sessionKey,
                                             const QString &userID)
{
    return mChat.acceptTransferFiles(files, sessionKey, userID);
}

bool PLChatTransferLink::rejectTransferFile(const QVariantMap &file, const QString &sessionKey, const QString &userID)
{
    return mChat.rejectTransferFile(file, sessionKey, userID);
}

bool PLChatTransferLink::cancelUploadFile(const QVariantMap &file, const QString &sessionKey, const QString &userID)
{
    return mChat.cancelUploadFile(file, sessionKey, userID);
}

} // namespace parley
