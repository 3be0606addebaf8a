#pragma once

// Sets the user's own status.

#include "PLSendPacket.h"

namespace parley {

class PLSendONSTPacket : public PLSendPacket
{
public:
    explicit PLSendONSTPacket(qint32 tid = 0);

    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &status, const QString &fileRoomType, const QString &fileRoomName,
                const QString &mediaType);

    const QString &status() const { return mStatus; }
    void setStatus(const QString &status) { mStatus = status; }
    const QString &fileRoomType() const { return mFileRoomType; }
    void setFileRoomType(const QString &fileRoomType) { mFileRoomType = fileRoomType; }
    const QString &fileRoomName() const { return mFileRoomName; }
    void setFileRoomName(const QString &fileRoomName) { mFileRoomName = fileRoomName; }
    const QString &mediaType() const { return mMediaType; }
    void setMediaType(const QString &mediaType) { mMediaType = mediaType; }

protected:
    bool composeParams() override;

private:
    QString mStatus = QStringLiteral("%00");
    QString mFileRoomType = QStringLiteral("%00");
    QString mFileRoomName = QStringLiteral("%00");
    QString mMediaType = QStringLiteral("%00");
};

} // namespace parley
