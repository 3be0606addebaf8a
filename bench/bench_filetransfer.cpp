// A 256 MiB file between two clients over loopback, directly and through the
// local service's relay, beside a baseline in the same run: the same file
// read, sent over one loopback TCP connection in 8,191-byte writes by one
// thread and written to the destination file by another.
//
// In real use the two clients are separate processes and the relay is another
// machine, so each gets its own thread and event loop here: the downloading
// client the main thread (the process's main thread, where commands are
// handled), the uploading client and the relay a thread each.

#include "FileRelayServer.h"
#include "NotificationNames.h"
#include "TransferClient.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace parley;
using namespace parley::test;
namespace nn = parley::notifications;

namespace {

constexpr int kSpinTimeoutMs = 300000;

constexpr qint64 kFileSize = 256LL * 1024 * 1024;
constexpr int kChunk = 8191;

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
    }, Qt::QueuedConnection);
    parley::bench::spin([&] { return done.load(); }, kSpinTimeoutMs);
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
    for (auto _ : state) {
        // The last copy goes outside the timing, as the clients' files do:
        // truncating 256 MiB is not part of a copy.
        state.PauseTiming();
        QFile::remove(copy);
        state.ResumeTiming();
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
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
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
            parley::bench::spin([&] { return !bob.files->fileCookies().isEmpty(); }, kSpinTimeoutMs);
            const QString cookie = bob.files->fileCookies().value(0);
            state.ResumeTiming();
            bob.files->acceptDownloadFor(cookie);
            const bool finished = parley::bench::spin([&] { return ended || failed; }, kSpinTimeoutMs);
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
