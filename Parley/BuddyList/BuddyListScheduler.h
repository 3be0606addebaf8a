#pragma once

// One-shot timers for the buddy list's refresh. The list arms timers and
// never cancels one; the application's scheduler runs them on the main event
// loop, tests run them on a clock of their own.

#include <QObject>
#include <QPointer>

#include <functional>

namespace parley {

class BuddyListScheduler
{
public:
    virtual ~BuddyListScheduler() = default;
    // Runs `callback` once, `milliseconds` from now.
    virtual void singleShot(int milliseconds, std::function<void()> callback) = 0;
};

// QTimer::singleShot on the main event loop; a timer whose context is gone by
// then does nothing.
class BuddyListTimerScheduler final : public BuddyListScheduler
{
public:
    explicit BuddyListTimerScheduler(QObject *context) : mContext(context) {}
    void singleShot(int milliseconds, std::function<void()> callback) override;

private:
    QPointer<QObject> mContext;
};

} // namespace parley
