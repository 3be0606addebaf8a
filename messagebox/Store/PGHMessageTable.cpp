#include "PGHMessageTable.h"

#include "PGHMessageStore.h"
#include "PGHRecordReader.h"
#include "PGHTransaction.h"

#include "Log.h"

namespace pigeonhole {

QString PGHMessageTable::idList(const QList<qint64> &ids)
{
    QStringList numbers;
    for (qint64 id : ids)
        numbers << QString::number(id);
    return QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']');
}

PGHMessageTable::PGHMessageTable(PGHMessageStore &store, PGHBox box)
    : mStore(store)
    , mBox(box)
    , mTable(box == PGHBox::Memo ? QStringLiteral("MemoContext") : QStringLiteral("ChatContext"))
    , mFolderTable(box == PGHBox::Memo ? QStringLiteral("MemoFolder") : QStringLiteral("ChatFolder"))
    , mFolderColumn(box == PGHBox::Memo ? QStringLiteral("memoFolder") : QStringLiteral("chatFolder"))
{
}

std::optional<PGHPreviousValues> PGHMessageTable::move(const QList<qint64> &ids, qint64 folderId)
{
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    if (!transaction.isActive())
        return std::nullopt;
    PGHPreviousValues previous;
    PGHSqliteStatement select = db.prepare(
        QStringLiteral("SELECT id, %1 FROM %2 WHERE id IN (SELECT value FROM json_each(?))").arg(mFolderColumn, mTable));
    select.bind(1, idList(ids));
    while (select.next())
        previous.insert(select.int64(0), select.int64(1));
    PGHSqliteStatement update = db.prepare(
        QStringLiteral("UPDATE %1 SET %2 = ? WHERE id IN (SELECT value FROM json_each(?))").arg(mTable, mFolderColumn));
    update.bind(1, folderId).bind(2, idList(ids));
    if (select.failed() || !update.exec() || !transaction.commit())
        return std::nullopt;
    return previous;
}

bool PGHMessageTable::restore(const QString &column, const PGHPreviousValues &previous)
{
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    // The column is ours (the folder relation or `unread`), never received text.
    PGHSqliteStatement update = db.prepare(QStringLiteral("UPDATE %1 SET \"%2\" = ? WHERE id = ?").arg(mTable, column));
    for (auto it = previous.cbegin(); it != previous.cend(); ++it) {
        update.reset();
        update.bind(1, it.value()).bind(2, it.key());
        if (!update.exec())
            return false;
    }
    return transaction.isActive() && transaction.commit();
}

std::optional<PGHRowSnapshot> PGHMessageTable::remove(const QList<qint64> &ids)
{
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    if (!transaction.isActive())
        return std::nullopt;
    std::optional<PGHRowSnapshot> rows = PGHRowSnapshot::read(db, mTable, QStringLiteral("id"), ids);
    PGHSqliteStatement remove =
        db.prepare(QStringLiteral("DELETE FROM %1 WHERE id IN (SELECT value FROM json_each(?))").arg(mTable));
    remove.bind(1, idList(ids));
    if (!rows || !remove.exec() || !transaction.commit())
        return std::nullopt;
    return rows;
}

bool PGHMessageTable::restore(const PGHRowSnapshot &rows)
{
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    return transaction.isActive() && rows.insertInto(db) && transaction.commit();
}

std::optional<QList<qint64>> PGHMessageTable::insertCopies(const QVariantMap &record, const QString &folderName)
{
    const PGHColumnValues values = PGHRecordReader::read(mBox, record);
    if (!values.refused.isEmpty())
        parley::plLog(QStringLiteral("Pigeonhole store: a record's keys %1 are no attributes; left out")
                          .arg(values.refused.join(QStringLiteral(", "))));
    PGHSqliteDatabase &db = mStore.database();
    PGHSqliteStatement folders = db.prepare(QStringLiteral("SELECT id FROM %1 WHERE folderName = ? ORDER BY sn").arg(mFolderTable));
    folders.bind(1, folderName);
    QList<qint64> folderIds;
    while (folders.next())
        folderIds << folders.int64(0);
    if (folders.failed())
        return std::nullopt;

    QStringList columns = values.columns;
    columns << QStringLiteral("mid") << mFolderColumn;
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    PGHSqliteStatement insert = db.prepare(
        QStringLiteral("INSERT INTO %1 (\"%2\") VALUES (%3)").arg(mTable, columns.join(QLatin1String("\",\"")), marks.join(QLatin1Char(','))));
    QList<qint64> inserted;
    for (qint64 folderId : std::as_const(folderIds)) {
        const std::optional<QString> mid = mStore.takeID();
        if (!mid)
            return std::nullopt;
        insert.reset();
        int index = 1;
        for (const QVariant &value : values.values)
            insert.bindValue(index++, value);
        insert.bind(index, *mid);
        insert.bind(index + 1, folderId);
        if (!insert.exec())
            return std::nullopt;
        inserted << db.lastInsertRowId();
    }
    return inserted;
}

} // namespace pigeonhole
