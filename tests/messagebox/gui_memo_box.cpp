// The memo box's decisions: its tree, sorting by header clicks, the search
// templates, read and unread marks with the posted count, deleting and
// clearing, moving by drop, filing, and undoing and redoing every edit.
#include "gui_BoxFixture.h"

#include "PGHFolderNameRules.h"
#include "PGHMemoListModel.h"
#include "PGHSqliteDatabase.h"
#include "PGHTransaction.h"

#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <QBrush>
#include <QColor>
#include <QMimeData>

using namespace pigeonhole;
using namespace pigeonhole::test;

namespace {

class MemoBoxTest : public BoxFixture
{
};

TEST_F(MemoBoxTest, TheTreeHoldsInboxOutboxAndThePrivateGroupOfUserFolders)
{
    ASSERT_TRUE(memo->createFolder("work"));
    ASSERT_TRUE(memo->createFolder("subject")); // a user's name that spells a string key
    const PGHFolderTreeModel &tree = *memo->folderModel();
    ASSERT_EQ(tree.rowCount(), 3);
    const auto label = [&](const QModelIndex &i) { return tree.data(i).toString(); };
    EXPECT_EQ(label(tree.index(0, 0)), parley::KCLocalizedString("inbox"));
    EXPECT_EQ(label(tree.index(1, 0)), parley::KCLocalizedString("outbox"));
    const QModelIndex group = tree.index(2, 0);
    EXPECT_EQ(label(group), parley::KCLocalizedString("privatebox"));
    ASSERT_EQ(tree.rowCount(group), 2);
    EXPECT_EQ(label(tree.index(0, 0, group)), "work");
    EXPECT_EQ(label(tree.index(1, 0, group)), "subject"); // shown as typed, not translated
    // After a login the inbox is selected.
    EXPECT_EQ(memo->selectedFolder()->folderName, "inbox");
}

TEST_F(MemoBoxTest, HeaderClicksSortByTheirColumnAndReverseTheHighlightedOne)
{
    fileMemo("b-middle", "inbox", 2, 0, "Cho");
    fileMemo("a-oldest", "inbox", 1, 0, "Bae");
    fileMemo("c-newest", "inbox", 3, 0, "Ahn");
    const int user = 0, subject = 1, date = 2;
    struct Step {
        int section; // -1: a refresh
        QStringList expected;
    };
    const Step steps[] = {
        {-1, {"c-newest", "b-middle", "a-oldest"}},      // by date, newest first
        {date, {"a-oldest", "b-middle", "c-newest"}},    // the highlighted column reverses
        {date, {"c-newest", "b-middle", "a-oldest"}},
        {subject, {"a-oldest", "b-middle", "c-newest"}}, // another column: its stored direction
        {date, {"c-newest", "b-middle", "a-oldest"}},    // date kept its flag
        {user, {"c-newest", "a-oldest", "b-middle"}},    // senders Ahn, Bae, Cho
        {user, {"b-middle", "a-oldest", "c-newest"}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.section);
        if (step.section < 0)
            memo->refrash();
        else
            memo->columnClicked(step.section);
        EXPECT_EQ(memoSubjects(), step.expected);
    }
    // In the outbox the first column lists and sorts the recipients.
    fileMemo("to-zed", "outbox", 1, 0, "Me", "Zed");
    fileMemo("to-amy", "outbox", 2, 0, "Me", "Amy");
    select(*memo, "outbox");
    EXPECT_TRUE(memo->memoList().isOutbox());
    EXPECT_EQ(memo->memoList().headerData(0, Qt::Horizontal).toString(), parley::KCLocalizedString("ruser"));
    EXPECT_EQ(memo->memoList().headerData(2, Qt::Horizontal).toString(), parley::KCLocalizedString("sdate"));
    // "user" keeps its direction (descending, after the two clicks above).
    memo->columnClicked(user);
    EXPECT_EQ(memo->memoList().data(memo->memoList().index(0, 0)).toString(), "Zed");
    memo->columnClicked(user);
    EXPECT_EQ(memo->memoList().data(memo->memoList().index(0, 0)).toString(), "Amy");
}

TEST_F(MemoBoxTest, SearchTemplatesPickTheFieldAndMatchCaseSensitively)
{
    fileMemo("Budget plan", "inbox", 1, 0, "Kim", "Lee");
    fileMemo("budget review", "inbox", 2, 0, "kim", "Park");
    fileMemo("Lunch", "inbox", 3, 0, "Yoon", "Kim");
    struct Case {
        const char *templateKey;
        const char *text;
        QStringList expected;
    };
    const Case cases[] = {
        {"subject", "Budget", {"Budget plan"}},
        {"subject", "budget", {"budget review"}},
        {"suser", "Kim", {"Budget plan"}},
        {"suser", "kim", {"budget review"}},
        {"ruser", "Kim", {"Lunch"}},
        {"subject", "Kim", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.templateKey) + " " + c.text);
        memo->setSearchTemplate(c.templateKey);
        memo->setSearchText(c.text);
        memo->search();
        EXPECT_EQ(memoSubjects(), c.expected);
    }
    // An emptied field lists the whole folder again.
    memo->setSearchText(QString());
    EXPECT_EQ(memoSubjects().size(), 3);
}

