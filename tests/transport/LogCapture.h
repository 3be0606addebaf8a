#pragma once

// Collects what the client logs while a test runs.

#include "Log.h"

#include <QMutex>
#include <QStringList>

namespace parley::test {

class LogCapture
{
public:
    LogCapture()
    {
        lines().clear();
        setLogSink(&LogCapture::sink);
    }
    ~LogCapture() { setLogSink(nullptr); }
    QStringList captured() const
    {
        QMutexLocker lock(&mutex());
        return lines();
    }
    bool contains(const QString &text) const
    {
        for (const QString &line : captured())
            if (line.contains(text))
                return true;
        return false;
    }
    qsizetype count(const QString &text) const
    {
        qsizetype n = 0;
        for (const QString &line : captured())
            n += line.contains(text) ? 1 : 0;
        return n;
    }

private:
    static QStringList &lines()
    {
        static QStringList all;
        return all;
    }
    static QMutex &mutex()
    {
        static QMutex m;
        return m;
    }
    static void sink(const QString &line)
    {
        QMutexLocker lock(&mutex());
        lines().append(line);
    }
};

} // namespace parley::test
