#include "RelatedMemoReply.h"

#include "Log.h"

namespace {

constexpr qsizetype kFieldCount = 10;

} // namespace

RelatedMemoReply RelatedMemoReply::parse(const QString &text)
{
    RelatedMemoReply reply;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    reply.isLast = lines.value(0) == QLatin1String("N");
    for (qsizetype i = 1; i < lines.size(); ++i) {
        // The line break after the last memo leaves an empty line behind.
        if (i == lines.size() - 1 && lines[i].isEmpty())
            break;
        const QStringList fields = lines[i].split(QLatin1Char(' '));
        if (fields.size() != kFieldCount) {
            parley::plLogFalse(__FILE__, __LINE__);
            reply.malformed = true;
            break;
        }
        RelatedMemoEntry entry;
        entry.sequence = fields[0].toInt();
        entry.field1 = fields[1];
        entry.field2 = fields[2];
        entry.direction = fields[3];
        entry.senderID = fields[4];
        entry.receiverIDs = fields[5];
        entry.date = fields[6];
        entry.flag = fields[7] == QLatin1String("Y");
        entry.fontAttributes = fields[8];
        entry.text = fields[9];
        reply.entries.append(entry);
    }
    return reply;
}
