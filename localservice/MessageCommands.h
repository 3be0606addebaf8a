#pragma once

// Messages between clients (CTOC), memos (CMSG, with a NOTE alarm), the
// account's list of logins (MLST) and ending other logins (KILS).

#include <QByteArray>
#include <QStringList>

namespace localservice {

class NotificationSession;

namespace messages {

// CTOC tid targetID ackType [targetKey] length, then the message
void relay(NotificationSession &session, qint64 tid, const QStringList &fields,
           const QByteArray &body);
// CMSG tid confirm length, then "targets\r\n" and the memo
void deliverMemo(NotificationSession &session, qint64 tid, const QByteArray &body);
// MLST tid target 0
void listLogins(NotificationSession &session, qint64 tid, const QStringList &fields);
// KILS tid targetType target
void endOtherLogins(NotificationSession &session, qint64 tid, const QStringList &fields);

} // namespace messages
} // namespace localservice
