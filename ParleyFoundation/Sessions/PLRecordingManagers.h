#pragma once

// Stand-ins for the four managers that the sign-in reaches through small
// interfaces: each call is recorded as one line ("setMyIP 127.0.0.1"). Used
// by tests and until the real managers are installed.

#include "PLChatSessionManagerInterface.h"
#include "PLCookieManagerInterface.h"
#include "PLFileTransferManagerInterface.h"
#include "PLP2PSessionManagerInterface.h"

#include <QMutex>
#include <QStringList>

namespace parley {

class PLRecordingManagers : public PLP2PSessionManagerInterface,
                            public PLCookieManagerInterface,
                            public PLChatSessionManagerInterface,
                            public PLFileTransferManagerInterface
{
public:
    void setMyIP(const QString &ip) override;
    void setCMN(const QString &cmn) override;
    void setProxyMode(int mode, const QString &serverIP, int portNo) override;
    void setSession(PLParleySession *session) override;

    QStringList calls() const;
    void clear();

private:
    void record(const QString &line);

    mutable QMutex mMutex;
    QStringList mCalls;
};

} // namespace parley
