#include "PGHStoreSchema.h"

#include "PGHSqliteDatabase.h"
#include "PGHTransaction.h"

#include <QStringList>

#include <algorithm>
#include <functional>
#include <vector>

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

// Step 2: row ids are never handed out twice. Without AUTOINCREMENT SQLite
// gives a new row the largest id plus one, so a row deleted from the end had
// its id taken by the next arrival, and undoing the deletion (which puts the
// row back under its id) failed or hit the newcomer. Each of the four tables
// is rebuilt in place from its own definition with AUTOINCREMENT added,
// keeping every row with its id, its indexes and its triggers; the chat body
// index reads the rebuilt table by name and rowid, so it stays as it is.
bool rebuildWithAutoincrement(PGHSqliteDatabase &db, const QString &table, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    // Read first: a statement still open would keep the table from being dropped.
    QString columns;
    QStringList dependents; // its indexes and triggers, made again at the end
    QStringList stored;
    {
        PGHSqliteStatement definition =
            db.prepare(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?"));
        definition.bind(1, table);
        if (!definition.next())
            return fail(QStringLiteral("no table %1").arg(table));
        columns = definition.text(0);
        PGHSqliteStatement made = db.prepare(QStringLiteral(
            "SELECT sql FROM sqlite_master WHERE tbl_name = ? AND type IN ('index', 'trigger') AND sql IS NOT NULL"));
        made.bind(1, table);
        while (made.next())
            dependents << made.text(0);
        PGHSqliteStatement info = db.prepare(QStringLiteral("SELECT name FROM pragma_table_xinfo(?) WHERE hidden = 0"));
        info.bind(1, table);
        while (info.next())
            stored << QLatin1Char('"') + info.text(0) + QLatin1Char('"');
        if (made.failed() || info.failed() || stored.isEmpty())
            return fail(db.errorMessage());
    }
    columns = columns.mid(columns.indexOf(QLatin1Char('(')));
    const QLatin1String plainKey("id INTEGER PRIMARY KEY,");
    if (columns.count(plainKey) != 1)
        return fail(QStringLiteral("the table %1 has no plain integer key").arg(table));
    columns.replace(plainKey, QLatin1String("id INTEGER PRIMARY KEY AUTOINCREMENT,"));

    const QString rebuilt = table + QStringLiteral("_rebuilt");
    const QString list = stored.join(QLatin1Char(','));
    return db.exec(QStringLiteral("CREATE TABLE %1 %2").arg(rebuilt, columns), error)
           && db.exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3").arg(rebuilt, list, table), error)
           && db.exec(QStringLiteral("DROP TABLE %1").arg(table), error)
           && db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(rebuilt, table), error)
           && db.exec(dependents.join(QLatin1String(";\n")), error);
}

bool neverReuseIds(PGHSqliteDatabase &db, QString *error)
{
    for (const char *table : {"MemoFolder", "ChatFolder", "MemoContext", "ChatContext"})
        if (!rebuildWithAutoincrement(db, QLatin1String(table), error))
            return false;
    // The relations must still hold before the step may commit.
    PGHSqliteStatement check = db.prepare(QStringLiteral("PRAGMA foreign_key_check"));
    const bool broken = check.next() || check.failed();
    if (broken && error)
        *error = QStringLiteral("a relation broke while the tables were rebuilt");
    return !broken;
}

// Step 3: two-character body searches are answered from the trigram index
// too. A pair occurs in a log either as the start of one of its trigrams or
// at the very end of its body; this index holds the ends. Built from every
// log in place: no row changes.
bool indexBodyEndings(PGHSqliteDatabase &db, QString *error)
{
    return db.exec(QStringLiteral("CREATE INDEX ChatContextByEnding ON ChatContext(substr(bodyData, -2))"), error);
}

struct Step {
    std::function<bool(PGHSqliteDatabase &, QString *)> run;
    // The step rebuilds tables: the relations are not enforced while it runs
    // (dropping a folder table would otherwise delete its messages).
    bool rebuildsTables = false;
};

// Every step in order; step N brings a file of version N - 1 to version N.
// Later versions append here and never change an earlier step.
const std::vector<Step> &steps()
{
    static const std::vector<Step> all{
        {[](PGHSqliteDatabase &db, QString *error) { return db.exec(firstStep(), error); }, false},
        {neverReuseIds, true},
        {indexBodyEndings, false},
    };
    return all;
}

} // namespace

int PGHStoreSchema::currentVersion() { return int(steps().size()); }

std::optional<int> PGHStoreSchema::version(PGHSqliteDatabase &db, QString *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<int> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    const QVariant versionValue = db.scalar(QStringLiteral("PRAGMA user_version"));
    if (!versionValue.isValid())
        return fail(db.errorMessage());
    const int version = versionValue.toInt();
    if (version > currentVersion())
        return fail(QStringLiteral("the store was written by a later version (%1)").arg(version));
    if (version < 0 || (version == 0 && db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt() > 0))
        return fail(QStringLiteral("the file is not a message store"));
    return version;
}

bool PGHStoreSchema::upgrade(PGHSqliteDatabase &db, bool *created, QString *error, int toVersion,
                             const StepObserver &observer)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const std::optional<int> found = PGHStoreSchema::version(db, error);
    if (!found)
        return false;
    const int version = *found;
    if (created)
        *created = version == 0;

    const std::vector<Step> &all = steps();
    for (int step = version; step < std::min(int(all.size()), toVersion); ++step) {
        if (observer)
            observer(step + 1);
        // Outside a transaction: SQLite ignores the setting inside one.
        const bool relaxed = all.at(step).rebuildsTables && db.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
        QString reason;
        bool done = false;
        {
            PGHTransaction transaction(db);
            done = transaction.isActive() && all.at(step).run(db, &reason)
                   && db.exec(QStringLiteral("PRAGMA user_version = %1").arg(step + 1), &reason) && transaction.commit();
            if (!done && reason.isEmpty())
                reason = db.errorMessage();
        }
        if (relaxed && !db.exec(QStringLiteral("PRAGMA foreign_keys = ON"), done ? &reason : nullptr))
            done = false;
        if (!done)
            return fail(reason);
    }
    return true;
}

} // namespace pigeonhole
