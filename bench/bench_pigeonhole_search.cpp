// The message box's searches over a large store: memos by subject and sender
// among 100,000 memos, and chat logs by their text among 10,000 logs of 20 KB,
// through the trigram index and by scanning every log, and the first page the
// chat box lists for each body search (its whole list checked against the
// scan; the exit status is 1 when they differ). Prints one JSON line per
// measure (milliseconds per query: median and least of 11 runs).
//
// With --upgrade it measures instead a store of the first version with the
// same rows brought up to date as the box opens it (see upgradeMain).
//
// Usage: bench_pigeonhole_search [--small] [--upgrade]   (--small: a tenth of the rows)
#include "PGHChatTable.h"
#include "PGHChatTreeDataSource.h"
#include "PGHFolderTable.h"
#include "PGHMemoTable.h"
#include "PGHMemoTreeDataSource.h"
#include "PGHMessageStore.h"
#include "PGHStoreController.h"
#include "PGHStoreFiles.h"
#include "PGHStoreSchema.h"
#include "PGHTransaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

using namespace pigeonhole;

namespace {

const QStringList kWords{
    "meeting", "lunch", "report", "project", "travel", "budget", "photo", "schedule", "review", "question",
    "회의", "점심", "보고서", "여행", "예산", "사진", "일정", "검토", "질문", "내일",
    "morning", "evening", "weekend", "friday", "monday", "office", "coffee", "thanks", "please", "later",
};

QString words(QRandomGenerator &random, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << kWords.at(random.bounded(int(kWords.size())));
    return out.join(QLatin1Char(' '));
}

QString chatBody(QRandomGenerator &random, int index, int bytes)
{
    QString body = QStringLiteral("Chat log %1\nAbout %2\n").arg(index).arg(words(random, 3));
    while (body.toUtf8().size() < bytes)
        body += QStringLiteral("[%1:%2] %3\n").arg(random.bounded(24)).arg(random.bounded(60)).arg(words(random, 12));
    return body;
}

struct Timing {
    double median = 0, least = 0;
    qsizetype matches = 0;
};

Timing measure(const std::function<qsizetype()> &query)
{
    QList<double> ms;
    Timing t;
    for (int run = 0; run < 11; ++run) {
        QElapsedTimer timer;
        timer.start();
        t.matches = query();
        ms << timer.nsecsElapsed() / 1e6;
    }
    std::sort(ms.begin(), ms.end());
    t.median = ms.at(ms.size() / 2);
    t.least = ms.first();
    return t;
}

void report(const char *name, const char *method, int rows, const Timing &t)
{
    std::printf("{\"bench\":\"pigeonhole_search\",\"case\":\"%s\",\"method\":\"%s\",\"rows\":%d,\"matches\":%lld,"
                "\"median_ms\":%.3f,\"least_ms\":%.3f,\"goal_ms\":20}\n",
                name, method, rows, static_cast<long long>(t.matches), t.median, t.least);
    std::fflush(stdout);
}

// The fixture: memos in `inbox` and chat logs in `chatbox`, as one
// transaction (filing one by one syncs each).
void fillStore(PGHSqliteDatabase &db, int memoCount, int chatCount, qint64 inbox, qint64 chatbox)
{
    QRandomGenerator random(4711);
    QElapsedTimer fill;
    fill.start();
    {
        PGHTransaction transaction(db);
        PGHSqliteStatement memo = db.prepare(QStringLiteral(
            "INSERT INTO MemoContext (mid, uuid, msgType, unread, subject, suser, suserID, ruser, ruserID, date, size, memoFolder, bodyData) "
            "VALUES (?, ?, 'inbox', 0, ?, ?, ?, 'Me', 'me@parley.test', ?, 1, ?, ?)"));
        for (int i = 0; i < memoCount; ++i) {
            memo.reset();
            // Every 10,000th memo carries a word no other does.
            const QString subject = i % 10000 == 17 ? QStringLiteral("Zanzibar plans %1").arg(i) : words(random, 4);
            memo.bind(1, PGHMessageStore::formatID(100 + i)).bind(2, QStringLiteral("uuid-%1").arg(i)).bind(3, subject);
            memo.bind(4, QStringLiteral("Sender %1").arg(i % 500)).bind(5, QStringLiteral("user%1@parley.test").arg(i % 500));
            memo.bind(6, qint64(1'700'000'000'000) + i * 60'000LL).bind(7, inbox).bind(8, words(random, 40));
            memo.exec();
        }
        PGHSqliteStatement chat = db.prepare(QStringLiteral(
            "INSERT INTO ChatContext (mid, chatUser, chatUserID, date, size, chatFolder, bodyData) VALUES (?, ?, ?, ?, 20, ?, ?)"));
        for (int i = 0; i < chatCount; ++i) {
            chat.reset();
            QString body = chatBody(random, i, 20 * 1024);
            if (i % 1000 == 3)
                body.insert(body.size() / 2, QStringLiteral(" Zanzibar-4711 "));
            chat.bind(1, PGHMessageStore::formatID(200000 + i)).bind(2, QStringLiteral("Friend %1").arg(i % 300));
            chat.bind(3, QStringLiteral("friend%1@parley.test").arg(i % 300)).bind(4, qint64(1'700'000'000'000) + i * 60'000LL);
            chat.bind(5, chatbox).bind(6, body);
            chat.exec();
        }
        transaction.commit();
    }
    db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    std::printf("{\"bench\":\"pigeonhole_search\",\"case\":\"fill\",\"memos\":%d,\"chats\":%d,\"seconds\":%.1f}\n",
                memoCount, chatCount, fill.elapsed() / 1000.0);
    std::fflush(stdout);

}

// A store of the first version with the same fixture, opened as the box
// opens it: the upgrade runs on a worker while the event loop turns. Prints
// the upgrade's time, how long opening held the main thread, and the longest
// gap between two turns of the event loop meanwhile (a timer asks every
// millisecond; now and then a turn reads the first pages of a folder and of
// a search, as the window would).
int upgradeMain(bool small)
{
    const int memoCount = small ? 10000 : 100000;
    const int chatCount = small ? 1000 : 10000;
    QTemporaryDir dir;
    const std::optional<QString> folder = PGHStoreFiles::folder(dir.path());
    const QString user = QStringLiteral("bench@parley.test");
    if (!folder)
        return 1;
    {
        PGHSqliteDatabase db;
        QString error;
        if (!db.open(*folder + QLatin1Char('/') + *PGHStoreFiles::fileNameForUser(user), &error)
            || !db.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !PGHStoreSchema::upgrade(db, nullptr, &error, 1))
            return 1;
        fillStore(db, memoCount, chatCount, db.scalar(QStringLiteral("SELECT min(id) FROM MemoFolder")).toLongLong(),
                  db.scalar(QStringLiteral("SELECT min(id) FROM ChatFolder")).toLongLong());
    }
    PGHStoreController stores(dir.path());
    QEventLoop loop;
    QString failure = QStringLiteral("none");
    QObject::connect(&stores, &PGHStoreController::upgradeFinished, &loop, [&](const QString &error) {
        if (!error.isEmpty())
            failure = error;
        loop.quit();
    });
    QElapsedTimer sinceTurn;
    qint64 longestGap = 0;
    qint64 turns = 0;
    qint64 reads = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTurn.nsecsElapsed());
        // Every 50th turn the window's first pages are read, as a user
        // clicking through the folders meanwhile would (inside the gap).
        if (++turns % 50 == 0) {
            PGHMessageStore *open = stores.store();
            reads += open->memos().list(1, {QStringLiteral("date"), false, {}, {}}, 0, 200).value_or(QList<PGHMemo>()).size();
            reads += open->chats().list(1, {QStringLiteral("date"), false, QStringLiteral("bodyData"), QStringLiteral("friday budget")})
                         .value_or(QList<PGHChat>()).size();
        }
        sinceTurn.restart();
    });
    QElapsedTimer timer;
    timer.start();
    if (stores.switchToUser(user) != PGHStoreController::Login::Switched)
        return 1;
    const double openMs = timer.nsecsElapsed() / 1e6;
    const bool background = stores.isUpgrading();
    if (background) {
        sinceTurn.start();
        ticker.start();
        loop.exec();
        ticker.stop();
    }
    const double seconds = timer.elapsed() / 1000.0;
    // The upgraded store answers as the scan does.
    PGHMessageStore *store = stores.store();
    const qint64 chatbox = store->folders(PGHBox::Chat).all()->first().id;
    const std::optional<QList<PGHChat>> found =
        store->chats().list(chatbox, {QStringLiteral("date"), false, QStringLiteral("bodyData"), QStringLiteral("회의")});
    QList<qint64> listed;
    for (const PGHChat &chat : found.value_or(QList<PGHChat>()))
        listed << chat.id;
    const bool same = listed == store->chats().scanBodies(chatbox, QStringLiteral("회의")).value_or(QList<qint64>{-1});
    std::printf("{\"bench\":\"pigeonhole_search\",\"case\":\"upgrade\",\"memos\":%d,\"chats\":%d,\"on_worker\":%s,"
                "\"failure\":\"%s\",\"seconds\":%.2f,\"open_ms\":%.1f,\"loop_turns\":%lld,\"rows_read_meanwhile\":%lld,\"longest_turn_gap_ms\":%.1f,"
                "\"same_as_scan\":%s}\n",
                memoCount, chatCount, background ? "true" : "false", qPrintable(failure), seconds, openMs,
                static_cast<long long>(turns), static_cast<long long>(reads), longestGap / 1e6, same ? "true" : "false");
    return failure == QLatin1String("none") && same ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool small = args.contains(QStringLiteral("--small"));
    if (args.contains(QStringLiteral("--upgrade")))
        return upgradeMain(small);
    const int memoCount = small ? 10000 : 100000;
    const int chatCount = small ? 1000 : 10000;
    QTemporaryDir dir;
    // The store as the box opens it, so that its memo box can list it too.
    PGHStoreController stores(dir.path());
    if (stores.switchToUser(QStringLiteral("bench@parley.test")) != PGHStoreController::Login::Switched)
        return 1;
    PGHMessageStore *store = stores.store();
    const qint64 inbox = store->folders(PGHBox::Memo).all()->first().id;
    const qint64 chatbox = store->folders(PGHBox::Chat).all()->first().id;
    fillStore(store->database(), memoCount, chatCount, inbox, chatbox);

