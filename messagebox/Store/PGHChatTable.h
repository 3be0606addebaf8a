#pragma once

// The chat logs: listing a folder sorted and searched (bodies through the
// trigram index), reading one, and filing the logs the messenger hands over.

#include "PGHMessageTable.h"

#include <QVariantMap>

namespace pigeonhole {

class PGHChatTable : public PGHMessageTable
{
public:
    explicit PGHChatTable(PGHMessageStore &store);

    static bool isSortKey(const QString &key);
    static bool isSearchKey(const QString &key);
    // Whether a body search for the text can use the index: the trigram index
    // finds texts of three characters or more.
    static bool usesBodyIndex(const QString &text);

    // The logs of a folder without their bodies (with their titles). Searching
    // "chatUser" matches the partners' names or IDs; "bodyData" the log text.
    std::optional<QList<PGHChat>> list(qint64 folderId, const PGHListQuery &query);
    std::optional<PGHChat> chat(qint64 id);
    // Files the record into every chat folder named "chatbox"; answers the new
    // logs' ids, nothing on an error.
    std::optional<QList<qint64>> file(const QVariantMap &record);
    // The same body search by scanning every log, for comparison.
    std::optional<QList<qint64>> scanBodies(qint64 folderId, const QString &text);
};

} // namespace pigeonhole
