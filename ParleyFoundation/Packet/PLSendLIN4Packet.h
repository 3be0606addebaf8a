#pragma once

// The sign-in: user ID and form on the line, the four-line sign-in text as the
// body, enciphered under the session key for "NE3" and plain for "PLN".
// Without a session key there is no line, whatever the form, and none when a
// value of the text would make an empty word or split one (PLBodyWords).

#include "PLSendPacket.h"

namespace parley {

class PLSendLIN4Packet : public PLSendPacket
{
public:
    explicit PLSendLIN4Packet(qint32 tid = 0);

    const QString &userID() const { return mUserID; }
    void setUserID(const QString &userID) { mUserID = userID; }
    const QString &encType() const { return mEncType; }
    void setEncType(const QString &encType) { mEncType = encType; }
    const QString &password() const { return mPassword; }
    void setPassword(const QString &password) { mPassword = password; }
    const QString &passwordType() const { return mPasswordType; }
    void setPasswordType(const QString &passwordType) { mPasswordType = passwordType; }
    const QString &clientVersion() const { return mClientVersion; }
    void setClientVersion(const QString &clientVersion) { mClientVersion = clientVersion; }
    const QString &charEncodeType() const { return mCharEncodeType; }
    void setCharEncodeType(const QString &charEncodeType) { mCharEncodeType = charEncodeType; }
    const QString &langDotOS() const { return mLangDotOS; }
    void setLangDotOS(const QString &langDotOS) { mLangDotOS = langDotOS; }
    const QString &masterID() const { return mMasterID; }
    void setMasterID(const QString &masterID) { mMasterID = masterID; }
    const QString &PCID() const { return mPCID; }
    void setPCID(const QString &PCID) { mPCID = PCID; }
    const QString &hiddenRetryYN() const { return mHiddenRetryYN; }
    void setHiddenRetryYN(const QString &hiddenRetryYN) { mHiddenRetryYN = hiddenRetryYN; }
    const QString &pcName() const { return mPcName; }
    void setPcName(const QString &pcName) { mPcName = pcName; }
    const QString &localeName() const { return mLocaleName; }
    void setLocaleName(const QString &localeName) { mLocaleName = localeName; }
    const QString &locKey() const { return mLocKey; }
    void setLocKey(const QString &locKey) { mLocKey = locKey; }
    const QString &multiSessionYN() const { return mMultiSessionYN; }
    void setMultiSessionYN(const QString &multiSessionYN) { mMultiSessionYN = multiSessionYN; }
    const QString &osString() const { return mOsString; }
    void setOsString(const QString &osString) { mOsString = osString; }
    const QString &mobileYN() const { return mMobileYN; }
    void setMobileYN(const QString &mobileYN) { mMobileYN = mobileYN; }
    const QString &noteOnlyYN() const { return mNoteOnlyYN; }
    void setNoteOnlyYN(const QString &noteOnlyYN) { mNoteOnlyYN = noteOnlyYN; }
    const QString &mVoipYN() const { return mMVoipYN; }
    void setMVoipYN(const QString &mVoipYN) { mMVoipYN = mVoipYN; }
    const QString &encryptKey() const { return mEncryptKey; }
    void setEncryptKey(const QString &encryptKey) { mEncryptKey = encryptKey; }

    // The body before enciphering; null (logged) when a field that must keep
    // a value is empty or a value would split its line.
    QString signInText() const;

protected:
    bool composeParams() override;

private:
    QString mUserID = QStringLiteral("%00");
    QString mEncType = QStringLiteral("%00");
    QString mPassword = QStringLiteral("%00");
    QString mPasswordType = QStringLiteral("%00");
    QString mClientVersion = QStringLiteral("%00");
    QString mCharEncodeType = QStringLiteral("%00");
    QString mLangDotOS = QStringLiteral("%00");
    QString mMasterID = QStringLiteral("%00");
    QString mPCID = QStringLiteral("%00");
    QString mHiddenRetryYN = QStringLiteral("N");
    QString mPcName = QStringLiteral("N");
    QString mLocaleName = QStringLiteral("N");
    QString mLocKey = QStringLiteral("N");
    QString mMultiSessionYN = QStringLiteral("N");
    QString mOsString = QStringLiteral("N");
    QString mMobileYN = QStringLiteral("N");
    QString mNoteOnlyYN = QStringLiteral("N");
    QString mMVoipYN = QStringLiteral("N");
    QString mEncryptKey;
};

} // namespace parley
