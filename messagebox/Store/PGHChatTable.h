#pragma once

// The chat logs: listing a folder sorted and searched (bodies through the
// trigram index), reading one, and filing the logs the messenger hands over.

#include "PGHMessageTable.h"

#include <QSet>
#include <QVariantMap>

namespace pigeonhole {

// A folder's list read a page at a time in list order: the folder's ids are
// taken in order once (no bodies read), then windows of them are kept to the
// search, so the first screen of a common text costs a few windows instead
// of every match. A change to the store starts a new listing.
struct PGHChatListing {
    qint64 folderId = 0;
    PGHListQuery query;
    QList<qint64> order; // the folder's ids in list order, unsearched
    qsizetype next = 0;  // the first id not yet searched
    // The index's whole answer, read once when a window's ids spread too wide
    // for a ranged read to pay.
    std::optional<QSet<qint64>> everyMatch;
    // A two-character search: the index's trigrams that start with the pair,
    // as one query (empty: none).
    std::optional<QString> pairTrigrams;

    bool atEnd() const { return next >= order.size(); }
};

class PGHChatTable : public PGHMessageTable
{
public:
    explicit PGHChatTable(PGHMessageStore &store);

    static bool isSortKey(const QString &key);
    static bool isSearchKey(const QString &key);
    // Whether a body search for the text is a phrase of the trigram index
    // (texts of three characters or more; pairs are found through the
    // trigrams they start and the bodies they end; single characters scan).
    static bool usesBodyIndex(const QString &text);

    // The logs of a folder without their bodies (with their titles). Searching
    // "chatUser" matches the partners' names or IDs; "bodyData" the log text.
    std::optional<QList<PGHChat>> list(qint64 folderId, const PGHListQuery &query);
    // The same list a page at a time: start, then each call answers the next
    // rows (at least `pageSize` of them while any remain; none at the end).
    std::optional<PGHChatListing> startListing(qint64 folderId, const PGHListQuery &query);
    std::optional<QList<PGHChat>> nextPage(PGHChatListing &listing, int pageSize);
    // Whether the listing holds the log, read or not.
    bool lists(PGHChatListing &listing, qint64 id);
    std::optional<PGHChat> chat(qint64 id);
    // Files the record into every chat folder named "chatbox"; answers the new
    // logs' ids, nothing on an error.
    std::optional<QList<qint64>> file(const QVariantMap &record);
    // The same body search by scanning every log, for comparison.
    std::optional<QList<qint64>> scanBodies(qint64 folderId, const QString &text);

private:
    // The ids of the window the listing's search keeps, in window order.
    std::optional<QList<qint64>> keep(PGHChatListing &listing, const QList<qint64> &window);
    // The ids from `least` to `most` whose bodies hold the listing's text, by
    // the indexes.
    std::optional<QSet<qint64>> indexMatches(PGHChatListing &listing, qint64 least, qint64 most);
    // The listed columns of the logs, in the order of the ids (gone ones left out).
    std::optional<QList<PGHChat>> rows(const QList<qint64> &ids);
};

} // namespace pigeonhole
