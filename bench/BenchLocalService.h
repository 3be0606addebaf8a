#pragma once

// The local service as a separate process for the benchmarks that sign in:
// a throwaway certificate chain made by the openssl tool, an account
// "alice@parley.test" with `buddies` buddies spread over `groups` groups
// (each buddy an account of its own), and client processes run against it
// with a home folder of their own. Needs LOCALSERVICE_PROGRAM defined.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace parley::bench {

// The peak resident set of this program's own memory. Not getrusage's
// ru_maxrss: Linux carries that across exec, so a child would report at least
// the RSS its parent (this benchmark, forked by QProcess) had at the fork.
inline long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}
inline long peakRSSKiB() { return statusKiB("VmHWM:"); }
// The resident set now.
inline long residentKiB() { return statusKiB("VmRSS:"); }

inline QJsonObject account(const QString &id, const QString &cmn)
{
    return {{"id", id}, {"password", id + "-pw"}, {"cmn", cmn}, {"name", "Name " + cmn}};
}

inline QByteArray dataFile(int buddies, int groups)
{
    QJsonObject alice = account("alice@parley.test", "100001");
    alice["password"] = "alice-pw";
    // The sign-in goes on only with every own-account field present.
    for (const char *key : {"orchardID", "orchardCMN", "mobile", "email", "ticket", "token"})
        alice[QLatin1String(key)] = QStringLiteral("x-") + QLatin1String(key);
    QJsonArray groupList;
    for (int g = 1; g <= groups; ++g)
        groupList.append(QJsonObject{{"id", QString::number(g)}, {"name", QStringLiteral("Group %1").arg(g)}});
    QJsonArray list;
    QJsonArray accounts;
    for (int i = 0; i < buddies; ++i) {
        const QString id = QStringLiteral("b%1@parley.test").arg(i, 4, 10, QLatin1Char('0'));
        accounts.append(account(id, QString::number(200000 + i)));
        list.append(QJsonObject{{"id", id}, {"groups", QJsonArray{QString::number(i % groups + 1)}}});
    }
    alice["groups"] = groupList;
    alice["buddies"] = list;
    accounts.prepend(alice);
    // A configuration that is not empty: its body is what moves the sign-in on.
    const QJsonObject configuration{{"version", 1}, {"values", QJsonObject{{"memo_ipml", "http://127.0.0.1/memo"}}}};
    return QJsonDocument(QJsonObject{{"configuration", configuration}, {"accounts", accounts}})
        .toJson(QJsonDocument::Compact);
}

struct TestCertificates {
    QTemporaryDir dir;
    QString chain, key;
    bool ok = false;

    TestCertificates()
    {
        const auto at = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
        const auto run = [](const QStringList &args) {
            QProcess p;
            p.start(QStringLiteral("openssl"), args);
            return p.waitForFinished(30000) && p.exitCode() == 0;
        };
        ok = run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", at("ca.key"), "-out", at("ca.pem"),
                  "-subj", "/CN=Parley Bench CA", "-days", "1"})
          && run({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", at("server.key"), "-out", at("server.csr"),
                  "-subj", "/CN=ns.parley.test"})
          && run({"x509", "-req", "-in", at("server.csr"), "-CA", at("ca.pem"), "-CAkey", at("ca.key"),
                  "-CAcreateserial", "-out", at("server.pem"), "-days", "1"});
        QFile out(at("chain.pem")), server(at("server.pem")), ca(at("ca.pem"));
        ok = ok && out.open(QIODevice::WriteOnly) && server.open(QIODevice::ReadOnly) && ca.open(QIODevice::ReadOnly);
        if (ok)
            out.write(server.readAll() + ca.readAll());
        chain = at("chain.pem");
        key = at("server.key");
        qputenv("SSL_CERT_FILE", at("ca.pem").toLocal8Bit());
    }
};

// The service with `buddies` buddies, and one client process per call.
class ServiceProcess {
public:
    ServiceProcess(const TestCertificates &certificates, int buddies, int groups)
    {
        const QString data = certificates.dir.filePath(QStringLiteral("data-%1.json").arg(buddies));
        QFile file(data);
        if (!file.open(QIODevice::WriteOnly) || file.write(dataFile(buddies, groups)) < 0)
            return;
        file.close();
        mProcess.start(QStringLiteral(LOCALSERVICE_PROGRAM),
                       {"--data", data, "--cert-chain", certificates.chain, "--key", certificates.key});
        if (!mProcess.waitForReadyRead(60000))
            return;
        const QList<QByteArray> words = mProcess.readLine().trimmed().split(' ');
        for (const QByteArray &w : words)
            if (w.startsWith("dispatch="))
                mPort = w.mid(9).toUShort();
    }
    ~ServiceProcess()
    {
        mProcess.kill();
        mProcess.waitForFinished(5000);
    }
    quint16 port() const { return mPort; }

    // Runs `program` with `arguments` in a home folder of its own; its
    // standard output, or none when it failed. `rootsFile` replaces the
    // trusted roots when given.
    std::optional<QByteArray> runClient(const QString &program, const QStringList &arguments,
                                        const QString &rootsFile = {}) const
    {
        QTemporaryDir home;
        QProcess client;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_CACHE_HOME", home.filePath("cache"));
        if (!rootsFile.isEmpty())
            env.insert("SSL_CERT_FILE", rootsFile);
        client.setProcessEnvironment(env);
        // BENCH_CLIENT_WRAPPER="perf record -o client.data" profiles each client.
        QStringList wrapper = qEnvironmentVariable("BENCH_CLIENT_WRAPPER").split(' ', Qt::SkipEmptyParts);
        if (wrapper.isEmpty())
            client.start(program, arguments);
        else
            client.start(wrapper.takeFirst(), wrapper + QStringList{program} + arguments);
        if (!client.waitForFinished(180000) || client.exitCode() != 0)
            return std::nullopt;
        return client.readAllStandardOutput();
    }

private:
    QProcess mProcess;
    quint16 mPort = 0;
};

} // namespace parley::bench
