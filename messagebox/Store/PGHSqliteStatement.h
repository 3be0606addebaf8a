#pragma once

// One prepared SQLite statement: binds by position (1-based), steps, reads
// columns by position (0-based). Move-only; finalized when destroyed.

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace pigeonhole {

class PGHSqliteStatement
{
public:
    PGHSqliteStatement() = default;
    // Prepares `sql` on the connection; isValid() tells whether it compiled.
    PGHSqliteStatement(sqlite3 *db, const QString &sql);
    ~PGHSqliteStatement();
    PGHSqliteStatement(PGHSqliteStatement &&other) noexcept;
    PGHSqliteStatement &operator=(PGHSqliteStatement &&other) noexcept;
    PGHSqliteStatement(const PGHSqliteStatement &) = delete;
    PGHSqliteStatement &operator=(const PGHSqliteStatement &) = delete;

    bool isValid() const { return mStatement != nullptr; }

    // A null string binds NULL.
    PGHSqliteStatement &bind(int index, const QString &value);
    PGHSqliteStatement &bind(int index, qint64 value);
    PGHSqliteStatement &bind(int index, int value) { return bind(index, qint64(value)); }
    PGHSqliteStatement &bindNull(int index);
    // Strings, whole numbers, reals and byte arrays as themselves; an invalid
    // or null variant as NULL.
    PGHSqliteStatement &bindValue(int index, const QVariant &value);

    // Steps once: true while a row is ready; false at the end or on an error
    // (failed() tells which).
    bool next();
    // Steps to the end; answers whether it got there without an error.
    bool exec();
    // Makes the statement ready to run again with new bindings.
    void reset();
    bool failed() const { return mFailed; }

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    QString text(int column) const; // NULL reads as a null string
    qint64 int64(int column) const;
    // The column as its stored type: NULL as an invalid variant.
    QVariant value(int column) const;

private:
    sqlite3_stmt *mStatement = nullptr;
    bool mFailed = false;
};

} // namespace pigeonhole
