#pragma once

// One SQLite connection, used from one thread only (the main thread's, or an
// upgrade worker's own). Errors are logged and kept as the last error's text.

#include "PGHSqliteStatement.h"

#include <QString>

#include <functional>

struct sqlite3;

namespace pigeonhole {

class PGHSqliteDatabase
{
public:
    PGHSqliteDatabase() = default;
    ~PGHSqliteDatabase();
    PGHSqliteDatabase(const PGHSqliteDatabase &) = delete;
    PGHSqliteDatabase &operator=(const PGHSqliteDatabase &) = delete;

    // Opens (creating when missing) the file; answers false with the reason.
    bool open(const QString &path, QString *error = nullptr);
    void close();
    bool isOpen() const { return mDb != nullptr; }
    const QString &path() const { return mPath; }

    // Runs one or more statements without results.
    bool exec(const QString &sql, QString *error = nullptr);
    PGHSqliteStatement prepare(const QString &sql);
    // The first column of the first row of a query, or an invalid variant.
    QVariant scalar(const QString &sql);

    // On an open connection: asked every few thousand steps of a running
    // statement; answering true stops it (it fails as interrupted).
    void setAbortCheck(std::function<bool()> check);

    // Whether a transaction is open (an interrupted statement may have
    // rolled one back already).
    bool inTransaction() const;
    qint64 lastInsertRowId() const;
    int changes() const;
    QString errorMessage() const;

private:
    sqlite3 *mDb = nullptr;
    QString mPath;
    std::function<bool()> mAbortCheck;
};

} // namespace pigeonhole
