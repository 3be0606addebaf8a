#pragma once

// One parley-headless process for the end-to-end tests; its standard output
// is read as JSON lines.

#include "TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QVariantMap>
#include <cstdio>
#include <functional>
#include <optional>

namespace facade::test {

class HeadlessPeer
{
public:
    HeadlessPeer(quint16 dispatchPort, const QString &user, const QString &password,
                 const QStringList &extraArguments = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PARLEY_PASSWORD"), password);
        mProcess.setProcessEnvironment(environment);
        mProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mProcess.start(QStringLiteral(HEADLESS_PROGRAM),
                       QStringList{QStringLiteral("--user"), user, QStringLiteral("--server"),
                                   QStringLiteral("127.0.0.1:%1").arg(dispatchPort)}
                           + extraArguments);
    }
    ~HeadlessPeer()
    {
        command(QStringLiteral("quit"));
        if (!mProcess.waitForFinished(5000))
            mProcess.kill();
        mProcess.waitForFinished(1000);
    }
    void command(const QString &line) { mProcess.write(line.toUtf8() + '\n'); }

    // The user info of the first notification of that name (from `from` on)
    // that satisfies `match`.
    std::optional<QVariantMap> waitFor(const char *name, const std::function<bool(const QVariantMap &)> &match = {},
                                       int timeoutMs = 10000)
    {
        std::optional<QVariantMap> found;
        parley::test::waitUntil(
            [&] {
                pull();
                for (const QJsonObject &line : std::as_const(mLines)) {
                    if (line.value(QStringLiteral("name")).toString() != QLatin1String(name))
                        continue;
                    const QVariantMap info = line.value(QStringLiteral("userInfo")).toObject().toVariantMap();
                    if (!match || match(info)) {
                        found = info;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        if (!found)
            for (const QJsonObject &line : std::as_const(mLines))
                std::fprintf(stderr, "headless: %s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
        return found;
    }

    // The first output line (of any kind) that satisfies `match`.
    std::optional<QJsonObject> waitForLine(const std::function<bool(const QJsonObject &)> &match,
                                           int timeoutMs = 10000)
    {
        std::optional<QJsonObject> found;
        parley::test::waitUntil(
            [&] {
                pull();
                for (const QJsonObject &line : std::as_const(mLines))
                    if (match(line)) {
                        found = line;
                        return true;
                    }
                return false;
            },
            timeoutMs);
        return found;
    }

    // Every output line so far, in order.
    QList<QJsonObject> lines()
    {
        pull();
        return mLines;
    }

private:
    void pull()
    {
        mBuffer += mProcess.readAllStandardOutput();
        qsizetype end;
        while ((end = mBuffer.indexOf('\n')) >= 0) {
            const QJsonDocument document = QJsonDocument::fromJson(mBuffer.left(end));
            mBuffer.remove(0, end + 1);
            if (document.isObject())
                mLines.append(document.object());
        }
    }

    QProcess mProcess;
    QByteArray mBuffer;
    QList<QJsonObject> mLines;
};

} // namespace facade::test
