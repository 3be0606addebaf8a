#pragma once

// Memos filed by the service and the paged web requests about them that the
// client tunnels over its connection (WGET): the related memos of a memo
// (MEMOREL1) and the fetch of one memo (MEMOGET1).

#include <QByteArray>
#include <QStringList>

namespace localservice {

class MemoArchive;
class NotificationSession;

namespace memos {

// The memo text as delivered: the sender's header with the memo's own
// cookie and whether its thread holds related memos, after filing it.
QByteArray fileForDelivery(MemoArchive &archive, const QString &senderID, const QStringList &targetIDs,
                           const QByteArray &memo);

// WGET tid subCmd N pageSize length, then the request body.
void webRequest(NotificationSession &session, qint64 tid, const QStringList &fields, const QByteArray &body);

// The body of a related-memo answer (tests read it too).
QByteArray relatedAnswer(const MemoArchive &archive, const QString &askerID, const QString &requestBody,
                         bool *known);

} // namespace memos
} // namespace localservice
