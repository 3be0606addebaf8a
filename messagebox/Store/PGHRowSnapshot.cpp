#include "PGHRowSnapshot.h"

#include "PGHSqliteDatabase.h"

namespace pigeonhole {

namespace {

// The stored (not generated) columns of a table, in order.
QStringList storedColumns(PGHSqliteDatabase &db, const QString &table)
{
    QStringList columns;
    PGHSqliteStatement info = db.prepare(QStringLiteral("SELECT name, hidden FROM pragma_table_xinfo(?)"));
    info.bind(1, table);
    while (info.next()) {
        if (info.int64(1) == 0) // 2 and 3 are generated columns
            columns << info.text(0);
    }
    return columns;
}

QString placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

} // namespace

std::optional<PGHRowSnapshot> PGHRowSnapshot::read(PGHSqliteDatabase &db, const QString &table, const QString &column,
                                                   const QList<qint64> &values)
{
    PGHRowSnapshot snapshot;
    snapshot.mTable = table;
    snapshot.mColumns = storedColumns(db, table);
    if (snapshot.mColumns.isEmpty())
        return std::nullopt;
    // Table and column names are ours, never a peer's text.
    const QString sql = QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"%3\" IN (SELECT value FROM json_each(?)) ORDER BY id")
                            .arg(snapshot.mColumns.join(QLatin1String("\",\"")), table, column);
    QStringList numbers;
    for (qint64 value : values)
        numbers << QString::number(value);
    PGHSqliteStatement select = db.prepare(sql);
    select.bind(1, QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']'));
    while (select.next()) {
        QVariantList row;
        for (int i = 0; i < snapshot.mColumns.size(); ++i)
            row << select.value(i);
        snapshot.mRows << row;
    }
    if (select.failed())
        return std::nullopt;
    return snapshot;
}

bool PGHRowSnapshot::insertInto(PGHSqliteDatabase &db) const
{
    const QString sql = QStringLiteral("INSERT INTO \"%1\" (\"%2\") VALUES (%3)")
                            .arg(mTable, mColumns.join(QLatin1String("\",\"")), placeholders(mColumns.size()));
    PGHSqliteStatement insert = db.prepare(sql);
    for (const QVariantList &row : mRows) {
        insert.reset();
        for (int i = 0; i < row.size(); ++i)
            insert.bindValue(i + 1, row.at(i));
        if (!insert.exec())
            return false;
    }
    return true;
}

} // namespace pigeonhole
