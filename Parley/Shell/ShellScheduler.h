#pragma once

// The shell's one-shot delays (auto-login, the buddy-list reload, the retry
// delays, the wake delay, the wait for the server's acknowledgement) go
// through one scheduler, so that tests can run them at once or see which
// delays were asked for. TimerScheduler is the real one: a single-shot
// QTimer, every delay multiplied by a time scale (1 in the application).

#include <QObject>

#include <functional>

namespace parley::shell {

class ShellScheduler
{
public:
    virtual ~ShellScheduler() = default;
    // Runs `fn` once after `seconds`, unless `context` is gone by then.
    virtual void schedule(QObject *context, double seconds, std::function<void()> fn) = 0;
};

class TimerScheduler final : public ShellScheduler
{
public:
    explicit TimerScheduler(double timeScale = 1.0) : mTimeScale(timeScale) {}
    void schedule(QObject *context, double seconds, std::function<void()> fn) override;
    double timeScale() const { return mTimeScale; }

private:
    double mTimeScale;
};

} // namespace parley::shell
