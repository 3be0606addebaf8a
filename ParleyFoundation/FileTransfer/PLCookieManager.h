#pragma once

// Names file transfers: the file cookie names one offered file for its whole
// life, the P2P cookie one peer or relay connection. Both carry the signed-in
// user's member number and a counter; each kind is handed out under its own
// lock. Random starts and random parts come from the system's cryptographic
// generator, so a peer cannot predict another transfer's cookies.

#include "Sessions/PLCookieManagerInterface.h"

#include <QMutex>
#include <QString>

namespace parley {

class PLCookieManager : public PLCookieManagerInterface
{
public:
    // The process's instance; tests make their own.
    static PLCookieManager &sharedManager();
    PLCookieManager();
    PLCookieManager(const PLCookieManager &) = delete;
    PLCookieManager &operator=(const PLCookieManager &) = delete;

    // "<counter>:<CMN>:<100..999>"
    QString fileTransferCookie();
    // "<CMN>:<counter>"; the counter runs to 99999 and starts again at 0.
    QString p2pCookie() override;
    void setCMN(const QString &cmn) override { mCMN = cmn; }
    const QString &cmn() const { return mCMN; }
    // A new random start of the P2P counter, file counter 0, no CMN (sign-out).
    void reset() override;

    qint64 p2pCookieIndex() const { return mP2PCookieIndex; }
    void setP2PCookieIndex(qint64 index) { mP2PCookieIndex = index; }
    qint32 fileTransCookieIndex() const { return mFileTransCookieIndex; }
    void setFileTransCookieIndex(qint32 index) { mFileTransCookieIndex = index; }

    // The random part of a file cookie for a non-negative random number.
    static int randomPartFor(quint32 random);

private:
    static qint64 randomP2PStart();

    qint64 mP2PCookieIndex = 0;
    qint32 mFileTransCookieIndex = 0;
    QMutex mP2PCookieLock;
    QMutex mFileCookieLock;
    QString mCMN;
};

} // namespace parley
