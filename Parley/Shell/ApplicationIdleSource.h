#pragma once

// The last resort: the input the messenger's own windows received, watched by
// the kit's idle timer. It knows only whether a minute has passed without
// input, so it answers 0 before that and the time since the input stopped
// after it.

#include "IdleSource.h"
#include "KCIdleTimer.h"

#include <QElapsedTimer>

#include <memory>

namespace parley::shell {

class ApplicationIdleSource final : public IdleSource, private KCIdleTimerDelegate
{
public:
    static constexpr double kGranularitySeconds = 60;

    ApplicationIdleSource();
    ~ApplicationIdleSource() override;

    void requestIdleTime(Answer answer) override;

private:
    void timerBeginsIdling(KCIdleTimer *timer) override;
    void timerFinishedIdling(KCIdleTimer *timer) override;

    std::unique_ptr<KCIdleTimer> mTimer;
    QElapsedTimer mIdleSince; // valid while idling, started when the idle interval ended
};

} // namespace parley::shell
