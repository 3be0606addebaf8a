// Chat throughput: 10,000 messages from one client to another through the
// local service's switchboard, in a plain and in an encrypted room. The
// service runs on its own thread, so the main thread's CPU time is the two
// clients' alone (sender and receiver together). Counters: messages per
// second, and client CPU microseconds per message.
//
// The encrypted room uses libcoffer3 on both ends, with a server certificate
// made by the openssl tool when the benchmark starts.

#include "ChatManagement/PLChatMessageProtocol.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "LocalService.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Sessions/PLChatCrypto.h"
#include "SwitchboardServer.h"

#include <coffer.h>
#include <nblob.h>

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <ctime>
#include <memory>

using namespace parley;

namespace {

constexpr int kSpinTimeoutMs = 60000;

constexpr int kMessages = 10000;

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The client side of libcoffer3's key exchange, one session per room key.
class CofferChatCrypto : public PLChatCrypto
{
public:
    CofferChatCrypto() { mContext.Init(0); }
    ~CofferChatCrypto() override { qDeleteAll(mSessions); }

    std::optional<QVariantMap> encryptSessionKey(const QByteArray &publicKey, bool) override
    {
        auto *session = new CNClientSession(&mContext);
        if (!session->Init(reinterpret_cast<const unsigned char *>(publicKey.constData()), unsigned(publicKey.size()),
                           COFFER_BLOB_BASE64, 0)) {
            delete session;
            return std::nullopt;
        }
        const _NBLOB *key = session->ExportSessionKey(COFFER_BLOB_BASE64);
        if (!key) {
            delete session;
            return std::nullopt;
        }
        const QString value = QString::fromLatin1(reinterpret_cast<const char *>(key->data), qsizetype(key->size));
        delete mSessions.take(value);
        mSessions.insert(value, session);
        return QVariantMap{{QStringLiteral("size"), int(key->size)}, {QStringLiteral("value"), value}};
    }
    QString enCryptMessage(const QString &text, const QString &sessionKey) override
    {
        CNClientSession *session = mSessions.value(sessionKey);
        if (!session)
            return {};
        const QByteArray plain = text.toUtf8();
        return take(session->EncryptMessage(reinterpret_cast<const unsigned char *>(plain.constData()),
                                            unsigned(plain.size()), COFFER_BLOB_BASE64));
    }
    std::optional<QString> deCryptMessage(const QString &text, const QString &sessionKey) override
    {
        CNClientSession *session = mSessions.value(sessionKey);
        if (!session)
            return std::nullopt;
        const QByteArray cipher = text.toLatin1();
        const QString plain = take(session->DecryptMessage(reinterpret_cast<const unsigned char *>(cipher.constData()),
                                                           unsigned(cipher.size()), COFFER_BLOB_BASE64));
        if (plain.isNull())
            return std::nullopt;
        return plain;
    }
    void clearSessionDicForSSK(const QString &sessionKey) override { delete mSessions.take(sessionKey); }

private:
    static QString take(_NBLOB *blob)
    {
        if (!blob)
            return {};
        QString text = QString::fromUtf8(reinterpret_cast<const char *>(blob->data), qsizetype(blob->size));
        DestroyBlob(blob);
        return text;
    }
    CCofferContext mContext;
    QHash<QString, CNClientSession *> mSessions;
};

class CountingReceiver : public PLChatMessageProtocol
{
public:
    void messageReceived(const QVariantMap &) override { ++messages; }
    void awayMessageReceived(const QVariantMap &) override {}
    void typingInfoReceived(const QVariantMap &) override {}
    void animiconReceived(const QVariantMap &) override {}
    void userInfoReceived(const QVariantMap &) override {}
    void userJoined(const QVariantMap &) override { ++joined; }
    void userQuited(const QVariantMap &) override {}
    void ackAnimicon(const QVariantMap &) override {}
    void messagesUndelivered(const QVariantMap &) override {}
    int messages = 0;
    int joined = 0;
};

struct Client {
    explicit Client(const QString &id, PLChatCrypto *crypto, bool encrypted) : manager(center)
    {
        manager.setIdentityProvider([id] { return PLChatIdentity{id, {}}; });
        manager.setRelayInfoProvider([] { return QVariantMap(); });
        manager.setCrypto(crypto);
        manager.setEncryptMode(encrypted);
        center.addObserver(QString::fromLatin1(notifications::kChatSessionActivated), nullptr, [this](const Notification &n) {
            manager.setMessageReceiver(&receiver, n.userInfo.value(QStringLiteral("sessionKey")).toString());
        });
    }
    NotificationCenter center;
    PLChatSessionManager manager;
    CountingReceiver receiver;
};

// The local service on a thread of its own.
class ServiceThread
{
public:
    bool start(const localservice::ServiceOptions &options)
    {
        mThread.start();
        mContext.moveToThread(&mThread);
        bool started = false;
        QMetaObject::invokeMethod(&mContext, [&] {
            mService = std::make_unique<localservice::LocalService>();
            QString error;
            started = mService->start(options, &error);
            if (!started)
                qWarning("local service: %s", qPrintable(error));
        }, Qt::BlockingQueuedConnection);
        return started;
    }
    QString createRoom()
    {
        QString key;
        QMetaObject::invokeMethod(&mContext, [&] { key = mService->switchboardServer()->createRoom(); },
                                  Qt::BlockingQueuedConnection);
        return key;
    }
    quint16 port()
    {
        quint16 port = 0;
        QMetaObject::invokeMethod(&mContext, [&] { port = mService->switchboardPort(); }, Qt::BlockingQueuedConnection);
        return port;
    }
    ~ServiceThread()
    {
        QMetaObject::invokeMethod(&mContext, [&] { mService.reset(); }, Qt::BlockingQueuedConnection);
        mThread.quit();
        mThread.wait();
    }

private:
    QThread mThread;
    QObject mContext;
    std::unique_ptr<localservice::LocalService> mService;
};

bool openssl(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("openssl"), arguments);
    return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

void BM_ChatMessages(benchmark::State &state)
{
    const bool encrypted = state.range(0) != 0;
    setLogSink([](const QString &) {});
    QTemporaryDir dir;
    localservice::ServiceOptions options;
    if (encrypted) {
        options.keyFile = dir.filePath(QStringLiteral("server.key"));
        options.certChainFile = dir.filePath(QStringLiteral("server.pem"));
        if (!openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", options.keyFile, "-out",
                      options.certChainFile, "-subj", "/CN=sb.parley.test", "-days", "2"})) {
            state.SkipWithError("the openssl tool made no certificate");
            return;
        }
    }
    ServiceThread service;
    if (!service.start(options)) {
        state.SkipWithError("the local service did not start");
        return;
    }
    CofferChatCrypto aliceCrypto, bobCrypto;
    Client alice(QStringLiteral("alice"), &aliceCrypto, encrypted), bob(QStringLiteral("bob"), &bobCrypto, encrypted);
    const QString key = service.createRoom();
    const quint16 port = service.port();
    alice.center.post(QString::fromLatin1(notifications::kSwitchBoardInfoReceived), nullptr,
                      {{QStringLiteral("tid"), 1}, {QStringLiteral("ip"), QStringLiteral("127.0.0.1")}, {QStringLiteral("key"), key},
                       {QStringLiteral("port"), port}, {QStringLiteral("buddyIDs"), QStringList{QStringLiteral("bob")}},
                       {QStringLiteral("sessionUUID"), QStringLiteral("u")}});
    bob.center.post(QString::fromLatin1(notifications::kInvitedToChat), nullptr,
                    {{QStringLiteral("ip"), QStringLiteral("127.0.0.1")}, {QStringLiteral("key"), key}, {QStringLiteral("port"), port}});
    const auto joined = [&] { return alice.receiver.joined == 1 && bob.manager.userCountForSession(key) == 1; };
    if (!parley::bench::spin(joined, kSpinTimeoutMs)) {
        state.SkipWithError("the room did not fill");
        return;
    }
    const QString text = QStringLiteral("Helvetica\t000000\t\tHow about lunch at noon? Ok, see you there.");
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const int target = bob.receiver.messages + kMessages;
        const auto startWall = std::chrono::steady_clock::now();
        const double startCpu = threadCpuSeconds();
        for (int i = 0; i < kMessages; ++i)
            alice.manager.sendMessage(text, key);
        if (!parley::bench::spin([&] { return bob.receiver.messages >= target; }, kSpinTimeoutMs)) {
            state.SkipWithError("messages lost");
            return;
        }
        cpu += threadCpuSeconds() - startCpu;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - startWall).count();
    }
    const double messages = double(kMessages) * double(state.iterations());
    state.counters["messages_per_s"] = messages / wall;
    state.counters["client_cpu_us_per_msg"] = cpu * 1e6 / messages;
    alice.manager.reset();
    bob.manager.reset();
}

BENCHMARK(BM_ChatMessages)->Arg(0)->Arg(1)->ArgNames({"encrypted"})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