TEST_F(MemoBoxTest, ReadingAMemoMarksItReadAndPostsTheCount)
{
    fileMemo("one", "inbox", 1, 1);
    fileMemo("two", "inbox", 2, 1);
    fileMemo("three", "outbox", 3, 1);
    ASSERT_FALSE(postedCounts.isEmpty());
    EXPECT_EQ(postedCounts.last(), 3); // every folder counts
    const auto blue = [&](const QString &subject) {
        const QList<PGHMemo> &rows = memo->memoList().rows();
        for (int row = 0; row < rows.size(); ++row)
            if (rows.at(row).subject == subject)
                return memo->memoList().data(memo->memoList().index(row, 1), Qt::ForegroundRole).value<QBrush>().color()
                       == QColor(Qt::blue);
        return false;
    };
    EXPECT_TRUE(blue("one"));
    PGHMemo shown;
    QObject::connect(memo.get(), &PGHMemoTreeDataSource::messageShown, [&](const PGHMemo &m) { shown = m; });
    selectMemos({"one"});
    EXPECT_EQ(shown.subject, "one");
    EXPECT_EQ(shown.bodyData, "text of one");
    EXPECT_EQ(postedCounts.last(), 2);
    EXPECT_FALSE(blue("one"));
    EXPECT_EQ(read("SELECT unread FROM MemoContext WHERE subject = 'one'"), "0");
    EXPECT_EQ(undo.count(), 0); // reading is not an edit

    // Marking is one, with the menu following the marks.
    selectMemos({"one", "two"});
    EXPECT_EQ(memo->menuContext().selectedUnread, (QList<int>{1, 0})); // rows: two, one
    memo->setMessageUnreadedStatus();
    EXPECT_EQ(postedCounts.last(), 3);
    EXPECT_TRUE(blue("one"));
    undo.undo();
    EXPECT_EQ(postedCounts.last(), 2);
    EXPECT_EQ(read("SELECT subject, unread FROM MemoContext WHERE msgType = 'inbox' ORDER BY id"), "one|0\ntwo|1");
    undo.redo();
    EXPECT_EQ(read("SELECT group_concat(unread) FROM MemoContext WHERE msgType = 'inbox'"), "1,1");
}

TEST_F(MemoBoxTest, DeletingAndClearingAskFirstAndClearKeepsToTheSearch)
{
    for (const char *s : {"alpha", "beta", "gamma", "alphabet"})
        fileMemo(s);
    selectMemos({"beta"});
    alerts.answer(1); // Cancel
    memo->deleteMessage();
    EXPECT_EQ(memoSubjects().size(), 4);
    alerts.answer(0);
    selectMemos({"beta"});
    memo->deleteMessage();
    EXPECT_EQ(alerts.keys(), (QStringList{"deletemessage", "deletemessage"}));
    EXPECT_FALSE(memoSubjects().contains("beta"));

    memo->setSearchTemplate("subject");
    memo->setSearchText("alpha");
    memo->search();
    ASSERT_EQ(memoSubjects().size(), 2);
    alerts.answer(0);
    memo->clearMessageBox();
    EXPECT_EQ(alerts.keys().last(), "clearemessagebox");
    EXPECT_EQ(read("SELECT group_concat(subject) FROM MemoContext"), "gamma");
    undo.undo();
    EXPECT_EQ(read("SELECT count(*) FROM MemoContext"), "3");
}

