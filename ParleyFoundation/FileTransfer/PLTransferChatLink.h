#pragma once

// What the file-transfer manager asks of the chat rooms: the offer and its
// answers travel as whispers in the room where the file was offered. Each file
// is a map {"fileName", "fileSize", "fileCookie"} (an offer also "filePath").

#include <QString>
#include <QVariantList>
#include <QVariantMap>

namespace parley {

class PLTransferChatLink
{
public:
    virtual ~PLTransferChatLink() = default;

    virtual bool requestTransferFiles(const QVariantList &files, const QString &sessionKey, const QString &userID) = 0;
    virtual bool acceptTransferFiles(const QVariantList &files, const QString &sessionKey, const QString &userID) = 0;
    virtual bool rejectTransferFile(const QVariantMap &file, const QString &sessionKey, const QString &userID) = 0;
    virtual bool cancelUploadFile(const QVariantMap &file, const QString &sessionKey, const QString &userID) = 0;
};

} // namespace parley
