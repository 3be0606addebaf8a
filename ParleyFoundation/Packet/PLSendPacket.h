#pragma once

// Base of every outgoing command: command word, transaction id and parameters,
// serialised into one CR LF terminated line and an optional counted body.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace parley {

class PLSendPacket
{
public:
    explicit PLSendPacket(qint32 tid = 0);
    virtual ~PLSendPacket();

    void setTID(qint32 tid) { mTID = tid; }
    qint32 tID() const { return mTID; }
    void setCommand(const QString &command) { mCommand = command; }
    const QString &command() const { return mCommand; }
    void setMParams(const QStringList &params) { mParams = params; }
    const QStringList &params() const { return mParams; }

    // The whole line with its CR LF, followed by the body when there is one.
    // Rebuilt on every call. A null string when the packet can produce no line
    // (an enciphering command without its key). A command whose line departs
    // from the common shape overrides it.
    virtual QString packetString();
    // The UTF-8 bytes of packetString() followed by a byte body, if any: what a
    // session writes. Null when there is no line.
    QByteArray data();

    // The wire form of one parameter: "%00" for the empty string, "%00" kept
    // as it is, everything else escaped.
    static QString wireParameter(const QString &parameter);

protected:
    // A subclass fills mParams with its fields in wire order (calling
    // appendBody() where its command carries a body) and answers false when it
    // cannot produce a line. The base keeps the parameters as they were set.
    virtual bool composeParams() { return true; }
    // Appends the body's length in bytes (as sent, NUL bytes included) as the
    // next parameter and keeps the body to follow the line.
    void appendBody(const QString &body);
    // The same for a body of raw bytes (file data), which only data() carries.
    void appendBodyBytes(const QByteArray &body);

    QString mCommand;
    qint32 mTID = 0;
    QStringList mParams;
    QString mBody;
    QByteArray mBodyBytes;
};

} // namespace parley
