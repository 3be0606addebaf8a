// A 256 MiB file between two clients over loopback, directly and through the
// local service's relay, beside a baseline in the same run: the same file
// read, sent over one loopback TCP connection in 8,191-byte writes by one
// thread and written to the destination file by another.
//
// In real use the two clients are separate processes and the relay is another
// machine, so each gets its own thread and event loop here: the downloading
// client the main thread (the process's main thread, where commands are
// handled), the uploading client and the relay a thread each. The main loop
// sleeps while nothing happens, as a client's does, so that the CPU time is
// the transfer's own.
//
// Counters: the median wall time of an iteration; the process's CPU time
// (every thread, the relay's too); and beside the baseline, which runs first,
// "ratio": baseline median time / this median time (the throughput ratio),
// "cpu_ratio": baseline CPU / this CPU, steadier on a busy machine.

#include "FileRelayServer.h"
#include "NotificationNames.h"
#include "TransferClient.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace parley;
using namespace parley::test;
namespace nn = parley::notifications;

namespace {

constexpr int kSpinTimeoutMs = 300000;

constexpr qint64 kFileSize = 256LL * 1024 * 1024;
constexpr int kChunk = 8191;

// Turns the main loop until `done` holds, sleeping while no event comes (a
// client's loop does not spin). What makes `done` hold on another thread
// wakes the loop with an event of its own; the timer only bounds the wait.
bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(200);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs `fn` on `context`'s thread; the main loop keeps turning meanwhile, so
// a client thread that waits for the main thread is never stuck.
void runOn(QObject *context, const std::function<void()> &fn)
{
    if (context->thread() == QThread::currentThread()) {
        fn();
        return;
    }
    std::atomic<bool> done{false};
    QMetaObject::invokeMethod(context, [&] {
        fn();
        done = true;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    waitFor([&] { return done.load(); }, kSpinTimeoutMs);
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Wall and CPU time of each timed stretch of one benchmark.
struct Timings
{
    std::vector<double> wall;
    std::vector<double> cpu;
    QElapsedTimer clock;
    double cpuStart = 0;

    void start()
    {
        cpuStart = processCpuSeconds();
        clock.start();
    }
    void stop()
    {
        wall.push_back(double(clock.nsecsElapsed()) / 1e9);
        cpu.push_back(processCpuSeconds() - cpuStart);
    }
};

// The baseline's medians, for the ratios of the transfers that follow it.
double gBaselineWall = 0;
double gBaselineCpu = 0;

void report(benchmark::State &state, const Timings &timings, bool isBaseline)
{
    const double wall = median(timings.wall);
    const double cpu = median(timings.cpu);
    state.counters["median_ms"] = wall * 1e3;
    state.counters["cpu_ms"] = cpu * 1e3;
    if (isBaseline) {
        gBaselineWall = wall;
        gBaselineCpu = cpu;
    } else if (gBaselineWall > 0 && wall > 0 && cpu > 0) {
        state.counters["ratio"] = gBaselineWall / wall;
        state.counters["cpu_ratio"] = gBaselineCpu / cpu;
    }
}

// A client made, used and destroyed on a thread of its own.
class ClientThread
{
public:
    explicit ClientThread(const QString &userID)
    {
        mThread.start();
        mAnchor.moveToThread(&mThread);
        run([&] { client = std::make_unique<TransferClient>(userID); });
    }
    ~ClientThread()
    {
        run([&] { client.reset(); });
        mThread.quit();
        mThread.wait();
    }
    void run(const std::function<void()> &fn) { runOn(&mAnchor, fn); }

    std::unique_ptr<TransferClient> client;

private:
    QThread mThread;
    QObject mAnchor;
};

const QString &sourceFile()
{
    static QTemporaryDir dir;
    static const QString path = makeFile(dir.path(), QStringLiteral("source.bin"), kFileSize);
    return path;
}

void BM_Baseline(benchmark::State &state)
{
    const QString source = sourceFile();
    QTemporaryDir out;
    const QString copy = QDir(out.path()).filePath(QStringLiteral("copy.bin"));
    Timings timings;
    for (auto _ : state) {
        // The last copy goes outside the timing, as the clients' files do:
        // truncating 256 MiB is not part of a copy.
        state.PauseTiming();
        QFile::remove(copy);
        state.ResumeTiming();
        timings.start();
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
        ::listen(listener, 1);
        ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length);
        std::thread sender([&] {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
            QFile file(source);
            file.open(QIODevice::ReadOnly);
            char buffer[kChunk];
            qint64 n;
            while ((n = file.read(buffer, kChunk)) > 0) {
                for (qint64 sent = 0; sent < n;) {
                    const ssize_t w = ::send(fd, buffer + sent, size_t(n - sent), 0);
                    if (w <= 0)
                        break;
                    sent += w;
                }
            }
            ::close(fd);
        });
        const int peer = ::accept(listener, nullptr, nullptr);
        QFile destination(copy);
        destination.open(QIODevice::WriteOnly | QIODevice::Truncate);
        char buffer[64 * 1024];
        ssize_t n;
        while ((n = ::recv(peer, buffer, sizeof buffer, 0)) > 0)
            destination.write(buffer, n);
        destination.close();
        sender.join();
        ::close(peer);
        ::close(listener);
        timings.stop();
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    report(state, timings, true);
}
BENCHMARK(BM_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void transfer(benchmark::State &state, bool relayed)
{
    const QString source = sourceFile();
    QThread relayThread;
    relayThread.start();
    auto *relay = new localservice::FileRelayServer;
    relay->moveToThread(&relayThread);
    runOn(relay, [relay] { relay->listen(0, nullptr); });
    Timings timings;
    for (auto _ : state) {
        state.PauseTiming();
        {
            ClientThread uploader(QStringLiteral("alice@parley.test"));
            TransferClient &alice = *uploader.client;
            TransferClient bob(QStringLiteral("bob@parley.test"));
            uploader.run([&] { alice.linkTo(bob, relay); });
            bob.linkTo(alice, relay);
            if (relayed) {
                uploader.run([&] { alice.advertiseRefusedPort(); });
                bob.advertiseRefusedPort();
                bob.files->setTickInterval(1);
                bob.files->setRelayDelayTicks(1);
            }
            // Only the end matters here: no record of every chunk's notice.
            bool ended = false;
            bool failed = false;
            NotificationCenter &center = NotificationCenter::defaultCenter();
            const auto endToken = center.addObserver(QLatin1String(nn::kFileDownloadEndReceived), bob.files.get(),
                                                     [&](const Notification &) { ended = true; });
            const auto failToken = center.addObserver(QLatin1String(nn::kFileDownloadFailed), bob.files.get(),
                                                      [&](const Notification &) { failed = true; });
            uploader.run([&] { alice.files->uploadFiles({source}, bob.userID, QStringLiteral("room")); });
            waitFor([&] { return !bob.files->fileCookies().isEmpty(); }, kSpinTimeoutMs);
            const QString cookie = bob.files->fileCookies().value(0);
            state.ResumeTiming();
            timings.start();
            bob.files->acceptDownloadFor(cookie);
            const bool finished = waitFor([&] { return ended || failed; }, kSpinTimeoutMs);
            timings.stop();
            state.PauseTiming();
            center.removeObserver(endToken);
            center.removeObserver(failToken);
            if (!finished || failed) {
                state.SkipWithError("the transfer did not complete");
            } else if (QFileInfo(QDir(bob.files->downloadPath()).filePath(QStringLiteral("source.bin"))).size()
                       != kFileSize) {
                state.SkipWithError("wrong size");
            }
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    report(state, timings, false);
    relay->deleteLater();
    relayThread.quit();
    relayThread.wait();
}

void BM_Direct(benchmark::State &state) { transfer(state, false); }
BENCHMARK(BM_Direct)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Relayed(benchmark::State &state) { transfer(state, true); }
BENCHMARK(BM_Relayed)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
