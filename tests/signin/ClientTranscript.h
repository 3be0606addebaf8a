#pragma once

// A forwarder on 127.0.0.1 (kernel-chosen port) that passes every connection
// on to a target port and records what the client sent, so that tests can
// compare the client's exact lines.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

namespace parley::test {

class ClientTranscript : public QObject
{
    Q_OBJECT

public:
    explicit ClientTranscript(quint16 targetPort, QObject *parent = nullptr);
    ~ClientTranscript() override;

    quint16 port() const;
    int connectionCount() const { return int(mSent.size()); }
    // The bytes the client sent on connection `index` (in accept order).
    QByteArray sent(int index) const { return mSent.value(index); }
    // Its command lines; the counted bodies of PRVK, LIN4 and LOPT are left
    // out and, for PRVK and LIN4, the length field reads "#" when it matched
    // a body that followed.
    QStringList lines(int index) const;

private:
    void accept();

    QTcpServer *mServer;
    quint16 mTargetPort;
    QList<QByteArray> mSent;
};

} // namespace parley::test
