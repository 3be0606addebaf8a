#include "PGHFolderTable.h"

#include "PGHMessageStore.h"
#include "PGHTransaction.h"

#include "Log.h"

namespace pigeonhole {

namespace {

constexpr qint64 kLastBuiltInSn = 2;

QString messageTable(PGHBox box) { return box == PGHBox::Memo ? QStringLiteral("MemoContext") : QStringLiteral("ChatContext"); }
QString relationColumn(PGHBox box) { return box == PGHBox::Memo ? QStringLiteral("memoFolder") : QStringLiteral("chatFolder"); }

PGHFolder folderFrom(const PGHSqliteStatement &row)
{
    return PGHFolder{row.int64(0), row.text(1), row.text(2)};
}

} // namespace

PGHFolderTable::PGHFolderTable(PGHMessageStore &store, PGHBox box)
    : mStore(store)
    , mBox(box)
    , mTable(box == PGHBox::Memo ? QStringLiteral("MemoFolder") : QStringLiteral("ChatFolder"))
{
}

std::optional<QList<PGHFolder>> PGHFolderTable::all()
{
    PGHSqliteStatement select =
        mStore.database().prepare(QStringLiteral("SELECT id, folderName, sn FROM %1 ORDER BY sn").arg(mTable));
    QList<PGHFolder> folders;
    while (select.next())
        folders << folderFrom(select);
    if (select.failed())
        return std::nullopt;
    return folders;
}

std::optional<PGHFolder> PGHFolderTable::folder(qint64 id)
{
    PGHSqliteStatement select =
        mStore.database().prepare(QStringLiteral("SELECT id, folderName, sn FROM %1 WHERE id = ?").arg(mTable));
    select.bind(1, id);
    if (!select.next())
        return std::nullopt;
    return folderFrom(select);
}

std::optional<PGHFolder> PGHFolderTable::create(const QString &name)
{
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    if (!transaction.isActive())
        return std::nullopt;
    const std::optional<QString> sn = mStore.takeID();
    if (!sn)
        return std::nullopt;
    PGHSqliteStatement insert = db.prepare(QStringLiteral("INSERT INTO %1 (folderName, sn) VALUES (?, ?)").arg(mTable));
    insert.bind(1, name).bind(2, *sn);
    if (!insert.exec())
        return std::nullopt;
    const PGHFolder created{db.lastInsertRowId(), name, *sn};
    if (!transaction.commit())
        return std::nullopt;
    return created;
}

bool PGHFolderTable::rename(qint64 id, const QString &name)
{
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    PGHSqliteStatement update = db.prepare(QStringLiteral("UPDATE %1 SET folderName = ? WHERE id = ?").arg(mTable));
    update.bind(1, name).bind(2, id);
    return transaction.isActive() && update.exec() && db.changes() == 1 && transaction.commit();
}

std::optional<PGHFolderDeletion> PGHFolderTable::remove(qint64 id)
{
    const std::optional<PGHFolder> target = folder(id);
    if (!target)
        return std::nullopt;
    if (target->snValue() <= kLastBuiltInSn) {
        parley::plLog(QStringLiteral("Pigeonhole store: the built-in folder %1 is never deleted").arg(target->folderName));
        return std::nullopt;
    }
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    if (!transaction.isActive())
        return std::nullopt;
    std::optional<PGHRowSnapshot> folderRows = PGHRowSnapshot::read(db, mTable, QStringLiteral("id"), {id});
    std::optional<PGHRowSnapshot> messageRows = PGHRowSnapshot::read(db, messageTable(mBox), relationColumn(mBox), {id});
    if (!folderRows || !messageRows)
        return std::nullopt;
    // The messages go with their folder (the relation cascades).
    PGHSqliteStatement remove = db.prepare(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(mTable));
    remove.bind(1, id);
    if (!remove.exec() || !transaction.commit())
        return std::nullopt;
    return PGHFolderDeletion{*folderRows, *messageRows};
}

bool PGHFolderTable::restore(const PGHFolderDeletion &deletion)
{
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    return transaction.isActive() && deletion.folder.insertInto(db) && deletion.messages.insertInto(db)
           && transaction.commit();
}

} // namespace pigeonhole
