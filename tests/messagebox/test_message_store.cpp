// The message store, read back with the sqlite3 tool: the seed tree and the
// counter, files opened again, the pre-login store, login notices, filing,
// case-sensitive searches with and without the body index, and the edits the
// undo history reverses.
#include "PGHChatTable.h"
#include "PGHFolderTable.h"
#include "PGHMemoTable.h"
#include "PGHMessageStore.h"
#include "PGHStoreController.h"
#include "PGHStoreFiles.h"
#include "PGHStoreSchema.h"
#include "PGHSqliteDatabase.h"
#include "PGHTransaction.h"
#include "OlderStore.h"
#include "SqliteTool.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pigeonhole;
using pigeonhole::test::sqliteTool;

namespace {

class MessageStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!pigeonhole::test::sqliteToolAvailable())
            GTEST_SKIP() << "the sqlite3 tool is not installed";
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("user@parley.test.sqlite"));
        store = PGHMessageStore::open(path);
        ASSERT_TRUE(store);
    }
    QString read(const QString &sql) { return sqliteTool(path, sql); }
    // Closes the store and makes a new file of an earlier version; its path
    // (empty on a failure).
    QString earlierStore(const QString &name, int version)
    {
        store.reset();
        const QString file = dir.filePath(name + "@parley.test.sqlite");
        if (const QString error = pigeonhole::test::makeOlderStore(file, version); !error.isEmpty()) {
            ADD_FAILURE() << error.toStdString();
            return {};
        }
        return file;
    }
    // The ids of a listing read to its end, a page at a time.
    QList<qint64> pagedIds(PGHChatListing &listing, int pageSize)
    {
        QList<qint64> ids;
        std::optional<QList<PGHChat>> page = store->chats().nextPage(listing, pageSize);
        for (; page && !page->isEmpty(); page = store->chats().nextPage(listing, pageSize))
            for (const PGHChat &chat : *page)
                ids << chat.id;
        EXPECT_TRUE(page);
        return ids;
    }
    qint64 folderId(PGHBox box, const QString &sn)
    {
        const std::optional<QList<PGHFolder>> folders = store->folders(box).all();
        for (const PGHFolder &f : *folders)
            if (f.sn == sn)
                return f.id;
        return 0;
    }
    qint64 fileMemo(const QVariantMap &record)
    {
        const PGHMemoFiling filing = store->memos().file(record);
        EXPECT_TRUE(filing.ok) << filing.error.toStdString();
        return filing.inserted.value(0);
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<PGHMessageStore> store;
};

TEST_F(MessageStoreTest, ANewStoreHoldsTheSeedTreeAndTheCounter)
{
    EXPECT_TRUE(store->wasCreated());
    EXPECT_EQ(read("SELECT count(*), currentID FROM IDGenerator"), "1|3");
    EXPECT_EQ(read("SELECT folderName, sn FROM MemoFolder ORDER BY sn"),
              "inbox|000000000000000\noutbox|000000000000001");
    EXPECT_EQ(read("SELECT folderName, sn FROM ChatFolder ORDER BY sn"), "chatbox|000000000000002");
    EXPECT_EQ(read("PRAGMA journal_mode"), "wal");

    // The first user folder takes 3, the next memo 4: one counter for both.
    const std::optional<PGHFolder> folder = store->folders(PGHBox::Memo).create("work");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->sn, "000000000000003");
    fileMemo({{"msgType", "inbox"}, {"subject", "hello"}});
    EXPECT_EQ(read("SELECT mid FROM MemoContext"), "000000000000004");
    EXPECT_EQ(read("SELECT currentID FROM IDGenerator"), "5");
    EXPECT_EQ(read("PRAGMA integrity_check"), "ok");
}

TEST_F(MessageStoreTest, AnExistingFileIsOpenedWithoutSeeding)
{
    ASSERT_TRUE(store->folders(PGHBox::Chat).create("friends"));
    store.reset();
    store = PGHMessageStore::open(path);
    ASSERT_TRUE(store);
    EXPECT_FALSE(store->wasCreated());
    EXPECT_EQ(read("SELECT count(*) FROM MemoFolder"), "2");
    EXPECT_EQ(read("SELECT group_concat(folderName) FROM (SELECT folderName FROM ChatFolder ORDER BY sn)"),
              "chatbox,friends");
    EXPECT_EQ(read("SELECT currentID FROM IDGenerator"), "4");
}

TEST_F(MessageStoreTest, FilesThatAreNoStoreOfOursAreRefused)
{
    store.reset();
    const QString later = dir.filePath("later.sqlite");
    ASSERT_EQ(sqliteTool(later, "PRAGMA user_version = 99"), "");
    QString error;
    EXPECT_FALSE(PGHMessageStore::open(later, &error));
    EXPECT_TRUE(error.contains("later version")) << error.toStdString();

    const QString foreign = dir.filePath("foreign.sqlite");
    ASSERT_EQ(sqliteTool(foreign, "CREATE TABLE t(x)"), "");
    EXPECT_FALSE(PGHMessageStore::open(foreign, &error));
    EXPECT_EQ(sqliteTool(foreign, "SELECT name FROM sqlite_master"), "t"); // left as it was
}

