#include "Log.h"

#include <QMutex>
#include <QMutexLocker>
#include <atomic>
#include <cstdio>

namespace parley {

namespace {
QMutex gLogMutex;
std::atomic<LogSink> gSink{nullptr};
} // namespace

void plLog(const QString &line)
{
    if (LogSink sink = gSink.load()) {
        sink(line);
        return;
    }
    const QByteArray bytes = line.toUtf8();
    QMutexLocker lock(&gLogMutex);
    std::fprintf(stderr, "%s\n", bytes.constData());
}

void plLogNil(const char *file, int line)
{
    plLog(QStringLiteral("break : object is nil (%1, %2)").arg(QString::fromUtf8(file)).arg(line));
}

void plLogFalse(const char *file, int line)
{
    plLog(QStringLiteral("break : flag is false (%1, %2)").arg(QString::fromUtf8(file)).arg(line));
}

void plLogException(const QString &what, const char *file, int line)
{
    plLog(QStringLiteral("exception = %1, (%2, %3)").arg(what, QString::fromUtf8(file)).arg(line));
}

void setLogSink(LogSink sink) { gSink.store(sink); }

} // namespace parley
