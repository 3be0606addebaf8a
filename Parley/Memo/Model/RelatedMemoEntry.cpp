#include "RelatedMemoEntry.h"

namespace {

constexpr qsizetype kFieldCount = 10;

} // namespace

QVariantList RelatedMemoEntry::toList() const
{
    return {sequence, field1, field2, direction, senderID, receiverIDs, date, flag, fontAttributes, text};
}

std::optional<RelatedMemoEntry> RelatedMemoEntry::fromList(const QVariantList &list)
{
    if (list.size() != kFieldCount)
        return std::nullopt;
    // Numbers and flags may come as text from another process's list.
    bool ok = false;
    const int sequence = list[0].toInt(&ok);
    if (!ok)
        return std::nullopt;
    RelatedMemoEntry entry;
    entry.sequence = sequence;
    entry.field1 = list[1].toString();
    entry.field2 = list[2].toString();
    entry.direction = list[3].toString();
    entry.senderID = list[4].toString();
    entry.receiverIDs = list[5].toString();
    entry.date = list[6].toString();
    entry.flag = list[7].toBool();
    entry.fontAttributes = list[8].toString();
    entry.text = list[9].toString();
    return entry;
}
