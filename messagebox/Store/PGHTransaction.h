#pragma once

// A write transaction: begun at construction (taking the write lock at once),
// rolled back when it goes out of scope without commit().

namespace pigeonhole {

class PGHSqliteDatabase;

class PGHTransaction
{
public:
    explicit PGHTransaction(PGHSqliteDatabase &db);
    ~PGHTransaction();
    PGHTransaction(const PGHTransaction &) = delete;
    PGHTransaction &operator=(const PGHTransaction &) = delete;

    bool isActive() const { return mActive; }
    // Answers whether the changes are now in the file.
    bool commit();

private:
    PGHSqliteDatabase &mDb;
    bool mActive = false;
};

} // namespace pigeonhole
