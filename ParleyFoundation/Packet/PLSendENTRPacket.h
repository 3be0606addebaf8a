#pragma once

#include "PLSendPacket.h"

namespace parley {

// Enters a chat room on its switchboard connection.
class PLSendENTRPacket : public PLSendPacket
{
public:
    explicit PLSendENTRPacket(qint32 tid = 0);

    const QString &ID() const { return mID; }
    void setID(const QString &id) { mID = id; }
    const QString &nickName() const { return mNickName; }
    void setNickName(const QString &nickName) { mNickName = nickName; }
    const QString &name() const { return mName; }
    void setName(const QString &name) { mName = name; }
    const QString &key() const { return mKey; }
    void setKey(const QString &key) { mKey = key; }
    const QString &charEncodeType() const { return mCharEncodeType; }
    void setCharEncodeType(const QString &type) { mCharEncodeType = type; }
    const QString &encrypt() const { return mEncrypt; }
    void setEncrypt(const QString &encrypt) { mEncrypt = encrypt; }
    const QString &pver() const { return mPver; }
    void setPver(const QString &pver) { mPver = pver; }
    const QString &deviceType() const { return mDeviceType; }
    void setDeviceType(const QString &type) { mDeviceType = type; }
    const QString &clientVer() const { return mClientVer; }
    void setClientVer(const QString &version) { mClientVer = version; }
    const QString &osVer() const { return mOSVer; }
    void setOSVer(const QString &version) { mOSVer = version; }
    const QString &lineSeq() const { return mLineSeq; }
    void setLineSeq(const QString &lineSeq) { mLineSeq = lineSeq; }
    const QString &cmn() const { return mCMN; }
    void setCMN(const QString &cmn) { mCMN = cmn; }
    const QString &langPack() const { return mLangPack; }
    void setLangPack(const QString &langPack) { mLangPack = langPack; }

protected:
    bool composeParams() override;

private:
    QString mID = QStringLiteral("%00");
    QString mNickName = QStringLiteral("%00");
    QString mName = QStringLiteral("%00");
    QString mKey = QStringLiteral("%00");
    QString mCharEncodeType = QStringLiteral("%00");
    QString mEncrypt = QStringLiteral("%00");
    QString mPver = QStringLiteral("%00");
    QString mDeviceType = QStringLiteral("%00");
    QString mClientVer = QStringLiteral("%00");
    QString mOSVer = QStringLiteral("%00");
    QString mLineSeq = QStringLiteral("%00");
    QString mCMN = QStringLiteral("%00");
    QString mLangPack = QStringLiteral("%00");
};

} // namespace parley
