#include "PLMyInfoManager.h"

#include "HTTPInterface/PLHTTPManager.h"
#include "Log.h"
#include "MainThread.h"
#include "UserDefaults.h"
#include "Utils/PLConfManager.h"
#include "Utils/ParleyStringAdditions.h"

#include <QMutexLocker>
#include <QStringList>

#include <thread>

namespace parley {

namespace {

const QString kEmptyField = QStringLiteral("%00");

QString unlessEmptyField(const QString &value)
{
    return value == kEmptyField ? QString() : value;
}

} // namespace

PLMyInfoManager &PLMyInfoManager::sharedManager()
{
    static PLMyInfoManager instance;
    return instance;
}

#define PL_LOCKED_GETTER(type, getter, field)                                                                          \
    type PLMyInfoManager::getter() const                                                                               \
    {                                                                                                                  \
        QMutexLocker lock(&mLock);                                                                                     \
        return field;                                                                                                  \
    }
#define PL_LOCKED_SETTER(type, setter, field)                                                                          \
    void PLMyInfoManager::setter(const type &value)                                                                    \
    {                                                                                                                  \
        QMutexLocker lock(&mLock);                                                                                     \
        field = value;                                                                                                 \
    }

PL_LOCKED_GETTER(QString, orchardCMN, mOrchardCMN)
PL_LOCKED_GETTER(QString, q7CMN, mQ7CMN)
PL_LOCKED_GETTER(QString, userConfPath, mUserConfPath)
PL_LOCKED_GETTER(QVariantList, msList, mMsList)
PL_LOCKED_GETTER(QString, dpIP, mDpIP)
PL_LOCKED_GETTER(QString, dpName, mDpName)
PL_LOCKED_GETTER(QString, dpPCName, mDpPCName)
PL_LOCKED_GETTER(QString, dpPCID, mDpPCID)
PL_LOCKED_GETTER(QString, dpLocationKey, mDpLocationKey)
PL_LOCKED_GETTER(QString, dpKey, mDpKey)
PL_LOCKED_GETTER(PLProfileDict, mProfileDict, mProfileDictValue)
PL_LOCKED_SETTER(QString, setDpIP, mDpIP)
PL_LOCKED_SETTER(QString, setDpName, mDpName)
PL_LOCKED_SETTER(QString, setDpPCName, mDpPCName)
PL_LOCKED_SETTER(QString, setDpPCID, mDpPCID)
PL_LOCKED_SETTER(QString, setDpLocationKey, mDpLocationKey)
PL_LOCKED_SETTER(QString, setDpKey, mDpKey)
PL_LOCKED_SETTER(QVariantList, setMsList, mMsList)
PL_LOCKED_SETTER(QString, setMUserConfPath, mUserConfPath)
PL_LOCKED_SETTER(PLProfileDict, setMProfileDict, mProfileDictValue)
PL_LOCKED_SETTER(QString, setMOrchardCMN, mOrchardCMN)
PL_LOCKED_SETTER(QString, setMQ7CMN, mQ7CMN)
PL_LOCKED_SETTER(QString, setMOrchardID, mOrchardID)

#undef PL_LOCKED_GETTER
#undef PL_LOCKED_SETTER

void PLMyInfoManager::setQ7CMN(const QString &value) { setMQ7CMN(unlessEmptyField(value)); }
void PLMyInfoManager::setOrchardCMN(const QString &value) { setMOrchardCMN(unlessEmptyField(value)); }
void PLMyInfoManager::setOrchardID(const QString &value) { setMOrchardID(unlessEmptyField(value)); }

bool PLMyInfoManager::loginType() const
{
    return mLoginTypeValue.toUpper() != QLatin1String("N");
}

QString PLMyInfoManager::orchardID() const
{
    QMutexLocker lock(&mLock);
    if (!mOrchardID.isEmpty())
        return mOrchardID;
    return mProfileDictValue.value(QStringLiteral("orchard_id"));
}

QString PLMyInfoManager::profileValueForKey(const QString &key) const
{
    PL_GUARD_OBJECT(!key.isNull(), QString());
    QMutexLocker lock(&mLock);
    return mProfileDictValue.value(key);
}

void PLMyInfoManager::setProfileValue(const QString &value, const QString &key)
{
    PL_GUARD_OBJECT(!value.isNull() && !key.isNull());
    QMutexLocker lock(&mLock);
    mProfileDictValue.insert(key, value);
}

void PLMyInfoManager::setToken(const QString &token)
{
    mTokenValue = token;
    // A null token removes the stored one.
    UserDefaults::standardUserDefaults().setString(token, QStringLiteral("accountToken"));
}

PLProfileDict PLMyInfoManager::profileDictFrom(const QString &reply)
{
    PLProfileDict profile;
    bool inSection = false;
    const QStringList lines = reply.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        if (!inSection) {
            inSection = line == QLatin1String("[profile]");
            continue;
        }
        const QStringList pieces = line.split(QLatin1Char('='));
        if (pieces.size() == 2)
            profile.insert(trimSpacesAndTabs(pieces.at(0)), trimSpacesAndTabs(pieces.at(1)));
        else if (line.startsWith(QLatin1Char('[')))
            inSection = false;
    }
    return profile;
}

