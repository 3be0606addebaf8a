#include "MessageBoxMemo.h"

namespace {

std::optional<QString> stringValue(const QVariantMap &map, const char *key)
{
    const QVariant v = map.value(QLatin1String(key));
    if (v.typeId() != QMetaType::QString)
        return std::nullopt;
    return v.toString();
}

std::optional<QStringList> stringList(const QVariantMap &map, const char *key)
{
    const QVariant v = map.value(QLatin1String(key));
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList();
    if (v.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList out;
    for (const QVariant &item : v.toList()) {
        if (item.typeId() != QMetaType::QString)
            return std::nullopt;
        out.append(item.toString());
    }
    return out;
}

QVariantMap record(const char *msgType, int unread, const QString &uuid, const QString &subject,
                   const MessageBoxMemo::Party &sender, const QList<MessageBoxMemo::Party> &receivers,
                   const QDateTime &date, const QString &body)
{
    QStringList ids;
    QStringList names;
    for (const MessageBoxMemo::Party &r : receivers) {
        ids.append(r.id);
        names.append(r.display);
    }
    return {{QStringLiteral("msgType"), QLatin1String(msgType)},
            {QStringLiteral("uuid"), uuid},
            {QStringLiteral("unread"), unread},
            {QStringLiteral("subject"), subject},
            {QStringLiteral("suser"), sender.display},
            {QStringLiteral("suserID"), sender.id},
            {QStringLiteral("ruser"), names},
            {QStringLiteral("ruserID"), ids},
            {QStringLiteral("date"), date.isValid() ? date : QDateTime::currentDateTime()},
            {QStringLiteral("bodyData"), body},
            {QStringLiteral("size"), MessageBoxMemo::sizeInKilobytes(body)}};
}

} // namespace

std::optional<QVariantMap> MessageBoxMemo::memoDictForMessageBoxDict(const QVariantMap &payload,
                                                                     const QString &newUUID)
{
    const std::optional<QString> body = stringValue(payload, "bodyData");
    const std::optional<QString> sender = stringValue(payload, "suserID");
    const std::optional<QString> subject = stringValue(payload, "subject");
    const std::optional<QStringList> receivers = stringList(payload, "ruserID");
    const QVariant date = payload.value(QStringLiteral("date"));
    if (!body || !sender || !subject || !receivers || date.typeId() != QMetaType::QDateTime
        || !date.toDateTime().isValid())
        return std::nullopt;
    const QString uuid = stringValue(payload, "uuid").value_or(QString());
    const QString cookie = stringValue(payload, "cookie").value_or(QString());
    return QVariantMap{
        {QStringLiteral("command"), QStringLiteral("IMSG")},
        {QStringLiteral("contenttype"), QStringLiteral("text")},
        {QStringLiteral("font-color"), QStringLiteral("#050505")},
        {QStringLiteral("font-name"), QStringLiteral("AppleGothic")},
        {QStringLiteral("font-size"), 11},
        {QStringLiteral("font-style"), QStringLiteral("%00")},
        {QStringLiteral("session_id"), 3147538},
        {QStringLiteral("date"), date.toDateTime().toLocalTime().toString(QStringLiteral("yyyyMMddHHmmss"))},
        {QStringLiteral("from"), *sender},
        {QStringLiteral("length"), int(body->size())},
        {QStringLiteral("message"), *body},
        {QStringLiteral("ref"), receivers->join(QLatin1Char(';'))},
        {QStringLiteral("title"), *subject},
        {QStringLiteral("uuid"), newUUID},
        {QStringLiteral("re-uuid"), uuid.isEmpty() ? QString(QLatin1String("")) : uuid},
        {QStringLiteral("cookie"), cookie.isEmpty() ? QString(QLatin1String("")) : cookie},
    };
}

QVariantMap MessageBoxMemo::inboxRecord(const QString &uuid, const QString &subject, const Party &sender,
                                        const QList<Party> &receivers, const QDateTime &date, const QString &body)
{
    return record("inbox", 1, uuid, subject, sender, receivers, date, body);
}

QVariantMap MessageBoxMemo::outboxRecord(const QString &uuid, const QString &subject, const Party &sender,
                                         const QList<Party> &receivers, const QDateTime &date, const QString &body)
{
    return record("outbox", 0, uuid, subject, sender, receivers, date, body);
}

int MessageBoxMemo::sizeInKilobytes(const QString &body)
{
    const qint64 bytes = body.toUtf8().size();
    return int((bytes + 1023) / 1024);
}

QDateTime MessageBoxMemo::dateFromStamp(const QString &stamp)
{
    if (stamp.size() != 14)
        return {};
    return QDateTime::fromString(stamp, QStringLiteral("yyyyMMddHHmmss"));
}
