#include "IdleDetector.h"

namespace parley::shell {

bool IdleDetector::startChain(bool checkAway, bool signedIn, int myStatus)
{
    if (mChecking)
        return false;
    mIdle = false;
    if (!checkAway || !signedIn || myStatus != 1)
        return false;
    mChecking = true;
    return true;
}

IdleDetector::Step IdleDetector::checkIdle(bool signedIn, double t, double awayInterval)
{
    Step step;
    if (!signedIn) {
        mChecking = false;
        step.continues = false;
        return step;
    }
    const double T = awayInterval;
    switch (mIdleType) {
    case 0:
        if (t > T) {
            mIdleType = 1;
            step.action = Action::GoIdle;
        }
        break;
    case 1:
        if (t <= T) {
            mIdleType = 0;
            step.action = Action::StopIdle;
        } else if (mIsNotiOnline) {
            mIdleType = 3;
            mIsNotiOnline = false;
            mFakeIdleTime = t;
            step.action = Action::StopIdle;
        }
        break;
    case 2:
        if (t < mFakeIdleTime && t <= T) {
            // Input since the server's idle.
            mIdleType = 0;
            step.action = Action::StopIdle;
        } else if (mIsNotiOnline) {
            mIdleType = 3;
            mIsNotiOnline = false;
            mFakeIdleTime = t;
            step.action = Action::StopIdle;
        }
        break;
    case 3:
        if (t <= T)
            mIdleType = 0;
        else if (t - mFakeIdleTime > T) {
            mIdleType = 2;
            step.action = Action::GoIdle;
        }
        break;
    default:
        mChecking = false;
        step.continues = false;
        return step;
    }
    if (step.action == Action::GoIdle)
        mIdle = true;
    else if (step.action == Action::StopIdle)
        mIdle = false;
    step.nextDelay = mIdle ? kIdleDelay : kActiveDelay;
    return step;
}

void IdleDetector::goIdleFromServer(double t)
{
    mIdle = true;
    if (mIdleType == 0 || mIdleType == 3) {
        mIdleType = 2;
        mFakeIdleTime = t;
    }
}

} // namespace parley::shell
