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
// ChatBodyIndex is a case-sensitive trigram index of the chat bodies.

#include <QString>

namespace pigeonhole {

class PGHSqliteDatabase;

class PGHStoreSchema
{
public:
    static int currentVersion();
    // Brings the open file to the current version; a new (empty) file gets the
    // tables and the seed tree. Answers false, with the reason, for a file of
    // a later version, a file that is not a store, or a step that failed.
    // `created` tells whether the file was new. `toVersion` stops earlier
    // (tests make files of an earlier version with it).
    static bool upgrade(PGHSqliteDatabase &db, bool *created, QString *error, int toVersion = currentVersion());
};

} // namespace pigeonhole
