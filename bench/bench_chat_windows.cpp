// Memory per open chat window: twenty chat windows opened offscreen, each
// with a transcript of 1,000 lines (name and message lines with emoticons),
// and the resident memory they add, per window. A first window opened and
// closed before measuring carries the one-time costs (fonts, emoticon
// pictures, styles), which are not a window's. The goal: 10 MB or less.
//
// The burst: 2,000 lines arriving from the room, one after another, at a
// hidden chat window (each unseen, so each raises the window's notices), and
// the resident memory they add per line; it should stay within what a line
// costs in the windows above.

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Chat/ChatDocument.h"
#include "Chat/ChatManager.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "NotificationCenter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

constexpr int kWindows = 20;
constexpr int kLines = 1000;

// The resident set now, from the kernel's own record.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

QString buddyID(int i) { return QStringLiteral("b%1@parley.test").arg(i); }

void fill(parley::ChatDocument &window, const QString &peer)
{
    for (int n = 0; n < kLines; n += 2) {
        window.conversation().addMessage(
            QStringLiteral("Gulim\t8388608\t\t오늘 회의는 세 시에 시작해요 /smile/ 자료는 www.example.com/%1 에 있어요").arg(n),
            peer, false, false);
        window.conversation().addMessage(QStringLiteral("Thanks /heart/ I'll be there, line %1").arg(n + 1), QString(),
                                         true, false);
    }
    QCoreApplication::processEvents();
}

void BM_ChatWindowMemory(benchmark::State &state)
{
    parley::NotificationCenter center;
    parley::PLChatSessionManager rooms(center);
    parley::ChatManager::Account account;
    int next = 0;
    account.createRoom = [&](const QStringList &, QString *uuid) {
        *uuid = QStringLiteral("bench-%1").arg(++next);
        return true;
    };
    parley::ChatManager manager(rooms, center, account);
    parley::PLBuddyManager &buddies = parley::PLBuddyManager::sharedManager();
    for (int i = 0; i <= kWindows; ++i) {
        parley::PLBuddyPtr b = buddies.createBuddyForCMN(QString::number(300000 + i));
        b->setVelaID(buddyID(i));
        b->setName(QStringLiteral("Buddy %1").arg(i));
        b->setStatus(1);
        b->setBuddyFlags(QStringLiteral("1100"));
    }
    parley::PLMyInfoManager::sharedManager().setStatus(1);

    for (auto _ : state) {
        {
            QPointer<parley::ChatDocument> warm = manager.openChatRoom({buddyID(kWindows)});
            fill(*warm, buddyID(kWindows));
            delete warm.data();
            manager.reset();
            QCoreApplication::processEvents();
        }
        malloc_trim(0);
        const long before = residentKiB();
        QList<QPointer<parley::ChatDocument>> windows;
        for (int i = 0; i < kWindows; ++i) {
            windows << manager.openChatRoom({buddyID(i)});
            fill(*windows.last(), buddyID(i));
        }
        QCoreApplication::processEvents();
        const long after = residentKiB();
        state.counters["windows"] = kWindows;
        state.counters["lines_per_window"] = kLines;
        state.counters["rss_before_MiB"] = double(before) / 1024;
        state.counters["rss_after_MiB"] = double(after) / 1024;
        state.counters["added_per_window_MiB"] = double(after - before) / 1024 / kWindows;
        for (const QPointer<parley::ChatDocument> &window : windows)
            delete window.data();
        manager.reset();
    }
}
BENCHMARK(BM_ChatWindowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

constexpr int kBurstLines = 2000;

void BM_HiddenChatWindowBurst(benchmark::State &state)
{
    parley::NotificationCenter center;
    parley::PLChatSessionManager rooms(center);
    parley::ChatManager::Account account;
    account.createRoom = [](const QStringList &, QString *uuid) {
        *uuid = QStringLiteral("burst");
        return true;
    };
    parley::ChatManager manager(rooms, center, account);
    parley::PLBuddyPtr b = parley::PLBuddyManager::sharedManager().createBuddyForCMN(QStringLiteral("400000"));
    b->setVelaID(buddyID(0));
    b->setName(QStringLiteral("Buddy"));
    b->setStatus(1);
    b->setBuddyFlags(QStringLiteral("1100"));
    parley::PLMyInfoManager::sharedManager().setStatus(1);

    for (auto _ : state) {
        QPointer<parley::ChatDocument> window = manager.openChatRoom({buddyID(0)});
        window->hide();
        const auto arrive = [&](int n) {
            window->conversation().messageReceived(
                {{QStringLiteral("velaID"), buddyID(0)},
                 {QStringLiteral("sessionKey"), window->sessionKey()},
                 {QStringLiteral("message"),
                  QStringLiteral("Gulim\t8388608\t\t오늘 회의는 세 시에 시작해요 /smile/ 자료는 www.example.com/%1 에 있어요")
                      .arg(n)}});
            QCoreApplication::processEvents();
        };
        // The first lines carry the one-time costs (the first notice, fonts).
        for (int n = 0; n < 50; ++n)
            arrive(n);
        malloc_trim(0);
        const long before = residentKiB();
        QElapsedTimer wall;
        wall.start();
        for (int n = 0; n < kBurstLines; ++n)
            arrive(n);
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        malloc_trim(0);
        const long after = residentKiB();
        state.counters["lines"] = kBurstLines;
        state.counters["added_per_line_KiB"] = double(after - before) / kBurstLines;
        state.counters["ms_per_line"] = seconds * 1e3 / kBurstLines;
        delete window.data();
        manager.reset();
    }
}
BENCHMARK(BM_HiddenChatWindowBurst)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
