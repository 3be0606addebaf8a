#pragma once

// What the memo and chat tables share: moving messages between folders,
// deleting them and putting them back, each in one transaction that answers
// what it changed so the edit can be reversed.

#include "PGHRowSnapshot.h"
#include "PGHStoreRecords.h"

#include <optional>

namespace pigeonhole {

class PGHMessageStore;

class PGHMessageTable
{
public:
    // Moves the messages into the folder; answers each one's previous folder.
    std::optional<PGHPreviousValues> move(const QList<qint64> &ids, qint64 folderId);
    // Puts back the values `move` (or a subclass's edit of `column`) answered.
    bool restore(const QString &column, const PGHPreviousValues &previous);
    // Deletes the messages; answers what they were.
    std::optional<PGHRowSnapshot> remove(const QList<qint64> &ids);
    // Inserts deleted messages again as they were.
    bool restore(const PGHRowSnapshot &rows);

    const QString &tableName() const { return mTable; }
    const QString &folderColumn() const { return mFolderColumn; }

protected:
    // Ids as a JSON array, for `id IN (SELECT value FROM json_each(?))`.
    static QString idList(const QList<qint64> &ids);
    PGHMessageTable(PGHMessageStore &store, PGHBox box);
    // Files one record into every folder the condition selects, each copy with
    // its own message id; answers the new rows' ids.
    std::optional<QList<qint64>> insertCopies(const QVariantMap &record, const QString &folderName);

    PGHMessageStore &mStore;
    PGHBox mBox;
    QString mTable;
    QString mFolderTable;
    QString mFolderColumn;
};

} // namespace pigeonhole
