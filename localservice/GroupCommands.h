#pragma once

// Group changes and bulk moves of buddies between groups. Every change raises
// the account's group-cache number; the reply carries the new number and the
// account's other logins hear the change with tid 0.

#include <QByteArray>
#include <QStringList>

namespace localservice {

class NotificationSession;

namespace groups {

// ADDG tid localGroupCache groupName
void addGroup(NotificationSession &session, qint64 tid, const QStringList &fields);
// RMVG tid localGroupCache groupID
void removeGroup(NotificationSession &session, qint64 tid, const QStringList &fields);
// RENG tid localGroupCache groupID groupName
void renameGroup(NotificationSession &session, qint64 tid, const QStringList &fields);
// CPBG, MVBG or RMBG tid localGroupCache length, then "index cmn id group [group]" lines.
void batch(NotificationSession &session, const QString &word, qint64 tid, const QByteArray &body);

} // namespace groups
} // namespace localservice
