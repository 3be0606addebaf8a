#pragma once

// The older sign-in: the whole sign-in text enciphered under the session key
// travels as the one parameter. Without a key or an encipherer there is no line.

#include "PLSendPacket.h"

namespace parley {

class PLSendLSINPacket : public PLSendPacket
{
public:
    explicit PLSendLSINPacket(qint32 tid = 0);

    const QString &userID() const { return mUserID; }
    void setUserID(const QString &userID) { mUserID = userID; }
    const QString &password() const { return mPassword; }
    void setPassword(const QString &password) { mPassword = password; }
    const QString &encodeType() const { return mEncodeType; }
    void setEncodeType(const QString &encodeType) { mEncodeType = encodeType; }
    const QString &version() const { return mVersion; }
    void setVersion(const QString &version) { mVersion = version; }
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
    const QString &myPCName() const { return mMyPCName; }
    void setMyPCName(const QString &myPCName) { mMyPCName = myPCName; }
    const QString &myLocationKey() const { return mMyLocationKey; }
    void setMyLocationKey(const QString &myLocationKey) { mMyLocationKey = myLocationKey; }
    const QString &encryptKey() const { return mEncryptKey; }
    void setEncryptKey(const QString &encryptKey) { mEncryptKey = encryptKey; }

protected:
    bool composeParams() override;

private:
    // The name and location key have no protocol default; unset, they travel
    // as empty fields like every other value.
    QString mUserID = QStringLiteral("%00");
    QString mPassword = QStringLiteral("%00");
    QString mEncodeType = QStringLiteral("%00");
    QString mVersion = QStringLiteral("%00");
    QString mCharEncodeType = QStringLiteral("%00");
    QString mLangDotOS = QStringLiteral("%00");
    QString mMasterID = QStringLiteral("%00");
    QString mPCID = QStringLiteral("%00");
    QString mHiddenRetryYN = QStringLiteral("N");
    QString mMyPCName = QStringLiteral("%00");
    QString mMyLocationKey = QStringLiteral("%00");
    QString mEncryptKey;
};

} // namespace parley
