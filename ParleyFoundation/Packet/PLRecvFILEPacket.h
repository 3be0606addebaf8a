#pragma once

#include "PLRecvPacket.h"

#include <QByteArray>

namespace parley {

// One step of a file transfer on a peer-to-peer or relay connection. A DATA
// line announces a payload that the session reads and stores here.
class PLRecvFILEPacket : public PLRecvPacket
{
public:
    enum FileType { Other = 0, Accept = 1, Cancel, Info, Start, Data, Stop, End };

    qint32 fileType() const { return mFileType; }
    // "fileType", "cookie", "fileName", "fileSize", "startPos" or "bodyLength";
    // null when the line did not carry it.
    QString dataForKey(const QString &key) const { return value(key); }
    const QByteArray &bodyData() const { return mBodyData; }
    void setBodyData(const QByteArray &body) { mBodyData = body; }

protected:
    void decodeFields() override;

private:
    qint32 mFileType = Other;
    QByteArray mBodyData;
};

} // namespace parley
