#include "BuddyListScheduler.h"

#include <QTimer>

namespace parley {

void BuddyListTimerScheduler::singleShot(int milliseconds, std::function<void()> callback)
{
    if (!mContext)
        return;
    QTimer::singleShot(milliseconds, mContext.data(), std::move(callback));
}

} // namespace parley
