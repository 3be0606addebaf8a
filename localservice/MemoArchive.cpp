#include "MemoArchive.h"

namespace localservice {

ArchivedMemo MemoArchive::file(const QString &answered, const QString &senderID,
                                      const QStringList &receiverIDs, const QString &date,
                                      const QString &fontAttributes, const QString &text)
{
    ArchivedMemo memo;
    memo.sequence = int(mMemos.size()) + 1;
    memo.cookie = QStringLiteral("M%1").arg(memo.sequence, 8, 10, QLatin1Char('0'));
    const ArchivedMemo *parent = answered.isEmpty() ? nullptr : this->memo(answered);
    memo.thread = parent ? parent->thread : memo.cookie;
    memo.senderID = senderID;
    memo.receiverIDs = receiverIDs;
    memo.date = date;
    memo.fontAttributes = fontAttributes;
    memo.text = text;
    mMemos.append(memo);
    return memo;
}

const ArchivedMemo *MemoArchive::memo(const QString &cookie) const
{
    for (const ArchivedMemo &m : mMemos) {
        if (m.cookie == cookie)
            return &m;
    }
    return nullptr;
}

bool MemoArchive::hasRelated(const QString &cookie) const
{
    const ArchivedMemo *self = memo(cookie);
    if (!self)
        return false;
    for (const ArchivedMemo &m : mMemos) {
        if (m.thread == self->thread && m.cookie != cookie)
            return true;
    }
    return false;
}

std::optional<MemoArchive::Batch> MemoArchive::related(const QString &cookie, const QString &askerID,
                                                       int afterSequence, int count) const
{
    const ArchivedMemo *self = memo(cookie);
    if (!self || count <= 0)
        return std::nullopt;
    Batch batch;
    for (const ArchivedMemo &m : mMemos) {
        if (m.thread != self->thread || m.cookie == cookie || m.sequence <= afterSequence)
            continue;
        if (m.senderID != askerID && !m.receiverIDs.contains(askerID))
            continue;
        if (batch.memos.size() == count) {
            batch.last = false;
            break;
        }
        batch.memos.append(m);
    }
    return batch;
}

} // namespace localservice
