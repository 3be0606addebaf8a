#include "MemoWebCommands.h"

#include "AccountDirectory.h"
#include "MemoArchive.h"
#include "NotificationServer.h"
#include "NotificationSession.h"
#include "ReplyCodes.h"
#include "WireText.h"

#include <QUrlQuery>

namespace localservice::memos {

namespace {

// Header lines of a memo: "IMSG", then "key:value" lines up to the empty line.
struct MemoText {
    QStringList header; // without the sub-command line
    QString rest;       // the empty line and the body
    QString command;

    QString value(const QString &key) const
    {
        for (const QString &line : header) {
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            if (colon > 0 && line.left(colon) == key)
                return line.mid(colon + 1);
        }
        return {};
    }
    void set(const QString &key, const QString &value)
    {
        for (QString &line : header) {
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            if (colon > 0 && line.left(colon) == key) {
                line = key + QLatin1Char(':') + value;
                return;
            }
        }
        header.append(key + QLatin1Char(':') + value);
    }
};

std::optional<MemoText> readMemo(const QString &text)
{
    const qsizetype end = text.indexOf(QLatin1String("\r\n\r\n"));
    if (end < 0)
        return std::nullopt;
    QStringList lines = text.left(end).split(QLatin1String("\r\n"));
    MemoText memo;
    memo.command = lines.takeFirst();
    memo.header = lines;
    memo.rest = text.mid(end + 2);
    return memo;
}

// A header value as the client writes an empty one.
QString field(const QString &value) { return value == QLatin1String("%00") ? QString() : value; }

} // namespace

QByteArray fileForDelivery(MemoArchive &archive, const QString &senderID, const QStringList &targetIDs,
                           const QByteArray &memo)
{
    std::optional<MemoText> text = readMemo(QString::fromUtf8(memo));
    if (!text)
        return memo; // not a memo of header and body: delivered as it came
    const QString fonts = QStringLiteral("font-name:%1;font-style:%2;font-size:%3;font-color:%4")
                              .arg(text->value(QStringLiteral("font-name")), text->value(QStringLiteral("font-style")),
                                   text->value(QStringLiteral("font-size")), text->value(QStringLiteral("font-color")));
    const QString body = text->rest.mid(2);
    const ArchivedMemo filed = archive.file(field(text->value(QStringLiteral("cookie"))), senderID, targetIDs,
                                            text->value(QStringLiteral("date")), fonts, body);
    text->set(QStringLiteral("cookie"), filed.cookie);
    text->set(QStringLiteral("related"),
              archive.hasRelated(filed.cookie) ? QStringLiteral("Y") : QStringLiteral("N"));
    return (text->command + QLatin1String("\r\n") + text->header.join(QLatin1String("\r\n")) + QLatin1String("\r\n")
            + text->rest)
        .toUtf8();
}

QByteArray relatedAnswer(const MemoArchive &archive, const QString &askerID, const QString &requestBody,
                         bool *known)
{
    const QUrlQuery query(requestBody);
    bool seqOK = false;
    bool countOK = false;
    const int afterSequence = query.queryItemValue(QStringLiteral("seq")).toInt(&seqOK);
    const int count = query.queryItemValue(QStringLiteral("count")).toInt(&countOK);
    const std::optional<MemoArchive::Batch> batch =
        seqOK && countOK ? archive.related(query.queryItemValue(QStringLiteral("cookie")), askerID, afterSequence,
                                           qBound(1, count, 50))
                         : std::nullopt;
    *known = batch.has_value();
    if (!batch)
        return {};
    QStringList lines{batch->last ? QStringLiteral("N") : QStringLiteral("Y")};
    for (const ArchivedMemo &m : batch->memos) {
        lines.append(QStringList{QString::number(m.sequence), QStringLiteral("0"), QStringLiteral("0"),
                                 m.senderID == askerID ? QStringLiteral("S") : QStringLiteral("R"),
                                 wireEscape(m.senderID), wireEscape(m.receiverIDs.join(QLatin1Char(';'))),
                                 wireEscape(m.date), QStringLiteral("Y"), wireEscape(m.fontAttributes),
                                 wireEscape(m.text)}
                         .join(QLatin1Char(' ')));
    }
    return lines.join(QLatin1String("\r\n")).toUtf8();
}

void webRequest(NotificationSession &session, qint64 tid, const QStringList &fields, const QByteArray &body)
{
    if (fields.size() != 6)
        return session.sendError(reply::kMalformed, tid);
    if (!session.isSignedIn())
        return session.sendError(reply::kNotNow, tid);
    const QString subCmd = wireUnescape(fields[2]);
    MemoArchive &archive = session.server().directory().memos();
    if (subCmd == QLatin1String("MEMOREL1")) {
        bool known = false;
        const QByteArray answer = relatedAnswer(archive, session.userID(), QString::fromUtf8(body), &known);
        if (!known)
            return session.sendError(reply::kMalformed, tid);
        // WGET tid subCmd page pages result length, then the answer
        return session.sendBody(fields[0], tid,
                                    {subCmd, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("100")}, answer);
    }
    if (subCmd == QLatin1String("MEMOGET1")) {
        // The client only logs the answer: an empty page.
        return session.sendBody(fields[0], tid,
                                    {subCmd, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("100")}, {});
    }
    session.sendError(reply::kUnsupported, tid);
}

} // namespace localservice::memos
