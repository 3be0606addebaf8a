#pragma once

// One accepted client connection: frames the incoming bytes into CR LF lines
// and announced bodies, and writes replies (optionally one byte at a time).
// Every size it holds is bounded; a peer that overruns a bound is cut off.

#include "ReceivedRecord.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QTcpSocket;
class QTimer;

namespace localservice {

class LineConnection : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxLine = 64 * 1024;
    static constexpr qsizetype kMaxBody = 64 * 1024;

    // Takes the socket over (it becomes a child of the connection).
    explicit LineConnection(QTcpSocket *socket, QObject *parent = nullptr);
    ~LineConnection() override;

    // The next `length` bytes after the current line are a body, handed over
    // through bodyReceived. Answers false (and cuts the connection) when the
    // length is beyond kMaxBody.
    bool expectBody(qsizetype length);

    void write(const QByteArray &bytes);
    // Writes every byte on its own from now on.
    void setTrickle(bool on);
    // Closes once everything queued has been written.
    void closeAfterWriting();
    // Closes at once, dropping whatever is queued.
    void abort();
    bool isOpen() const;
    // Stops delivering anything that arrives (the connection stays open and
    // its lines still go into the record).
    void setDeaf(bool on) { mDeaf = on; }
    // Every line received so far (see ReceivedRecord).
    const std::shared_ptr<ReceivedRecord> &record() const { return mRecord; }

signals:
    void lineReceived(const QString &line);
    // A line that is not clean UTF-8 (or holds a zero byte), as far as it
    // decodes, and why: its server answers it as a malformed command.
    void lineRefused(const QString &line, const QString &why);
    void bodyReceived(const QByteArray &body);
    void closed();

private:
    void readIncoming();
    void frame();
    void flushTrickle();
    void finishClose();

    QPointer<QTcpSocket> mSocket;
    std::shared_ptr<ReceivedRecord> mRecord = std::make_shared<ReceivedRecord>();
    QTimer *mTrickleTimer = nullptr;
    QByteArray mBuffer;
    QByteArray mTrickleQueue;
    qsizetype mBodyLength = -1; // -1: waiting for a line
    bool mTrickle = false;
    bool mCloseWhenWritten = false;
    bool mDeaf = false;
    bool mClosed = false;
    bool mFraming = false;
};

} // namespace localservice
