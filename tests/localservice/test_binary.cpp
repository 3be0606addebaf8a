// The parley-localservice program itself: its printed ports, its endpoints
// file and its refusal of bad options.
#include "RawClient.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace localservice::test;

namespace {

const QString kProgram = QStringLiteral(LOCALSERVICE_PROGRAM);

class ProgramRun {
public:
    explicit ProgramRun(const QStringList &arguments)
    {
        mProcess.setProgram(kProgram);
        mProcess.setArguments(arguments);
        mProcess.start();
    }
    ~ProgramRun()
    {
        if (mProcess.state() != QProcess::NotRunning) {
            mProcess.kill();
            mProcess.waitForFinished(5000);
        }
    }
    // The first line on standard output.
    QByteArray firstLine()
    {
        parley::test::waitUntil([this] {
            return mProcess.canReadLine() || mProcess.state() == QProcess::NotRunning;
        }, 10000);
        return mProcess.readLine().trimmed();
    }
    bool waitFinished()
    {
        return parley::test::waitUntil([this] { return mProcess.state() == QProcess::NotRunning; },
                                       10000);
    }
    QProcess &process() { return mProcess; }

private:
    QProcess mProcess;
};

} // namespace

TEST(Program, PrintsItsPortsAndWritesTheEndpointsFile)
{
    const QString endpoints = QDir(parley::test::isolatedHome()).filePath(QStringLiteral("ep.conf"));
    ProgramRun run({QStringLiteral("--endpoints"), endpoints});
    const QByteArray line = run.firstLine();
    const QRegularExpression format(QStringLiteral("^listening dispatch=(\\d+) notification=(\\d+)$"));
    const auto match = format.match(QString::fromUtf8(line));
    ASSERT_TRUE(match.hasMatch()) << line.toStdString();
    const quint16 dispatch = match.captured(1).toUShort();
    const quint16 notification = match.captured(2).toUShort();
    ASSERT_NE(dispatch, 0);
    ASSERT_NE(notification, 0);

    QFile file(endpoints);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    const QByteArray port = QByteArray::number(dispatch);
    // The web server's port is the kernel's choice: read it back from the file.
    const QRegularExpression web(QStringLiteral("web\\.mail = (http://127\\.0\\.0\\.1:[1-9]\\d*)\n"));
    const auto webMatch = web.match(QString::fromUtf8(text));
    ASSERT_TRUE(webMatch.hasMatch()) << text.toStdString();
    const QByteArray webURL = webMatch.captured(1).toUtf8();
    EXPECT_EQ(text, "# Written by parley-localservice.\n"
                    "dispatch.host = 127.0.0.1\n"
                    "dispatch.port = " + port + "\n"
                    "relay.host = 127.0.0.1\n"
                    "relay.port1 = " + port + "\n"
                    "relay.port2 = " + port + "\n"
                    "web.mail = " + webURL + "\n"
                    "web.memo = " + webURL + "\n"
                    "web.sister = " + webURL + "\n"
                    "web.sister.member = " + webURL + "\n"
                    "web.sister.help = " + webURL + "\n"
                    "web.animicon = " + webURL + "\n"
                    "portal.domain = parley.test\n"
                    "portal.maildomains = parleymail.test, parleynet.test, parleyplus.test\n"
                    "login.maildomains = orchard.test, mailone.test, posthub.test, letterbox.test, "
                    "inboxnet.test, mailstar.test, webpost.test\n");

    RawClient client(dispatch);
    client.send("PVER 1 1.0 3.0 ko.macm\r\nAUTH 2 DES\r\nREQS 3 DES bob@parley.test\r\n");
    EXPECT_EQ(client.readLine(), QByteArray("PVER 1 N"));
    EXPECT_EQ(client.readLine(), QByteArray("AUTH 2 DES"));
    EXPECT_EQ(client.readLine(), "REQS 3 ns-local 127.0.0.1 " + QByteArray::number(notification));
}

TEST(Program, RefusesBadOptionsWithAClearMessage)
{
    const QString bad = QDir(parley::test::isolatedHome()).filePath(QStringLiteral("bad.json"));
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{\"accounts\": [{}]}");
    }
    struct Case {
        QStringList arguments;
        const char *message;
    } const cases[] = {
        {{QStringLiteral("--data"), bad}, "accounts[0]: \"id\" is missing"},
        {{QStringLiteral("--dispatch-port"), QStringLiteral("70000")},
         "--dispatch-port needs a number from 0 to 65535"},
        {{QStringLiteral("--fault"), QStringLiteral("drop")}, "expected KIND:COMMAND or trickle"},
        {{QStringLiteral("--cert-chain"), QStringLiteral("/nonexistent.pem")}, "key exchange"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        ProgramRun run(c.arguments);
        ASSERT_TRUE(run.waitFinished());
        EXPECT_EQ(run.process().exitCode(), 2);
        const QByteArray err = run.process().readAllStandardError();
        EXPECT_TRUE(err.startsWith("parley-localservice: ")) << err.toStdString();
        EXPECT_TRUE(err.contains(c.message)) << err.toStdString();
        EXPECT_TRUE(run.process().readAllStandardOutput().isEmpty());
    }
}
