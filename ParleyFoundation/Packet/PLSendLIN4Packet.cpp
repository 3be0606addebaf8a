#include "PLSendLIN4Packet.h"

#include "Log.h"
#include "PLBodyWords.h"
#include "PLEncipherer.h"

namespace parley {

PLSendLIN4Packet::PLSendLIN4Packet(qint32 tid)
    : PLSendPacket(tid)
{
    mCommand = QStringLiteral("LIN4");
}

QString PLSendLIN4Packet::signInText() const
{
    // The fields that start as "%00" travel as "%00" when emptied; those
    // that start as "N" must keep a value.
    const QString lines[] = {
        PLBodyWords("LIN4")
            .marked(mPassword, "password")
            .marked(mPasswordType, "passwordType")
            .required(mHiddenRetryYN, "hiddenRetryYN")
            .required(mLocKey, "locKey")
            .line(),
        PLBodyWords("LIN4")
            .marked(mLangDotOS, "langDotOS")
            .marked(mClientVersion, "clientVersion")
            .marked(mCharEncodeType, "charEncodeType")
            .marked(mMasterID, "masterID")
            .required(mOsString, "osString")
            .required(mPcName, "pcName")
            .required(mLocaleName, "localeName")
            .line(),
        PLBodyWords("LIN4").marked(mPCID, "PCID").line(),
        PLBodyWords("LIN4")
            .required(mMultiSessionYN, "multiSessionYN")
            .required(mMobileYN, "mobileYN")
            .required(mNoteOnlyYN, "noteOnlyYN")
            .required(mMVoipYN, "mVoipYN")
            .line(),
    };
    QString text;
    for (const QString &line : lines) {
        if (line.isNull())
            return QString();
        text += line + QLatin1String("\r\n");
    }
    return text;
}

bool PLSendLIN4Packet::composeParams()
{
    PL_GUARD_OBJECT(!mEncryptKey.isEmpty(), false);
    const QString text = signInText();
    if (text.isNull())
        return false; // a word that would be empty or split, logged
    QString body;
    if (mEncType == QLatin1String("NE3")) {
        body = PLEncipherer::encipher(text, mEncryptKey);
        if (body.isNull())
            return false;
    } else if (mEncType == QLatin1String("PLN")) {
        body = text;
    }
    mParams = {mUserID, mEncType};
    appendBody(body);
    return true;
}

} // namespace parley
