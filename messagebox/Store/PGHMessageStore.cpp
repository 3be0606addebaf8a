#include "PGHMessageStore.h"

#include "PGHChatTable.h"
#include "PGHFolderTable.h"
#include "PGHMemoTable.h"
#include "PGHStoreSchema.h"

#include "Log.h"

namespace pigeonhole {

std::unique_ptr<PGHMessageStore> PGHMessageStore::open(const QString &path, QString *error, Upgrade upgrade)
{
    std::unique_ptr<PGHMessageStore> store(new PGHMessageStore);
    QString reason;
    std::optional<int> version;
    const bool connected = store->mDb.open(path, &reason)
                           // WAL: a commit appends to the log, readers never block the writer.
                           && store->mDb.exec(QStringLiteral("PRAGMA journal_mode = WAL"), &reason)
                           // Every commit reaches the disk before the operation returns.
                           && store->mDb.exec(QStringLiteral("PRAGMA synchronous = FULL"), &reason)
                           && store->mDb.exec(QStringLiteral("PRAGMA foreign_keys = ON"), &reason)
                           && (version = PGHStoreSchema::version(store->mDb, &reason));
    // A new file is made at once (there is nothing to read in it before).
    store->mNeededUpgrade = connected && upgrade == Upgrade::Later && *version > 0
                            && *version < PGHStoreSchema::currentVersion();
    const bool ready = connected && (store->mNeededUpgrade || PGHStoreSchema::upgrade(store->mDb, &store->mCreated, &reason));
    if (!ready) {
        parley::plLog(QStringLiteral("Pigeonhole store: cannot open %1: %2").arg(path, reason));
        if (error)
            *error = reason;
        return nullptr;
    }
    return store;
}

PGHMessageStore::~PGHMessageStore() = default;

QString PGHMessageStore::formatID(qint64 value)
{
    return QStringLiteral("%1").arg(value, 15, 10, QLatin1Char('0'));
}

std::optional<QString> PGHMessageStore::takeID()
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        PGHSqliteStatement update = mDb.prepare(
            QStringLiteral("UPDATE IDGenerator SET currentID = currentID + 1 "
                           "WHERE id = (SELECT min(id) FROM IDGenerator) RETURNING currentID - 1"));
        if (update.next()) {
            const qint64 value = update.int64(0);
            update.exec();
            return formatID(value);
        }
        if (update.failed())
            return std::nullopt;
        // No counter (a store damaged by hand): start after every number in use,
        // so no serial number or message id is handed out twice.
        if (!mDb.exec(QStringLiteral(
                "INSERT INTO IDGenerator(currentID) SELECT 1 + max(n) FROM ("
                "SELECT 2 AS n UNION ALL SELECT CAST(sn AS INTEGER) FROM MemoFolder "
                "UNION ALL SELECT CAST(sn AS INTEGER) FROM ChatFolder "
                "UNION ALL SELECT CAST(mid AS INTEGER) FROM MemoContext "
                "UNION ALL SELECT CAST(mid AS INTEGER) FROM ChatContext)")))
            return std::nullopt;
    }
    return std::nullopt;
}

PGHFolderTable PGHMessageStore::folders(PGHBox box) { return PGHFolderTable(*this, box); }

PGHMemoTable PGHMessageStore::memos() { return PGHMemoTable(*this); }

PGHChatTable PGHMessageStore::chats() { return PGHChatTable(*this); }

} // namespace pigeonhole