TEST_F(MemoBoxTest, MemosAreMovedByDropOntoUserFoldersOnly)
{
    ASSERT_TRUE(memo->createFolder("keep"));
    fileMemo("x");
    fileMemo("y");
    memo->refrash();
    const PGHFolderTreeModel &tree = *memo->folderModel();
    QMimeData *data = memo->memoList().mimeData({memo->memoList().index(0, 0), memo->memoList().index(1, 1)});
    ASSERT_NE(data, nullptr);
    const std::unique_ptr<QMimeData> owned(data);
    const QModelIndex group = tree.index(2, 0);
    struct Target {
        QModelIndex index;
        int row;
        bool accepted;
    };
    const Target targets[] = {
        {tree.index(0, 0), -1, false},     // inbox
        {tree.index(1, 0), -1, false},     // outbox
        {group, -1, false},                // the private group is no folder
        {tree.index(0, 0, group), 0, false}, // between items
        {tree.index(0, 0, group), -1, true},
    };
    for (const Target &t : targets) {
        SCOPED_TRACE(tree.data(t.index).toString().toStdString());
        EXPECT_EQ(tree.canDropMimeData(data, Qt::MoveAction, t.row, 0, t.index), t.accepted);
    }
    QMimeData foreign;
    foreign.setText("x");
    EXPECT_FALSE(tree.canDropMimeData(&foreign, Qt::MoveAction, -1, 0, tree.index(0, 0, group)));

    EXPECT_FALSE(memo->folderModel()->dropMimeData(data, Qt::MoveAction, -1, 0, tree.index(1, 0)));
    ASSERT_TRUE(memo->folderModel()->dropMimeData(data, Qt::MoveAction, -1, 0, tree.index(0, 0, group)));
    EXPECT_TRUE(memoSubjects().isEmpty()); // the inbox is listed again, now empty
    EXPECT_EQ(read("SELECT group_concat(f.folderName) FROM MemoContext m JOIN MemoFolder f ON f.id = m.memoFolder"),
              "keep,keep");
    undo.undo();
    EXPECT_EQ(memoSubjects().size(), 2);
}

TEST_F(MemoBoxTest, FilingLooksTheUuidUpAndCopiesOnceIntoTheNamedFolder)
{
    // No user folder can take a built-in's name, so one copy is all there is.
    EXPECT_FALSE(memo->createFolder("inbox"));
    EXPECT_EQ(alerts.keys(), QStringList{"folderNameError"});
    const QVariantMap record{{"msgType", "inbox"}, {"uuid", "5f1c-uuid"}, {"unread", 1}, {"subject", "hi"}};
    memo->insertMessage(record);
    EXPECT_EQ(postedCounts.last(), 1);
    EXPECT_EQ(memoSubjects(), QStringList{"hi"});
    memo->insertMessage(record); // the same memo again: only marked read
    EXPECT_EQ(postedCounts.last(), 0);
    EXPECT_EQ(read("SELECT count(*), sum(unread) FROM MemoContext"), "1|0");
}

// Each edit of the user's is undone and redone, each step in the file at once.
TEST_F(MemoBoxTest, EveryEditIsUndoneAndRedone)
{
    ASSERT_TRUE(memo->createFolder("base"));
    fileMemo("m1", "inbox", 1, 0);
    fileMemo("m2", "inbox", 2, 0);
    // m2 lives in "base", so deleting the folder takes a memo with it.
    const qint64 base = stores->store()->folders(PGHBox::Memo).all()->last().id;
    ASSERT_TRUE(stores->store()->memos().move({read("SELECT id FROM MemoContext WHERE subject = 'm2'").toLongLong()}, base));
    memo->refrash();
    const QString dump = "SELECT 'F', id, folderName, sn FROM MemoFolder UNION ALL "
                         "SELECT 'M', id, mid || ':' || unread || ':' || memoFolder, subject FROM MemoContext ORDER BY 1, 2";
    const auto dropOnBase = [&] {
        std::unique_ptr<QMimeData> data(memo->memoList().mimeData({memo->memoList().index(0, 0)}));
        const PGHFolderTreeModel &tree = *memo->folderModel();
        memo->acceptDrop(data.get(), *tree.node(tree.index(0, 0, tree.index(2, 0))));
    };
    struct Edit {
        const char *name;
        std::function<void()> run;
    };
    const Edit edits[] = {
        {"create", [&] { memo->createFolder("new"); }},
        {"rename", [&] { select(*memo, "base"); memo->renameSelectedFolder("renamed"); }},
        {"delete folder", [&] { select(*memo, "base"); alerts.answer(0); memo->deleteMessageBox(); }},
        {"move", [&] { select(*memo, "inbox"); dropOnBase(); }},
        {"mark", [&] { select(*memo, "inbox"); selectMemos({"m1"}); memo->setMessageUnreadedStatus(); }},
        {"delete", [&] { select(*memo, "inbox"); selectMemos({"m1"}); alerts.answer(0); memo->deleteMessage(); }},
        {"clear", [&] { select(*memo, "base"); alerts.answer(0); memo->clearMessageBox(); }},
    };
    for (const Edit &edit : edits) {
        SCOPED_TRACE(edit.name);
        undo.clear();
        const QString before = read(dump);
        edit.run();
        ASSERT_EQ(undo.count(), 1);
        const QString after = read(dump);
        EXPECT_NE(after, before);
        undo.undo();
        EXPECT_EQ(read(dump), before);
        undo.redo();
        EXPECT_EQ(read(dump), after);
        undo.undo(); // back to the common start for the next edit
    }
    EXPECT_EQ(read("PRAGMA integrity_check"), "ok");
}

