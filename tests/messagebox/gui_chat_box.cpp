// The chat box: one root holding the user's folders, the log's second line
// as its title, "chatbox" never deleted nor a drop target, searching the text
// or the partners, and a user's last chats.
#include "gui_BoxFixture.h"

#include "PGHMenuValidation.h"
#include "PGHSqliteDatabase.h"
#include "PGHTransaction.h"

#include <QMimeData>

using namespace pigeonhole;
using namespace pigeonhole::test;

namespace {

class ChatBoxTest : public BoxFixture
{
};

TEST_F(ChatBoxTest, OneRootThatHoldsTheUserFolders)
{
    const PGHFolderTreeModel &tree = *chat->folderModel();
    ASSERT_EQ(tree.rowCount(), 1);
    EXPECT_EQ(tree.rowCount(tree.index(0, 0)), 0);
    EXPECT_EQ(chat->selectedFolder()->folderName, "chatbox");
    ASSERT_TRUE(chat->createFolder(""));
    ASSERT_EQ(tree.rowCount(), 1);
    ASSERT_EQ(tree.rowCount(tree.index(0, 0)), 1);
    EXPECT_EQ(tree.data(tree.index(0, 0, tree.index(0, 0))).toString(), "tempchatbox");
}

TEST_F(ChatBoxTest, LogsAreFiledIntoChatboxAndTitledByTheirSecondLine)
{
    ASSERT_TRUE(chat->createFolder("friends"));
    fileChat("About lunch", "Ann", 1);
    fileChat("About the trip", "Bo", 2);
    EXPECT_EQ(chatTitles(), (QStringList{"About the trip", "About lunch"})); // newest first
    EXPECT_EQ(chat->chatList().data(chat->chatList().index(0, 1)).toString(), "About the trip");
    EXPECT_EQ(read("SELECT DISTINCT f.folderName FROM ChatContext c JOIN ChatFolder f ON f.id = c.chatFolder"), "chatbox");
    PGHChat shown;
    QObject::connect(chat.get(), &PGHChatTreeDataSource::chatShown, [&](const PGHChat &c) { shown = c; });
    chat->setSelectedRows({1}, 1);
    EXPECT_EQ(shown.title, "About lunch");
    EXPECT_TRUE(shown.bodyData.startsWith("Chat with Ann\n"));
}

TEST_F(ChatBoxTest, ChatboxIsNeverDeletedNorADropTarget)
{
    ASSERT_TRUE(chat->createFolder("old"));
    fileChat("t", "Ann");
    undo.clear();
    alerts.answer(0);
    chat->deleteMessageBox(); // asked, then refused
    EXPECT_EQ(alerts.keys(), QStringList{"deletechatbox"});
    EXPECT_EQ(read("SELECT count(*) FROM ChatFolder"), "2");
    EXPECT_EQ(undo.count(), 0);

    const PGHFolderTreeModel &tree = *chat->folderModel();
    std::unique_ptr<QMimeData> data(chat->chatList().mimeData({chat->chatList().index(0, 0)}));
    ASSERT_TRUE(data);
    const QModelIndex chatbox = tree.index(0, 0);
    EXPECT_FALSE(tree.canDropMimeData(data.get(), Qt::MoveAction, -1, 0, chatbox));
    EXPECT_TRUE(tree.canDropMimeData(data.get(), Qt::MoveAction, -1, 0, tree.index(0, 0, chatbox)));
    // A memo drag is not a chat drag.
    QMimeData memoDrag;
    memoDrag.setData("PLFromEntryToMemo", "1");
    EXPECT_FALSE(tree.canDropMimeData(&memoDrag, Qt::MoveAction, -1, 0, tree.index(0, 0, chatbox)));
}

TEST_F(ChatBoxTest, SearchesTheTextByDefaultAndThePartnersOnRequest)
{
    fileChat("Dinner at Ann's", "Bo", 1);
    fileChat("Plans", "Ann", 2);
    fileChat("x", "Cy", 3);
    EXPECT_EQ(chat->searchTemplate(), "contents");
    const auto search = [&](const char *templateKey, const char *text) {
        chat->setSearchTemplate(templateKey);
        chat->setSearchText(text);
        chat->search();
        QStringList titles = chatTitles();
        titles.sort();
        return titles;
    };
    EXPECT_EQ(search("contents", "Ann"), (QStringList{"Dinner at Ann's", "Plans"})); // "Chat with Ann" too
    EXPECT_EQ(search("contents", "Dinner"), QStringList{"Dinner at Ann's"});
    EXPECT_EQ(search("contents", "dinner"), QStringList());
    EXPECT_EQ(search("chatuser", "Ann"), QStringList{"Plans"});
    EXPECT_EQ(search("chatuser", "bo@parley"), QStringList{"Dinner at Ann's"}); // IDs too
}

TEST_F(ChatBoxTest, LastChatsOfAUserAreListedNewestFirst)
{
    fileChat("first", "Ann", 1);
    fileChat("other", "Bo", 2);
    fileChat("second", "Ann", 3);
    chat->columnClicked(2); // oldest first now
    ASSERT_EQ(chatTitles().first(), "first");
    QString field;
    QObject::connect(chat.get(), &PGHBoxDataSource::searchTextReset, [&](const QString &t) { field = t; });
    chat->lastChatForUserID("ann@parley.test");
    EXPECT_EQ(field, "ann@parley.test");
    EXPECT_EQ(chat->searchTemplate(), "chatuser");
    EXPECT_EQ(chatTitles(), (QStringList{"second", "first"}));
}

// A long search result is read a page at a time as the view scrolls; the
// pages join into the scan's answer, and what acts on the whole list (Clear,
// the detail pane's check) still sees all of it.
TEST_F(ChatBoxTest, ALongSearchComesAPageAtATimeAndClearTakesAllOfIt)
{
    const int page = PGHChatTreeDataSource::kPageSize;
    const int total = page * 5 + 20; // every other log holds the text
    const qint64 chatbox = stores->store()->folders(PGHBox::Chat).all()->first().id;
    {
        PGHSqliteDatabase &db = stores->store()->database();
        PGHTransaction transaction(db);
        PGHSqliteStatement insert =
            db.prepare("INSERT INTO ChatContext (mid, date, chatFolder, bodyData) VALUES (?, ?, ?, ?)");
        for (int i = 0; i < total; ++i) {
            insert.reset();
            insert.bind(1, PGHMessageStore::formatID(1000 + i)).bind(2, qint64(1'700'000'000'000) + i * 60'000LL);
            insert.bind(3, chatbox).bind(4, QString::asprintf("head\nc%04d\n", i) + (i % 2 ? "주간 회의" : "점심"));
            ASSERT_TRUE(insert.exec());
        }
        ASSERT_TRUE(transaction.commit());
    }
    for (const QString text : {"주간 회의", "회의"}) { // through the index, and scanned
        SCOPED_TRACE(text.toStdString());
        chat->refrash();
        chat->setSearchText(text);
        chat->search();
        QAbstractItemModel &model = *chat->listModel();
        EXPECT_LT(model.rowCount(), total / 2);
        EXPECT_EQ(chatTitles().first(), QString::asprintf("c%04d", total - 1)); // newest first
        ASSERT_TRUE(model.canFetchMore({}));
        while (model.canFetchMore({}))
            model.fetchMore({});
        QStringList expected;
        for (int i = total - 1; i >= 0; --i)
            if (i % 2)
                expected << QString::asprintf("c%04d", i);
        EXPECT_EQ(chatTitles(), expected);
    }

    // The log on show lies past the first page: an arrival keeps it.
    chat->search();
    const int past = int(chat->chatList().rows().size()) + 3;
    chat->listModel()->fetchMore({});
    PGHChat shown;
    QObject::connect(chat.get(), &PGHChatTreeDataSource::chatShown, [&](const PGHChat &c) { shown = c; });
    const QString pastTitle = chat->chatList().rows().at(past).title;
    chat->setSelectedRows({past}, past);
    ASSERT_EQ(shown.title, pastTitle);
    fileChat("arrived", "Ann", 1);
    EXPECT_EQ(shown.title, pastTitle);

    // Clear deletes every log the search listed, fetched or not.
    chat->setSearchText("회의");
    chat->search();
    ASSERT_TRUE(chat->listModel()->canFetchMore({}));
    alerts.answer(0);
    chat->clearMessageBox();
    EXPECT_EQ(read("SELECT count(*) FROM ChatContext"), QString::number(total - total / 2 + 1));
    undo.undo();
    EXPECT_EQ(read("SELECT count(*) FROM ChatContext"), QString::number(total + 1));
}

TEST(MenuValidation, FromTheSelectedFolderAndTheSelectedMarks)
{
    using S = PGHMenuContext::Selected;
    using A = PGHMenuAction;
    struct Case {
        PGHBox tab;
        S selected;
        qint64 sn;
        QList<int> marks;
        A action;
        bool enabled;
        bool readOnly = false;
    };
    const Case cases[] = {
        {PGHBox::Memo, S::Folder, 0, {}, A::CreateFolder, false},
        {PGHBox::Memo, S::Folder, 1, {}, A::RenameFolder, false},
        {PGHBox::Memo, S::Folder, 1, {}, A::DeleteFolder, false},
        {PGHBox::Memo, S::Folder, 0, {}, A::ClearBox, true},
        {PGHBox::Memo, S::Group, -1, {}, A::CreateFolder, true},
        {PGHBox::Memo, S::Group, -1, {}, A::RenameFolder, false},
        {PGHBox::Memo, S::Group, -1, {}, A::ClearBox, false},
        {PGHBox::Memo, S::Nothing, -1, {}, A::ClearBox, false},
        {PGHBox::Chat, S::Folder, 2, {}, A::CreateFolder, true},
        {PGHBox::Chat, S::Folder, 2, {}, A::DeleteFolder, false},
        {PGHBox::Chat, S::Folder, 2, {}, A::ClearBox, true},
        {PGHBox::Memo, S::Folder, 3, {}, A::RenameFolder, true},
        {PGHBox::Memo, S::Folder, 3, {}, A::DeleteFolder, true},
        {PGHBox::Chat, S::Folder, 7, {}, A::DeleteFolder, true},
        {PGHBox::Memo, S::Folder, 0, {}, A::Other, true},
        // Marks: mixed selections allow both, otherwise the one that changes something.
        {PGHBox::Memo, S::Folder, 0, {1, 0}, A::MarkRead, true},
        {PGHBox::Memo, S::Folder, 0, {1, 0}, A::MarkUnread, true},
        {PGHBox::Memo, S::Folder, 0, {1, 2}, A::MarkRead, true},
        {PGHBox::Memo, S::Folder, 0, {1, 2}, A::MarkUnread, false},
        {PGHBox::Memo, S::Folder, 0, {0}, A::MarkRead, false},
        {PGHBox::Memo, S::Folder, 0, {0}, A::MarkUnread, true},
        {PGHBox::Memo, S::Folder, 0, {}, A::MarkRead, false},
        {PGHBox::Memo, S::Folder, 0, {}, A::MarkUnread, true},
        // In the chat tab they act on the memo box, and stay on.
        {PGHBox::Chat, S::Folder, 2, {}, A::MarkRead, true},
        {PGHBox::Chat, S::Folder, 2, {}, A::MarkUnread, true},
        // While the store is only read (being brought up to date) nothing
        // that changes it is on; the rest stays.
        {PGHBox::Memo, S::Group, -1, {}, A::CreateFolder, false, true},
        {PGHBox::Chat, S::Folder, 2, {}, A::CreateFolder, false, true},
        {PGHBox::Memo, S::Folder, 3, {}, A::RenameFolder, false, true},
        {PGHBox::Memo, S::Folder, 3, {}, A::DeleteFolder, false, true},
        {PGHBox::Chat, S::Folder, 2, {}, A::ClearBox, false, true},
        {PGHBox::Memo, S::Folder, 0, {1, 0}, A::MarkRead, false, true},
        {PGHBox::Memo, S::Folder, 0, {1, 0}, A::MarkUnread, false, true},
        {PGHBox::Chat, S::Folder, 2, {}, A::MarkRead, false, true},
        {PGHBox::Memo, S::Folder, 0, {}, A::Other, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.tab) << " " << int(c.selected) << " sn " << c.sn << " action "
                                          << int(c.action) << " marks " << c.marks.size() << " read-only " << c.readOnly);
        const PGHMenuState state = PGHMenuValidation::validate(c.action, {c.tab, c.selected, c.sn, c.marks, c.readOnly});
        EXPECT_EQ(state.enabled, c.enabled);
        if (c.action == A::MarkRead) {
            EXPECT_EQ(state.titleKey, "tvread");
        }
    }
}

} // namespace
