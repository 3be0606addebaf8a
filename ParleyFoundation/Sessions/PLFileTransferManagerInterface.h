#pragma once

// What the sign-in asks of the file-transfer manager: the account session
// through which it sends its requests. The real manager implements it.

#include <QString>
#include <QVariantMap>

namespace parley {

class PLParleySession;

class PLFileTransferManagerInterface
{
public:
    virtual ~PLFileTransferManagerInterface() = default;
    // Not owned; nullptr forgets the session.
    virtual void setSession(PLParleySession *session) = 0;
    // The file's details ("fileSize" a number), empty when unknown.
    virtual QVariantMap fileInfoForCookie(const QString &fileCookie) = 0;
    // Whether a peer transfer is registered under "buddyID-p2pCookie".
    virtual bool isP2PSessionExist(const QString &key) = 0;
};

} // namespace parley
