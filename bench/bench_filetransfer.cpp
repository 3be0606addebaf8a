// A 256 MiB file between two clients over loopback, directly and through the
// local service's relay, beside a baseline in the same run: the same file
// read, sent over one loopback TCP connection in 8,191-byte writes by one
// thread and written to the destination file by another.

#include "FileRelayServer.h"
#include "NotificationNames.h"
#include "TransferClient.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace parley;
using namespace parley::test;
namespace nn = parley::notifications;

namespace {

constexpr qint64 kFileSize = 256LL * 1024 * 1024;
constexpr int kChunk = 8191;

bool spin(const std::function<bool()> &done, int timeoutMs = 300000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

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
    for (auto _ : state) {
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
        QFile destination(QDir(out.path()).filePath(QStringLiteral("copy.bin")));
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
    localservice::FileRelayServer relay;
    relay.listen(0, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        TransferClient alice(QStringLiteral("alice@parley.test"));
        TransferClient bob(QStringLiteral("bob@parley.test"));
        alice.linkTo(bob, &relay);
        bob.linkTo(alice, &relay);
        if (relayed) {
            alice.advertiseRefusedPort();
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
        alice.files->uploadFiles({source}, bob.userID, QStringLiteral("room"));
        spin([&] { return !bob.files->fileCookies().isEmpty(); });
        const QString cookie = bob.files->fileCookies().value(0);
        state.ResumeTiming();
        bob.files->acceptDownloadFor(cookie);
        const bool finished = spin([&] { return ended || failed; });
        center.removeObserver(endToken);
        center.removeObserver(failToken);
        if (!finished || failed) {
            state.SkipWithError("the transfer did not complete");
            return;
        }
        state.PauseTiming();
        if (QFileInfo(QDir(bob.files->downloadPath()).filePath(QStringLiteral("source.bin"))).size() != kFileSize)
            state.SkipWithError("wrong size");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
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
