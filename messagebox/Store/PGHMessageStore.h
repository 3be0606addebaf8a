#pragma once

// One open store file: the connection (WAL, foreign keys, a full sync at every
// commit), the schema brought up to date (or left for a worker to bring up),
// and the id counter. The tables are
// reached through small table objects made on demand; every operation of
// theirs that changes anything runs in one transaction of its own, so what
// returned is in the file.

#include "PGHSqliteDatabase.h"
#include "PGHStoreRecords.h"

#include <QString>

#include <memory>
#include <optional>

namespace pigeonhole {

class PGHFolderTable;
class PGHMemoTable;
class PGHChatTable;

class PGHMessageStore
{
public:
    // When a file of an earlier version is brought up to date: while it
    // opens, or later by the caller (PGHStoreUpgrade); until then the store
    // reads it as it is.
    enum class Upgrade { Now, Later };
    // Opens (creating and seeding when new) the store at `path`; nothing when
    // it cannot, with the reason in `error`.
    static std::unique_ptr<PGHMessageStore> open(const QString &path, QString *error = nullptr,
                                                 Upgrade upgrade = Upgrade::Now);
    ~PGHMessageStore();
    PGHMessageStore(const PGHMessageStore &) = delete;
    PGHMessageStore &operator=(const PGHMessageStore &) = delete;

    const QString &path() const { return mDb.path(); }
    // Whether this open created the file's tables and seed tree.
    bool wasCreated() const { return mCreated; }
    // Whether the file was of an earlier version left to be brought up to date.
    bool neededUpgrade() const { return mNeededUpgrade; }
    PGHSqliteDatabase &database() { return mDb; }

    // Hands out the counter's next value as 15-digit text and advances it;
    // call inside the operation's transaction.
    std::optional<QString> takeID();
    // "%015d".
    static QString formatID(qint64 value);

    PGHFolderTable folders(PGHBox box);
    PGHMemoTable memos();
    PGHChatTable chats();

private:
    PGHMessageStore() = default;

    PGHSqliteDatabase mDb;
    bool mCreated = false;
    bool mNeededUpgrade = false;
};

} // namespace pigeonhole
