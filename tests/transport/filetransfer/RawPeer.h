#pragma once

// The test's own hostile peer: a plain TCP connection that writes whatever the
// test says and collects the lines it gets back.

#include <QByteArray>
#include <QStringList>
#include <QTcpSocket>

namespace parley::test {

class RawPeer
{
public:
    bool connectTo(int port);
    void send(const QByteArray &bytes);
    // Waits for a received line that starts with the prefix; answers it.
    QString waitForLine(const QString &prefix, int timeoutMs = 5000);
    bool waitForClose(int timeoutMs = 5000);
    // Waits until at least `count` lines have come.
    bool waitForLineCount(qsizetype count, int timeoutMs = 5000);
    const QStringList &lines() const { return mLines; }

private:
    void collect();

    QTcpSocket mSocket;
    QByteArray mBuffer;
    QStringList mLines;
};

} // namespace parley::test
