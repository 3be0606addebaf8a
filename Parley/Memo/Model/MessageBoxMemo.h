#pragma once

// The memo records exchanged with the message box. A memo the box asks the
// messenger to open (its read payload: suserID, ruserID, subject, date,
// bodyData, optionally uuid and cookie) becomes a received-memo dictionary;
// every memo received or sent becomes a record the box files
// ("PLSaveMemoDocument", keys of its memo table). Payloads come from another
// process: a value of the wrong type counts as missing.

#include <QDateTime>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class MessageBoxMemo
{
public:
    // The received-memo dictionary of a read payload; nothing when one of the
    // five memo values is missing or not of its type (a chat log's payload).
    // `newUUID` makes the opened memo's own uuid.
    static std::optional<QVariantMap> memoDictForMessageBoxDict(const QVariantMap &payload,
                                                                const QString &newUUID);

    struct Party {
        QString id;
        QString display; // the display string or name
    };
    // The box's record of a memo: inbox (unread) or outbox (read).
    static QVariantMap inboxRecord(const QString &uuid, const QString &subject, const Party &sender,
                                   const QList<Party> &receivers, const QDateTime &date, const QString &body);
    static QVariantMap outboxRecord(const QString &uuid, const QString &subject, const Party &sender,
                                    const QList<Party> &receivers, const QDateTime &date, const QString &body);
    // The memo's size in whole kilobytes of its UTF-8 text, rounded up.
    static int sizeInKilobytes(const QString &body);
    // The local time of a 14-digit stamp; invalid for anything else.
    static QDateTime dateFromStamp(const QString &stamp);
};
