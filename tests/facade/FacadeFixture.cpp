#include "FacadeFixture.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "ServiceFixture.h"
#include "Sessions/PLEncrypUtil.h"
#include "Sessions/PLManagerRegistry.h"
#include "Sessions/PLRecordingManagers.h"
#include "Sessions/PLSession.h"
#include "TestSupport.h"
#include "Utils/PLEndpoints.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace facade::test {

namespace {

QString gChain;
QString gKey;

QString inHome(const QString &name) { return QDir(parley::test::isolatedHome()).filePath(name); }

bool openssl(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(PARLEY_OPENSSL_TOOL), arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Peer::Peer(quint16 port, const QByteArray &userID, const QByteArray &password) : mClient(port)
{
    using localservice::test::lin4;
    using localservice::test::signInText;
    mClient.send(lin4(1, userID, "PLN", signInText(password, "PLN")));
    const auto answer = mClient.readLine();
    if (!answer || !answer->startsWith("LIN4 1 "))
        return;
    if (!mClient.readBytes(answer->split(' ').last().toInt()))
        return;
    mClient.send("ONST 2 O 0 %00 1\r\n");
    if (!lineStartingWith("ONST 2 "))
        return;
    mClient.send("CPRM 23 0\r\n");
    mSignedIn = true;
}

std::optional<QByteArray> Peer::lineStartingWith(const QByteArray &prefix)
{
    for (int i = 0; i < 100; ++i) {
        const auto line = mClient.readLine();
        if (!line)
            return std::nullopt;
        if (line->startsWith(prefix))
            return line;
    }
    return std::nullopt;
}

void FacadeTest::SetUpTestSuite()
{
    const auto at = [](const char *name) { return inHome(QLatin1String(name)); };
    const bool made =
        openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", at("ca.key"), "-out", at("ca.pem"),
                 "-subj", "/CN=Parley Facade Test CA", "-days", "2"})
        && openssl({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", at("server.key"), "-out", at("server.csr"),
                    "-subj", "/CN=ns.parley.test"})
        && openssl({"x509", "-req", "-in", at("server.csr"), "-CA", at("ca.pem"), "-CAkey", at("ca.key"),
                    "-CAcreateserial", "-out", at("server.pem"), "-days", "2"});
    if (!made)
        return;
    QFile chain(at("chain.pem"));
    if (!chain.open(QIODevice::WriteOnly))
        return;
    chain.write(readAll(at("server.pem")) + readAll(at("ca.pem")));
    gChain = at("chain.pem");
    gKey = at("server.key");
    // The client trusts only the test authority.
    qputenv("SSL_CERT_FILE", at("ca.pem").toLocal8Bit());
    qputenv("SSL_CERT_DIR", parley::test::isolatedHome().toLocal8Bit());
    parley::PLEncrypUtil::install();
}

void FacadeTest::SetUp()
{
    ASSERT_FALSE(gChain.isEmpty()) << "the openssl tool made no certificates";
    parley::PLManagerRegistry::standIn().clear();
    mObserver = parley::NotificationCenter::defaultCenter().addObserver(
        QString(), nullptr, [this](const parley::Notification &n) { mPosted.append({n.name, n.userInfo}); });
}

void FacadeTest::TearDown()
{
    parley::NotificationCenter::defaultCenter().removeObserver(mObserver);
    mSession.reset();
    // A session that signed out as the facade went writes its LOUT first.
    parley::test::waitUntil([] { return parley::PLSession::drainingCount() == 0; },
                            parley::PLParleySession::kSignOutWaitMs + 1000);
    parley::test::waitUntil([] { return false; }, 50); // let deferred deletions run
    mService.reset();
    parley::PLBuddyManager::sharedManager().reset();
}

bool FacadeTest::startAndSignIn(const QStringList &faults, double keepalive)
{
    return startService(faults) && signIn(0, keepalive);
}

bool FacadeTest::startService(const QStringList &faults, const QString &endpointsFile)
{
    mService = std::make_unique<localservice::LocalService>();
    localservice::ServiceOptions options;
    options.certChainFile = gChain;
    options.keyFile = gKey;
    options.faults = faults;
    options.endpointsFile = endpointsFile;
    QString error;
    if (!mService->start(options, &error)) {
        ADD_FAILURE() << error.toStdString();
        return false;
    }
    return true;
}

bool FacadeTest::signIn(quint16 dispatchPort, double keepalive)
{
    parley::PLEndpoints endpoints;
    endpoints.dispatchHost = QStringLiteral("127.0.0.1");
    endpoints.dispatchPort = dispatchPort ? dispatchPort : mService->dispatchPort();
    endpoints.keepaliveInterval = keepalive;
    const QString web = QStringLiteral("http://127.0.0.1:%1").arg(mService->webPort());
    endpoints.webMail = endpoints.webMemo = endpoints.webSister = web;
    parley::PLEndpoints::setCurrent(endpoints);
    mSession = std::make_unique<parley::PLParleySession>();
    mSession->loginWithUserID(QStringLiteral("alice@parley.test"), QStringLiteral("alice-pw"), {});
    return waitFor(QStringLiteral("ParleyLoginCompleted"), 0, 15000).has_value();
}

std::unique_ptr<Peer> FacadeTest::peer(const QByteArray &userID, const QByteArray &password)
{
    auto p = std::make_unique<Peer>(mService->notificationPort(), userID, password);
    EXPECT_TRUE(p->signedIn()) << userID.toStdString();
    return p;
}

std::optional<Posted> FacadeTest::waitFor(const QString &name, qsizetype from, int timeoutMs)
{
    std::optional<Posted> found;
    parley::test::waitUntil(
        [&] {
            for (qsizetype i = from; i < mPosted.size(); ++i)
                if (mPosted[i].name == name) {
                    found = mPosted[i];
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}

} // namespace facade::test
