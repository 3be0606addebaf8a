#pragma once

// The memo box: the outline of "inbox", "outbox" and the private group of the
// user's folders, the memo list with its unread marks, the unread count (told
// to the messenger after every recount), and filing the memos the messenger
// hands over.

#include "PGHBoxDataSource.h"
#include "PGHMemoListModel.h"

namespace pigeonhole {

class PGHMemoTreeDataSource : public PGHBoxDataSource
{
    Q_OBJECT

public:
    PGHMemoTreeDataSource(PGHStoreController &stores, QUndoStack &undo, QObject *parent = nullptr);

    QAbstractItemModel *listModel() override { return &mList; }
    const PGHMemoListModel &memoList() const { return mList; }
    // "subject", "suser", "ruser": the search templates in menu order.
    QStringList searchTemplates() const override;
    int messageCount() const override { return mList.rowCount(); }
    PGHMenuContext menuContext() const override;

    // The memos of the selected rows, in row order.
    QList<PGHMemo> selectMessage() const;
    // Counts the unread memos of every folder and tells the messenger.
    int unReadMessageCount();
    // Marks the selected memos read (0) or unread (1), as a step of the undo history.
    void messageStatus(int unread);
    void setMessageReadedStatus() { messageStatus(0); }
    void setMessageUnreadedStatus() { messageStatus(1); }
    // A step of the undo history changed marks: the list and the count follow.
    void marksChanged(const QHash<qint64, int> &unreadById);

    std::optional<PGHExportText> exportSelection() override;
    void tableDoubleClickAction() override;
    // Files a record of "PLSaveMemoDocument".
    void insertMessage(const QVariantMap &record);
    void editApplied() override;
    // A list is read a page of this many memos at a time.
    static constexpr int kPageSize = 200;

Q_SIGNALS:
    // The detail pane shows this memo; a memo with id 0 empties it.
    void messageShown(const PGHMemo &memo);
    void unreadCountChanged(int count);

protected:
    QList<PGHTreeNode> buildTree(const QList<PGHFolder> &folders) const override;
    bool fetchList(PGHMessageStore &store, const PGHFolder &folder, const PGHListQuery &query) override;
    void clearList() override;
    QString searchKeyFor(const QString &templateKey) const override;
    QString sortKeyFor(const QString &column) const override;
    QStringList columnIds() const override { return PGHMemoListModel::columnIds(); }
    qint64 idOfRow(int row) const override;
    bool isListed(qint64 id) const override;
    std::optional<QList<qint64>> listedIds() const override;
    bool canDeleteFolder(const PGHFolder &folder) const override { return folder.snValue() > 1; }
    bool canDropOn(const PGHFolder &folder) const override { return folder.snValue() > 1; }
    void rowsSelected(int current) override;
    void clearDetail() override;
    QString deleteMessageKey() const override { return QStringLiteral("deletemessage"); }
    QString deleteFolderKey() const override { return QStringLiteral("deletemessagebox"); }
    QString clearKey() const override { return QStringLiteral("clearemessagebox"); }
    void folderSelected() override;

private:
    bool outboxSelected() const;
    void fetchPage();

    PGHMemoListModel mList;
    // The list being read: its folder and query.
    qint64 mListFolder = 0;
    PGHListQuery mListQuery;
};

} // namespace pigeonhole
