#include "PGHChatTreeDataSource.h"

#include "PGHChatTable.h"
#include "PGHMessageStore.h"
#include "PGHReadPayload.h"

#include "Log.h"
#include "Utils/KCUtilities.h"

namespace pigeonhole {

using parley::KCLocalizedString;

PGHChatTreeDataSource::PGHChatTreeDataSource(PGHStoreController &stores, QUndoStack &undo, QObject *parent)
    : PGHBoxDataSource(PGHBox::Chat, stores, undo,
                       PGHSortFlags({{"chatUser", true}, {"bodyData", true}, {"date", false}, {"size", true}},
                                    QStringLiteral("date")),
                       QStringLiteral("contents"), QLatin1String(PGHChatListModel::kDragType), parent)
{
    mList.setDragHandler([this](const QList<int> &rows) { dragStarted(rows); });
}

QStringList PGHChatTreeDataSource::searchTemplates() const { return {"contents", "chatuser"}; }

QList<PGHTreeNode> PGHChatTreeDataSource::buildTree(const QList<PGHFolder> &folders) const
{
    // One root entry, the lowest serial number ("chatbox"), holding the rest.
    if (folders.isEmpty())
        return {};
    const auto nodeOf = [](const PGHFolder &folder) {
        const QString label = folder.snValue() <= 2 ? KCLocalizedString(folder.folderName) : folder.folderName;
        return PGHTreeNode{PGHTreeNode::Kind::Folder, folder, label, QStringLiteral("chatBox"), {}};
    };
    PGHTreeNode root = nodeOf(folders.first());
    for (qsizetype i = 1; i < folders.size(); ++i)
        root.children << nodeOf(folders.at(i));
    return {root};
}

bool PGHChatTreeDataSource::fetchList(PGHMessageStore &store, const PGHFolder &folder, const PGHListQuery &query)
{
    const std::optional<QList<PGHChat>> chats = store.chats().list(folder.id, query);
    mList.setRows(chats.value_or(QList<PGHChat>()));
    return chats.has_value();
}

void PGHChatTreeDataSource::clearList() { mList.setRows({}); }

QString PGHChatTreeDataSource::searchKeyFor(const QString &templateKey) const
{
    return templateKey == QLatin1String("contents") ? QStringLiteral("bodyData") : QStringLiteral("chatUser");
}

qint64 PGHChatTreeDataSource::idOfRow(int row) const { return mList.rows().at(row).id; }

void PGHChatTreeDataSource::folderSelected()
{
    clearDetail();
    // Listed by date at once. The tree stays as it is: this runs while the
    // outline reports the user's click.
    queryMessageForKeyword(false, QStringLiteral("date"), false);
}

void PGHChatTreeDataSource::rowsSelected(int current)
{
    PGHMessageStore *s = store();
    if (!s || current < 0 || current >= mList.rows().size())
        return;
    if (const std::optional<PGHChat> chat = s->chats().chat(mList.rows().at(current).id)) {
        mShownId = chat->id;
        Q_EMIT chatShown(*chat);
    }
}

void PGHChatTreeDataSource::clearDetail()
{
    mShownId = 0;
    Q_EMIT chatShown(PGHChat());
}

std::optional<PGHExportText> PGHChatTreeDataSource::exportSelection()
{
    PGHMessageStore *s = mSelectedRows.isEmpty() ? nullptr : store();
    if (!s)
        return std::nullopt;
    const std::optional<PGHChat> chat = s->chats().chat(mList.rows().at(mSelectedRows.first()).id);
    if (!chat)
        return std::nullopt;
    return PGHExportText{QString(), chat->bodyData};
}

void PGHChatTreeDataSource::tableDoubleClickAction()
{
    PGHMessageStore *s = mSelectedRows.isEmpty() ? nullptr : store();
    if (!s)
        return;
    if (const std::optional<PGHChat> chat = s->chats().chat(mList.rows().at(mSelectedRows.first()).id))
        Q_EMIT readRequested(PGHReadPayload::of(*chat));
}

void PGHChatTreeDataSource::insertMessage(const QVariantMap &record)
{
    PGHMessageStore *s = store();
    if (!s) {
        reportError(QStringLiteral("a chat log could not be filed"));
        return;
    }
    const std::optional<QList<qint64>> filed = s->chats().file(record);
    if (!filed || filed->isEmpty())
        parley::plLog(QStringLiteral("Pigeonhole: a chat record was not filed"));
    refrash();
    queryMessageForKeyword(false, QStringLiteral("date"), false);
}

void PGHChatTreeDataSource::lastChatForUserID(const QString &userID)
{
    const bool oldestFirst = mSort.ascending(QStringLiteral("date"));
    mSearchText = userID;
    Q_EMIT searchTextReset(mSearchText);
    mTemplate = QStringLiteral("chatuser");
    queryMessageForKeyword(true, QStringLiteral("date"), oldestFirst);
}

} // namespace pigeonhole
