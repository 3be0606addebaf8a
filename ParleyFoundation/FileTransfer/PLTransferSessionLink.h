#pragma once

// What the file-transfer managers ask of the account session: connection
// offers through the notification server, relay requests and relay hand-over.
// The account session implements it; tests route it between two clients.

#include <QString>

namespace parley {

class PLTransferSessionLink
{
public:
    virtual ~PLTransferSessionLink() = default;

    // Offers the buddy a peer connection for the file (a new P2P cookie,
    // registered with the peer-to-peer manager as a receiving one).
    virtual bool requestP2PConnectToUser(const QString &userID, const QString &dpKey, const QString &fileCookie) = 0;
    // Asks the notification server for a file-relay server for the download.
    virtual void requestFRInfo(const QString &userID, const QString &fileCookie) = 0;
    // Tells the buddy to join the relay connection named by the relay cookie.
    virtual void requestFRConnectForFRCookie(const QString &frCookie) = 0;
};

} // namespace parley
