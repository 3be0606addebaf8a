#include "PLSendONSTPacket.h"

namespace parley {

PLSendONSTPacket::PLSendONSTPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("ONST");
}

void PLSendONSTPacket::setTID(qint32 tid, const QString &status, const QString &fileRoomType,
                              const QString &fileRoomName, const QString &mediaType)
{
    mTID = tid;
    mStatus = status;
    mFileRoomType = fileRoomType;
    mFileRoomName = fileRoomName;
    mMediaType = mediaType;
}

bool PLSendONSTPacket::composeParams()
{
    mParams = {mStatus, mFileRoomType, mFileRoomName, mMediaType};
    return true;
}

} // namespace parley
