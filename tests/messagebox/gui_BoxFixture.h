#pragma once

// A signed-in user's store in a temporary support folder, with both boxes on
// it, alerts answered from a script, and helpers to file and list messages.

#include "PGHChatTreeDataSource.h"
#include "PGHFolderTable.h"
#include "PGHMemoTable.h"
#include "PGHMemoTreeDataSource.h"
#include "PGHMessageStore.h"
#include "PGHStoreController.h"
#include "ScriptedAlerts.h"
#include "SqliteTool.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace pigeonhole::test {

class BoxFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!sqliteToolAvailable())
            GTEST_SKIP() << "the sqlite3 tool is not installed";
        ASSERT_TRUE(dir.isValid());
        stores = std::make_unique<PGHStoreController>(dir.filePath("Parley"));
        memo = std::make_unique<PGHMemoTreeDataSource>(*stores, undo);
        chat = std::make_unique<PGHChatTreeDataSource>(*stores, undo);
        QObject::connect(memo.get(), &PGHMemoTreeDataSource::unreadCountChanged,
                         [this](int count) { postedCounts << count; });
        ASSERT_EQ(stores->switchToUser("me@parley.test"), PGHStoreController::Login::Switched);
        memo->storeChanged();
        chat->storeChanged();
    }
    void TearDown() override
    {
        undo.clear();
        chat.reset();
        memo.reset();
    }

    QString storePath() const { return stores->store()->path(); }
    QString read(const QString &sql) const { return sqliteTool(storePath(), sql); }

    static QDateTime day(int d) { return QDateTime(QDate(2024, 3, d), QTime(9, 0), Qt::UTC); }
    void fileMemo(const QString &subject, const QString &box = "inbox", int d = 1, int unread = 0,
                  const QString &suser = "Ann", const QString &ruser = "Me")
    {
        memo->insertMessage({{"msgType", box}, {"subject", subject}, {"date", day(d)}, {"unread", unread},
                             {"suser", suser}, {"suserID", suser.toLower() + "@parley.test"}, {"ruser", ruser},
                             {"ruserID", "me@parley.test"}, {"bodyData", "text of " + subject}, {"size", d}});
    }
    void fileChat(const QString &title, const QString &user, int d = 1)
    {
        chat->insertMessage({{"chatUser", user}, {"chatUserID", user.toLower() + "@parley.test"}, {"date", day(d)},
                             {"bodyData", "Chat with " + user + "\n" + title + "\nline three"}, {"size", 1}});
    }
    // Selects the folder of that name in a box, as a click in the outline does.
    void select(PGHBoxDataSource &box, const QString &folderName)
    {
        const std::optional<QList<PGHFolder>> folders = stores->store()->folders(box.box()).all();
        for (const PGHFolder &f : *folders)
            if (f.folderName == folderName) {
                box.selectTreeIndex(box.folderModel()->indexOfFolder(f.id));
                return;
            }
        ADD_FAILURE() << "no folder " << folderName.toStdString();
    }
    QStringList memoSubjects() const
    {
        QStringList out;
        for (const PGHMemo &m : memo->memoList().rows())
            out << m.subject;
        return out;
    }
    QStringList chatTitles() const
    {
        QStringList out;
        for (const PGHChat &c : chat->chatList().rows())
            out << c.title;
        return out;
    }
    // Selects the listed rows whose subject is one of these; the first named
    // is the current row (the one the detail pane shows and marks read).
    void selectMemos(const QStringList &subjects)
    {
        QList<int> rows;
        int current = -1;
        for (int row = 0; row < memo->memoList().rows().size(); ++row) {
            const QString &subject = memo->memoList().rows().at(row).subject;
            if (subjects.contains(subject))
                rows << row;
            if (!subjects.isEmpty() && subject == subjects.first())
                current = row;
        }
        memo->setSelectedRows(rows, current);
    }

    QTemporaryDir dir;
    std::unique_ptr<PGHStoreController> stores;
    QUndoStack undo;
    std::unique_ptr<PGHMemoTreeDataSource> memo;
    std::unique_ptr<PGHChatTreeDataSource> chat;
    parley::test::ScriptedAlerts alerts;
    QList<int> postedCounts;
};

} // namespace pigeonhole::test
