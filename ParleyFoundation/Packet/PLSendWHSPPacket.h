#pragma once

#include "PLSendPacket.h"

namespace parley {

// A side-channel notice to one room member: a file offer or its answer, an
// animated emoticon, or the answer "UNKNOWN" to a type this client lacks.
class PLSendWHSPPacket : public PLSendPacket
{
public:
    explicit PLSendWHSPPacket(qint32 tid = 0);

    const QString &ID() const { return mID; }
    void setID(const QString &id) { mID = id; }
    const QString &type() const { return mType; }
    void setType(const QString &type) { mType = type; }
    const QString &subType() const { return mSubType; }
    void setSubType(const QString &subType) { mSubType = subType; }
    const QString &msg() const { return mMsg; }
    void setMsg(const QString &msg) { mMsg = msg; }
    const QStringList &dataArray() const { return mDataArray; }
    void setMDataArray(const QStringList &entries) { mDataArray = entries; }

    // Adds one file entry: the cookie alone for an ACK or CANCEL (or without a
    // name), else "name|size|cookie". Nothing without a cookie.
    void addFile(const QString &name, qint64 size, const QString &cookie);
    qsizetype fileCount() const { return mDataArray.size(); }

    QString packetString() override;

protected:
    bool composeParams() override;

private:
    QString mID = QStringLiteral("%00");
    QString mType = QStringLiteral("MSG");
    QString mSubType = QStringLiteral("%00");
    QString mMsg = QStringLiteral("%00");
    QStringList mDataArray;
};

} // namespace parley
