#include "PGHMemoTable.h"

#include "PGHMessageStore.h"
#include "PGHRecordReader.h"
#include "PGHTransaction.h"

#include "Log.h"

namespace pigeonhole {

namespace {

// A list reads what its columns show; the rest comes with memo().
constexpr char kListColumns[] = "id, mid, NULL, NULL, unread, subject, suser, NULL, ruser, NULL, date, size, memoFolder";
constexpr char kAllColumns[] = "id, mid, uuid, msgType, unread, subject, suser, suserID, ruser, ruserID, date, size, memoFolder";

PGHMemo memoFrom(const PGHSqliteStatement &row, bool withBody)
{
    PGHMemo memo;
    memo.id = row.int64(0);
    memo.mid = row.text(1);
    memo.uuid = row.text(2);
    memo.msgType = row.text(3);
    memo.unread = int(row.int64(4));
    memo.subject = row.text(5);
    memo.suser = row.text(6);
    memo.suserID = row.text(7);
    memo.ruser = row.text(8);
    memo.ruserID = row.text(9);
    if (!row.isNull(10))
        memo.date = QDateTime::fromMSecsSinceEpoch(row.int64(10), Qt::UTC);
    memo.size = row.value(11);
    memo.memoFolder = row.int64(12);
    if (withBody)
        memo.bodyData = row.text(13);
    return memo;
}

} // namespace

PGHMemoTable::PGHMemoTable(PGHMessageStore &store)
    : PGHMessageTable(store, PGHBox::Memo)
{
}

bool PGHMemoTable::isSortKey(const QString &key)
{
    static const QStringList keys{"suser", "ruser", "subject", "date", "size"};
    return keys.contains(key);
}

bool PGHMemoTable::isSearchKey(const QString &key)
{
    static const QStringList keys{"suser", "ruser", "subject"};
    return keys.contains(key);
}

PGHSqliteStatement PGHMemoTable::select(const QString &columns, qint64 folderId, const PGHListQuery &query,
                                        const QString &more)
{
    const QString sortKey = isSortKey(query.sortKey) ? query.sortKey : QStringLiteral("date");
    const QString direction = query.ascending ? QStringLiteral("ASC") : QStringLiteral("DESC");
    const bool searching = !query.searchText.isEmpty() && isSearchKey(query.searchKey);
    // Short fields are searched in place: instr() is a case-sensitive substring test.
    const QString filter = searching ? QStringLiteral(" AND instr(%1, ?2) > 0").arg(query.searchKey) : QString();
    PGHSqliteStatement select = mStore.database().prepare(
        QStringLiteral("SELECT %1 FROM MemoContext WHERE memoFolder = ?1%2%5 ORDER BY %3 %4, id %4 LIMIT ?3 OFFSET ?4")
            .arg(columns, filter, sortKey, direction, more));
    select.bind(1, folderId);
    select.bind(2, searching ? query.searchText : QString());
    return select;
}

std::optional<QList<PGHMemo>> PGHMemoTable::list(qint64 folderId, const PGHListQuery &query, int offset, int limit)
{
    PGHSqliteStatement rows = select(QLatin1String(kListColumns), folderId, query);
    rows.bind(3, limit).bind(4, offset);
    QList<PGHMemo> memos;
    while (rows.next())
        memos << memoFrom(rows, false);
    if (rows.failed())
        return std::nullopt;
    return memos;
}

std::optional<QList<qint64>> PGHMemoTable::ids(qint64 folderId, const PGHListQuery &query)
{
    PGHSqliteStatement rows = select(QStringLiteral("id"), folderId, query);
    rows.bind(3, -1).bind(4, 0);
    QList<qint64> ids;
    while (rows.next())
        ids << rows.int64(0);
    if (rows.failed())
        return std::nullopt;
    return ids;
}

bool PGHMemoTable::lists(qint64 folderId, const PGHListQuery &query, qint64 id)
{
    PGHSqliteStatement row = select(QStringLiteral("id"), folderId, query, QStringLiteral(" AND id = ?5"));
    row.bind(3, 1).bind(4, 0).bind(5, id);
    return row.next();
}

std::optional<PGHMemo> PGHMemoTable::memo(qint64 id)
{
    PGHSqliteStatement select = mStore.database().prepare(
        QStringLiteral("SELECT %1, bodyData FROM MemoContext WHERE id = ?").arg(QLatin1String(kAllColumns)));
    select.bind(1, id);
    if (!select.next())
        return std::nullopt;
    return memoFrom(select, true);
}

PGHMemoFiling PGHMemoTable::file(const QVariantMap &record)
{
    PGHMemoFiling result;
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    if (!transaction.isActive()) {
        result.error = db.errorMessage();
        return result;
    }
    // The uuid is compared for equality: it is received text, never a pattern.
    const QString uuid = PGHRecordReader::textOf(record.value(QStringLiteral("uuid")));
    if (!uuid.isEmpty()) {
        PGHSqliteStatement held = db.prepare(QStringLiteral("SELECT id FROM MemoContext WHERE uuid = ? ORDER BY id LIMIT 1"));
        held.bind(1, uuid);
        if (held.next()) {
            const qint64 id = held.int64(0);
            parley::plLog(QStringLiteral("subResults==>%1").arg(id));
            PGHSqliteStatement markRead = db.prepare(QStringLiteral("UPDATE MemoContext SET unread = 0 WHERE id = ?"));
            markRead.bind(1, id);
            if (markRead.exec() && transaction.commit()) {
                result.ok = true;
                result.markedRead = id;
            } else {
                result.error = db.errorMessage();
            }
            return result;
        }
    }
    const QString msgType = PGHRecordReader::textOf(record.value(QStringLiteral("msgType")));
    const std::optional<QList<qint64>> inserted = insertCopies(record, msgType);
    if (!inserted) {
        result.error = db.errorMessage();
        return result;
    }
    if (inserted->isEmpty()) {
        result.error = QStringLiteral("no memo folder is named \"%1\"").arg(msgType);
        return result;
    }
    if (!transaction.commit()) {
        result.error = db.errorMessage();
        return result;
    }
    result.ok = true;
    result.inserted = *inserted;
    return result;
}

std::optional<PGHPreviousValues> PGHMemoTable::setUnread(const QList<qint64> &ids, int unread)
{
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    if (!transaction.isActive())
        return std::nullopt;
    PGHPreviousValues previous;
    PGHSqliteStatement select = db.prepare(QStringLiteral("SELECT unread FROM MemoContext WHERE id = ?"));
    PGHSqliteStatement update = db.prepare(QStringLiteral("UPDATE MemoContext SET unread = ? WHERE id = ?"));
    for (qint64 id : ids) {
        select.reset();
        select.bind(1, id);
        if (!select.next())
            continue; // deleted meanwhile
        previous.insert(id, select.int64(0));
        select.reset();
        update.reset();
        update.bind(1, unread).bind(2, id);
        if (!update.exec())
            return std::nullopt;
    }
    if (!transaction.commit())
        return std::nullopt;
    return previous;
}

std::optional<int> PGHMemoTable::unreadCount()
{
    const QVariant count = mStore.database().scalar(QStringLiteral("SELECT count(*) FROM MemoContext WHERE unread != 0"));
    if (!count.isValid())
        return std::nullopt;
    return count.toInt();
}

} // namespace pigeonhole
