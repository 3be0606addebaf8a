#pragma once

// The store's tables and the steps that bring a file of any earlier version up
// to the current one. The version is the file's user_version; each step runs in
// its own transaction with the version it reaches, so an interrupted upgrade
// starts again from the last step that committed.
//
// Tables, one per entity, with the entities' names and attributes (row ids
// AUTOINCREMENT from version 2 on, so an id is never handed out twice):
//   IDGenerator(currentID)
//   MemoFolder(folderName, sn), ChatFolder(folderName, sn)
//   MemoContext(mid, uuid, msgType, unread, subject, suser, suserID, ruser,
//               ruserID, date, size, memoFolder, bodyData)
//   ChatContext(mid, chatUser, chatUserID, date, size, chatFolder, bodyData,
//               title = the body's second line, derived by SQLite itself)
// `sn` and `mid` are 15-digit text, dates milliseconds since the epoch (UTC),
// relations the row id of the folder; deleting a folder deletes its messages.
// ChatBodyIndex is a case-sensitive trigram index of the chat bodies;
// ChatContextByEnding indexes each body's last two characters (from version
// 3 on), so that two-character searches need no scan either.

#include <QString>

#include <functional>
#include <optional>

namespace pigeonhole {

class PGHSqliteDatabase;

class PGHStoreSchema
{
public:
    static int currentVersion();
    // The open file's version (0: a new, empty file); nothing, with the
    // reason, for a file of a later version or a file that is not a store.
    static std::optional<int> version(PGHSqliteDatabase &db, QString *error);
    // Told the version a step brings the file to, before the step runs.
    using StepObserver = std::function<void(int reaching)>;
    // Brings the open file to the current version; a new (empty) file gets the
    // tables and the seed tree. Answers false, with the reason, for a file of
    // a later version, a file that is not a store, or a step that failed.
    // `created` tells whether the file was new. `toVersion` stops earlier
    // (tests make files of an earlier version with it).
    static bool upgrade(PGHSqliteDatabase &db, bool *created, QString *error, int toVersion = currentVersion(),
                        const StepObserver &observer = {});
};

} // namespace pigeonhole
