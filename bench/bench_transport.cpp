// The transport's hot paths: bytes through an AsyncSocket pair over loopback
// (read-any reads, 4096-byte write chunks), and lines through a session's
// receive loop (framing, decoding, dispatch).

#include "Net/AsyncSocket.h"
#include "Packet/PLRecvPacket.h"
#include "Sessions/PLSession.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

using namespace parley;

namespace {

constexpr int kSpinTimeoutMs = 30000;

class Sink : public AsyncSocketDelegate
{
public:
    void onSocketDidAcceptNewSocket(AsyncSocket *, AsyncSocket *socket) override { accepted.reset(socket); }
    void onSocketDidConnectToHost(AsyncSocket *, const QString &, quint16) override { ++connected; }
    void onSocketDidReadData(AsyncSocket *socket, const QByteArray &data, long) override
    {
        received += data.size();
        socket->readDataWithTimeout(-1, 0);
    }
    std::unique_ptr<AsyncSocket> accepted;
    int connected = 0;
    qint64 received = 0;
};

void BM_LoopbackThroughput(benchmark::State &state)
{
    Sink server, client;
    AsyncSocket listener(&server);
    listener.acceptOnInterface(QStringLiteral("localhost"), 0);
    AsyncSocket sender(&client);
    sender.connectToHost(QStringLiteral("127.0.0.1"), listener.localPort4(), 5);
    if (!parley::bench::spin([&] { return server.accepted && server.connected && client.connected; }, kSpinTimeoutMs)) {
        state.SkipWithError("no connection");
        return;
    }
    server.accepted->readDataWithTimeout(-1, 0);
    const QByteArray block(qsizetype(state.range(0)), 'x');
    for (auto _ : state) {
        const qint64 target = server.received + block.size();
        sender.writeData(block, -1, 0);
        parley::bench::spin([&] { return server.received >= target; }, kSpinTimeoutMs);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * block.size());
}
BENCHMARK(BM_LoopbackThroughput)->Arg(64 * 1024)->Arg(1024 * 1024)->UseRealTime();

class CountingSession : public PLSession
{
public:
    CountingSession()
    {
        registerProcessMethod(QStringLiteral("PING"), [this](PLRecvPacket &) { ++handled; });
    }
    qint64 handled = 0;
};

void BM_SessionReceiveLoop(benchmark::State &state)
{
    QByteArray chunk;
    for (int i = 0; i < 1000; ++i)
        chunk += "PING " + QByteArray::number(i) + "\r\n";
    CountingSession session;
    for (auto _ : state)
        session.dataReceived(chunk);
    state.SetItemsProcessed(session.handled);
}
BENCHMARK(BM_SessionReceiveLoop);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