TEST_F(MessageStoreTest, FilingCopiesTheRecordIntoTheFolderItNames)
{
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC);
    const qint64 id = fileMemo({{"msgType", "outbox"},
                                {"uuid", "u-1"},
                                {"unread", 1},
                                {"subject", "plans"},
                                {"suser", "Me"},
                                {"suserID", "me@parley.test"},
                                {"ruser", QStringList{"Ann", "Bo"}},
                                {"ruserID", QVariantList{"ann@parley.test", "bo@parley.test"}},
                                {"date", when},
                                {"size", 2},
                                {"bodyData", "body /smile/"},
                                {"mid", "999"},          // the store's own: never taken from a record
                                {"memoFolder", 1},       // a relation: never taken either
                                {"colour", "red"}});     // no attribute at all
    ASSERT_GT(id, 0);
    EXPECT_EQ(read("SELECT f.folderName, m.mid, m.msgType, m.unread, m.ruser, m.ruserID, m.date, m.size, m.bodyData "
                   "FROM MemoContext m JOIN MemoFolder f ON f.id = m.memoFolder"),
              "outbox|000000000000003|outbox|1|Ann,Bo|ann@parley.test,bo@parley.test|1700000000123|2|body /smile/");
    const std::optional<PGHMemo> memo = store->memos().memo(id);
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->date, when);
    EXPECT_EQ(memo->subject, "plans");
}

TEST_F(MessageStoreTest, AHeldUuidMarksThatMemoReadAndIsComparedForEquality)
{
    const qint64 first = fileMemo({{"msgType", "inbox"}, {"uuid", "abc"}, {"unread", 1}});
    // A uuid that would match as a pattern is a different uuid.
    const qint64 second = fileMemo({{"msgType", "inbox"}, {"uuid", ".*"}, {"unread", 1}});
    EXPECT_NE(second, first);

    const PGHMemoFiling again = store->memos().file({{"msgType", "inbox"}, {"uuid", "abc"}, {"subject", "x"}});
    EXPECT_TRUE(again.ok);
    EXPECT_TRUE(again.inserted.isEmpty());
    EXPECT_EQ(again.markedRead, first);
    EXPECT_EQ(read("SELECT uuid, unread FROM MemoContext ORDER BY id"), "abc|0\n.*|1");

    // Records without a uuid are filed without the lookup, every time.
    fileMemo({{"msgType", "inbox"}, {"subject", "a"}});
    fileMemo({{"msgType", "inbox"}, {"subject", "a"}});
    EXPECT_EQ(read("SELECT count(*) FROM MemoContext WHERE subject = 'a'"), "2");
}

TEST_F(MessageStoreTest, ARecordNamingNoFolderIsNotFiled)
{
    const PGHMemoFiling filing = store->memos().file({{"msgType", "junk"}, {"subject", "lost?"}});
    EXPECT_FALSE(filing.ok);
    EXPECT_TRUE(filing.error.contains("junk"));
    EXPECT_EQ(read("SELECT count(*) FROM MemoContext"), "0");
    EXPECT_EQ(read("SELECT currentID FROM IDGenerator"), "3"); // rolled back with the rest
}

