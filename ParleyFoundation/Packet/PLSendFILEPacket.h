#pragma once

#include "PLSendPacket.h"

#include <QByteArray>

namespace parley {

// One step of a file transfer. A form setter chooses the step and its fields;
// DATA carries the file bytes as its body.
class PLSendFILEPacket : public PLSendPacket
{
public:
    explicit PLSendFILEPacket(qint32 tid = 0);

    void setFileAcceptWithCookie(const QString &cookie);
    void setFileCancelWithCookie(const QString &cookie);
    // The file's name is not sent: the line carries the literal "FILENAME".
    void setFileInfo(const QString &name, qint64 size);
    void setFileStartWithPosition(qint64 position);
    void setFileStop();
    void setFileEnd();
    void setFileDataWithBody(const QByteArray &body);

    // Appends the line of a DATA command with a body of `length` bytes, byte
    // for byte what data() writes before the body, so that a sender can put
    // the file's bytes straight behind it.
    static void appendDataLine(QByteArray &out, qint32 tid, qint64 length);

    const QByteArray &body() const { return mFileData; }
    void setBody(const QByteArray &body) { mFileData = body; }

protected:
    bool composeParams() override;

private:
    void setForm(const QStringList &fields) { mFormFields = fields; }

    QStringList mFormFields;
    QByteArray mFileData;
};

} // namespace parley
