#pragma once

// The folders of one box (MemoFolder or ChatFolder). Deleting a folder deletes
// its messages with it; the built-in folders (serial numbers 0 to 2) are never
// deleted.

#include "PGHRowSnapshot.h"
#include "PGHStoreRecords.h"

#include <optional>

namespace pigeonhole {

class PGHMessageStore;

// A deleted folder with its messages, to put back as they were.
struct PGHFolderDeletion {
    PGHRowSnapshot folder;
    PGHRowSnapshot messages;
};

class PGHFolderTable
{
public:
    PGHFolderTable(PGHMessageStore &store, PGHBox box);

    // Every folder of the box in serial-number order; nothing on an error.
    std::optional<QList<PGHFolder>> all();
    std::optional<PGHFolder> folder(qint64 id);
    // A new folder with the next serial number.
    std::optional<PGHFolder> create(const QString &name);
    bool rename(qint64 id, const QString &name);
    // Deletes the folder and its messages, answering what they were.
    std::optional<PGHFolderDeletion> remove(qint64 id);
    // Puts a deleted folder and its messages back.
    bool restore(const PGHFolderDeletion &deletion);

    const QString &tableName() const { return mTable; }

private:
    PGHMessageStore &mStore;
    PGHBox mBox;
    QString mTable;
};

} // namespace pigeonhole
