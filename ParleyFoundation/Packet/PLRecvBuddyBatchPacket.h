#pragma once

// The answer to a group batch (copy, move, remove): the new group cache and the
// length of a body with one "index code" line per buddy of the request, which
// the session reads after the line and hands over with setBodyData().

#include "PLRecvPacket.h"

#include <QStringList>

namespace parley {

class PLRecvBuddyBatchPacket : public PLRecvPacket
{
public:
    QString newGroupCache() const { return value(QStringLiteral("newGroupCache")); }
    qint32 bodyLen() const { return intValue(QStringLiteral("bodyLen"), 0); }

    // Keeps the body and splits it into its lines; a final CR LF leaves an
    // empty last piece.
    void setBodyData(const QString &body);
    const QString &bodyData() const { return mBodyData; }
    qsizetype buddyCount() const { return mPieces.size(); }
    // The code of the buddy at `index`; -1 when there is no body, the index is
    // out of range, or the piece is not "index code" with this index.
    qint32 codeAtIndex(qsizetype index) const;

protected:
    void decodeFields() override;
    // Whether this command's group cache arrives escaped.
    virtual bool unescapesGroupCache() const { return true; }

private:
    QString mBodyData;
    QStringList mPieces;
};

} // namespace parley
