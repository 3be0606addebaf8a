#include "RelatedMemoThread.h"

#include "Log.h"
#include "RelatedMemoReply.h"

RelatedMemoThread::Request RelatedMemoThread::nextRequest() const
{
    return {mCookie, mLastSequence, kBatchSize, mSide == Side::Compose};
}

RelatedMemoThread::Step RelatedMemoThread::firstUse()
{
    Step step;
    if (mSide == Side::Compose && mCookie.isNull()) {
        // A new memo answers nothing.
        parley::plLogNil(__FILE__, __LINE__);
        return step;
    }
    if (!mOnce)
        return step;
    mOnce = false;
    if (mServerHasMemos && !mCookie.isEmpty()) {
        step.request = nextRequest();
        mWaiting = true;
    } else if (mSide == Side::Compose && !mEntries.isEmpty()) {
        mServerEndMemos = true;
        step.showNow = true;
    }
    return step;
}

RelatedMemoThread::Step RelatedMemoThread::takeReply(const QString &text)
{
    Step step;
    // Nothing asked, or the list already ended: a stray or repeated reply.
    if (!mServerHasMemos || !mWaiting || mServerEndMemos)
        return step;
    const RelatedMemoReply reply = RelatedMemoReply::parse(text);
    const int cursor = mLastSequence;
    for (const RelatedMemoEntry &entry : reply.entries) {
        if (mEntries.size() >= kMaxEntries)
            break;
        mEntries.append(entry);
        mLastSequence = entry.sequence;
    }
    // A batch that leaves the cursor where it was would be asked for again
    // and again.
    const bool advanced = mLastSequence != cursor;
    mServerEndMemos = reply.isLast || !advanced || mEntries.size() >= kMaxEntries;
    if (mServerEndMemos) {
        mWaiting = false;
        step.showNow = true;
    } else {
        step.request = nextRequest();
    }
    return step;
}
