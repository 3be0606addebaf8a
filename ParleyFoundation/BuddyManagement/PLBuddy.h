#pragma once

// One person on the signed-in user's lists, keyed by the member number (CMN).
// One record exists per CMN; the buddy manager and every group that files the
// buddy share it.

#include <QDateTime>
#include <QMetaType>
#include <QSharedData>
#include <QString>

#include <memory>

namespace parley {

class PLBuddy
{
public:
    PLBuddy() = default;
    explicit PLBuddy(const QString &cmn) : mBuddyCMN(cmn) {}

    QString buddyFlags() const { return mBuddyFlags; }
    QString velaID() const { return mVelaID; }
    QString buddyCMN() const { return mBuddyCMN; }
    QString name() const { return mName; }
    QString nickName() const { return mNickName; }
    QString mobile() const { return mMobile; }
    QString email() const { return mRare ? mRare->email : QString(); }
    QDateTime birthDay() const { return mRare ? mRare->birthDay : QDateTime(); }
    bool isBirthDaySolarType() const { return mIsBirthDaySolarType; }
    QDateTime musicDate() const { return mRare ? mRare->musicDate : QDateTime(); }
    bool isEwerLinked() const { return mIsEwerLinked; }
    bool isMobileInvoke() const { return mIsMobileInvoke; }
    bool isOrchardGuestBookHasNewPost() const { return mIsOrchardGuestBookHasNewPost; }
    bool isTalkAvailable() const { return mIsTalkAvailable; }
    qint32 status() const { return mStatus; }
    bool isQ7Mode() const { return mIsQ7Mode; }
    bool isTarnMode() const { return mIsTarnMode; }
    QString orchardCMN() const { return mOrchardCMN; }
    QString q7CMN() const { return mRare ? mRare->q7CMN : QString(); }

    // The list bits: FL (on my list), AL (allowed), BL (blocked), RL (I am on
    // the buddy's list). A bit is set when its character is "1".
    bool buddyFlagFLBit() const { return flagBit(0); }
    bool buddyFlagALBit() const { return flagBit(1); }
    bool buddyFlagBLBit() const { return flagBit(2); }
    bool buddyFlagRLBit() const { return flagBit(3); }
    // More than two characters of mobile number.
    bool isMobileExist() const { return mMobile.size() > 2; }

    void setOrchardGuestBookHasNewPost(bool flag) { mIsOrchardGuestBookHasNewPost = flag; }
    void setTalkAvailable(bool flag) { mIsTalkAvailable = flag; }
    // Stores the Q7 member number as given, "%00" included.
    void setMQ7CMN(const QString &cmn) { setRare(&Rare::q7CMN, cmn); }

    // Model-layer setters (buddy manager and account session).
    void setBuddyFlags(const QString &flags) { mBuddyFlags = flags; }
    void setVelaID(const QString &velaID) { mVelaID = velaID; }
    void setBuddyCMN(const QString &cmn) { mBuddyCMN = cmn; }
    void setName(const QString &name) { mName = name; }
    void setNickName(const QString &nickName) { mNickName = nickName; }
    void setMobile(const QString &mobile) { mMobile = mobile; }
    void setEmail(const QString &email) { setRare(&Rare::email, email); }
    void setBirthDay(const QDateTime &date) { setRare(&Rare::birthDay, date); }
    void setMusicDate(const QDateTime &date) { setRare(&Rare::musicDate, date); }
    void setOrchardCMN(const QString &cmn) { mOrchardCMN = cmn; }
    // The wire's empty field "%00" clears the number.
    void setQ7CMN(const QString &cmn);
    void setQ7Mode(bool flag) { mIsQ7Mode = flag; }
    void setTarnMode(bool flag) { mIsTarnMode = flag; }
    void setBirthDaySolarType(bool flag) { mIsBirthDaySolarType = flag; }
    void setEwerLinked(bool flag) { mIsEwerLinked = flag; }
    void setMobileInvoke(bool flag) { mIsMobileInvoke = flag; }
    void setStatus(qint32 status) { mStatus = status; }

    // Each rewrites the whole flag string from the four bits, in FL AL BL RL order.
    void setBuddyFlagFLBit(bool bit) { setFlagBit(0, bit); }
    void setBuddyFlagALBit(bool bit) { setFlagBit(1, bit); }
    void setBuddyFlagBLBit(bool bit) { setFlagBit(2, bit); }
    void setBuddyFlagRLBit(bool bit) { setFlagBit(3, bit); }

private:
    // Fields that few buddies have, kept apart: a sign-in holds thousands
    // of buddies, and one without them is a third smaller.
    struct Rare : QSharedData {
        QString email;
        QString q7CMN;
        QDateTime birthDay;
        QDateTime musicDate;
    };
    // Stores value in the rare fields; a buddy without any keeps none while
    // the value is the field's empty one.
    template <typename T>
    void setRare(T Rare::*field, const T &value)
    {
        if (!mRare) {
            if (value == T() && value.isNull() == T().isNull())
                return;
            mRare = new Rare;
        }
        mRare.data()->*field = value;
    }

    bool flagBit(qsizetype index) const;
    void setFlagBit(qsizetype index, bool bit);

    QString mBuddyFlags;
    QString mVelaID;
    QString mBuddyCMN;
    QString mName;
    QString mNickName;
    QString mMobile;
    QString mOrchardCMN;
    QSharedDataPointer<Rare> mRare;
    qint32 mStatus = 0;
    bool mIsQ7Mode = false;
    bool mIsTarnMode = false;
    bool mIsBirthDaySolarType = true;
    bool mIsEwerLinked = false;
    bool mIsMobileInvoke = false;
    bool mIsOrchardGuestBookHasNewPost = false;
    bool mIsTalkAvailable = false;
};

using PLBuddyPtr = std::shared_ptr<PLBuddy>;

} // namespace parley

Q_DECLARE_METATYPE(parley::PLBuddyPtr)
