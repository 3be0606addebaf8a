#include "PGHChatTable.h"

#include "PGHMessageStore.h"
#include "PGHTransaction.h"

#include <algorithm>
#include <limits>

namespace pigeonhole {

namespace {

constexpr char kListColumns[] = "id, mid, chatUser, chatUserID, date, size, chatFolder, title";

PGHChat chatFrom(const PGHSqliteStatement &row, bool withBody)
{
    PGHChat chat;
    chat.id = row.int64(0);
    chat.mid = row.text(1);
    chat.chatUser = row.text(2);
    chat.chatUserID = row.text(3);
    if (!row.isNull(4))
        chat.date = QDateTime::fromMSecsSinceEpoch(row.int64(4), Qt::UTC);
    chat.size = row.value(5);
    chat.chatFolder = row.int64(6);
    chat.title = row.text(7);
    if (withBody)
        chat.bodyData = row.text(8);
    return chat;
}

// An FTS5 phrase matching the text as it stands: inside double quotes only a
// double quote is special, and it is doubled.
QString phraseOf(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

PGHChatTable::PGHChatTable(PGHMessageStore &store)
    : PGHMessageTable(store, PGHBox::Chat)
{
}

bool PGHChatTable::isSortKey(const QString &key)
{
    static const QStringList keys{"chatUser", "bodyData", "date", "size"};
    return keys.contains(key);
}

bool PGHChatTable::isSearchKey(const QString &key)
{
    static const QStringList keys{"chatUser", "bodyData"};
    return keys.contains(key);
}

bool PGHChatTable::usesBodyIndex(const QString &text)
{
    return text.toUcs4().size() >= 3;
}

namespace {

// How a list is sorted: the sort key and direction as SQL.
QString orderOf(const PGHListQuery &query)
{
    QString sortKey = PGHChatTable::isSortKey(query.sortKey) ? query.sortKey : QStringLiteral("date");
    // The column shows a log's title: it sorts by what it shows.
    if (sortKey == QLatin1String("bodyData"))
        sortKey = QStringLiteral("title");
    const QString direction = query.ascending ? QStringLiteral("ASC") : QStringLiteral("DESC");
    return QStringLiteral("%1 %2, id %2").arg(sortKey, direction);
}

enum class Search { None, Partner, BodyIndex, BodyPair, BodyScan };

Search searchOf(const PGHListQuery &query)
{
    if (query.searchText.isEmpty() || !PGHChatTable::isSearchKey(query.searchKey))
        return Search::None;
    if (query.searchKey == QLatin1String("chatUser"))
        return Search::Partner;
    if (PGHChatTable::usesBodyIndex(query.searchText))
        return Search::BodyIndex;
    return query.searchText.toUcs4().size() == 2 ? Search::BodyPair : Search::BodyScan;
}

// A window whose ids spread over more than this many times its size is
// searched against the index's whole answer instead of a range of it.
constexpr qint64 kWideSpread = 16;
// The largest window one step of a listing searches.
constexpr qsizetype kLargestWindow = 8192;
// A pair search scans its first window up to this size: a common pair fills
// the first screen from it before the index is asked which trigrams hold it.
constexpr qsizetype kScannedWindow = 512;

} // namespace

std::optional<QList<PGHChat>> PGHChatTable::list(qint64 folderId, const PGHListQuery &query)
{
    std::optional<PGHChatListing> listing = startListing(folderId, query);
    if (!listing)
        return std::nullopt;
    return nextPage(*listing, int(std::min<qsizetype>(listing->order.size(), std::numeric_limits<int>::max())));
}
std::optional<PGHChatListing> PGHChatTable::startListing(qint64 folderId, const PGHListQuery &query)
{
    // In list order from the folder index (by date) or the short columns:
    // no body is read.
    PGHSqliteStatement select = mStore.database().prepare(
        QStringLiteral("SELECT id FROM ChatContext WHERE chatFolder = ?1 ORDER BY %1").arg(orderOf(query)));
    select.bind(1, folderId);
    PGHChatListing listing;
    listing.folderId = folderId;
    listing.query = query;
    while (select.next())
        listing.order << select.int64(0);
    if (select.failed())
        return std::nullopt;
    return listing;
}

std::optional<QList<PGHChat>> PGHChatTable::nextPage(PGHChatListing &listing, int pageSize)
{
    QList<qint64> kept;
    // Windows grow as they go, so that a rare text is searched in a few
    // steps and a common one stops soon after the page is full.
    qsizetype window = std::max(pageSize, 1);
    while (kept.size() < pageSize && !listing.atEnd()) {
        const QList<qint64> ids = listing.order.mid(listing.next, window);
        const std::optional<QList<qint64>> found = keep(listing, ids);
        if (!found)
            return std::nullopt;
        listing.next += ids.size();
        kept << *found;
        window = std::min(window * 2, kLargestWindow);
    }
    return rows(kept);
}

bool PGHChatTable::lists(PGHChatListing &listing, qint64 id)
{
    if (!listing.order.contains(id))
        return false;
    const std::optional<QList<qint64>> found = keep(listing, {id});
    return found && !found->isEmpty();
}

std::optional<QList<qint64>> PGHChatTable::keep(PGHChatListing &listing, const QList<qint64> &window)
{
    Search search = searchOf(listing.query);
    if (search == Search::None || window.isEmpty())
        return window;
    if (search == Search::BodyPair && listing.next == 0 && window.size() <= kScannedWindow)
        search = Search::BodyScan;
    QSet<qint64> matches;
    if (search == Search::BodyIndex || search == Search::BodyPair) {
        const auto [least, most] = std::minmax_element(window.cbegin(), window.cend());
        if (*most - *least >= kWideSpread * window.size() && !listing.everyMatch) {
            listing.everyMatch =
                indexMatches(listing, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
            if (!listing.everyMatch)
                return std::nullopt;
        }
        if (listing.everyMatch) {
            matches = *listing.everyMatch;
        } else if (const std::optional<QSet<qint64>> ranged = indexMatches(listing, *least, *most)) {
            matches = *ranged;
        } else {
            return std::nullopt;
        }
    } else {
        const QString condition = search == Search::Partner
                                      ? QStringLiteral("instr(chatUser, ?2) > 0 OR instr(chatUserID, ?2) > 0")
                                      : QStringLiteral("instr(bodyData, ?2) > 0");
        PGHSqliteStatement select = mStore.database().prepare(
            QStringLiteral("SELECT id FROM ChatContext WHERE id IN (SELECT value FROM json_each(?1)) AND (%1)").arg(condition));
        select.bind(1, idList(window)).bind(2, listing.query.searchText);
        while (select.next())
            matches.insert(select.int64(0));
        if (select.failed())
            return std::nullopt;
    }
    QList<qint64> kept;
    for (qint64 id : window)
        if (matches.contains(id))
            kept << id;
    return kept;
}

std::optional<QSet<qint64>> PGHChatTable::indexMatches(PGHChatListing &listing, qint64 least, qint64 most)
{
    PGHSqliteDatabase &db = mStore.database();
    const QString &text = listing.query.searchText;
    // Each read answers ids within ?2..?3; its text is bound as ?1. The index
    // reads only the part of each trigram's list in the range.
    QList<std::pair<QString, QString>> reads;
    const QString fromIndex =
        QStringLiteral("SELECT rowid FROM ChatBodyIndex WHERE ChatBodyIndex MATCH ?1 AND rowid BETWEEN ?2 AND ?3");
    if (searchOf(listing.query) == Search::BodyIndex) {
        reads.append({fromIndex, phraseOf(text)});
    } else {
        // A pair starts one of the trigrams the index holds, or ends the body.
        if (!listing.pairTrigrams) {
            if (!db.exec(QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS temp.ChatBodyTrigrams "
                                        "USING fts5vocab(main, 'ChatBodyIndex', 'row')")))
                return std::nullopt;
            PGHSqliteStatement terms = db.prepare(
                QStringLiteral("SELECT term FROM temp.ChatBodyTrigrams WHERE term >= ?1 AND term <= ?2"));
            // Every trigram that starts with the pair sorts between the pair
            // and the pair followed by the last character there is.
            terms.bind(1, text).bind(2, text + QChar(0xDBFF) + QChar(0xDFFF));
            QStringList phrases;
            while (terms.next())
                phrases << phraseOf(terms.text(0));
            if (terms.failed())
                return std::nullopt;
            listing.pairTrigrams = phrases.join(QLatin1String(" OR "));
        }
        if (!listing.pairTrigrams->isEmpty())
            reads.append({fromIndex, *listing.pairTrigrams});
        reads.append({QStringLiteral("SELECT id FROM ChatContext WHERE substr(bodyData, -2) = ?1 AND id BETWEEN ?2 AND ?3"),
                      text});
    }
    QSet<qint64> matches;
    for (const auto &[sql, bound] : reads) {
        PGHSqliteStatement select = db.prepare(sql);
        select.bind(1, bound).bind(2, least).bind(3, most);
        while (select.next())
            matches.insert(select.int64(0));
        if (select.failed())
            return std::nullopt;
    }
    return matches;
}

std::optional<QList<PGHChat>> PGHChatTable::rows(const QList<qint64> &ids)
{
    if (ids.isEmpty())
        return QList<PGHChat>();
    PGHSqliteStatement select = mStore.database().prepare(
        QStringLiteral("SELECT %1 FROM ChatContext WHERE id IN (SELECT value FROM json_each(?1))").arg(QLatin1String(kListColumns)));
    select.bind(1, idList(ids));
    QHash<qint64, PGHChat> byId;
    while (select.next()) {
        PGHChat chat = chatFrom(select, false);
        byId.insert(chat.id, std::move(chat));
    }
    if (select.failed())
        return std::nullopt;
    QList<PGHChat> chats;
    for (qint64 id : ids)
        if (const auto it = byId.constFind(id); it != byId.constEnd())
            chats << *it;
    return chats;
}

std::optional<PGHChat> PGHChatTable::chat(qint64 id)
{
    PGHSqliteStatement select = mStore.database().prepare(
        QStringLiteral("SELECT %1, bodyData FROM ChatContext WHERE id = ?").arg(QLatin1String(kListColumns)));
    select.bind(1, id);
    if (!select.next())
        return std::nullopt;
    return chatFrom(select, true);
}

std::optional<QList<qint64>> PGHChatTable::file(const QVariantMap &record)
{
    PGHSqliteDatabase &db = mStore.database();
    PGHTransaction transaction(db);
    if (!transaction.isActive())
        return std::nullopt;
    const std::optional<QList<qint64>> inserted = insertCopies(record, QStringLiteral("chatbox"));
    if (!inserted || !transaction.commit())
        return std::nullopt;
    return inserted;
}

std::optional<QList<qint64>> PGHChatTable::scanBodies(qint64 folderId, const QString &text)
{
    PGHSqliteStatement select = mStore.database().prepare(
        QStringLiteral("SELECT id FROM ChatContext WHERE chatFolder = ? AND instr(bodyData, ?) > 0 ORDER BY date DESC, id DESC"));
    select.bind(1, folderId).bind(2, text);
    QList<qint64> ids;
    while (select.next())
        ids << select.int64(0);
    if (select.failed())
        return std::nullopt;
    return ids;
}

} // namespace pigeonhole
