// Arbitrary text as the mail servers' ticket and bulk-upload replies.

#include "FileTransfer/PLMailReplies.h"
#include "FuzzSupport.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

using namespace parley;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silenceLog();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const auto ticket = PLMailReplies::parseTicketReply(QString::fromUtf8(bytes)))
        (void)ticket->ticketSN.size();
    if (const auto bulk = PLMailReplies::parseBulkReply(bytes))
        (void)bulk->info.size();
    return 0;
}
