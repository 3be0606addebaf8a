#include "PGHReadPayload.h"

namespace pigeonhole {

QStringList PGHReadPayload::split(const QString &joined)
{
    return joined.isEmpty() ? QStringList() : joined.split(QLatin1Char(','));
}

QVariantMap PGHReadPayload::of(const PGHMemo &memo)
{
    QVariantMap payload{
        {QStringLiteral("suser"), memo.suser},
        {QStringLiteral("suserID"), memo.suserID},
        {QStringLiteral("ruser"), split(memo.ruser)},
        {QStringLiteral("ruserID"), split(memo.ruserID)},
        {QStringLiteral("subject"), memo.subject},
        {QStringLiteral("bodyData"), memo.bodyData},
    };
    if (memo.date.isValid())
        payload.insert(QStringLiteral("date"), memo.date);
    return payload;
}

QVariantMap PGHReadPayload::of(const PGHChat &chat)
{
    QVariantMap payload{
        {QStringLiteral("chatUser"), split(chat.chatUser)},
        {QStringLiteral("chatUserID"), split(chat.chatUserID)},
        {QStringLiteral("bodyData"), chat.bodyData},
    };
    if (chat.date.isValid())
        payload.insert(QStringLiteral("date"), chat.date);
    return payload;
}

} // namespace pigeonhole
