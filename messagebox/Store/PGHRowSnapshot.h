#pragma once

// Whole rows of one table as they were, to put back exactly (same ids, same
// serial numbers) when a deletion is undone.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace pigeonhole {

class PGHSqliteDatabase;

class PGHRowSnapshot
{
public:
    // Reads every stored column of the rows of `table` whose `column` is one
    // of `values`. Generated columns are left out (SQLite derives them again).
    static std::optional<PGHRowSnapshot> read(PGHSqliteDatabase &db, const QString &table, const QString &column,
                                              const QList<qint64> &values);
    // Inserts the rows again, inside the caller's transaction.
    bool insertInto(PGHSqliteDatabase &db) const;

    const QString &table() const { return mTable; }
    int rowCount() const { return int(mRows.size()); }
    bool isEmpty() const { return mRows.isEmpty(); }

private:
    QString mTable;
    QStringList mColumns;
    QList<QVariantList> mRows;
};

} // namespace pigeonhole
