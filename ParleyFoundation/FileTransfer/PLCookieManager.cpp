#include "PLCookieManager.h"

#include <QRandomGenerator>

#include <limits>

namespace parley {

PLCookieManager &PLCookieManager::sharedManager()
{
    static PLCookieManager instance;
    return instance;
}

PLCookieManager::PLCookieManager() : mP2PCookieIndex(randomP2PStart()) {}

qint64 PLCookieManager::randomP2PStart()
{
    return qint64(QRandomGenerator::system()->bounded(100000u)) + 10000;
}

int PLCookieManager::randomPartFor(quint32 random)
{
    const int part = int(random % 1000u);
    return part <= 99 ? part + 100 : part;
}

QString PLCookieManager::fileTransferCookie()
{
    QMutexLocker locker(&mFileCookieLock);
    const int random = randomPartFor(QRandomGenerator::system()->generate() & 0x7FFFFFFFu);
    const QString cookie = QStringLiteral("%1:%2:%3").arg(mFileTransCookieIndex).arg(mCMN).arg(random);
    // Counts up only; signed overflow is avoided by stopping at the top.
    if (mFileTransCookieIndex < std::numeric_limits<qint32>::max())
        ++mFileTransCookieIndex;
    return cookie;
}

QString PLCookieManager::p2pCookie()
{
    QMutexLocker locker(&mP2PCookieLock);
    const QString cookie = QStringLiteral("%1:%2").arg(mCMN).arg(quint32(mP2PCookieIndex));
    ++mP2PCookieIndex;
    if (mP2PCookieIndex > 99999)
        mP2PCookieIndex = 0;
    return cookie;
}

void PLCookieManager::reset()
{
    mP2PCookieIndex = randomP2PStart();
    mFileTransCookieIndex = 0;
    mCMN.clear();
}

} // namespace parley
