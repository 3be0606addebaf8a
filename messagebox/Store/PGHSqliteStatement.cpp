#include "PGHSqliteStatement.h"

#include "Log.h"

#include <sqlite3.h>

#include <utility>

namespace pigeonhole {

PGHSqliteStatement::PGHSqliteStatement(sqlite3 *db, const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &mStatement, nullptr) != SQLITE_OK) {
        parley::plLog(QStringLiteral("Pigeonhole store: cannot prepare \"%1\": %2")
                          .arg(sql, QString::fromUtf8(sqlite3_errmsg(db))));
        sqlite3_finalize(mStatement);
        mStatement = nullptr;
        mFailed = true;
    }
}

PGHSqliteStatement::~PGHSqliteStatement() { sqlite3_finalize(mStatement); }

PGHSqliteStatement::PGHSqliteStatement(PGHSqliteStatement &&other) noexcept
    : mStatement(std::exchange(other.mStatement, nullptr))
    , mFailed(other.mFailed)
{
}

PGHSqliteStatement &PGHSqliteStatement::operator=(PGHSqliteStatement &&other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(mStatement);
        mStatement = std::exchange(other.mStatement, nullptr);
        mFailed = other.mFailed;
    }
    return *this;
}

PGHSqliteStatement &PGHSqliteStatement::bind(int index, const QString &value)
{
    if (!mStatement)
        return *this;
    if (value.isNull())
        return bindNull(index);
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text(mStatement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        mFailed = true;
    return *this;
}

PGHSqliteStatement &PGHSqliteStatement::bind(int index, qint64 value)
{
    if (mStatement && sqlite3_bind_int64(mStatement, index, value) != SQLITE_OK)
        mFailed = true;
    return *this;
}

PGHSqliteStatement &PGHSqliteStatement::bindNull(int index)
{
    if (mStatement && sqlite3_bind_null(mStatement, index) != SQLITE_OK)
        mFailed = true;
    return *this;
}

PGHSqliteStatement &PGHSqliteStatement::bindValue(int index, const QVariant &value)
{
    if (!mStatement)
        return *this;
    if (!value.isValid() || value.isNull())
        return bindNull(index);
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return bind(index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        if (sqlite3_bind_double(mStatement, index, value.toDouble()) != SQLITE_OK)
            mFailed = true;
        return *this;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        if (sqlite3_bind_blob(mStatement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT) != SQLITE_OK)
            mFailed = true;
        return *this;
    }
    default:
        return bind(index, value.toString());
    }
}

bool PGHSqliteStatement::next()
{
    if (!mStatement) {
        mFailed = true;
        return false;
    }
    const int rc = sqlite3_step(mStatement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        mFailed = true;
        sqlite3 *db = sqlite3_db_handle(mStatement);
        parley::plLog(QStringLiteral("Pigeonhole store: \"%1\" failed: %2")
                          .arg(QString::fromUtf8(sqlite3_sql(mStatement)), QString::fromUtf8(sqlite3_errmsg(db))));
    }
    return false;
}

bool PGHSqliteStatement::exec()
{
    while (next()) {
    }
    return !mFailed;
}

void PGHSqliteStatement::reset()
{
    if (!mStatement)
        return;
    sqlite3_reset(mStatement);
    sqlite3_clear_bindings(mStatement);
    mFailed = false;
}

int PGHSqliteStatement::columnCount() const { return mStatement ? sqlite3_column_count(mStatement) : 0; }

QString PGHSqliteStatement::columnName(int column) const
{
    return mStatement ? QString::fromUtf8(sqlite3_column_name(mStatement, column)) : QString();
}

bool PGHSqliteStatement::isNull(int column) const
{
    return !mStatement || sqlite3_column_type(mStatement, column) == SQLITE_NULL;
}

QString PGHSqliteStatement::text(int column) const
{
    if (isNull(column))
        return {};
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(mStatement, column));
    const int size = sqlite3_column_bytes(mStatement, column);
    return data ? QString::fromUtf8(data, size) : QString(QLatin1String(""));
}

qint64 PGHSqliteStatement::int64(int column) const
{
    return mStatement ? sqlite3_column_int64(mStatement, column) : 0;
}

QVariant PGHSqliteStatement::value(int column) const
{
    if (!mStatement)
        return {};
    switch (sqlite3_column_type(mStatement, column)) {
    case SQLITE_INTEGER:
        return QVariant::fromValue<qint64>(sqlite3_column_int64(mStatement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(mStatement, column);
    case SQLITE_TEXT:
        return text(column);
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(mStatement, column));
        return QByteArray(data, sqlite3_column_bytes(mStatement, column));
    }
    default:
        return {};
    }
}

} // namespace pigeonhole
