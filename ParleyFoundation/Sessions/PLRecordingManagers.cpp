#include "PLRecordingManagers.h"

#include <QMutexLocker>

namespace parley {

void PLRecordingManagers::record(const QString &line)
{
    QMutexLocker lock(&mMutex);
    mCalls.append(line);
}

QStringList PLRecordingManagers::calls() const
{
    QMutexLocker lock(&mMutex);
    return mCalls;
}

void PLRecordingManagers::clear()
{
    QMutexLocker lock(&mMutex);
    mCalls.clear();
    mAnswers.clear();
}

void PLRecordingManagers::setAnswer(const QString &operation, const QVariant &answer)
{
    QMutexLocker lock(&mMutex);
    mAnswers.insert(operation, answer);
}

QVariant PLRecordingManagers::answer(const QString &operation) const
{
    QMutexLocker lock(&mMutex);
    return mAnswers.value(operation);
}

bool PLRecordingManagers::createConnectSession(const QVariantMap &info)
{
    QStringList pairs;
    for (auto it = info.cbegin(); it != info.cend(); ++it)
        pairs.append(it.key() + QLatin1Char('=') + it.value().toString());
    record(QStringLiteral("createConnectSession ") + pairs.join(QLatin1Char(' ')));
    return answer(QStringLiteral("createConnectSession")).toBool();
}

// One "reset" line for whichever manager was reset.
void PLRecordingManagers::reset() { record(QStringLiteral("reset")); }
QString PLRecordingManagers::myIP() { return answer(QStringLiteral("myIP")).toString(); }
int PLRecordingManagers::p2pPortNo() { return answer(QStringLiteral("p2pPortNo")).toInt(); }

void PLRecordingManagers::setFileCookie(const QString &fileCookie, const QString &p2pCookie)
{
    record(QStringLiteral("setFileCookie %1 %2").arg(fileCookie, p2pCookie));
}

void PLRecordingManagers::setSender(bool isSender, const QString &p2pCookie)
{
    record(QStringLiteral("setSender %1 %2").arg(isSender ? 1 : 0).arg(p2pCookie));
}

void PLRecordingManagers::connectOfferSent(const QString &p2pCookie, const QString &fileCookie, const QString &myID,
                                           const QString &peerID)
{
    record(QStringLiteral("connectOfferSent %1 %2 %3 %4").arg(p2pCookie, fileCookie, myID, peerID));
}

QString PLRecordingManagers::p2pCookie() { return answer(QStringLiteral("p2pCookie")).toString(); }
QString PLRecordingManagers::ipForSession(const QString &) { return answer(QStringLiteral("ipForSession")).toString(); }
int PLRecordingManagers::portForSession(const QString &) { return answer(QStringLiteral("portForSession")).toInt(); }

QVariantMap PLRecordingManagers::fileInfoForCookie(const QString &)
{
    return answer(QStringLiteral("fileInfoForCookie")).toMap();
}

bool PLRecordingManagers::isP2PSessionExist(const QString &key)
{
    record(QStringLiteral("isP2PSessionExist ") + key);
    return answer(QStringLiteral("isP2PSessionExist")).toBool();
}

void PLRecordingManagers::setMyIP(const QString &ip) { record(QStringLiteral("setMyIP ") + ip); }
void PLRecordingManagers::setCMN(const QString &cmn) { record(QStringLiteral("setCMN ") + cmn); }

void PLRecordingManagers::setProxyMode(int mode, const QString &serverIP, int portNo)
{
    record(QStringLiteral("setProxyMode %1 %2 %3").arg(mode).arg(serverIP).arg(portNo));
}

void PLRecordingManagers::setSession(PLParleySession *session)
{
    record(session ? QStringLiteral("setSession set") : QStringLiteral("setSession none"));
}

} // namespace parley
