#pragma once

// The four lists (FL, AL, BL, RL) and the add-buddy handshake between two
// accounts: the reply goes to the asking client, the news to the other user.

#include <QStringList>

namespace localservice {

class NotificationSession;

namespace buddies {

// ADDB tid list targetCMN targetID [groupID]
void addToList(NotificationSession &session, qint64 tid, const QStringList &fields);
// RMVB tid list targetCMN targetID
void removeFromList(NotificationSession &session, qint64 tid, const QStringList &fields);
// ADSB tid event targetCMN targetID groupID message
void handshake(NotificationSession &session, qint64 tid, const QStringList &fields);

} // namespace buddies
} // namespace localservice
