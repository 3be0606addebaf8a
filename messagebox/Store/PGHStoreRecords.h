#pragma once

// Plain records read from and written to the store.

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

namespace pigeonhole {

// The two boxes: memos and chat logs, each with its own folders.
enum class PGHBox { Memo, Chat };

// A folder. `sn` is the 15-digit serial number: 0, 1 and 2 are the built-in
// "inbox", "outbox" and "chatbox".
struct PGHFolder {
    qint64 id = 0;
    QString folderName;
    QString sn;

    qint64 snValue() const { return sn.toLongLong(); }
    bool isValid() const { return id > 0; }
    friend bool operator==(const PGHFolder &, const PGHFolder &) = default;
};

// One memo as stored.
struct PGHMemo {
    qint64 id = 0;
    QString mid;
    QString uuid;
    QString msgType;
    int unread = 0;
    QString subject;
    QString suser;
    QString suserID;
    QString ruser;
    QString ruserID;
    QDateTime date; // invalid when the record had none
    QVariant size;  // a number or a text, as the record carried it
    qint64 memoFolder = 0;
    QString bodyData;
};

// One chat log as stored; `title` is its body's second line.
struct PGHChat {
    qint64 id = 0;
    QString mid;
    QString chatUser;
    QString chatUserID;
    QDateTime date;
    QVariant size;
    qint64 chatFolder = 0;
    QString title;
    QString bodyData;
};

// How a folder's list is read: sorted by an attribute, optionally kept to the
// messages whose attribute contains a text (case-sensitively).
struct PGHListQuery {
    QString sortKey = QStringLiteral("date");
    bool ascending = false;
    QString searchKey;  // empty: no search
    QString searchText; // empty: no search
};

// The previous value of something the store changed, by message id, so an
// edit can be reversed.
using PGHPreviousValues = QHash<qint64, qint64>;

} // namespace pigeonhole
