#include "PLSendLSINPacket.h"

#include "PLEncipherer.h"

namespace parley {

PLSendLSINPacket::PLSendLSINPacket(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("LSIN");
}

bool PLSendLSINPacket::composeParams()
{
    // The values are joined as they are; the enciphered whole is escaped as
    // one parameter by the base.
    const QString signInText = QStringList{mUserID,   mPassword, mEncodeType,    mVersion,  mCharEncodeType, mLangDotOS,
                                           mMasterID, mPCID,     mHiddenRetryYN, mMyPCName, mMyLocationKey}
                                   .join(QLatin1Char(' '));
    const QString enciphered = PLEncipherer::encipher(signInText, mEncryptKey);
    if (enciphered.isNull())
        return false;
    mParams = {enciphered};
    return true;
}

} // namespace parley
