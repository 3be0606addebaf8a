#include "PGHChatTable.h"

#include "PGHMessageStore.h"
#include "PGHTransaction.h"

#include <algorithm>

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

enum class Search { None, Partner, BodyIndex, BodyScan };

Search searchOf(const PGHListQuery &query)
{
    if (query.searchText.isEmpty() || !PGHChatTable::isSearchKey(query.searchKey))
        return Search::None;
    if (query.searchKey == QLatin1String("chatUser"))
        return Search::Partner;
    return PGHChatTable::usesBodyIndex(query.searchText) ? Search::BodyIndex : Search::BodyScan;
}

// The condition a search adds to a query of ChatContext, its text bound as ?2.
QString conditionOf(Search search)
{
    switch (search) {
    case Search::None: return {};
    case Search::Partner: return QStringLiteral(" AND (instr(chatUser, ?2) > 0 OR instr(chatUserID, ?2) > 0)");
    case Search::BodyIndex:
        return QStringLiteral(" AND id IN (SELECT rowid FROM ChatBodyIndex WHERE ChatBodyIndex MATCH ?2)");
    case Search::BodyScan: return QStringLiteral(" AND instr(bodyData, ?2) > 0");
    }
    return {};
}

QString boundTextOf(Search search, const QString &text)
{
    return search == Search::BodyIndex ? phraseOf(text) : text;
}

// A window whose ids spread over more than this many times its size is
// searched against the index's whole answer instead of a range of it.
constexpr qint64 kWideSpread = 16;
// The largest window one step of a listing searches.
constexpr qsizetype kLargestWindow = 8192;

} // namespace

std::optional<QList<PGHChat>> PGHChatTable::list(qint64 folderId, const PGHListQuery &query)
{
    const Search search = searchOf(query);
    PGHSqliteStatement select = mStore.database().prepare(
        QStringLiteral("SELECT %1 FROM ChatContext WHERE chatFolder = ?1%2 ORDER BY %3")
            .arg(QLatin1String(kListColumns), conditionOf(search), orderOf(query)));
    select.bind(1, folderId);
    if (search != Search::None)
        select.bind(2, boundTextOf(search, query.searchText));
    QList<PGHChat> chats;
    while (select.next())
        chats << chatFrom(select, false);
    if (select.failed())
        return std::nullopt;
    return chats;
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
    const Search search = searchOf(listing.query);
    if (search == Search::None || window.isEmpty())
        return window;
    PGHSqliteDatabase &db = mStore.database();
    const QString text = boundTextOf(search, listing.query.searchText);
    QSet<qint64> matches;
    if (search == Search::BodyIndex) {
        const auto [least, most] = std::minmax_element(window.cbegin(), window.cend());
        const bool wide = *most - *least >= kWideSpread * window.size();
        if (wide && !listing.everyMatch) {
            PGHSqliteStatement all =
                db.prepare(QStringLiteral("SELECT rowid FROM ChatBodyIndex WHERE ChatBodyIndex MATCH ?1"));
            all.bind(1, text);
            QSet<qint64> every;
            while (all.next())
                every.insert(all.int64(0));
            if (all.failed())
                return std::nullopt;
            listing.everyMatch = std::move(every);
        }
        if (listing.everyMatch) {
            matches = *listing.everyMatch;
        } else {
            // The index reads only the part of each trigram's list in the range.
            PGHSqliteStatement ranged = db.prepare(QStringLiteral(
                "SELECT rowid FROM ChatBodyIndex WHERE ChatBodyIndex MATCH ?1 AND rowid BETWEEN ?2 AND ?3"));
            ranged.bind(1, text).bind(2, *least).bind(3, *most);
            while (ranged.next())
                matches.insert(ranged.int64(0));
            if (ranged.failed())
                return std::nullopt;
        }
    } else {
        PGHSqliteStatement select = db.prepare(
            QStringLiteral("SELECT id FROM ChatContext WHERE id IN (SELECT value FROM json_each(?1))%1").arg(conditionOf(search)));
        select.bind(1, idList(window)).bind(2, text);
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
