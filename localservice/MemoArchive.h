#pragma once

// Every memo the service delivered since it started, filed by thread. A memo
// gets a cookie of its own when it is delivered; a memo sent as an answer
// (its "cookie" header names the answered memo) joins that memo's thread.
// The related memos of a memo are the other memos of its thread that the
// asker sent or received, oldest first, each with its sequence number.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace localservice {

struct ArchivedMemo {
    int sequence = 0;
    QString cookie;
    QString thread; // the cookie of the thread's first memo
    QString senderID;
    QStringList receiverIDs;
    QString date;
    QString fontAttributes;
    QString text;
};

class MemoArchive {
public:
    // Files a memo and answers it with its cookie and thread. `answered` is
    // the cookie the memo carried (empty for a new memo; an unknown cookie
    // starts a new thread).
    ArchivedMemo file(const QString &answered, const QString &senderID, const QStringList &receiverIDs,
                             const QString &date, const QString &fontAttributes, const QString &text);
    const ArchivedMemo *memo(const QString &cookie) const;
    // The thread holds memos besides this one.
    bool hasRelated(const QString &cookie) const;

    struct Batch {
        QList<ArchivedMemo> memos;
        bool last = true; // nothing follows these
    };
    // Up to `count` related memos of `cookie` that `askerID` sent or
    // received, with sequence numbers above `afterSequence`.
    std::optional<Batch> related(const QString &cookie, const QString &askerID, int afterSequence, int count) const;

private:
    QList<ArchivedMemo> mMemos;
};

} // namespace localservice
