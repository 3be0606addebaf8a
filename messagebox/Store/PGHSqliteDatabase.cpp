#include "PGHSqliteDatabase.h"

#include "Log.h"

#include <QFile>

#include <sqlite3.h>

namespace pigeonhole {

PGHSqliteDatabase::~PGHSqliteDatabase() { close(); }

bool PGHSqliteDatabase::open(const QString &path, QString *error)
{
    close();
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        if (error)
            *error = reason;
        return false;
    }
    // Waits for a reader of ours (a backup tool, sqlite3) instead of failing at once.
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 1);
    mDb = db;
    mPath = path;
    return true;
}

void PGHSqliteDatabase::close()
{
    if (!mDb)
        return;
    // Statements are finalized by their owners; close_v2 waits for stragglers.
    sqlite3_close_v2(mDb);
    mDb = nullptr;
    mPath.clear();
}

bool PGHSqliteDatabase::exec(const QString &sql, QString *error)
{
    if (!mDb) {
        if (error)
            *error = QStringLiteral("the store is not open");
        return false;
    }
    char *message = nullptr;
    if (sqlite3_exec(mDb, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    const QString reason = QString::fromUtf8(message ? message : sqlite3_errmsg(mDb));
    sqlite3_free(message);
    parley::plLog(QStringLiteral("Pigeonhole store: %1").arg(reason));
    if (error)
        *error = reason;
    return false;
}

PGHSqliteStatement PGHSqliteDatabase::prepare(const QString &sql)
{
    if (!mDb)
        return {};
    return PGHSqliteStatement(mDb, sql);
}

QVariant PGHSqliteDatabase::scalar(const QString &sql)
{
    PGHSqliteStatement statement = prepare(sql);
    if (!statement.next())
        return {};
    return statement.value(0);
}

void PGHSqliteDatabase::setAbortCheck(std::function<bool()> check)
{
    mAbortCheck = std::move(check);
    if (!mDb || !mAbortCheck) {
        if (mDb)
            sqlite3_progress_handler(mDb, 0, nullptr, nullptr);
        return;
    }
    sqlite3_progress_handler(mDb, 4096, [](void *self) { return static_cast<PGHSqliteDatabase *>(self)->mAbortCheck() ? 1 : 0; },
                             this);
}

bool PGHSqliteDatabase::inTransaction() const { return mDb && sqlite3_get_autocommit(mDb) == 0; }

qint64 PGHSqliteDatabase::lastInsertRowId() const { return mDb ? sqlite3_last_insert_rowid(mDb) : 0; }

int PGHSqliteDatabase::changes() const { return mDb ? sqlite3_changes(mDb) : 0; }

QString PGHSqliteDatabase::errorMessage() const
{
    return mDb ? QString::fromUtf8(sqlite3_errmsg(mDb)) : QStringLiteral("the store is not open");
}

} // namespace pigeonhole