void PLMyInfoManager::downloadProfile()
{
    const QString url = PLConfManager::sharedManager().valueForKey(QStringLiteral("get_profile_url"));
    PL_GUARD_OBJECT(!url.isNull());
    const QString cmnValue = mCMN;
    const QString ticketValue = mTicket;
    const quint64 generation = mGeneration;
    std::thread([url, cmnValue, ticketValue, generation] {
        PL_LOG_EXCEPTIONS({
            PL_GUARD_OBJECT(!cmnValue.isNull() && !ticketValue.isNull());
            // Both values go into a form body: escape them, or a "&" or "="
            // in a ticket would cut the body into other fields.
            const QString body = QStringLiteral("type=service&cmn=%1&ticket=%2")
                                     .arg(urlEncode(cmnValue), urlEncode(ticketValue));
            QString reply = PLHTTPManager::sharedManager().getReqPOST(body, url);
            PL_GUARD_OBJECT(!reply.isNull());
            // The closing line ends the section; on its own line, so that it
            // never joins the last value of a reply without a final line feed.
            if (!reply.endsWith(QLatin1Char('\n')))
                reply += QLatin1Char('\n');
            reply += QLatin1String("[Test]");
            const PLProfileDict profile = profileDictFrom(reply);
            runOnMainThread([profile, generation] { sharedManager().profileDownloaded(profile, generation); }, true);
        });
    }).detach();
}

void PLMyInfoManager::profileDownloaded(const PLProfileDict &profile, quint64 generation)
{
    if (generation != mGeneration) {
        plLog(QStringLiteral("profile of a previous sign-in dropped"));
        return;
    }
    setMProfileDict(profile);
}

void PLMyInfoManager::setDisableCertAlert(bool disable)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (!mLoginID.isNull() && defaults.hasUserDictionary(mLoginID)) {
        QVariantMap prefs = defaults.userDictionary(mLoginID);
        prefs.insert(QStringLiteral("disableCertAlert"), disable);
        defaults.setUserDictionary(mLoginID, prefs);
    }
    mCertAlertDisable = disable;
}

bool PLMyInfoManager::disableCertAlert() const
{
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    PL_GUARD_OBJECT(!mLoginID.isNull() && defaults.hasUserDictionary(mLoginID), false);
    return mCertAlertDisable && defaults.userDictionary(mLoginID).value(QStringLiteral("disableCertAlert")).toBool();
}

void PLMyInfoManager::reset()
{
    // The Q7 number, login type, status, server details, session list and
    // the two switches survive a reset.
    mIPAddress.clear();
    mLoginID.clear();
    mVelaID.clear();
    mName.clear();
    mNickName.clear();
    mMobile.clear();
    mEmail.clear();
    mCMN.clear();
    mTicket.clear();
    mTokenValue.clear();
    mVelaCMN.clear();
    mIsOrchardGuestBookHasNewPost = false;
    mIsQ7Mode = false;
    mIsTarnMode = false;
    mIsGlobalMode = false;
    QMutexLocker lock(&mLock);
    mOrchardCMN.clear();
    mOrchardID.clear();
    mProfileDictValue.clear();
    mUserConfPath.clear();
    ++mGeneration;
}

void PLMyInfoManager::resetForTesting()
{
    reset();
    mQ7CMN.clear();
    mLoginTypeValue.clear();
    mStatus = 0;
    mDpIP.clear();
    mDpName.clear();
    mDpPort = 0;
    mDpPCName.clear();
    mDpPCID.clear();
    mDpLocationKey.clear();
    mDpKey.clear();
    mMsCount = 0;
    mMsList.clear();
    mIsAutoViewSessionManager = false;
    mCertAlertDisable = false;
}

} // namespace parley
