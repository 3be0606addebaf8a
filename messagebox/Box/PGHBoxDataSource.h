#pragma once

// What the memo box and the chat box share: the folder outline and its
// selection, the listed messages with their sort flags and search template,
// the selected rows, and the user's edits (each confirmed through the alert
// interface and done as a step of the undo history). The two boxes differ in
// their tree, their list, their search fields and their detail pane.
// Widget-free: the window binds its views to the models and signals.

#include "PGHFolderTreeModel.h"
#include "PGHMenuValidation.h"
#include "PGHSortFlags.h"
#include "PGHStoreRecords.h"

#include <QObject>
#include <QPointer>

#include <optional>

class QAbstractItemModel;
class QMimeData;
class QUndoStack;
class QWidget;

namespace pigeonhole {

class PGHMessageStore;
class PGHStoreController;

// A text an export writes and the file name it proposes.
struct PGHExportText {
    QString proposedName;
    QString text;
};

class PGHBoxDataSource : public QObject
{
    Q_OBJECT

public:
    ~PGHBoxDataSource() override;

    PGHBox box() const { return mBox; }
    PGHFolderTreeModel *folderModel() { return &mTree; }
    virtual QAbstractItemModel *listModel() = 0;
    // The window the confirmations are sheets of.
    void setAlertParent(QWidget *parent) { mAlertParent = parent; }
    // The open store, or nullptr (the error was reported).
    PGHMessageStore *store();
    QUndoStack &undoStack() { return mUndo; }
    // Whether the store may only be read now (it is being brought up to
    // date): the edits below do nothing then.
    bool isReadOnly() const;

    // The folder tree: rebuilt from the store, the selection kept by folder
    // (the first entry when it is gone).
    void reloadTree();
    // The user selected an outline item.
    void selectTreeIndex(const QModelIndex &index);
    QModelIndex selectedTreeIndex() const;
    const PGHTreeNode *selectedNode() const;
    std::optional<PGHFolder> selectedFolder() const;
    virtual PGHMenuContext menuContext() const;

    // Searching and sorting.
    const QString &searchTemplate() const { return mTemplate; }
    void setSearchTemplate(const QString &templateKey) { mTemplate = templateKey; }
    virtual QStringList searchTemplates() const = 0;
    const QString &searchText() const { return mSearchText; }
    // The search field's text changed; an empty text lists the whole folder.
    void setSearchText(const QString &text);
    // The search action: the list keeps the messages containing the text.
    void search();
    // A click on a column header.
    void columnClicked(int section);
    // Lists the selected folder, sorted by `column` (or the highlighted
    // column), filtered by the search text when `withSearch`.
    void queryMessageForKeyword(bool withSearch, const QString &column, bool didSort);
    const PGHSortFlags &sortFlags() const { return mSort; }
    int highlightedSection() const;
    // Rebuilds the tree, lists the folder by date, empties the search field;
    // the detail pane keeps its message while it is listed.
    void refrash();
    // Lists the selected folder again in the current order and search.
    void reloadMessages();

    // The rows selected in the table.
    void setSelectedRows(const QList<int> &rows, int current = -1);
    const QList<int> &selectedRows() const { return mSelectedRows; }
    virtual int messageCount() const = 0;

    // Edits, each asked first.
    void deleteMessage();
    void deleteMessageBox();
    void clearMessageBox();
    // The folder sheets' results: false (after the error panel) when refused.
    bool createFolder(const QString &typed);
    bool canRenameSelected() const;
    bool renameSelectedFolder(const QString &typed);

    // The selected message's text and proposed file name, when one is selected.
    virtual std::optional<PGHExportText> exportSelection() = 0;
    // Posts the first selected message for reading.
    virtual void tableDoubleClickAction() = 0;

    // Drags and drops.
    void dragStarted(const QList<int> &rows);
    bool validateDrop(const QMimeData *data, const PGHTreeNode &target) const;
    bool acceptDrop(const QMimeData *data, const PGHTreeNode &target);

    // Another store is open: everything is read again and the inbox or the
    // chatbox selected.
    void storeChanged();
    // A store operation failed: logged and told to the window.
    void reportError(const QString &what);
    // A step of the undo history changed the store: the box reads it again.
    virtual void editApplied() { refrash(); }

Q_SIGNALS:
    // The list changed; every row is deselected.
    void listReloaded();
    // The tree was rebuilt: the outline expands it and selects selectedTreeIndex().
    void treeReloaded();
    // The search field shows this text (emptied by a refresh or a folder change).
    void searchTextReset(const QString &text);
    // The highlighted column or its direction changed.
    void sortChanged(int section, bool ascending);
    void readRequested(const QVariantMap &payload);
    void storeError(const QString &reason);

protected:
    PGHBoxDataSource(PGHBox box, PGHStoreController &stores, QUndoStack &undo, PGHSortFlags sort,
                     QString defaultTemplate, QString dragType, QObject *parent);

    virtual QList<PGHTreeNode> buildTree(const QList<PGHFolder> &folders) const = 0;
    // Fills the list from the store; false on an error.
    virtual bool fetchList(PGHMessageStore &store, const PGHFolder &folder, const PGHListQuery &query) = 0;
    virtual void clearList() = 0;
    // The attribute a template searches.
    virtual QString searchKeyFor(const QString &templateKey) const = 0;
    // The attribute a column sorts by.
    virtual QString sortKeyFor(const QString &column) const { return column; }
    virtual QStringList columnIds() const = 0;
    // The store id of a listed row (0 <= row < messageCount()).
    virtual qint64 idOfRow(int row) const = 0;
    QList<qint64> idsOfRows(const QList<int> &rows) const;
    // Whether the list holds the message, and the ids of all it holds (a
    // list that comes in pages holds more than its rows so far).
    virtual bool isListed(qint64 id) const;
    virtual std::optional<QList<qint64>> listedIds() const;
    virtual bool canDeleteFolder(const PGHFolder &folder) const = 0;
    virtual bool canDropOn(const PGHFolder &folder) const = 0;
    // The detail pane follows the selected rows (or empties); both keep
    // mShownId, the id of the message on show (0: none).
    virtual void rowsSelected(int current) = 0;
    virtual void clearDetail() = 0;
    // The box's confirmation texts.
    virtual QString deleteMessageKey() const = 0;
    virtual QString deleteFolderKey() const = 0;
    virtual QString clearKey() const = 0;
    // What the box does when the user picks a folder.
    virtual void folderSelected() = 0;

    bool confirm(const QString &messageKey);
    void selectNode(const QModelIndex &index);
    void emptySelection();

    PGHBox mBox;
    PGHStoreController &mStores;
    QUndoStack &mUndo;
    PGHFolderTreeModel mTree;
    PGHSortFlags mSort;
    QString mTemplate;
    QString mSearchText;
    QString mDragType;
    QList<int> mSelectedRows;
    QList<qint64> mDragIds;
    qint64 mShownId = 0;
    // The outline's selection: a folder, the private group, or nothing.
    qint64 mSelectedFolderId = 0;
    bool mGroupSelected = false;
    QWidget *mAlertParent = nullptr; // the window, which outlives its use here
};

} // namespace pigeonhole
