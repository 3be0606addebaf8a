#include "PLMailReplies.h"

#include <QStringList>

namespace parley::PLMailReplies {

namespace {
QString valueOf(const QStringList &pieces, int index)
{
    const QString piece = pieces.value(index);
    const qsizetype equals = piece.indexOf(QLatin1Char('='));
    return equals < 0 ? piece : piece.mid(equals + 1);
}
} // namespace

std::optional<TicketInfo> parseTicketReply(const QString &reply)
{
    if (!reply.contains(QStringLiteral("server_id")))
        return std::nullopt;
    const QStringList pieces = reply.trimmed().split(QLatin1Char('&'));
    if (pieces.size() < 5)
        return std::nullopt;
    TicketInfo info;
    bool ok = false;
    info.serverID = valueOf(pieces, 0).toInt(&ok);
    if (!ok || info.serverID <= 0)
        return std::nullopt;
    info.ticketSN = valueOf(pieces, 1);
    info.rdays = valueOf(pieces, 3).toInt();
    info.maxcnt = valueOf(pieces, 4).toInt();
    return info;
}

std::optional<BulkResult> parseBulkReply(const QByteArray &reply)
{
    const QStringList pieces = QString::fromUtf8(reply).trimmed().split(QLatin1Char('&'));
    BulkResult result;
    bool ok = false;
    result.returnCode = valueOf(pieces, 0).toInt(&ok);
    if (!ok)
        return std::nullopt;
    result.info = valueOf(pieces, 1);
    return result;
}

} // namespace parley::PLMailReplies
