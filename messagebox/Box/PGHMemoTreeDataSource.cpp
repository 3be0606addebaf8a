#include "PGHMemoTreeDataSource.h"

#include "PGHExportFileName.h"
#include "PGHMarkMemosCommand.h"
#include "PGHMemoTable.h"
#include "PGHMessageStore.h"
#include "PGHReadPayload.h"
#include "PGHStoreController.h"

#include "Log.h"
#include "Utils/KCUtilities.h"

#include <QUndoStack>

namespace pigeonhole {

using parley::KCLocalizedString;

namespace {

// Only the built-in folders have names of ours to translate: a user's folder
// shows its name as typed, even when it spells a string key.
QString labelOf(const PGHFolder &folder)
{
    return folder.snValue() <= 2 ? KCLocalizedString(folder.folderName) : folder.folderName;
}

} // namespace

PGHMemoTreeDataSource::PGHMemoTreeDataSource(PGHStoreController &stores, QUndoStack &undo, QObject *parent)
    : PGHBoxDataSource(PGHBox::Memo, stores, undo,
                       PGHSortFlags({{"user", true}, {"subject", true}, {"date", false}, {"size", true}},
                                    QStringLiteral("date")),
                       QStringLiteral("subject"), QLatin1String(PGHMemoListModel::kDragType), parent)
{
    mList.setDragHandler([this](const QList<int> &rows) { dragStarted(rows); });
    mList.setFetcher([this] { fetchPage(); });
}

QStringList PGHMemoTreeDataSource::searchTemplates() const { return {"subject", "suser", "ruser"}; }

QList<PGHTreeNode> PGHMemoTreeDataSource::buildTree(const QList<PGHFolder> &folders) const
{
    std::optional<PGHTreeNode> inbox;
    std::optional<PGHTreeNode> outbox;
    PGHTreeNode group{PGHTreeNode::Kind::Group, {}, KCLocalizedString(QStringLiteral("privatebox")),
                      QStringLiteral("pMemoBox"), {}};
    for (const PGHFolder &folder : folders) { // in serial-number order
        PGHTreeNode node{PGHTreeNode::Kind::Folder, folder, labelOf(folder), QStringLiteral("pMemoBox"), {}};
        if (folder.snValue() == 0 && folder.folderName == QLatin1String("inbox")) {
            node.imageName = QStringLiteral("rMemoBox");
            inbox = node;
        } else if (folder.snValue() == 1 && folder.folderName == QLatin1String("outbox")) {
            node.imageName = QStringLiteral("sMemoBox");
            outbox = node;
        } else {
            group.children << node;
        }
    }
    QList<PGHTreeNode> nodes;
    if (inbox)
        nodes << *inbox;
    if (outbox)
        nodes << *outbox;
    nodes << group;
    return nodes;
}

bool PGHMemoTreeDataSource::outboxSelected() const
{
    const std::optional<PGHFolder> folder = selectedFolder();
    return folder && folder->snValue() == 1;
}

bool PGHMemoTreeDataSource::fetchList(PGHMessageStore &store, const PGHFolder &folder, const PGHListQuery &query)
{
    // The first page now, the rest as the view scrolls to it.
    mListFolder = folder.id;
    mListQuery = query;
    const std::optional<QList<PGHMemo>> memos = store.memos().list(folder.id, query, 0, kPageSize);
    mList.setRows(memos.value_or(QList<PGHMemo>()), folder.snValue() == 1, memos && memos->size() == kPageSize);
    return memos.has_value();
}

void PGHMemoTreeDataSource::fetchPage()
{
    PGHMessageStore *s = store();
    const std::optional<QList<PGHMemo>> memos =
        s ? s->memos().list(mListFolder, mListQuery, mList.rowCount(), kPageSize) : std::nullopt;
    if (!memos)
        reportError(QStringLiteral("cannot list the folder"));
    mList.appendRows(memos.value_or(QList<PGHMemo>()), memos && memos->size() == kPageSize);
}

bool PGHMemoTreeDataSource::isListed(qint64 id) const
{
    if (PGHBoxDataSource::isListed(id))
        return true;
    PGHMessageStore *s = mList.hasMore() ? mStores.store() : nullptr;
    return s && s->memos().lists(mListFolder, mListQuery, id);
}

std::optional<QList<qint64>> PGHMemoTreeDataSource::listedIds() const
{
    if (!mList.hasMore())
        return PGHBoxDataSource::listedIds();
    PGHMessageStore *s = mStores.store();
    return s ? s->memos().ids(mListFolder, mListQuery) : std::nullopt;
}

void PGHMemoTreeDataSource::clearList() { mList.setRows({}, outboxSelected()); }

QString PGHMemoTreeDataSource::searchKeyFor(const QString &templateKey) const
{
    if (templateKey == QLatin1String("suser") || templateKey == QLatin1String("ruser"))
        return templateKey;
    return QStringLiteral("subject");
}

QString PGHMemoTreeDataSource::sortKeyFor(const QString &column) const
{
    if (column == QLatin1String("user"))
        return outboxSelected() ? QStringLiteral("ruser") : QStringLiteral("suser");
    return column;
}

qint64 PGHMemoTreeDataSource::idOfRow(int row) const { return mList.rows().at(row).id; }

PGHMenuContext PGHMemoTreeDataSource::menuContext() const
{
    PGHMenuContext context = PGHBoxDataSource::menuContext();
    for (const PGHMemo &memo : selectMessage())
        context.selectedUnread << memo.unread;
    return context;
}

QList<PGHMemo> PGHMemoTreeDataSource::selectMessage() const
{
    QList<PGHMemo> memos;
    for (int row : mSelectedRows)
        if (row < mList.rows().size())
            memos << mList.rows().at(row);
    return memos;
}

void PGHMemoTreeDataSource::folderSelected()
{
    clearDetail();
    // Listed by date at once, in its stored direction, as the highlighted
    // column shows.
    queryMessageForKeyword(false, QStringLiteral("date"), false);
}

void PGHMemoTreeDataSource::rowsSelected(int current)
{
    if (current < 0 || current >= mList.rows().size())
        return;
    const PGHMemo listed = mList.rows().at(current);
    PGHMessageStore *s = store();
    if (!s)
        return;
    // While the store is only read the memo stays unread.
    if (listed.unread > 0 && !isReadOnly()) {
        // Reading is no edit of the user's: not a step of the undo history.
        if (s->memos().setUnread({listed.id}, 0)) {
            mList.setUnread({{listed.id, 0}});
            unReadMessageCount();
        } else {
            reportError(QStringLiteral("cannot mark the memo read"));
        }
    }
    if (const std::optional<PGHMemo> memo = s->memos().memo(listed.id)) {
        mShownId = memo->id;
        Q_EMIT messageShown(*memo);
    }
}

void PGHMemoTreeDataSource::clearDetail()
{
    mShownId = 0;
    Q_EMIT messageShown(PGHMemo());
}

int PGHMemoTreeDataSource::unReadMessageCount()
{
    PGHMessageStore *s = store();
    const std::optional<int> count = s ? s->memos().unreadCount() : std::nullopt;
    if (!count) {
        reportError(QStringLiteral("cannot count the unread memos"));
        return 0;
    }
    Q_EMIT unreadCountChanged(*count);
    return *count;
}

void PGHMemoTreeDataSource::messageStatus(int unread)
{
    const QList<qint64> ids = idsOfRows(mSelectedRows);
    if (ids.isEmpty() || isReadOnly())
        return;
    mUndo.push(new PGHMarkMemosCommand(*this, ids, unread));
}

void PGHMemoTreeDataSource::marksChanged(const QHash<qint64, int> &unreadById)
{
    mList.setUnread(unreadById);
    unReadMessageCount();
}

void PGHMemoTreeDataSource::editApplied()
{
    refrash();
    unReadMessageCount();
}

std::optional<PGHExportText> PGHMemoTreeDataSource::exportSelection()
{
    const QList<PGHMemo> selected = selectMessage();
    PGHMessageStore *s = selected.isEmpty() ? nullptr : store();
    if (!s)
        return std::nullopt;
    const std::optional<PGHMemo> memo = s->memos().memo(selected.first().id);
    if (!memo)
        return std::nullopt;
    return PGHExportText{PGHExportFileName::fromSubject(memo->subject), memo->bodyData};
}

void PGHMemoTreeDataSource::tableDoubleClickAction()
{
    const QList<PGHMemo> selected = selectMessage();
    PGHMessageStore *s = selected.isEmpty() ? nullptr : store();
    if (!s) {
        Q_EMIT readRequested(QVariantMap()); // nothing selected: an empty payload
        return;
    }
    if (const std::optional<PGHMemo> memo = s->memos().memo(selected.first().id))
        Q_EMIT readRequested(PGHReadPayload::of(*memo));
}

void PGHMemoTreeDataSource::insertMessage(const QVariantMap &record)
{
    PGHMessageStore *s = store();
    if (!s) {
        reportError(QStringLiteral("a memo could not be filed"));
        return;
    }
    const PGHMemoFiling filing = s->memos().file(record);
    if (!filing.ok)
        parley::plLog(QStringLiteral("Pigeonhole: a memo record was not filed: %1").arg(filing.error));
    refrash();
    unReadMessageCount();
    queryMessageForKeyword(false, QStringLiteral("date"), false);
}

} // namespace pigeonhole
