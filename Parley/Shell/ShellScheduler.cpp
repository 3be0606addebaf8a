#include "ShellScheduler.h"

#include <QTimer>

#include <cmath>

namespace parley::shell {

void TimerScheduler::schedule(QObject *context, double seconds, std::function<void()> fn)
{
    const double ms = std::max(0.0, seconds * mTimeScale * 1000.0);
    QTimer::singleShot(std::chrono::milliseconds(qint64(std::llround(ms))), context, std::move(fn));
}

} // namespace parley::shell
