#pragma once

// The related memos of one memo window: the memos of the thread fetched from
// the server in batches of five, each request naming the last sequence
// number received, until a reply says that none follow; only then is the
// pane filled. The read window asks about the memo it shows (when the server
// marked it "related" with "Y"); the compose window about the memo it
// answers (when that one has related memos), and shows the answered memo
// alone when it has none.
//
// A server that never says "N" is not asked forever: a batch that leaves the
// last sequence number where it was (no memo, or the same memos again) ends
// the thread as an "N" would, and so does reaching kMaxEntries. Replies that
// were not asked for, or come after the end, are ignored.

#include "RelatedMemoEntry.h"

#include <QList>
#include <QString>

#include <optional>

class RelatedMemoThread
{
public:
    enum class Side { Read, Compose };
    static constexpr int kBatchSize = 5;
    static constexpr int kMaxEntries = 500;

    struct Request {
        QString cookie;
        int lastSequence = -1;
        int count = kBatchSize;
        bool isSend = false; // the compose window's requests
        friend bool operator==(const Request &, const Request &) = default;
    };
    // What the window does next: ask again, or fill the pane now.
    struct Step {
        std::optional<Request> request;
        bool showNow = false;
    };

    explicit RelatedMemoThread(Side side) : mSide(side) {}

    void setCookie(const QString &cookie) { mCookie = cookie; }
    const QString &cookie() const { return mCookie; }
    // The server holds related memos of this memo ("related" "Y" for the
    // read window; the compose window's serverHasRelMemos).
    void setServerHasMemos(bool flag) { mServerHasMemos = flag; }
    bool serverHasMemos() const { return mServerHasMemos; }
    // The compose window's answered memo, shown before the server's.
    void addLocalEntry(const RelatedMemoEntry &entry) { mEntries.append(entry); }

    // The related button's first use (later uses only show and hide).
    Step firstUse();
    // One reply of the server.
    Step takeReply(const QString &text);

    const QList<RelatedMemoEntry> &entries() const { return mEntries; }
    int lastSequence() const { return mLastSequence; }
    bool isAsked() const { return !mOnce; }
    bool isComplete() const { return mServerEndMemos; }
    // A request is out and its reply not yet in.
    bool isWaiting() const { return mWaiting; }

private:
    Request nextRequest() const;

    Side mSide;
    QString mCookie;
    bool mServerHasMemos = false;
    bool mServerEndMemos = false;
    bool mOnce = true;
    bool mWaiting = false;
    int mLastSequence = -1;
    QList<RelatedMemoEntry> mEntries;
};
