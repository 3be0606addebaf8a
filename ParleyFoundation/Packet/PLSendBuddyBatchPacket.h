#pragma once

// The common shape of the group batches (copy, move, remove): the local group
// cache and the body length on the line, one "index record" line per buddy in
// the body. Record values are written as they are, without escaping; an empty
// one is written "%00", and one that would split its line stops the packet.

#include "PLSendPacket.h"

#include <QList>
#include <optional>

namespace parley {

template <typename Record>
class PLSendBuddyBatchPacket : public PLSendPacket
{
public:
    using PLSendPacket::setTID;
    void setTID(qint32 tid, const QString &localGroupCache)
    {
        mTID = tid;
        mLocalGroupCache = localGroupCache;
    }

    const QString &localGroupCache() const { return mLocalGroupCache; }
    void setLocalGroupCache(const QString &localGroupCache) { mLocalGroupCache = localGroupCache; }

    // Appends a record made from the values (those of the record's setBuddy)
    // and answers the new number of records.
    template <typename... Values>
    qsizetype addBuddy(const Values &...values)
    {
        Record record;
        record.setBuddy(values...);
        mBuddies.append(record);
        return mBuddies.size();
    }
    // The record at `index`; nothing when the index is out of range.
    std::optional<Record> buddyAtIndex(qsizetype index) const
    {
        if (index < 0 || index >= mBuddies.size())
            return std::nullopt;
        return mBuddies.at(index);
    }
    qsizetype buddyCount() const { return mBuddies.size(); }

protected:
    PLSendBuddyBatchPacket(const QString &command, qint32 tid)
        : PLSendPacket(tid)
    {
        mCommand = command;
    }

    bool composeParams() override
    {
        QString body;
        for (qsizetype i = 0; i < mBuddies.size(); ++i) {
            const QString record = mBuddies.at(i).buddyString();
            if (record.isNull())
                return false; // a value that would split its line, logged
            body += QString::number(i) + QLatin1Char(' ') + record + QLatin1String("\r\n");
        }
        mParams = {mLocalGroupCache};
        appendBody(body);
        return true;
    }

private:
    QString mLocalGroupCache = QStringLiteral("%00");
    QList<Record> mBuddies;
};

} // namespace parley
