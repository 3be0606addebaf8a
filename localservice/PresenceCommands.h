#pragma once

// Presence, nickname and profile: what one client's status and nickname
// changes tell the others, and what a client hears when its sign-in ends.

#include <QStringList>

namespace localservice {

class NotificationSession;

namespace presence {

// ONST tid status fileRoomType fileRoomName mediaType
void changeStatus(NotificationSession &session, qint64 tid, const QStringList &fields);
// The sign-in is complete: INFY of every buddy signed in, MCNT of the logins.
void signInCompleted(NotificationSession &session);
// The connection closed: the watchers see the user go offline.
void signedOut(NotificationSession &session);
// CNIK tid nickName
void changeNickName(NotificationSession &session, qint64 tid, const QStringList &fields);
// CPRF tid length, body key=value&...
void changeProfile(NotificationSession &session, qint64 tid, const QByteArray &body);

} // namespace presence
} // namespace localservice
