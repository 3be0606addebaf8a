#include "PLSendCTOCPacket.h"

namespace parley {

PLSendCTOCPacket::PLSendCTOCPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("CTOC"));
}

bool PLSendCTOCPacket::composeParams()
{
    mParams.clear();
    if (mTargetID != QLatin1String("%00")) {
        mParams << mTargetID << mAckType;
        if (!mTargetKey.isNull())
            mParams << mTargetKey;
    } else {
        mParams << mFromID;
    }
    appendBody(mBodyData);
    return true;
}

} // namespace parley
