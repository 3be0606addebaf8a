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