// A long folder is read a page at a time as the view scrolls; what acts on
// the whole list (Clear, the detail pane's check) still sees all of it.
TEST_F(MemoBoxTest, ALongFolderComesAPageAtATimeAndClearTakesAllOfIt)
{
    const int page = PGHMemoTreeDataSource::kPageSize;
    const int total = page * 2 + 50;
    {
        PGHSqliteDatabase &db = stores->store()->database();
        PGHTransaction transaction(db);
        PGHSqliteStatement insert = db.prepare("INSERT INTO MemoContext (mid, subject, date, memoFolder) VALUES (?, ?, ?, 1)");
        for (int i = 0; i < total; ++i) {
            insert.reset();
            insert.bind(1, PGHMessageStore::formatID(1000 + i)).bind(2, QString::asprintf("m%04d", i));
            insert.bind(3, qint64(1'700'000'000'000) + i * 60'000LL);
            ASSERT_TRUE(insert.exec());
        }
        ASSERT_TRUE(transaction.commit());
    }
    memo->refrash();
    QAbstractItemModel &model = *memo->listModel();
    EXPECT_EQ(model.rowCount(), page);
    EXPECT_EQ(memoSubjects().first(), QString::asprintf("m%04d", total - 1)); // newest first
    ASSERT_TRUE(model.canFetchMore({}));
    model.fetchMore({});
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), total);
    EXPECT_FALSE(model.canFetchMore({}));
    QStringList expected;
    for (int i = total - 1; i >= 0; --i)
        expected << QString::asprintf("m%04d", i);
    EXPECT_EQ(memoSubjects(), expected); // the pages join into the one list

    // The memo on show lies past the first page: an arrival keeps it.
    PGHMemo shown;
    QObject::connect(memo.get(), &PGHMemoTreeDataSource::messageShown, [&](const PGHMemo &m) { shown = m; });
    selectMemos({"m0010"});
    ASSERT_EQ(shown.subject, "m0010");
    fileMemo("arrived", "inbox", 1);
    EXPECT_EQ(model.rowCount(), page);
    EXPECT_EQ(shown.subject, "m0010");

    // Clear deletes every memo listed, fetched or not.
    alerts.answer(0);
    memo->clearMessageBox();
    EXPECT_EQ(read("SELECT count(*) FROM MemoContext"), "0");
    undo.undo();
    EXPECT_EQ(read("SELECT count(*) FROM MemoContext"), QString::number(total + 1));
}

TEST_F(MemoBoxTest, TheStoreSwitchClearsTheUndoHistory)
{
    ASSERT_TRUE(memo->createFolder("x"));
    EXPECT_EQ(undo.count(), 1);
    memo->storeChanged();
    EXPECT_EQ(undo.count(), 0);
}

TEST(FolderNames, LengthAndReservedNames)
{
    const QString twenty(20, QChar(u'가'));
    struct Case {
        PGHBox box;
        QString typed;
        bool ok;
        QString name;
    };
    const QList<Case> cases{
        {PGHBox::Memo, twenty, true, twenty},
        {PGHBox::Memo, twenty + "x", false, {}},
        {PGHBox::Memo, "", true, "tempbox"},
        {PGHBox::Chat, "", true, "tempchatbox"},
        {PGHBox::Memo, "inbox", false, {}},
        {PGHBox::Memo, "outbox", false, {}},
        {PGHBox::Memo, "chatbox", true, "chatbox"},
        {PGHBox::Chat, "chatbox", false, {}},
        {PGHBox::Chat, "inbox", true, "inbox"},
        {PGHBox::Memo, QString(19, 'a') + QString::fromUtf8("\xF0\x9F\x98\x80"), true, {}}, // 20 characters, 21 units
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const PGHFolderNameCheck check = PGHFolderNameRules::forCreate(c.box, c.typed);
        EXPECT_EQ(check.ok, c.ok);
        if (c.ok && !c.name.isEmpty()) {
            EXPECT_EQ(check.name, c.name);
        }
        if (!c.ok) {
            EXPECT_EQ(check.errorKey, "folderNameError");
        }
    }
    EXPECT_EQ(PGHFolderNameRules::forRename(PGHBox::Memo, "", "old").name, "old");
    EXPECT_FALSE(PGHFolderNameRules::forRename(PGHBox::Memo, "outbox", "old").ok);
}

} // namespace
