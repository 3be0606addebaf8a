#include "TestPki.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace parley::test {

namespace {

bool openssl(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(PARLEY_OPENSSL_TOOL), arguments);
    return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TestPki make()
{
    const QString dir = QDir(isolatedHome()).filePath(QStringLiteral("signin-pki"));
    QDir().mkpath(dir);
    const auto at = [&](const char *name) { return QDir(dir).filePath(QLatin1String(name)); };
    const auto signedBy = [&](const char *cn, const char *pem) {
        const QString csr = at(pem) + QStringLiteral(".csr");
        return openssl({"req", "-new", "-key", at("server.key"), "-subj", QStringLiteral("/CN=%1").arg(QLatin1String(cn)),
                        "-out", csr})
            && openssl({"x509", "-req", "-in", csr, "-CA", at("ca.pem"), "-CAkey", at("ca.key"), "-CAcreateserial",
                        "-days", "2", "-out", at(pem)});
    };
    const QByteArray caConfig = "[ca]\ndefault_ca = test\n[test]\ndatabase = " + at("index.txt").toUtf8()
        + "\nnew_certs_dir = " + dir.toUtf8() + "\nserial = " + at("serial").toUtf8()
        + "\ndefault_md = sha256\npolicy = any\nunique_subject = no\n[any]\ncommonName = supplied\n";

    TestPki pki;
    const bool made =
        openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", at("ca.key"), "-out", at("ca.pem"),
                 "-subj", "/CN=Parley Test CA", "-days", "2"})
        && openssl({"genrsa", "-out", at("server.key"), "2048"}) && signedBy("ns.parley.test", "good.pem")
        && signedBy("ns.evilparley.test", "wrongname.pem") && write(at("ca.cnf"), caConfig)
        && write(at("index.txt"), {}) && write(at("serial"), "1000\n")
        && openssl({"ca", "-batch", "-config", at("ca.cnf"), "-cert", at("ca.pem"), "-keyfile", at("ca.key"), "-in",
                    at("good.pem") + QStringLiteral(".csr"), "-out", at("expired.pem"), "-startdate",
                    "20200101000000Z", "-enddate", "20200201000000Z", "-notext"})
        && openssl({"req", "-x509", "-new", "-key", at("server.key"), "-subj", "/CN=ns.parley.test", "-days", "2",
                    "-out", at("selfsigned.pem")});
    if (!made)
        return pki;
    const QByteArray ca = readAll(at("ca.pem"));
    const auto chain = [&](const char *leaf, bool withCA) {
        const QString path = at(leaf) + QStringLiteral(".chain");
        write(path, readAll(at(leaf)) + (withCA ? ca : QByteArray()));
        return path;
    };
    pki.caPem = at("ca.pem");
    pki.key = at("server.key");
    pki.goodChain = chain("good.pem", true);
    pki.wrongNameChain = chain("wrongname.pem", true);
    pki.expiredChain = chain("expired.pem", true);
    pki.selfSignedChain = chain("selfsigned.pem", false);
    pki.made = true;
    return pki;
}

} // namespace

const TestPki &TestPki::shared()
{
    static const TestPki pki = make();
    return pki;
}

} // namespace parley::test
