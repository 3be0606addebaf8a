#include "PLSendLIN4Packet.h"

#include "Log.h"
#include "PLEncipherer.h"

namespace parley {

PLSendLIN4Packet::PLSendLIN4Packet(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("LIN4");
}

QString PLSendLIN4Packet::signInText() const
{
    const QLatin1Char sp(' ');
    const QLatin1String crlf("\r\n");
    return QStringList{mPassword, mPasswordType, mHiddenRetryYN, mLocKey}.join(sp) + crlf
        + QStringList{mLangDotOS, mClientVersion, mCharEncodeType, mMasterID, mOsString, mPcName, mLocaleName}.join(sp)
        + crlf + mPCID + crlf + QStringList{mMultiSessionYN, mMobileYN, mNoteOnlyYN, mMVoipYN}.join(sp) + crlf;
}

bool PLSendLIN4Packet::composeParams()
{
    PL_GUARD_OBJECT(!mEncryptKey.isEmpty(), false);
    QString body;
    if (mEncType == QLatin1String("NE3")) {
        body = PLEncipherer::encipher(signInText(), mEncryptKey);
        if (body.isNull())
            return false;
    } else if (mEncType == QLatin1String("PLN")) {
        body = signInText();
    }
    mParams = {mUserID, mEncType};
    appendBody(body);
    return true;
}

} // namespace parley