    PGHMemoTable memos = store->memos();
    PGHChatTable chats = store->chats();
    const auto memoQuery = [&](const char *key, const QString &text) {
        return [&memos, inbox, key, text] {
            return memos.list(inbox, {QStringLiteral("date"), false, QLatin1String(key), text})->size();
        };
    };
    const auto chatQuery = [&](const QString &text) {
        return [&chats, chatbox, text] {
            return chats.list(chatbox, {QStringLiteral("date"), false, QStringLiteral("bodyData"), text})->size();
        };
    };
    const auto chatScan = [&](const QString &text) {
        return [&chats, chatbox, text] { return chats.scanBodies(chatbox, text)->size(); };
    };

    report("memo_subject_rare", "instr", memoCount, measure(memoQuery("subject", QStringLiteral("Zanzibar"))));
    report("memo_subject_common", "instr", memoCount, measure(memoQuery("subject", QStringLiteral("회의 점심"))));
    report("memo_sender", "instr", memoCount, measure(memoQuery("suser", QStringLiteral("Sender 42"))));
    report("memo_folder_listing", "no search", memoCount, measure(memoQuery("subject", QString())));
    // Opening the folder as the memo box does: the first page is read and
    // listed, the rest as the view scrolls to it.
    QUndoStack undo;
    PGHMemoTreeDataSource box(stores, undo);
    box.refrash();
    const QModelIndex inboxIndex = box.folderModel()->indexOfFolder(inbox);
    const QModelIndex outboxIndex = box.folderModel()->index(1, 0);
    report("memo_folder_open", "first page", memoCount, measure([&] {
               // From the (empty) outbox, so that each run lists the inbox anew.
               box.selectTreeIndex(outboxIndex);
               box.selectTreeIndex(inboxIndex);
               return qsizetype(box.messageCount());
           }));
    report("chat_body_rare", "trigram index", chatCount, measure(chatQuery(QStringLiteral("Zanzibar-4711"))));
    report("chat_body_rare", "scan", chatCount, measure(chatScan(QStringLiteral("Zanzibar-4711"))));
    report("chat_body_phrase", "trigram index", chatCount, measure(chatQuery(QStringLiteral("friday budget 사진"))));
    report("chat_body_phrase", "scan", chatCount, measure(chatScan(QStringLiteral("friday budget 사진"))));
    report("chat_body_two_characters", "instr (under three)", chatCount, measure(chatQuery(QStringLiteral("Zz"))));

