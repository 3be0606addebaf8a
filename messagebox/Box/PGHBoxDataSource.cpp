#include "PGHBoxDataSource.h"

#include "PGHCreateFolderCommand.h"
#include "PGHDeleteFolderCommand.h"
#include "PGHDeleteMessagesCommand.h"
#include "PGHFolderNameRules.h"
#include "PGHFolderTable.h"
#include "PGHMessageStore.h"
#include "PGHMoveMessagesCommand.h"
#include "PGHRenameFolderCommand.h"
#include "PGHStoreController.h"

#include "KCAlertPresenter.h"
#include "Log.h"
#include "Utils/KCUtilities.h"

#include <QMimeData>
#include <QUndoStack>

namespace pigeonhole {

using parley::KCLocalizedString;

PGHBoxDataSource::PGHBoxDataSource(PGHBox box, PGHStoreController &stores, QUndoStack &undo, PGHSortFlags sort,
                                   QString defaultTemplate, QString dragType, QObject *parent)
    : QObject(parent)
    , mBox(box)
    , mStores(stores)
    , mUndo(undo)
    , mTree(dragType)
    , mSort(std::move(sort))
    , mTemplate(std::move(defaultTemplate))
    , mDragType(std::move(dragType))
{
    mTree.setDropHandler([this](const QMimeData *data, const PGHTreeNode &target, bool perform) {
        return perform ? acceptDrop(data, target) : validateDrop(data, target);
    });
}

PGHBoxDataSource::~PGHBoxDataSource() = default;

PGHMessageStore *PGHBoxDataSource::store() { return mStores.store(); }

bool PGHBoxDataSource::isReadOnly() const { return mStores.isUpgrading(); }

void PGHBoxDataSource::reportError(const QString &what)
{
    const QString reason = mStores.lastError().isEmpty() ? what : what + QStringLiteral(": ") + mStores.lastError();
    parley::plLog(QStringLiteral("Pigeonhole: %1").arg(reason));
    Q_EMIT storeError(reason);
}

// --- the tree ---------------------------------------------------------------

void PGHBoxDataSource::reloadTree()
{
    QList<PGHFolder> folders;
    if (PGHMessageStore *s = store()) {
        if (const auto all = s->folders(mBox).all())
            folders = *all;
        else
            reportError(QStringLiteral("cannot read the folders"));
    }
    mTree.setNodes(buildTree(folders));
    // Keep the selection by folder; the first entry when it is gone.
    if (!selectedNode() && mTree.rowCount() > 0) {
        mGroupSelected = false;
        const PGHTreeNode *first = mTree.node(mTree.index(0, 0));
        mSelectedFolderId = first && first->kind == PGHTreeNode::Kind::Folder ? first->folder.id : 0;
        mGroupSelected = first && first->kind == PGHTreeNode::Kind::Group;
    }
    Q_EMIT treeReloaded();
}

QModelIndex PGHBoxDataSource::selectedTreeIndex() const
{
    if (mGroupSelected)
        return mTree.indexOfGroup();
    return mSelectedFolderId ? mTree.indexOfFolder(mSelectedFolderId) : QModelIndex();
}

const PGHTreeNode *PGHBoxDataSource::selectedNode() const { return mTree.node(selectedTreeIndex()); }

std::optional<PGHFolder> PGHBoxDataSource::selectedFolder() const
{
    const PGHTreeNode *node = selectedNode();
    if (!node || node->kind != PGHTreeNode::Kind::Folder)
        return std::nullopt;
    return node->folder;
}

PGHMenuContext PGHBoxDataSource::menuContext() const
{
    PGHMenuContext context;
    context.tab = mBox;
    context.readOnly = isReadOnly();
    const PGHTreeNode *node = selectedNode();
    if (!node)
        context.selected = PGHMenuContext::Selected::Nothing;
    else if (node->kind == PGHTreeNode::Kind::Group)
        context.selected = PGHMenuContext::Selected::Group;
    else {
        context.selected = PGHMenuContext::Selected::Folder;
        context.sn = node->folder.snValue();
    }
    return context;
}

void PGHBoxDataSource::selectNode(const QModelIndex &index)
{
    const PGHTreeNode *node = mTree.node(index);
    mGroupSelected = node && node->kind == PGHTreeNode::Kind::Group;
    mSelectedFolderId = node && node->kind == PGHTreeNode::Kind::Folder ? node->folder.id : 0;
}

void PGHBoxDataSource::selectTreeIndex(const QModelIndex &index)
{
    const PGHTreeNode *node = mTree.node(index);
    if (!node)
        return; // the outline never has an empty selection
    selectNode(index);
    mSearchText.clear();
    Q_EMIT searchTextReset(mSearchText);
    folderSelected();
}

// --- listing ----------------------------------------------------------------

int PGHBoxDataSource::highlightedSection() const { return int(columnIds().indexOf(mSort.highlighted())); }

void PGHBoxDataSource::setSearchText(const QString &text)
{
    const bool emptied = !mSearchText.isEmpty() && text.isEmpty();
    mSearchText = text;
    if (emptied)
        queryMessageForKeyword(false, QString(), false);
}

void PGHBoxDataSource::search() { queryMessageForKeyword(true, QString(), false); }

void PGHBoxDataSource::columnClicked(int section)
{
    const QStringList ids = columnIds();
    if (section < 0 || section >= ids.size())
        return;
    queryMessageForKeyword(!mSearchText.isEmpty(), ids.at(section), true);
}

void PGHBoxDataSource::emptySelection()
{
    mSelectedRows.clear();
    Q_EMIT listReloaded();
}

void PGHBoxDataSource::queryMessageForKeyword(bool withSearch, const QString &column, bool didSort)
{
    const auto [key, ascending] = mSort.resolve(column, didSort);
    Q_EMIT sortChanged(highlightedSection(), ascending);
    clearList();
    const std::optional<PGHFolder> folder = selectedFolder();
    PGHMessageStore *s = folder ? store() : nullptr;
    if (s) {
        PGHListQuery query;
        query.sortKey = sortKeyFor(key);
        query.ascending = ascending;
        if (withSearch && !mSearchText.isEmpty()) {
            query.searchKey = searchKeyFor(mTemplate);
            query.searchText = mSearchText;
        }
        if (!fetchList(*s, *folder, query))
            reportError(QStringLiteral("cannot list the folder"));
    }
    emptySelection();
}

void PGHBoxDataSource::reloadMessages()
{
    clearDetail();
    queryMessageForKeyword(!mSearchText.isEmpty(), QString(), false);
}

void PGHBoxDataSource::refrash()
{
    reloadTree();
    queryMessageForKeyword(false, QStringLiteral("date"), false);
    // The message on show stays while it is listed: an arrival refreshes the
    // box, and the user reading a message should not lose it.
    if (mShownId && !isListed(mShownId))
        clearDetail();
    mSearchText.clear();
    Q_EMIT searchTextReset(mSearchText);
}

bool PGHBoxDataSource::isListed(qint64 id) const
{
    for (int row = 0; row < messageCount(); ++row)
        if (idOfRow(row) == id)
            return true;
    return false;
}

std::optional<QList<qint64>> PGHBoxDataSource::listedIds() const
{
    QList<qint64> ids;
    for (int row = 0; row < messageCount(); ++row)
        ids << idOfRow(row);
    return ids;
}

QList<qint64> PGHBoxDataSource::idsOfRows(const QList<int> &rows) const
{
    QList<qint64> ids;
    for (int row : rows)
        if (row >= 0 && row < messageCount())
            ids << idOfRow(row);
    return ids;
}

void PGHBoxDataSource::setSelectedRows(const QList<int> &rows, int current)
{
    mSelectedRows.clear();
    for (int row : rows)
        if (row >= 0 && row < messageCount() && !mSelectedRows.contains(row))
            mSelectedRows << row;
    std::sort(mSelectedRows.begin(), mSelectedRows.end());
    if (mSelectedRows.isEmpty()) {
        clearDetail();
        return;
    }
    rowsSelected(mSelectedRows.contains(current) ? current : mSelectedRows.first());
}

void PGHBoxDataSource::storeChanged()
{
    mUndo.clear();
    // Ids of another file name other messages.
    clearDetail();
    mSelectedFolderId = 0;
    mGroupSelected = false;
    mSort.reset();
    refrash();
}

// --- edits ------------------------------------------------------------------

bool PGHBoxDataSource::confirm(const QString &messageKey)
{
    KCAlertRequest request;
    request.key = messageKey;
    request.title = KCLocalizedString(QStringLiteral("Pigeonhole"));
    request.message = KCLocalizedString(messageKey);
    request.buttons = {KCLocalizedString(QStringLiteral("ok")), KCLocalizedString(QStringLiteral("cancel"))};
    request.style = KCAlertRequest::Style::Warning;
    request.parent = mAlertParent;
    return KCAlerts().ask(request).button == 0;
}

// The rows an edit acts on are taken when the user asks: the question runs
// the event loop, and an arrival meanwhile lists the folder again.
void PGHBoxDataSource::deleteMessage()
{
    const QList<qint64> ids = idsOfRows(mSelectedRows);
    if (ids.isEmpty() || isReadOnly() || !confirm(deleteMessageKey()) || isReadOnly())
        return;
    mUndo.push(new PGHDeleteMessagesCommand(*this, ids, KCLocalizedString(QStringLiteral("editDelete"))));
}

void PGHBoxDataSource::deleteMessageBox()
{
    const std::optional<PGHFolder> folder = selectedFolder();
    if (!folder || isReadOnly() || !confirm(deleteFolderKey()))
        return;
    // The built-in folders stay, even after the user confirmed (the store
    // may have become read-only meanwhile too).
    if (!canDeleteFolder(*folder) || isReadOnly())
        return;
    mUndo.push(new PGHDeleteFolderCommand(*this, folder->id));
}

void PGHBoxDataSource::clearMessageBox()
{
    if (isReadOnly())
        return;
    // Every listed message: the search's result while a search is active.
    const std::optional<QList<qint64>> listed = listedIds();
    if (!listed) {
        reportError(QStringLiteral("cannot list the folder"));
        return;
    }
    const QList<qint64> ids = *listed;
    if (ids.isEmpty() || !confirm(clearKey()) || isReadOnly())
        return;
    mUndo.push(new PGHDeleteMessagesCommand(*this, ids, KCLocalizedString(QStringLiteral("editClear"))));
}

namespace {

void showFolderNameError(QWidget *parent)
{
    KCAlertRequest request;
    request.key = QStringLiteral("folderNameError");
    request.title = KCLocalizedString(QStringLiteral("Pigeonhole"));
    request.message = KCLocalizedString(QStringLiteral("folderNameError"));
    request.buttons = {KCLocalizedString(QStringLiteral("ok"))};
    request.style = KCAlertRequest::Style::Warning;
    request.parent = parent;
    KCAlerts().ask(request);
}

} // namespace

bool PGHBoxDataSource::createFolder(const QString &typed)
{
    if (isReadOnly())
        return false;
    const PGHFolderNameCheck check = PGHFolderNameRules::forCreate(mBox, typed);
    if (!check.ok) {
        showFolderNameError(mAlertParent);
        return false;
    }
    auto *command = new PGHCreateFolderCommand(*this, check.name);
    mUndo.push(command);
    return true;
}

bool PGHBoxDataSource::canRenameSelected() const
{
    return PGHMenuValidation::validate(PGHMenuAction::RenameFolder, menuContext()).enabled;
}

bool PGHBoxDataSource::renameSelectedFolder(const QString &typed)
{
    const std::optional<PGHFolder> folder = selectedFolder();
    if (!folder || !canRenameSelected() || isReadOnly())
        return false;
    const PGHFolderNameCheck check = PGHFolderNameRules::forRename(mBox, typed, folder->folderName);
    if (!check.ok) {
        showFolderNameError(mAlertParent);
        return false;
    }
    if (check.name != folder->folderName)
        mUndo.push(new PGHRenameFolderCommand(*this, folder->id, folder->folderName, check.name));
    return true;
}

// --- drag and drop ----------------------------------------------------------

void PGHBoxDataSource::dragStarted(const QList<int> &rows) { mDragIds = idsOfRows(rows); }

bool PGHBoxDataSource::validateDrop(const QMimeData *data, const PGHTreeNode &target) const
{
    return data && data->hasFormat(mDragType) && target.kind == PGHTreeNode::Kind::Folder && canDropOn(target.folder)
           && !isReadOnly();
}

bool PGHBoxDataSource::acceptDrop(const QMimeData *data, const PGHTreeNode &target)
{
    if (!validateDrop(data, target) || mDragIds.isEmpty())
        return false;
    // The dragged messages are the ones this box recorded, not the payload.
    mUndo.push(new PGHMoveMessagesCommand(*this, mDragIds, target.folder.id));
    mDragIds.clear();
    return true;
}

} // namespace pigeonhole
