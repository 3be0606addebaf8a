#pragma once

// The chat-session manager as the file-transfer manager sees it.

#include "PLTransferChatLink.h"

namespace parley {

class PLChatSessionManager;

class PLChatTransferLink : public PLTransferChatLink
{
public:
    explicit PLChatTransferLink(PLChatSessionManager &chat) : mChat(chat) {}

    bool requestTransferFiles(const QVariantList &files, const QString &sessionKey, const QString &userID) override;
    bool acceptTransferFiles(const QVariantList &files, const QString &sessionKey, const QString &userID) override;
    bool rejectTransferFile(const QVariantMap &file, const QString &sessionKey, const QString &userID) override;
    bool cancelUploadFile(const QVariantMap &file, const QString &sessionKey, const QString &userID) override;

private:
    PLChatSessionManager &mChat;
};

} // namespace parley
