#pragma once

// The chat box: "chatbox" with the user's chat folders under it, the list of
// chat logs, searching their text or their partners, and filing the logs the
// messenger hands over. No read or unread state.

#include "PGHBoxDataSource.h"
#include "PGHChatListModel.h"

namespace pigeonhole {

class PGHChatTreeDataSource : public PGHBoxDataSource
{
    Q_OBJECT

public:
    PGHChatTreeDataSource(PGHStoreController &stores, QUndoStack &undo, QObject *parent = nullptr);

    QAbstractItemModel *listModel() override { return &mList; }
    const PGHChatListModel &chatList() const { return mList; }
    // "contents", "chatuser": the search templates in menu order.
    QStringList searchTemplates() const override;
    int messageCount() const override { return mList.rowCount(); }

    std::optional<PGHExportText> exportSelection() override;
    void tableDoubleClickAction() override;
    // Files a record of "PLSaveChatDocument".
    void insertMessage(const QVariantMap &record);
    // Lists the logs whose partners' names or IDs contain the ID.
    void lastChatForUserID(const QString &userID);

Q_SIGNALS:
    // The detail pane shows this log; a log with id 0 empties it.
    void chatShown(const PGHChat &chat);

protected:
    QList<PGHTreeNode> buildTree(const QList<PGHFolder> &folders) const override;
    bool fetchList(PGHMessageStore &store, const PGHFolder &folder, const PGHListQuery &query) override;
    void clearList() override;
    QString searchKeyFor(const QString &templateKey) const override;
    QStringList columnIds() const override { return PGHChatListModel::columnIds(); }
    qint64 idOfRow(int row) const override;
    bool canDeleteFolder(const PGHFolder &folder) const override { return folder.snValue() > 2; }
    bool canDropOn(const PGHFolder &folder) const override { return folder.snValue() > 2; }
    void rowsSelected(int current) override;
    void clearDetail() override;
    QString deleteMessageKey() const override { return QStringLiteral("deletechat"); }
    QString deleteFolderKey() const override { return QStringLiteral("deletechatbox"); }
    QString clearKey() const override { return QStringLiteral("clearchatbox"); }
    void folderSelected() override;

private:
    PGHChatListModel mList;
};

} // namespace pigeonhole
