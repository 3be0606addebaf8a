#pragma once

// The memos: listing a folder sorted and searched, reading one, filing the
// records the messenger hands over, and the unread marks.

#include "PGHMessageTable.h"
#include "PGHSqliteStatement.h"

#include <QVariantMap>

namespace pigeonhole {

// What filing a memo record did.
struct PGHMemoFiling {
    bool ok = false;
    QString error;          // why nothing was filed
    QList<qint64> inserted; // one new memo per folder named by `msgType`
    qint64 markedRead = 0;  // the memo already held under the record's uuid
};

class PGHMemoTable : public PGHMessageTable
{
public:
    explicit PGHMemoTable(PGHMessageStore &store);

    // The attributes a list may be sorted by, and searched in.
    static bool isSortKey(const QString &key);
    static bool isSearchKey(const QString &key);

    // The memos of a folder with what the list shows (no bodies, IDs or
    // uuid), from `offset` on, at most `limit` of them (-1: all); nothing on
    // an error.
    std::optional<QList<PGHMemo>> list(qint64 folderId, const PGHListQuery &query, int offset = 0, int limit = -1);
    // The ids of every memo the list holds, in its order.
    std::optional<QList<qint64>> ids(qint64 folderId, const PGHListQuery &query);
    // Whether the list holds the memo.
    bool lists(qint64 folderId, const PGHListQuery &query, qint64 id);
    std::optional<PGHMemo> memo(qint64 id);

    // A record whose uuid is already held marks that memo read and adds
    // nothing; otherwise a copy goes into every memo folder named by its
    // `msgType`.
    PGHMemoFiling file(const QVariantMap &record);

    // Sets `unread` of the memos; answers each one's previous value.
    std::optional<PGHPreviousValues> setUnread(const QList<qint64> &ids, int unread);
    // The memos marked unread in every folder.
    std::optional<int> unreadCount();

private:
    // A folder's list as a statement: ?3 and ?4 (limit and offset) are left
    // to bind; `more` adds a condition of the caller's.
    PGHSqliteStatement select(const QString &columns, qint64 folderId, const PGHListQuery &query,
                              const QString &more = {});
};

} // namespace pigeonhole
