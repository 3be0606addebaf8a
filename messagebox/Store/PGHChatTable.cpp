#include "PGHChatTable.h"

#include "PGHMessageStore.h"
#include "PGHTransaction.h"

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

std::optional<QList<PGHChat>> PGHChatTable::list(qint64 folderId, const PGHListQuery &query)
{
    QString sortKey = isSortKey(query.sortKey) ? query.sortKey : QStringLiteral("date");
    // The column shows a log's title: it sorts by what it shows.
    if (sortKey == QLatin1String("bodyData"))
        sortKey = QStringLiteral("title");
    const QString direction = query.ascending ? QStringLiteral("ASC") : QStringLiteral("DESC");
    const bool searching = !query.searchText.isEmpty() && isSearchKey(query.searchKey);
    QString filter;
    QString bound = query.searchText;
    if (searching && query.searchKey == QLatin1String("chatUser")) {
        filter = QStringLiteral(" AND (instr(chatUser, ?2) > 0 OR instr(chatUserID, ?2) > 0)");
    } else if (searching && usesBodyIndex(query.searchText)) {
        filter = QStringLiteral(" AND id IN (SELECT rowid FROM ChatBodyIndex WHERE ChatBodyIndex MATCH ?2)");
        bound = phraseOf(query.searchText);
    } else if (searching) {
        filter = QStringLiteral(" AND instr(bodyData, ?2) > 0");
    }
    PGHSqliteStatement select = mStore.database().prepare(
        QStringLiteral("SELECT %1 FROM ChatContext WHERE chatFolder = ?1%2 ORDER BY %3 %4, id %4")
            .arg(QLatin1String(kListColumns), filter, sortKey, direction));
    select.bind(1, folderId);
    if (searching)
        select.bind(2, bound);
    QList<PGHChat> chats;
    while (select.next())
        chats << chatFrom(select, false);
    if (select.failed())
        return std::nullopt;
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
