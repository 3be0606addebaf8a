#pragma once

// The signed-in account: identity, what the server handed out at sign-in, the
// own status and the account's server-side profile.

#include <QMap>
#include <QMutex>
#include <QString>
#include <QVariantList>

namespace parley {

using PLProfileDict = QMap<QString, QString>;

class PLMyInfoManager
{
public:
    static PLMyInfoManager &sharedManager();
    PLMyInfoManager(const PLMyInfoManager &) = delete;
    PLMyInfoManager &operator=(const PLMyInfoManager &) = delete;

    QString IPAddress() const { return mIPAddress; }
    QString loginID() const { return mLoginID; }
    QString velaID() const { return mVelaID; }
    QString name() const { return mName; }
    QString nickName() const { return mNickName; }
    QString mobile() const { return mMobile; }
    QString email() const { return mEmail; }
    QString cmn() const { return mCMN; }
    QString velaCMN() const { return mVelaCMN; }
    QString ticket() const { return mTicket; }
    QString mToken() const { return mTokenValue; }
    bool isQ7Mode() const { return mIsQ7Mode; }
    bool isTarnMode() const { return mIsTarnMode; }
    bool isGlobalMode() const { return mIsGlobalMode; }
    bool isOrchardGuestBookHasNewPost() const { return mIsOrchardGuestBookHasNewPost; }
    qint32 status() const { return mStatus; }
    QString mLoginType() const { return mLoginTypeValue; }
    bool isAutoViewSessionManager() const { return mIsAutoViewSessionManager; }
    qint32 msCount() const { return mMsCount; }
    qint32 dpPort() const { return mDpPort; }
    QString orchardCMN() const;
    QString q7CMN() const;
    QString userConfPath() const;
    QVariantList msList() const;
    QString dpIP() const;
    QString dpName() const;
    QString dpPCName() const;
    QString dpPCID() const;
    QString dpLocationKey() const;
    QString dpKey() const;
    PLProfileDict mProfileDict() const;

    // NO only for the login type "N" in any case.
    bool loginType() const;
    // The stored Orchard ID when not empty, else the profile's "orchard_id".
    QString orchardID() const;
    QString profileValueForKey(const QString &key) const;
    void setProfileValue(const QString &value, const QString &key);

    void setOrchardGuestBookHasNewPost(bool flag) { mIsOrchardGuestBookHasNewPost = flag; }
    void setIsAutoViewSessionManager(bool flag) { mIsAutoViewSessionManager = flag; }
    void setMsCount(qint32 count) { mMsCount = count; }
    void setDpPort(qint32 port) { mDpPort = port; }
    // These may be set from the session's reading thread.
    void setDpIP(const QString &value);
    void setDpName(const QString &value);
    void setDpPCName(const QString &value);
    void setDpPCID(const QString &value);
    void setDpLocationKey(const QString &value);
    void setDpKey(const QString &value);
    void setMsList(const QVariantList &list);
    void setMUserConfPath(const QString &path);
    void setMProfileDict(const PLProfileDict &dict);
    void setMOrchardCMN(const QString &value);
    void setMQ7CMN(const QString &value);
    void setMOrchardID(const QString &value);

    void setIPAddress(const QString &value) { mIPAddress = value; }
    void setLoginID(const QString &value) { mLoginID = value; }
    void setVelaID(const QString &value) { mVelaID = value; }
    void setName(const QString &value) { mName = value; }
    void setNickName(const QString &value) { mNickName = value; }
    void setMobile(const QString &value) { mMobile = value; }
    void setEmail(const QString &value) { mEmail = value; }
    void setCMN(const QString &value) { mCMN = value; }
    void setVelaCMN(const QString &value) { mVelaCMN = value; }
    void setTicket(const QString &value) { mTicket = value; }
    void setStatus(qint32 status) { mStatus = status; }
    void setQ7Mode(bool flag) { mIsQ7Mode = flag; }
    void setTarnMode(bool flag) { mIsTarnMode = flag; }
    void setGlobalMode(bool flag) { mIsGlobalMode = flag; }
    void setLoginType(const QString &value) { mLoginTypeValue = value; }
    // The wire's empty field "%00" stores no value.
    void setQ7CMN(const QString &value);
    void setOrchardCMN(const QString &value);
    void setOrchardID(const QString &value);
    // Also kept in the global user default "accountToken".
    void setToken(const QString &token);

    // Downloads the profile on a worker thread; the result replaces the
    // profile on the main thread unless the account was reset meanwhile.
    void downloadProfile();
    // The profile endpoint's reply: key=value lines of the "[profile]" section.
    static PLProfileDict profileDictFrom(const QString &reply);

    // Whether the certificate alert stays hidden for this login ID: set in this
    // run and stored in the user's preferences.
    void setDisableCertAlert(bool disable);
    bool disableCertAlert() const;

    // Clears the identity between sign-ins (see the field list in the source).
    void reset();
    // Back to the state at launch, everything included (tests).
    void resetForTesting();

private:
    PLMyInfoManager() = default;
    void profileDownloaded(const PLProfileDict &profile, quint64 generation);

    QString mIPAddress;
    QString mLoginID;
    QString mVelaID;
    QString mName;
    QString mNickName;
    QString mMobile;
    QString mEmail;
    QString mCMN;
    QString mVelaCMN;
    QString mTicket;
    QString mTokenValue;
    bool mIsQ7Mode = false;
    bool mIsTarnMode = false;
    bool mIsGlobalMode = false;
    QString mOrchardCMN;
    QString mQ7CMN;
    QString mOrchardID;
    QString mLoginTypeValue;
    bool mIsOrchardGuestBookHasNewPost = false;
    qint32 mStatus = 0;
    QString mUserConfPath;
    PLProfileDict mProfileDictValue;
    QString mDpIP;
    QString mDpName;
    qint32 mDpPort = 0;
    QString mDpPCName;
    QString mDpPCID;
    QString mDpLocationKey;
    QString mDpKey;
    qint32 mMsCount = 0;
    QVariantList mMsList;
    bool mIsAutoViewSessionManager = false;
    bool mCertAlertDisable = false;

    // Guards the fields that other threads may set.
    mutable QMutex mLock;
    // Counts resets, so that a download started for an earlier account is dropped.
    quint64 mGeneration = 0;
};

} // namespace parley
