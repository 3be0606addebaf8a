// Messages that arrive while the user works in a box: a question asked while
// one arrives (Clear and Delete act on the rows the user saw), an undo after
// an arrival (ids are never handed out twice), and the detail pane, which
// keeps its message through the refresh an arrival makes.
#include "gui_BoxFixture.h"

#include "KCAlertPresenter.h"
#include "PGHChatTable.h"

#include <functional>

using namespace pigeonhole;
using namespace pigeonhole::test;

namespace {

// Answers OK to every question after running `whileAsking`, as a message
// arriving while the question is up (the real question runs the event loop).
class ArrivalDuringQuestion final : public KCAlertPresenter
{
public:
    explicit ArrivalDuringQuestion(KCAlertPresenter &restore) : mRestore(restore) { KCSetAlertPresenter(this); }
    ~ArrivalDuringQuestion() override { KCSetAlertPresenter(&mRestore); }
    KCAlertAnswer ask(const KCAlertRequest &request) override
    {
        keys << request.key;
        if (whileAsking)
            whileAsking();
        return {0, false, {}};
    }
    void show(const KCAlertRequest &request, std::function<void(const KCAlertAnswer &)> done) override
    {
        keys << request.key;
        if (done)
            done({0, false, {}});
    }

    std::function<void()> whileAsking;
    QStringList keys;

private:
    KCAlertPresenter &mRestore;
};

class ArrivalTest : public BoxFixture
{
protected:
    // One box seen the same way: its data source, filing one message, the
    // listed messages' names and the store's.
    struct Box {
        const char *name;
        PGHBoxDataSource *(*source)(ArrivalTest &);
        void (*file)(ArrivalTest &, const QString &name, int day);
        QStringList (*listed)(ArrivalTest &);
        const char *stored; // the names in the store, oldest first
        const char *searchTemplate;
    };
    static const Box kBoxes[2];
};

const ArrivalTest::Box ArrivalTest::kBoxes[2] = {
    {"memo", [](ArrivalTest &t) -> PGHBoxDataSource * { return t.memo.get(); },
     [](ArrivalTest &t, const QString &name, int day) { t.fileMemo(name, "inbox", day); },
     [](ArrivalTest &t) { return t.memoSubjects(); }, "SELECT group_concat(subject) FROM (SELECT subject FROM MemoContext ORDER BY date)",
     "subject"},
    {"chat", [](ArrivalTest &t) -> PGHBoxDataSource * { return t.chat.get(); },
     [](ArrivalTest &t, const QString &name, int day) { t.fileChat(name, "Ann", day); },
     [](ArrivalTest &t) { return t.chatTitles(); }, "SELECT group_concat(title) FROM (SELECT title FROM ChatContext ORDER BY date)",
     "contents"},
};

TEST_F(ArrivalTest, ClearDeletesTheRowsListedWhenAskedNotAnArrivalDuringTheQuestion)
{
    for (const Box &b : kBoxes) {
        SCOPED_TRACE(b.name);
        PGHBoxDataSource &box = *b.source(*this);
        b.file(*this, "found", 1);
        b.file(*this, "other", 2);
        box.setSearchTemplate(b.searchTemplate);
        box.setSearchText("found");
        box.search();
        ASSERT_EQ(b.listed(*this), QStringList{"found"});
        undo.clear();
        ArrivalDuringQuestion question(alerts);
        question.whileAsking = [&] { b.file(*this, "arrived", 3); }; // refreshes the box: every row listed
        box.clearMessageBox();
        EXPECT_EQ(question.keys.size(), 1);
        EXPECT_EQ(read(b.stored), "other,arrived");
        EXPECT_EQ(undo.count(), 1);
        undo.undo();
        EXPECT_EQ(read(b.stored), "found,other,arrived");
    }
}

TEST_F(ArrivalTest, DeleteActsOnTheRowsSelectedWhenAskedAndAnEmptyDeletionIsNoStep)
{
    for (const Box &b : kBoxes) {
        SCOPED_TRACE(b.name);
        PGHBoxDataSource &box = *b.source(*this);
        b.file(*this, "keep", 1);
        b.file(*this, "doomed", 2);
        box.refrash();
        box.setSelectedRows({0}, 0); // newest first: "doomed"
        undo.clear();
        {
            ArrivalDuringQuestion question(alerts);
            question.whileAsking = [&] { b.file(*this, "arrived", 3); }; // the selection is emptied
            box.deleteMessage();
        }
        EXPECT_EQ(read(b.stored), "keep,arrived");
        EXPECT_EQ(undo.count(), 1);

        // The selected row is gone before the answer (deleted elsewhere): no step.
        box.setSelectedRows({0}, 0); // "arrived"
        undo.clear();
        {
            ArrivalDuringQuestion question(alerts);
            question.whileAsking = [&] {
                const qint64 id = read(b.name == std::string("memo") ? "SELECT max(id) FROM MemoContext"
                                                                      : "SELECT max(id) FROM ChatContext")
                                      .toLongLong();
                PGHMessageStore &s = *stores->store();
                ASSERT_TRUE(box.box() == PGHBox::Memo ? s.memos().remove({id}) : s.chats().remove({id}));
            };
            box.deleteMessage();
        }
        EXPECT_EQ(read(b.stored), "keep");
        EXPECT_EQ(undo.count(), 0);
        EXPECT_FALSE(undo.canUndo());
    }
}

// The steps of the history name memos by ids no arrival can take.
TEST_F(ArrivalTest, UndoAfterAnArrivalPutsTheMemoBackAndOlderStepsKeepToTheirOwnMemo)
{
    fileMemo("first", "inbox", 1, 0);
    fileMemo("newest", "inbox", 2, 0); // the largest id
    selectMemos({"newest"});
    memo->setMessageUnreadedStatus(); // step 1: "newest" unread, still selected
    alerts.answer(0);
    memo->deleteMessage(); // step 2
    fileMemo("arrived", "inbox", 3, 1);
    ASSERT_EQ(undo.count(), 2);
    const QString dump = "SELECT subject, unread FROM MemoContext ORDER BY date";
    undo.undo(); // the deletion
    EXPECT_EQ(read(dump), "first|0\nnewest|1\narrived|1");
    undo.redo();
    EXPECT_EQ(read(dump), "first|0\narrived|1");
    undo.undo();
    undo.undo(); // the older mark: "newest" read again, the arrival untouched
    EXPECT_EQ(read(dump), "first|0\nnewest|0\narrived|1");
    EXPECT_EQ(read("SELECT count(DISTINCT id) FROM MemoContext"), "3");
    EXPECT_EQ(read("PRAGMA integrity_check"), "ok");
}

TEST_F(ArrivalTest, TheDetailPaneKeepsItsMessageThroughAnArrivalWhileItIsListed)
{
    PGHMemo memoShown;
    PGHChat chatShown;
    QObject::connect(memo.get(), &PGHMemoTreeDataSource::messageShown, [&](const PGHMemo &m) { memoShown = m; });
    QObject::connect(chat.get(), &PGHChatTreeDataSource::chatShown, [&](const PGHChat &c) { chatShown = c; });
    const auto shown = [&](const Box &b) { return b.source(*this)->box() == PGHBox::Memo ? memoShown.subject : chatShown.title; };
    for (const Box &b : kBoxes) {
        SCOPED_TRACE(b.name);
        PGHBoxDataSource &box = *b.source(*this);
        b.file(*this, "reading", 1);
        box.setSelectedRows({0}, 0);
        ASSERT_EQ(shown(b), "reading");
        b.file(*this, "arrived", 2);
        EXPECT_EQ(shown(b), "reading");
        EXPECT_TRUE(box.selectedRows().isEmpty()); // the selection is cleared, as before
        // Deleted, it is no longer listed: the pane empties.
        box.setSelectedRows({1}, 1);
        ASSERT_EQ(shown(b), "reading");
        alerts.answer(0);
        box.deleteMessage();
        EXPECT_EQ(shown(b), "");
        // Another store: its ids name other messages.
        box.setSelectedRows({0}, 0);
        ASSERT_EQ(shown(b), "arrived");
        box.storeChanged();
        EXPECT_EQ(shown(b), "");
    }
}

} // namespace
