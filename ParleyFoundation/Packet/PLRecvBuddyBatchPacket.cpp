#include "PLRecvBuddyBatchPacket.h"

#include "Utils/ParleyStringAdditions.h"

namespace parley {

void PLRecvBuddyBatchPacket::decodeFields()
{
    if (unescapesGroupCache())
        readField(QStringLiteral("newGroupCache"), 2);
    else
        readRawField(QStringLiteral("newGroupCache"), 2);
    // The length is the last field, but never the group cache itself: a line
    // that ends at the cache announces no body.
    if (fieldCount() > 3)
        readRawField(QStringLiteral("bodyLen"), fieldCount() - 1);
}

void PLRecvBuddyBatchPacket::setBodyData(const QString &body)
{
    mBodyData = body;
    mPieces = body.split(QLatin1String("\r\n"));
}

qint32 PLRecvBuddyBatchPacket::codeAtIndex(qsizetype index) const
{
    if (index < 0 || index >= mPieces.size())
        return -1;
    const QStringList parts = mPieces.at(index).split(QLatin1Char(' '));
    if (parts.size() != 2 || plIntValue(parts.at(0)) != index)
        return -1;
    return plIntValue(parts.at(1));
}

} // namespace parley
