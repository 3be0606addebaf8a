#include "PLSendENTRPacket.h"

namespace parley {

PLSendENTRPacket::PLSendENTRPacket(qint32 tid)
    : PLSendPacket(tid)
{
    setCommand(QStringLiteral("ENTR"));
}

bool PLSendENTRPacket::composeParams()
{
    mParams = {mID,   mNickName,   mName,     mKey,   mCharEncodeType, mEncrypt, mPver,
               mDeviceType, mClientVer, mOSVer, mLineSeq, mCMN,           mLangPack};
    return true;
}

} // namespace parley
