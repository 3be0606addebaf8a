#include "ApplicationIdleSource.h"

namespace parley::shell {

ApplicationIdleSource::ApplicationIdleSource() : mTimer(KCIdleTimer::create(kGranularitySeconds))
{
    if (mTimer)
        mTimer->setDelegate(this);
}

ApplicationIdleSource::~ApplicationIdleSource()
{
    if (mTimer)
        mTimer->setDelegate(nullptr);
}

void ApplicationIdleSource::timerBeginsIdling(KCIdleTimer *) { mIdleSince.start(); }

void ApplicationIdleSource::timerFinishedIdling(KCIdleTimer *) { mIdleSince.invalidate(); }

void ApplicationIdleSource::requestIdleTime(Answer answer)
{
    if (!mTimer) {
        answer(std::nullopt);
        return;
    }
    answer(mIdleSince.isValid() ? kGranularitySeconds + double(mIdleSince.elapsed()) / 1000.0 : 0.0);
}

} // namespace parley::shell
