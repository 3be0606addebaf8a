#pragma once

// Tells a delegate when the user has given the application no input for an
// interval (idling begins), every further interval while that lasts (idling
// continues), and at the next input (idling finished). Input is any key,
// mouse, wheel, touch or tablet event the application receives. Runs on the
// main thread.

#include <QObject>
#include <QTimer>

#include <memory>

class KCIdleTimer;

class KCIdleTimerDelegate
{
public:
    virtual ~KCIdleTimerDelegate() = default;
    virtual void timerBeginsIdling(KCIdleTimer *timer) { (void)timer; }
    virtual void timerContinuesIdling(KCIdleTimer *timer) { (void)timer; }
    virtual void timerFinishedIdling(KCIdleTimer *timer) { (void)timer; }
};

class KCIdleTimer : public QObject
{
    Q_OBJECT
public:
    // Nothing without an application or for an interval that is not a
    // positive number of seconds.
    static std::unique_ptr<KCIdleTimer> create(double seconds);
    ~KCIdleTimer() override;

    // Not owned; the delegate outlives the timer or clears itself.
    void setDelegate(KCIdleTimerDelegate *delegate) { mDelegate = delegate; }
    KCIdleTimerDelegate *delegate() const { return mDelegate; }

    // The next check comes `seconds` from now.
    void setFireTime(double seconds);
    bool isIdling() const { return mIdling; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit KCIdleTimer(int intervalMs);
    void fire();

    KCIdleTimerDelegate *mDelegate = nullptr;
    QTimer mTimer;
    int mIntervalMs;
    bool mIdling = false;
};
