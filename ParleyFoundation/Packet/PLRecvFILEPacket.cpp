#include "PLRecvFILEPacket.h"

namespace parley {

void PLRecvFILEPacket::decodeFields()
{
    readField(QStringLiteral("fileType"), 2);
    const QString word = value(QStringLiteral("fileType"));
    if (word == QLatin1String("ACCEPT")) {
        mFileType = Accept;
        readField(QStringLiteral("cookie"), 3);
    } else if (word == QLatin1String("CANCEL")) {
        mFileType = Cancel;
        readField(QStringLiteral("cookie"), 3);
    } else if (word == QLatin1String("INFO")) {
        mFileType = Info;
        readField(QStringLiteral("fileName"), 3);
        readField(QStringLiteral("fileSize"), 4);
    } else if (word == QLatin1String("START")) {
        mFileType = Start;
        readField(QStringLiteral("startPos"), 3);
    } else if (word == QLatin1String("DATA")) {
        mFileType = Data;
        setValue(QStringLiteral("bodyLength"), lastField(3));
    } else if (word == QLatin1String("STOP")) {
        mFileType = Stop;
    } else if (word == QLatin1String("END")) {
        mFileType = End;
    } else {
        // ENDRES and words this client does not know.
        mFileType = Other;
    }
}

} // namespace parley
