#pragma once

// Store files of an earlier version, as a box of that version left them,
// with rows enough that bringing them up to date takes a while: memos in the
// inbox, and chat logs of about 8 KB in "chatbox" (hex text with Korean words
// and line breaks in it; their last two characters are "ab", "회의", "xy" or
// part of the text).

#include "PGHSqliteDatabase.h"
#include "PGHStoreSchema.h"
#include "PGHTransaction.h"

#include <QString>

namespace pigeonhole::test {

inline QString makeOlderStore(const QString &path, int version, int memos = 0, int chats = 0)
{
    PGHSqliteDatabase db;
    QString error;
    if (!db.open(path, &error) || !db.exec(QStringLiteral("PRAGMA journal_mode = WAL"), &error)
        || !PGHStoreSchema::upgrade(db, nullptr, &error, version))
        return error.isEmpty() ? QStringLiteral("cannot make %1").arg(path) : error;
    if (memos == 0 && chats == 0)
        return {};
    PGHTransaction transaction(db);
    const bool filled = db.exec(QStringLiteral(R"sql(
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < :memos)
INSERT INTO MemoContext(mid, uuid, unread, subject, suser, memoFolder, bodyData, date, size)
SELECT printf('%015d', 100 + i), 'u' || i, i % 2, 'memo ' || i, 'Sender ' || (i % 50), 1, 'body ' || i, i * 1000, 1 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < :chats)
INSERT INTO ChatContext(mid, chatUser, chatFolder, date, size, bodyData)
SELECT printf('%015d', 1000000 + i), 'Friend ' || (i % 30), 1, i * 1000, 8,
       'Chat ' || i || char(10) || 'about ' || (i % 7) || char(10)
       || replace(replace(hex(randomblob(3000)), 'A', ' 회의 '), 'B', char(10)) || substr('ab회의xy', 1 + (i % 4) * 2, 2)
FROM n;
UPDATE IDGenerator SET currentID = 2000000;
)sql")
                                    .replace(QLatin1String(":memos"), QString::number(memos))
                                    .replace(QLatin1String(":chats"), QString::number(chats)),
                                &error);
    if (!filled || !transaction.commit())
        return error.isEmpty() ? db.errorMessage() : error;
    db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return {};
}

} // namespace pigeonhole::test
