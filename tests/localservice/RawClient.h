#pragma once

// A bare test client for the local service: writes hand-written bytes and
// reads back exact lines and bodies, spinning the event loop while it waits.

#include <QByteArray>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <optional>

namespace localservice::test {

class RawClient {
public:
    // Connects to 127.0.0.1:port; check isConnected() afterwards.
    explicit RawClient(quint16 port);

    bool isConnected() const;
    void send(const QByteArray &bytes);
    // The next line without its CR LF, or nothing when none came in time or
    // the connection closed first.
    std::optional<QByteArray> readLine();
    // Exactly n bytes, or nothing.
    std::optional<QByteArray> readBytes(qsizetype n);
    // Ends this side once what was sent is out.
    void close() { mSocket->disconnectFromHost(); }
    // Waits until the server has closed the connection; answers whether it did.
    bool waitClosed();
    // Everything received and not read yet.
    QByteArray pending() const { return mBuffer; }
    // How many separate reads delivered bytes so far.
    int chunks() const { return mChunks; }

private:
    bool waitFor(const std::function<bool()> &ready);
    void pull();

    std::unique_ptr<QTcpSocket> mSocket;
    QByteArray mBuffer;
    int mChunks = 0;
};

} // namespace localservice::test
