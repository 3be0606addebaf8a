#pragma once

// The mail servers' short replies, parsed: both are "&"-separated, each piece
// "name=value" or a bare value.

#include <QByteArray>
#include <QString>
#include <optional>

namespace parley::PLMailReplies {

struct TicketInfo
{
    int serverID = 0;
    QString ticketSN;
    int rdays = 0;  // days the download stays available
    int maxcnt = 0; // downloads allowed
};
// "server_id=N&ticketsn=S&x=y&rdays=D&maxcnt=C": pieces 1, 2, 4 and 5 (the
// third is not used). Nothing without "server_id", with fewer than five
// pieces, or with a server id that is not a positive number.
std::optional<TicketInfo> parseTicketReply(const QString &reply);

struct BulkResult
{
    int returnCode = -1;
    QString info; // the download information of the link
};
// "code&info" (each may be "name=value"); nothing when the code is not a number.
std::optional<BulkResult> parseBulkReply(const QByteArray &reply);

} // namespace parley::PLMailReplies
