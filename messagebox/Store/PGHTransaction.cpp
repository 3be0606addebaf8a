#include "PGHTransaction.h"

#include "PGHSqliteDatabase.h"

namespace pigeonhole {

PGHTransaction::PGHTransaction(PGHSqliteDatabase &db)
    : mDb(db)
{
    mActive = mDb.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

PGHTransaction::~PGHTransaction()
{
    if (mActive && mDb.inTransaction())
        mDb.exec(QStringLiteral("ROLLBACK"));
}

bool PGHTransaction::commit()
{
    if (!mActive)
        return false;
    if (!mDb.exec(QStringLiteral("COMMIT")))
        return false; // still active: the destructor rolls back
    mActive = false;
    return true;
}

} // namespace pigeonhole
