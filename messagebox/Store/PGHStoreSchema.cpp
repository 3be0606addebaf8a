#include "PGHStoreSchema.h"

#include "PGHSqliteDatabase.h"
#include "PGHTransaction.h"

#include <QStringList>

namespace pigeonhole {

namespace {

// The second line of a chat body (lines end at LF, a CR before it is dropped);
// the first line when there is no second. Kept short: it is a list title.
constexpr char kChatTitle[] =
    "substr(rtrim(CASE WHEN instr(bodyData, char(10)) = 0 THEN bodyData"
    " ELSE CASE WHEN instr(substr(bodyData, instr(bodyData, char(10)) + 1), char(10)) = 0"
    " THEN substr(bodyData, instr(bodyData, char(10)) + 1)"
    " ELSE substr(substr(bodyData, instr(bodyData, char(10)) + 1), 1,"
    " instr(substr(bodyData, instr(bodyData, char(10)) + 1), char(10)) - 1) END END, char(13)), 1, 256)";

// Step 1: the tables and the seed tree of a new store (the counter hands out
// 0, 1 and 2 to the three built-in folders and stands at 3).
QString firstStep()
{
    return QStringLiteral(R"sql(
CREATE TABLE IDGenerator (
  id INTEGER PRIMARY KEY,
  currentID INTEGER NOT NULL
);
CREATE TABLE MemoFolder (
  id INTEGER PRIMARY KEY,
  folderName TEXT NOT NULL,
  sn TEXT NOT NULL UNIQUE
);
CREATE TABLE ChatFolder (
  id INTEGER PRIMARY KEY,
  folderName TEXT NOT NULL,
  sn TEXT NOT NULL UNIQUE
);
CREATE TABLE MemoContext (
  id INTEGER PRIMARY KEY,
  mid TEXT NOT NULL UNIQUE,
  uuid TEXT,
  msgType TEXT,
  unread INTEGER NOT NULL DEFAULT 0,
  subject TEXT,
  suser TEXT,
  suserID TEXT,
  ruser TEXT,
  ruserID TEXT,
  date INTEGER,
  size NUMERIC,
  memoFolder INTEGER REFERENCES MemoFolder(id) ON DELETE CASCADE,
  bodyData TEXT
);
-- A folder's list, sorted by date, is read and searched in its short fields
-- from this index alone, without reading the table.
CREATE INDEX MemoContextByFolder ON MemoContext(memoFolder, date, subject, suser, ruser, unread, size, mid);
CREATE INDEX MemoContextByUUID ON MemoContext(uuid) WHERE uuid IS NOT NULL;
CREATE INDEX MemoContextUnread ON MemoContext(unread) WHERE unread != 0;
CREATE TABLE ChatContext (
  id INTEGER PRIMARY KEY,
  mid TEXT NOT NULL UNIQUE,
  chatUser TEXT,
  chatUserID TEXT,
  date INTEGER,
  size NUMERIC,
  chatFolder INTEGER REFERENCES ChatFolder(id) ON DELETE CASCADE,
  title TEXT GENERATED ALWAYS AS (%1) STORED,
  bodyData TEXT
);
CREATE INDEX ChatContextByFolder ON ChatContext(chatFolder, date);
CREATE VIRTUAL TABLE ChatBodyIndex USING fts5(
  bodyData, content='ChatContext', content_rowid='id', tokenize='trigram case_sensitive 1'
);
CREATE TRIGGER ChatBodyIndexInsert AFTER INSERT ON ChatContext BEGIN
  INSERT INTO ChatBodyIndex(rowid, bodyData) VALUES (new.id, new.bodyData);
END;
CREATE TRIGGER ChatBodyIndexDelete AFTER DELETE ON ChatContext BEGIN
  INSERT INTO ChatBodyIndex(ChatBodyIndex, rowid, bodyData) VALUES ('delete', old.id, old.bodyData);
END;
CREATE TRIGGER ChatBodyIndexUpdate AFTER UPDATE OF bodyData ON ChatContext BEGIN
  INSERT INTO ChatBodyIndex(ChatBodyIndex, rowid, bodyData) VALUES ('delete', old.id, old.bodyData);
  INSERT INTO ChatBodyIndex(rowid, bodyData) VALUES (new.id, new.bodyData);
END;
INSERT INTO IDGenerator(currentID) VALUES (3);
INSERT INTO MemoFolder(folderName, sn) VALUES ('inbox', '000000000000000');
INSERT INTO MemoFolder(folderName, sn) VALUES ('outbox', '000000000000001');
INSERT INTO ChatFolder(folderName, sn) VALUES ('chatbox', '000000000000002');
)sql")
        .arg(QLatin1String(kChatTitle));
}

// Every step in order; step N brings a file of version N - 1 to version N.
// Later versions append here and never change an earlier step.
QStringList steps() { return {firstStep()}; }

} // namespace

int PGHStoreSchema::currentVersion() { return int(steps().size()); }

bool PGHStoreSchema::upgrade(PGHSqliteDatabase &db, bool *created, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QVariant versionValue = db.scalar(QStringLiteral("PRAGMA user_version"));
    if (!versionValue.isValid())
        return fail(db.errorMessage());
    const int version = versionValue.toInt();
    if (version > currentVersion())
        return fail(QStringLiteral("the store was written by a later version (%1)").arg(version));
    if (version == 0 && db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt() > 0)
        return fail(QStringLiteral("the file is not a message store"));
    if (created)
        *created = version == 0;

    const QStringList all = steps();
    for (int step = version; step < all.size(); ++step) {
        PGHTransaction transaction(db);
        if (!transaction.isActive())
            return fail(db.errorMessage());
        QString reason;
        if (!db.exec(all.at(step), &reason) || !db.exec(QStringLiteral("PRAGMA user_version = %1").arg(step + 1), &reason))
            return fail(reason);
        if (!transaction.commit())
            return fail(db.errorMessage());
    }
    return true;
}

} // namespace pigeonhole
