#include "MessageBoxRecordQueue.h"

#include "Log.h"

namespace parley::shell {

MessageBoxRecordQueue::MessageBoxRecordQueue(std::function<bool()> boxRunning)
    : mBoxRunning(std::move(boxRunning))
{
    plugin::setRecordKeeper(this);
}

MessageBoxRecordQueue::~MessageBoxRecordQueue()
{
    if (plugin::recordKeeper() == this)
        plugin::setRecordKeeper(nullptr);
}

bool MessageBoxRecordQueue::keepRecord(const QString &name, const QVariantMap &record,
                                       DistributedNotificationCenter &center)
{
    // A box that ended (it crashed, or is being updated) hears nothing until
    // it has started again and been answered.
    if (mListening && !(mBoxRunning && mBoxRunning()))
        mListening = false;
    if (mListening)
        return false;
    mHeld.push_back({name, record, &center});
    if (int(mHeld.size()) > kLimit) {
        drop(mHeld.front(), "more than 1,000 are waiting");
        mHeld.pop_front();
    }
    return true;
}

void MessageBoxRecordQueue::boxListening()
{
    mListening = true;
    // Oldest first, as they were filed; posted past the keeper.
    std::deque<Held> held;
    held.swap(mHeld);
    for (const Held &h : held) {
        if (!h.center || !h.center->post(h.name, {}, h.record))
            drop(h, "the bus did not take it");
    }
}

void MessageBoxRecordQueue::boxQuitting()
{
    mListening = false;
    for (const Held &h : mHeld)
        drop(h, "the message box was told to quit");
    mHeld.clear();
}

void MessageBoxRecordQueue::drop(const Held &held, const char *why)
{
    // Named by what identifies it, never by its text.
    const QString uuid = held.record.value(QStringLiteral("uuid")).toString();
    const QString date = held.record.value(QStringLiteral("date")).toDateTime().toString(Qt::ISODate);
    plLog(QStringLiteral("message box: a record of %1 (uuid \"%2\", date %3) was dropped: %4")
              .arg(held.name, uuid, date, QLatin1String(why)));
}

} // namespace parley::shell