    // Searching as the chat box does: the first page is searched and listed,
    // the rest as the view scrolls to it. Each list, read to its end, must be
    // the scan's answer in the scan's order.
    PGHChatTreeDataSource chatBox(stores, undo);
    chatBox.refrash();
    bool allSame = true;
    const auto firstPage = [&](const char *name, const QString &text) {
        report(name, "first page", chatCount, measure([&] {
                   chatBox.setSearchText(text);
                   chatBox.search();
                   return qsizetype(chatBox.messageCount());
               }));
        QAbstractItemModel *model = chatBox.listModel();
        while (model->canFetchMore({}))
            model->fetchMore({});
        QList<qint64> listed;
        for (const PGHChat &chat : chatBox.chatList().rows())
            listed << chat.id;
        const bool same = listed == chats.scanBodies(chatbox, text).value_or(QList<qint64>{-1});
        allSame = allSame && same;
        std::printf("{\"bench\":\"pigeonhole_search\",\"case\":\"%s\",\"whole_list_matches\":%lld,\"same_as_scan\":%s}\n",
                    name, static_cast<long long>(listed.size()), same ? "true" : "false");
    };
    firstPage("chat_body_rare", QStringLiteral("Zanzibar-4711"));
    firstPage("chat_body_phrase", QStringLiteral("friday budget 사진"));
    firstPage("chat_body_two_characters", QStringLiteral("Zz"));
    firstPage("chat_body_two_characters_common", QStringLiteral("회의"));
    return allSame ? 0 : 1;
}