TEST_F(MessageStoreTest, ChatLogsGoIntoChatboxWithTheirSecondLineAsTitle)
{
    ASSERT_TRUE(store->folders(PGHBox::Chat).create("others"));
    struct Case {
        const char *body;
        const char *title;
    };
    const Case cases[] = {
        {"heading\nsecond line\nthird", "second line"},
        {"heading\r\nwindows line\r\nthird", "windows line"},
        {"heading\nlast", "last"},
        {"heading\n", ""},
        {"only one line", "only one line"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        const std::optional<QList<qint64>> filed =
            store->chats().file({{"chatUser", QStringList{"Ann", "Bo"}}, {"bodyData", QString::fromUtf8(c.body)}});
        ASSERT_TRUE(filed);
        ASSERT_EQ(filed->size(), 1);
        EXPECT_EQ(store->chats().chat(filed->first())->title, QString::fromUtf8(c.title));
    }
    EXPECT_EQ(read("SELECT DISTINCT f.folderName, c.chatUser FROM ChatContext c JOIN ChatFolder f ON f.id = c.chatFolder"),
              "chatbox|Ann,Bo");
}

TEST_F(MessageStoreTest, SearchesAreCaseSensitiveWithAndWithoutTheBodyIndex)
{
    const qint64 chatbox = folderId(PGHBox::Chat, "000000000000002");
    const QStringList bodies{"head\nHello World", "head\nhello world", "head\nsay \"OR\" NEAR(x) *", "head\n안녕하세요 Hi"};
    for (const QString &body : bodies)
        ASSERT_TRUE(store->chats().file({{"bodyData", body}, {"chatUser", "Ann"}, {"chatUserID", "ann@parley.test"}}));
    const auto found = [&](const QString &key, const QString &text) {
        PGHListQuery query;
        query.searchKey = key;
        query.searchText = text;
        QStringList titles;
        const std::optional<QList<PGHChat>> chats = store->chats().list(chatbox, query);
        for (const PGHChat &c : *chats)
            titles << c.title;
        titles.sort();
        return titles;
    };
    struct Case {
        QString text;
        QStringList titles;
    };
    const QList<Case> cases{
        {"World", {"Hello World"}},
        {"world", {"hello world"}},
        {"Wo", {"Hello World"}},          // under three characters: no index
        {"H", {"Hello World", "안녕하세요 Hi"}},
        {"\"OR\"", {"say \"OR\" NEAR(x) *"}}, // query syntax is text
        {"NEAR(x) *", {"say \"OR\" NEAR(x) *"}},
        {"녕하세", {"안녕하세요 Hi"}},
        {"WORLD", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(found("bodyData", c.text), c.titles);
        // The index agrees with a scan of every log.
        EXPECT_EQ(store->chats().scanBodies(chatbox, c.text)->size(), c.titles.size());
    }
    // Partners are found by name or by ID, case-sensitively.
    EXPECT_EQ(found("chatUser", "ann@").size(), 4);
    EXPECT_EQ(found("chatUser", "Ann").size(), 4);
    EXPECT_EQ(found("chatUser", "ANN").size(), 0);
    EXPECT_EQ(read("INSERT INTO ChatBodyIndex(ChatBodyIndex) VALUES('integrity-check')"), "");
}

// A list read a page at a time joins into exactly the list read whole (and,
// for a body, the scan of every log), in every order: through ranges of the
// index while the ids follow the list order, through the index's whole
// answer once they scatter, and by scanning under three characters.
TEST_F(MessageStoreTest, ChatListsReadAPageAtATimeJoinIntoTheWholeList)
{
    const qint64 chatbox = folderId(PGHBox::Chat, "000000000000002");
    const std::optional<PGHFolder> other = store->folders(PGHBox::Chat).create("other");
    ASSERT_TRUE(other);
    QRandomGenerator random(35);
    const QStringList words{"회의", "점심", "lunch", "budget", "friday", "사진", "Zz", "zz", "plan"};
    {
        PGHSqliteDatabase &db = store->database();
        PGHTransaction transaction(db);
        PGHSqliteStatement insert = db.prepare(
            "INSERT INTO ChatContext (mid, chatUser, chatUserID, date, chatFolder, bodyData) VALUES (?, ?, ?, ?, ?, ?)");
        for (int i = 0; i < 300; ++i) {
            QString body = QStringLiteral("log %1\n").arg(i);
            for (int w = 0; w < 12; ++w)
                body += words.at(random.bounded(int(words.size()))) + QLatin1Char(' ');
            // The older half's dates scatter over its ids; one log has none;
            // a few lie in another folder.
            const qint64 date = i < 150 ? (i * 7919) % 150 : i;
            insert.reset();
            insert.bind(1, PGHMessageStore::formatID(5000 + i)).bind(2, QStringLiteral("Partner %1").arg(i % 13));
            insert.bind(3, QStringLiteral("p%1@parley.test").arg(i % 13));
            if (i != 42)
                insert.bind(4, qint64(1'700'000'000'000) + date * 60'000LL);
            insert.bind(5, i % 50 == 9 ? other->id : chatbox).bind(6, body);
            ASSERT_TRUE(insert.exec());
        }
        ASSERT_TRUE(transaction.commit());
    }
    struct Case {
        QString key, text;
    };
    const QList<Case> cases{
        {"bodyData", "budget 사진"}, {"bodyData", "회의 점"}, {"bodyData", "Zz zz"}, // the index
        {"bodyData", "회의"},        {"bodyData", "Zz"},      {"bodyData", "z"},     // scans
        {"bodyData", "nowhere"},     {"chatUser", "Partner 1"}, {"chatUser", "p3@"}, {"", ""},
    };
    int cut = 0; // first pages that stopped short of the folder's end
    for (const Case &c : cases) {
        for (const QString sortKey : {"date", "chatUser", "bodyData", "size"}) {
            for (const bool ascending : {false, true}) {
                SCOPED_TRACE((c.key + " " + c.text + " " + sortKey).toStdString() + (ascending ? " asc" : " desc"));
                const PGHListQuery query{sortKey, ascending, c.key, c.text};
                std::optional<PGHChatListing> listing = store->chats().startListing(chatbox, query);
                ASSERT_TRUE(listing);
                std::optional<QList<PGHChat>> first = store->chats().nextPage(*listing, 7);
                ASSERT_TRUE(first);
                cut += !listing->atEnd();
                QList<qint64> paged;
                for (const PGHChat &chat : *first)
                    paged << chat.id;
                paged << pagedIds(*listing, 7);
                const std::optional<QList<PGHChat>> all = store->chats().list(chatbox, query);
                ASSERT_TRUE(all);
                QList<qint64> whole;
                for (const PGHChat &chat : *all)
                    whole << chat.id;
                EXPECT_EQ(paged, whole);
                if (c.key == "bodyData" && sortKey == QLatin1String("date") && !ascending)
                    EXPECT_EQ(paged, *store->chats().scanBodies(chatbox, c.text));
                if (!whole.isEmpty()) {
                    EXPECT_TRUE(store->chats().lists(*listing, whole.last()));
                }
            }
        }
    }
    EXPECT_GT(cut, 40);
}

TEST_F(MessageStoreTest, MemoListsSortAndSearchTheirFolder)
{
    const qint64 inbox = folderId(PGHBox::Memo, "000000000000000");
    const auto at = [](int day) { return QDateTime(QDate(2024, 1, day), QTime(12, 0), Qt::UTC); };
    fileMemo({{"msgType", "inbox"}, {"subject", "Budget"}, {"suser", "Kim"}, {"date", at(2)}, {"size", 10}});
    fileMemo({{"msgType", "inbox"}, {"subject", "budget"}, {"suser", "Lee"}, {"date", at(3)}, {"size", 9}});
    fileMemo({{"msgType", "inbox"}, {"subject", "Lunch"}, {"suser", "kim"}, {"date", at(1)}, {"size", 100}});
    fileMemo({{"msgType", "outbox"}, {"subject", "Budget"}, {"ruser", "Kim"}, {"date", at(4)}});
    const auto subjects = [&](PGHListQuery query) {
        QStringList out;
        const std::optional<QList<PGHMemo>> memos = store->memos().list(inbox, query);
        for (const PGHMemo &m : *memos)
            out << m.subject;
        return out;
    };
    struct Case {
        const char *sortKey;
        bool ascending;
        const char *searchKey;
        const char *text;
        QStringList expected;
    };
    const Case cases[] = {
        {"date", false, "", "", {"budget", "Budget", "Lunch"}},
        {"date", true, "", "", {"Lunch", "Budget", "budget"}},
        {"size", true, "", "", {"budget", "Budget", "Lunch"}}, // sizes sort as numbers
        {"date", false, "subject", "Budget", {"Budget"}},
        {"date", false, "suser", "kim", {"Lunch"}},
        {"date", false, "suser", "Kim", {"Budget"}},
        {"date", false, "ruser", "Kim", {}}, // the outbox's memo is in another folder
        {"date; DROP TABLE MemoContext", false, "", "", {"budget", "Budget", "Lunch"}}, // unknown keys sort by date
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sortKey);
        EXPECT_EQ(subjects({c.sortKey, c.ascending, c.searchKey, c.text}), c.expected);
    }
}

TEST_F(MessageStoreTest, EditsAnswerWhatTheyChangedAndArePutBack)
{
    const std::optional<PGHFolder> work = store->folders(PGHBox::Memo).create("work");
    const qint64 a = fileMemo({{"msgType", "inbox"}, {"subject", "a"}, {"unread", 1}});
    const qint64 b = fileMemo({{"msgType", "inbox"}, {"subject", "b"}});
    const QString dump = "SELECT id, mid, subject, unread, memoFolder FROM MemoContext ORDER BY id";
    const QString before = read(dump);

    // Marks.
    EXPECT_EQ(*store->memos().unreadCount(), 1);
    const std::optional<PGHPreviousValues> marks = store->memos().setUnread({a, b}, 1);
    ASSERT_TRUE(marks);
    EXPECT_EQ(*store->memos().unreadCount(), 2);
    ASSERT_TRUE(store->memos().restore("unread", *marks));
    EXPECT_EQ(read(dump), before);

    // Moves.
    const std::optional<PGHPreviousValues> moved = store->memos().move({a, b}, work->id);
    ASSERT_TRUE(moved);
    EXPECT_EQ(read("SELECT count(*) FROM MemoContext WHERE memoFolder = " + QString::number(work->id)), "2");
    ASSERT_TRUE(store->memos().restore("memoFolder", *moved));
    EXPECT_EQ(read(dump), before);

    // Deleting memos, and a folder with its memos.
    const std::optional<PGHRowSnapshot> removed = store->memos().remove({a});
    ASSERT_TRUE(removed);
    EXPECT_EQ(read("SELECT count(*) FROM MemoContext"), "1");
    ASSERT_TRUE(store->memos().restore(*removed));
    EXPECT_EQ(read(dump), before);

    ASSERT_TRUE(store->memos().move({b}, work->id));
    const QString withMove = read(dump);
    const std::optional<PGHFolderDeletion> gone = store->folders(PGHBox::Memo).remove(work->id);
    ASSERT_TRUE(gone);
    EXPECT_EQ(read("SELECT count(*) FROM MemoContext"), "1"); // b went with its folder
    EXPECT_EQ(read("SELECT count(*) FROM MemoFolder"), "2");
    ASSERT_TRUE(store->folders(PGHBox::Memo).restore(*gone));
    EXPECT_EQ(read(dump), withMove);
    EXPECT_EQ(read("SELECT folderName, sn FROM MemoFolder WHERE id = " + QString::number(work->id)),
              "work|000000000000003");
    EXPECT_EQ(read("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(read("PRAGMA foreign_key_check"), "");
}

TEST_F(MessageStoreTest, BuiltInFoldersAreNeverDeleted)
{
    for (PGHBox box : {PGHBox::Memo, PGHBox::Chat}) {
        const std::optional<QList<PGHFolder>> folders = store->folders(box).all();
        for (const PGHFolder &folder : *folders)
            EXPECT_FALSE(store->folders(box).remove(folder.id)) << folder.folderName.toStdString();
    }
    EXPECT_EQ(read("SELECT count(*) FROM MemoFolder"), "2");
    EXPECT_EQ(read("SELECT count(*) FROM ChatFolder"), "1");
}

TEST_F(MessageStoreTest, ChatBodiesDeletedAndRestoredStayInTheIndex)
{
    const std::optional<QList<qint64>> filed = store->chats().file({{"bodyData", "head\nsecret plans"}});
    ASSERT_TRUE(filed);
    const std::optional<PGHRowSnapshot> removed = store->chats().remove(*filed);
    ASSERT_TRUE(removed);
    const qint64 chatbox = folderId(PGHBox::Chat, "000000000000002");
    PGHListQuery query{"date", false, "bodyData", "secret"};
    EXPECT_TRUE(store->chats().list(chatbox, query)->isEmpty());
    ASSERT_TRUE(store->chats().restore(*removed));
    EXPECT_EQ(store->chats().list(chatbox, query)->size(), 1);
    EXPECT_EQ(read("INSERT INTO ChatBodyIndex(ChatBodyIndex) VALUES('integrity-check')"), "");
}

// A store of the second version gains the index of body endings and keeps
// every row; two-character searches then come from the indexes and find
// exactly what a scan finds: pairs inside a body, ending it, or the whole of
// it, in Korean too.
TEST_F(MessageStoreTest, AStoreOfTheSecondVersionAnswersPairsFromItsIndexes)
{
    const QString old = earlierStore("second", 2);
    ASSERT_FALSE(old.isEmpty());
    const QStringList bodies{"a\n회의 now", "a\n점심 회의", "회의", "회", "a\nab", "ab", "a\nxab\n", "a\nb",
                             "a\n😀x", "a\ny😀", "a\nAB ab", "", "a\n회의회의"};
    QString insert = "INSERT INTO ChatContext(mid, chatFolder, date, bodyData) VALUES ";
    for (int i = 0; i < bodies.size(); ++i)
        insert += QStringLiteral("%1('%2', 1, %3, '%4')").arg(i ? "," : "").arg(100 + i, 15, 10, QLatin1Char('0')).arg(i).arg(bodies.at(i));
    ASSERT_EQ(sqliteTool(old, "PRAGMA foreign_keys = ON;" + insert + ", ('000000000000999', 1, 99, NULL);"), "");
    const QString dump = "SELECT id, mid, date, title, bodyData FROM ChatContext ORDER BY id";
    const QString before = sqliteTool(old, dump);

    QString error;
    store = PGHMessageStore::open(old, &error);
    ASSERT_TRUE(store) << error.toStdString();
    path = old;
    EXPECT_EQ(read("PRAGMA user_version"), "3");
    EXPECT_EQ(read(dump), before);
    EXPECT_EQ(read("SELECT count(*) FROM sqlite_master WHERE name = 'ChatContextByEnding'"), "1");
    EXPECT_EQ(read("PRAGMA integrity_check"), "ok");

    for (const QString text : {"회의", "ab", "AB", "b\n", "😀x", "y😀", "의회", "zz", "a\n"}) {
        SCOPED_TRACE(text.toStdString());
        const QList<qint64> scanned = *store->chats().scanBodies(1, text);
        // A page of one log at a time: the first window is scanned, the rest
        // come from the indexes.
        std::optional<PGHChatListing> listing = store->chats().startListing(1, {"date", false, "bodyData", text});
        ASSERT_TRUE(listing);
        EXPECT_EQ(pagedIds(*listing, 1), scanned);
        EXPECT_TRUE(listing->pairTrigrams); // the index was asked
    }
    // The index follows logs filed later.
    ASSERT_TRUE(store->chats().file({{"bodyData", "new\nends in ab"}}));
    std::optional<PGHChatListing> listing = store->chats().startListing(1, {"date", false, "bodyData", "ab"});
    ASSERT_TRUE(listing);
    listing->next = 1; // past the scanned first window
    const QList<qint64> found = pagedIds(*listing, 100);
    QList<qint64> scanned = *store->chats().scanBodies(1, "ab");
    scanned.removeAll(listing->order.first());
    EXPECT_EQ(found, scanned);
}

// --- which file is open -------------------------------------------------------

// No id is handed out twice, in any of the four tables: a deleted row's id
// stays free, so putting the row back (an undo) cannot meet a newcomer.
TEST_F(MessageStoreTest, AnIdOfADeletedRowIsNeverHandedOutAgain)
{
    const qint64 memo = fileMemo({{"msgType", "inbox"}, {"subject", "old"}});
    ASSERT_TRUE(store->memos().remove({memo}));
    EXPECT_GT(fileMemo({{"msgType", "inbox"}, {"subject", "new"}}), memo);

    const std::optional<QList<qint64>> chat = store->chats().file({{"bodyData", "a\nb"}});
    ASSERT_TRUE(chat && chat->size() == 1);
    ASSERT_TRUE(store->chats().remove(*chat));
    const std::optional<QList<qint64>> next = store->chats().file({{"bodyData", "c\nd"}});
    ASSERT_TRUE(next && next->size() == 1);
    EXPECT_GT(next->first(), chat->first());

    for (PGHBox box : {PGHBox::Memo, PGHBox::Chat}) {
        const std::optional<PGHFolder> made = store->folders(box).create("gone");
        ASSERT_TRUE(made);
        ASSERT_TRUE(store->folders(box).remove(made->id));
        const std::optional<PGHFolder> again = store->folders(box).create("again");
        ASSERT_TRUE(again);
        EXPECT_GT(again->id, made->id);
    }
    EXPECT_EQ(read("PRAGMA integrity_check"), "ok");
}

// A store written before ids were kept apart: the four tables are rebuilt in
// place, every row kept with its id, the chat body index and its triggers
// working on the rebuilt table.
TEST_F(MessageStoreTest, AStoreOfTheFirstVersionIsRebuiltKeepingEveryRow)
{
    const QString old = earlierStore("old", 1);
    ASSERT_FALSE(old.isEmpty());
    // Rows as the first version held them, with a gap where one was deleted.
    ASSERT_EQ(sqliteTool(old, "PRAGMA foreign_keys = ON;"
                              "INSERT INTO MemoFolder(folderName, sn) VALUES ('work', '000000000000003');"
                              "INSERT INTO ChatFolder(folderName, sn) VALUES ('friends', '000000000000004');"
                              "INSERT INTO MemoContext(mid, uuid, unread, subject, memoFolder, bodyData, date, size) VALUES "
                              "('000000000000005', 'u1', 1, 'one', 1, 'body one', 1000, 2),"
                              "('000000000000006', 'u2', 0, 'two', 3, 'body two', 2000, '3'),"
                              "('000000000000007', 'u3', 0, 'three', 1, 'body three', 3000, 1);"
                              "DELETE FROM MemoContext WHERE subject = 'two';"
                              "INSERT INTO ChatContext(mid, chatUser, chatFolder, bodyData, date) VALUES "
                              "('000000000000008', 'Ann', 1, 'Chat with Ann\nthe trip plans\nbye', 1500),"
                              "('000000000000009', 'Bo', 2, 'Chat with Bo\nlunch\nsee you', 2500);"
                              "UPDATE IDGenerator SET currentID = 10;"),
              "");
    const QString dump = "SELECT 'F', id, folderName, sn FROM MemoFolder UNION ALL "
                         "SELECT 'G', id, folderName, sn FROM ChatFolder UNION ALL "
                         "SELECT 'M', id, mid || unread || subject || memoFolder || bodyData || date || size, uuid FROM MemoContext UNION ALL "
                         "SELECT 'C', id, mid || chatUser || chatFolder || bodyData || date, title FROM ChatContext "
                         "ORDER BY 1, 2";
    const QString before = sqliteTool(old, dump);
    ASSERT_FALSE(before.startsWith("<error"));

    QString error;
    store = PGHMessageStore::open(old, &error);
    ASSERT_TRUE(store) << error.toStdString();
    EXPECT_FALSE(store->wasCreated());
    path = old;
    EXPECT_EQ(read("PRAGMA user_version"), QString::number(PGHStoreSchema::currentVersion()));
    EXPECT_EQ(read(dump), before);
    EXPECT_EQ(read("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                   "('MemoFolder', 'ChatFolder', 'MemoContext', 'ChatContext') AND sql LIKE '%AUTOINCREMENT%'"),
              "4");
    EXPECT_EQ(read("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE type IN ('index', 'trigger') "
                   "AND tbl_name IN ('MemoContext', 'ChatContext') AND sql IS NOT NULL ORDER BY name)"),
              "ChatBodyIndexDelete,ChatBodyIndexInsert,ChatBodyIndexUpdate,ChatContextByEnding,ChatContextByFolder,"
              "MemoContextByFolder,"
              "MemoContextByUUID,MemoContextUnread");
    EXPECT_EQ(read("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(read("PRAGMA foreign_key_check"), "");
    EXPECT_EQ(read("INSERT INTO ChatBodyIndex(ChatBodyIndex) VALUES ('integrity-check')"), "");

    // The index finds the old logs, and the triggers keep it up with new ones.
    const auto bodySearch = [&](qint64 folder, const QString &text) {
        PGHListQuery query;
        query.searchKey = "bodyData";
        query.searchText = text;
        QStringList titles;
        for (const PGHChat &c : store->chats().list(folder, query).value_or(QList<PGHChat>()))
            titles << c.title;
        return titles;
    };
    EXPECT_EQ(bodySearch(1, "trip plans"), QStringList{"the trip plans"});
    ASSERT_TRUE(store->chats().file({{"bodyData", "Chat with Cy\nnew plans\nok"},
                                     {"date", QDateTime::fromMSecsSinceEpoch(5000, Qt::UTC)}}));
    EXPECT_EQ(bodySearch(1, "plans"), (QStringList{"new plans", "the trip plans"}));
    // Relations still cascade: the user folder goes with its log.
    ASSERT_TRUE(store->folders(PGHBox::Chat).remove(2));
    EXPECT_EQ(read("SELECT count(*) FROM ChatContext WHERE chatFolder = 2"), "0");
    // New rows take ids after every one in use, and ids are not reused from here on.
    const qint64 memo = fileMemo({{"msgType", "inbox"}, {"subject", "four"}});
    EXPECT_EQ(memo, 4);
    ASSERT_TRUE(store->memos().remove({memo}));
    EXPECT_EQ(fileMemo({{"msgType", "inbox"}, {"subject", "five"}}), 5);
    EXPECT_EQ(read("PRAGMA integrity_check"), "ok");

    // Opened again: nothing more to do.
    store.reset();
    store = PGHMessageStore::open(old, &error);
    ASSERT_TRUE(store) << error.toStdString();
    EXPECT_EQ(read("SELECT count(*) FROM MemoContext"), "3");
}

class StoreControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!pigeonhole::test::sqliteToolAvailable())
            GTEST_SKIP() << "the sqlite3 tool is not installed";
        ASSERT_TRUE(dir.isValid());
        support = dir.filePath("Parley");
    }
    QString message(const QString &name) const { return support + "/Message/" + name; }

    QTemporaryDir dir;
    QString support;
};

TEST_F(StoreControllerTest, ThePreLoginStoreIsRemovedAtEveryTerminateRequest)
{
    PGHStoreController controller(support);
    PGHMessageStore *store = controller.store();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->path(), message("default.sqlite"));
    ASSERT_TRUE(store->memos().file({{"msgType", "inbox"}, {"subject", "before login"}}).ok);
    EXPECT_EQ(sqliteTool(message("default.sqlite"), "SELECT subject FROM MemoContext"), "before login");

    controller.terminate();
    for (const char *name : {"default.sqlite", "default.sqlite-wal", "default.sqlite-shm"})
        EXPECT_FALSE(QFileInfo::exists(message(name))) << name;

    // Used again, it starts empty; a login leaves the user's file in place.
    ASSERT_TRUE(controller.store());
    EXPECT_EQ(controller.switchToUser("user@parley.test"), PGHStoreController::Login::Switched);
    controller.terminate();
    EXPECT_FALSE(QFileInfo::exists(message("default.sqlite")));
    EXPECT_TRUE(QFileInfo::exists(message("user@parley.test.sqlite")));
    EXPECT_TRUE(controller.store());
}

TEST_F(StoreControllerTest, OnlyTheFirstLoginOfARunSwitches)
{
    PGHStoreController controller(support);
    int changes = 0;
    QObject::connect(&controller, &PGHStoreController::storeChanged, [&] { ++changes; });
    EXPECT_EQ(controller.switchToUser("a@parley.test"), PGHStoreController::Login::Switched);
    EXPECT_EQ(controller.switchToUser("b@parley.test"), PGHStoreController::Login::Ignored);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(controller.store()->path(), message("a@parley.test.sqlite"));
    EXPECT_FALSE(QFileInfo::exists(message("b@parley.test.sqlite")));
}

TEST_F(StoreControllerTest, UserIDsThatNameNoPlainFileAreIgnored)
{
    const QString tooLong(300, QLatin1Char('x'));
    const QStringList refused{"", "/", "a/b", "../x", ".", "..", ".hidden", QString("x") + QChar(u'\0') + "y",
                              "default", tooLong};
    PGHStoreController controller(support);
    for (const QString &id : refused) {
        SCOPED_TRACE(id.toStdString());
        EXPECT_EQ(controller.switchToUser(id), PGHStoreController::Login::Refused);
        EXPECT_FALSE(controller.hasUser());
    }
    EXPECT_EQ(QDir(support + "/Message").entryList(QDir::Files), QStringList());
    // Still open to a real login afterwards.
    EXPECT_EQ(controller.switchToUser("user.name@parley.test"), PGHStoreController::Login::Switched);
}

TEST_F(StoreControllerTest, NoSupportFolderIsAnErrorNotAnotherFolder)
{
    const QString blocked = dir.filePath("file");
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    PGHStoreController controller(blocked); // a file where the support folder should be
    QString reported;
    QObject::connect(&controller, &PGHStoreController::storeFailed, [&](const QString &r) { reported = r; });
    EXPECT_EQ(controller.store(), nullptr);
    EXPECT_FALSE(reported.isEmpty());
    EXPECT_EQ(controller.switchToUser("user@parley.test"), PGHStoreController::Login::Failed);
    EXPECT_EQ(controller.store(), nullptr); // never the pre-login store after a failed login
}

// --- a store of an earlier version, brought up to date on a worker -----------

// Every row of the four tables as the sqlite3 tool reads them.
constexpr char kEveryRow[] = "SELECT 'F', id, folderName, sn FROM MemoFolder UNION ALL "
                             "SELECT 'G', id, folderName, sn FROM ChatFolder UNION ALL "
                             "SELECT 'M', id, mid || unread || subject || memoFolder || bodyData || date || size, uuid FROM MemoContext "
                             "UNION ALL SELECT 'C', id, mid || chatUser || chatFolder || date, title || bodyData FROM ChatContext "
                             "ORDER BY 1, 2";

// Body searches of every kind (index phrases, pairs, a single character, a
// partner), each listed whole, against the scan in the scan's order.
void expectSearchesAsTheScan(PGHMessageStore &store)
{
    for (const QString text : {"회의", "ab", "xy", "F\n", "회의 3", "C0FFEE", "7", "Chat 12"}) {
        SCOPED_TRACE(text.toStdString());
        const std::optional<QList<PGHChat>> listed = store.chats().list(1, {"date", false, "bodyData", text});
        ASSERT_TRUE(listed);
        QList<qint64> ids;
        for (const PGHChat &chat : *listed)
            ids << chat.id;
        EXPECT_EQ(ids, store.chats().scanBodies(1, text).value_or(QList<qint64>{-1}));
    }
}

class StoreUpgradeTest : public StoreControllerTest
{
protected:
    void SetUp() override
    {
        StoreControllerTest::SetUp();
        if (IsSkipped())
            return;
        file = message("user@parley.test.sqlite");
        ASSERT_TRUE(QDir().mkpath(support + "/Message"));
    }
    QString file;
};

// The file opens at once, as it is: its folders list and its logs are found
// exactly as the scan finds them while the worker builds. The event loop
// turns all along, through each step (the main thread is never held for
// one), and afterwards the file is of the current version with every row.
TEST_F(StoreUpgradeTest, AnOlderStoreOpensAtOnceAndIsBroughtUpToDateWhileTheEventLoopTurns)
{
    ASSERT_EQ(pigeonhole::test::makeOlderStore(file, 1, 3000, 1500), "");
    const QString before = sqliteTool(file, kEveryRow);
    ASSERT_FALSE(before.startsWith("<error"));

    PGHStoreController controller(support);
    QList<std::pair<int, int>> steps;
    QMap<int, int> turnsInStep;
    std::optional<QString> finished;
    QObject::connect(&controller, &PGHStoreController::upgradeProgress, [&](int step, int of) { steps.append({step, of}); });
    QObject::connect(&controller, &PGHStoreController::upgradeFinished, [&](const QString &error) { finished = error; });
    ASSERT_EQ(controller.switchToUser("user@parley.test"), PGHStoreController::Login::Switched);
    ASSERT_TRUE(controller.isUpgrading());
    PGHMessageStore *store = controller.store();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->folders(PGHBox::Memo).all().value_or(QList<PGHFolder>()).size(), 2);
    EXPECT_EQ(store->memos().list(1, {"date", false, {}, {}}, 0, 200).value_or(QList<PGHMemo>()).size(), 200);

    // Every few turns while a step runs, a search as the window would ask
    // one (each kind in turn), against the scan.
    const QStringList texts{"회의", "ab", "F\n", "C0FFEE", "7"};
    int turns = 0;
    int searched = 0;
    QStringList differing;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++turns;
        if (steps.isEmpty() || finished)
            return;
        ++turnsInStep[steps.last().first];
        if (turns % 5 != 0)
            return;
        const QString text = texts.at(searched++ % texts.size());
        QList<qint64> ids;
        for (const PGHChat &chat : store->chats().list(1, {"date", false, "bodyData", text}).value_or(QList<PGHChat>()))
            ids << chat.id;
        if (ids != store->chats().scanBodies(1, text).value_or(QList<qint64>{-1}))
            differing << text;
    });
    ticker.start(0);
    ASSERT_TRUE(parley::test::waitUntil([&] { return finished.has_value(); }, 120000));
    ticker.stop();
    EXPECT_EQ(*finished, "");
    EXPECT_FALSE(controller.isUpgrading());
    EXPECT_EQ(steps, (QList<std::pair<int, int>>{{1, 2}, {2, 2}}));
    EXPECT_GT(turnsInStep.value(1), 3);
    EXPECT_GT(turnsInStep.value(2), 3);
    EXPECT_GT(searched, 0);
    EXPECT_EQ(differing, QStringList());

    EXPECT_EQ(sqliteTool(file, "PRAGMA user_version"), QString::number(PGHStoreSchema::currentVersion()));
    EXPECT_EQ(sqliteTool(file, kEveryRow), before);
    EXPECT_EQ(sqliteTool(file, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(sqliteTool(file, "SELECT count(*) FROM sqlite_master WHERE name = 'ChatContextByEnding'"), "1");
    // The log was emptied into the file.
    EXPECT_EQ(QFileInfo(file + "-wal").size(), 0);
    expectSearchesAsTheScan(*store);
    // Written again, with ids never handed out twice.
    const std::optional<QList<qint64>> filed =
        store->chats().file({{"bodyData", "new\nends in ab"}, {"date", QDateTime::currentDateTimeUtc()}});
    ASSERT_TRUE(filed && filed->size() == 1);
    EXPECT_EQ(store->chats().scanBodies(1, "ab")->first(), filed->first());
}

// An upgrade ended midway (as a quit does) leaves a file that opens with
// every row, can be written at once, and is brought up to date by the next
// open.
TEST_F(StoreUpgradeTest, AStoppedUpgradeLeavesAStoreThatOpensAndIsFinishedAtTheNextOpen)
{
    ASSERT_EQ(pigeonhole::test::makeOlderStore(file, 1, 3000, 3000), "");
    const QString before = sqliteTool(file, kEveryRow);
    {
        PGHStoreController controller(support);
        bool finished = false;
        QObject::connect(&controller, &PGHStoreController::upgradeFinished, [&] { finished = true; });
        ASSERT_EQ(controller.switchToUser("user@parley.test"), PGHStoreController::Login::Switched);
        // Midway through a step: the rebuilt tables are going into the log.
        ASSERT_TRUE(parley::test::waitUntil([&] { return QFileInfo(file + "-wal").size() > (2 << 20); }, 60000));
        controller.stopUpgrade();
        EXPECT_FALSE(controller.isUpgrading());
        QCoreApplication::processEvents();
        EXPECT_FALSE(finished); // stopped, not finished

        const QString version = sqliteTool(file, "PRAGMA user_version");
        EXPECT_TRUE(version == "1" || version == "2") << version.toStdString();
        EXPECT_EQ(sqliteTool(file, "PRAGMA integrity_check"), "ok");
        EXPECT_EQ(sqliteTool(file, "PRAGMA foreign_key_check"), "");
        EXPECT_EQ(sqliteTool(file, kEveryRow), before);
        ASSERT_TRUE(controller.store()->memos().file({{"msgType", "inbox"}, {"subject", "after the stop"}}).ok);
    }
    PGHStoreController controller(support);
    std::optional<QString> finished;
    QObject::connect(&controller, &PGHStoreController::upgradeFinished, [&](const QString &error) { finished = error; });
    ASSERT_EQ(controller.switchToUser("user@parley.test"), PGHStoreController::Login::Switched);
    EXPECT_TRUE(controller.isUpgrading());
    ASSERT_TRUE(parley::test::waitUntil([&] { return finished.has_value(); }, 120000));
    EXPECT_EQ(*finished, "");
    EXPECT_EQ(sqliteTool(file, "PRAGMA user_version"), QString::number(PGHStoreSchema::currentVersion()));
    EXPECT_EQ(sqliteTool(file, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(sqliteTool(file, "SELECT subject FROM MemoContext WHERE id > 3000"), "after the stop");
    // The rows as they were, and the memo filed after the stop (its row sorts last).
    const QString after = sqliteTool(file, kEveryRow);
    EXPECT_EQ(after.left(before.size() + 1), before + "\n");
    EXPECT_EQ(after.mid(before.size() + 1), "M|3001||");
    expectSearchesAsTheScan(*controller.store());
}

// A step that fails leaves the file as it was: told, with every row kept,
// the store read and written at its version, and tried again at the next open.
TEST_F(StoreUpgradeTest, AFailedUpgradeIsToldAndTheStoreIsUsedAsItIs)
{
    ASSERT_EQ(pigeonhole::test::makeOlderStore(file, 2, 100, 200), "");
    // A name the last step needs is taken.
    ASSERT_EQ(sqliteTool(file, "CREATE INDEX ChatContextByEnding ON ChatContext(date)"), "");
    const QString before = sqliteTool(file, kEveryRow);
    PGHStoreController controller(support);
    std::optional<QString> finished;
    QObject::connect(&controller, &PGHStoreController::upgradeFinished, [&](const QString &error) { finished = error; });
    ASSERT_EQ(controller.switchToUser("user@parley.test"), PGHStoreController::Login::Switched);
    ASSERT_TRUE(parley::test::waitUntil([&] { return finished.has_value(); }, 60000));
    EXPECT_TRUE(finished->contains("ChatContextByEnding")) << finished->toStdString();
    EXPECT_FALSE(controller.isUpgrading());
    EXPECT_EQ(sqliteTool(file, "PRAGMA user_version"), "2");
    EXPECT_EQ(sqliteTool(file, kEveryRow), before);
    expectSearchesAsTheScan(*controller.store());
    ASSERT_TRUE(controller.store()->chats().file({{"bodyData", "new\nlog"}}));
    EXPECT_EQ(sqliteTool(file, "SELECT count(*) FROM ChatContext"), "201");
}

} // namespace
