#include "PLSendLSINPacket.h"

#include "PLBodyWords.h"
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
    const QString signInText = PLBodyWords("LSIN")
                                   .marked(mUserID, "userID")
                                   .marked(mPassword, "password")
                                   .marked(mEncodeType, "encodeType")
                                   .marked(mVersion, "version")
                                   .marked(mCharEncodeType, "charEncodeType")
                                   .marked(mLangDotOS, "langDotOS")
                                   .marked(mMasterID, "masterID")
                                   .marked(mPCID, "PCID")
                                   .required(mHiddenRetryYN, "hiddenRetryYN")
                                   .marked(mMyPCName, "myPCName")
                                   .marked(mMyLocationKey, "myLocationKey")
                                   .line();
    if (signInText.isNull())
        return false;
    const QString enciphered = PLEncipherer::encipher(signInText, mEncryptKey);
    if (enciphered.isNull())
        return false;
    mParams = {enciphered};
    return true;
}

} // namespace parley
