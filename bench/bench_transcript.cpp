// Ten thousand chat lines appended to one transcript: the cost per line of
// the first thousand against the last thousand. Each line is appended as a
// user would see it arrive (the view then paints), so the figure holds
// parsing, layout, scrolling and painting. The goal: the last thousand cost
// at most twice the first.
//
// A chat log of 1,000 lines shown at once: every line appended before the
// view is shown, then laid out and painted once. The goal: 150 ms.

#include "ConversationBenchSupport.h"
#include "Conversation/KCWebView.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <ctime>

namespace {

constexpr int kLines = 10000;
constexpr int kWindow = 1000;

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

QString lineText(int n)
{
    switch (n % 4) {
    case 0:
        return QStringLiteral("민지:\n오늘 회의는 세 시에 시작해요 /smile/ 자료는 www.example.com/slides/%1 에 있어요").arg(n);
    case 1:
        return QStringLiteral("Me:\nThanks! I'll mail kim@example.com with line %1 <b>soon</b> & more").arg(n);
    case 2:
        return QStringLiteral("민지:\n네 알겠습니다 /heart/ /wink/ 그럼 이따 봐요 (%1)").arg(n);
    default:
        return QStringLiteral("Me:\nSee http://example.com/a?b=%1 and the long tail of this message that wraps").arg(n);
    }
}

void BM_TranscriptAppend10000Lines(benchmark::State &state)
{
    parley::bench::BenchEmoticons emoticons;
    for (auto _ : state) {
        KCWebView view;
        view.setDataSource(&emoticons);
        view.resize(420, 480);
        view.show();
        QCoreApplication::processEvents();
        double firstWall = 0, lastWall = 0, firstCpu = 0, lastCpu = 0;
        QElapsedTimer wall;
        double cpu = 0;
        for (int n = 0; n < kLines; ++n) {
            if (n == 0 || n == kLines - kWindow) {
                wall.start();
                cpu = cpuSeconds();
            }
            view.appendChatMessage(lineText(n), QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(), true);
            QCoreApplication::processEvents();
            if (n == kWindow - 1) {
                firstWall = double(wall.nsecsElapsed()) / 1e3 / kWindow;
                firstCpu = (cpuSeconds() - cpu) * 1e6 / kWindow;
            } else if (n == kLines - 1) {
                lastWall = double(wall.nsecsElapsed()) / 1e3 / kWindow;
                lastCpu = (cpuSeconds() - cpu) * 1e6 / kWindow;
            }
        }
        state.counters["first1000_us_per_line"] = firstWall;
        state.counters["last1000_us_per_line"] = lastWall;
        state.counters["first1000_cpu_us_per_line"] = firstCpu;
        state.counters["last1000_cpu_us_per_line"] = lastCpu;
        state.counters["ratio_cpu_last_to_first"] = lastCpu / firstCpu;
        state.counters["ratio_wall_last_to_first"] = lastWall / firstWall;
    }
}
BENCHMARK(BM_TranscriptAppend10000Lines)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TranscriptShow1000LineLog(benchmark::State &state)
{
    parley::bench::BenchEmoticons emoticons;
    for (auto _ : state) {
        KCWebView view;
        view.setDataSource(&emoticons);
        view.resize(420, 480);
        QElapsedTimer wall;
        wall.start();
        const double cpu = cpuSeconds();
        for (int n = 0; n < kWindow; ++n)
            view.appendChatMessage(lineText(n), QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(), true);
        view.show();
        QCoreApplication::processEvents(); // laid out and painted
        state.counters["log1000_shown_ms"] = double(wall.nsecsElapsed()) / 1e6;
        state.counters["log1000_shown_cpu_ms"] = (cpuSeconds() - cpu) * 1e3;
    }
}
BENCHMARK(BM_TranscriptShow1000LineLog)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
