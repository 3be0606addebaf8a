// Idle detection: the own status turns Away while the user is away from the
// machine and back to Online when the user returns; the server may declare
// the user idle too. The decisions are IdleDetector's; here its timer, its
// source of idle seconds and the status changes it asks for.
#include "AppController.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "IdleSource.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QPointer>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

bool isOnline() { return PLMyInfoManager::sharedManager().status() == 1; }

int milliseconds(double seconds) { return int(seconds * 1000); }

} // namespace

void AppController::setIdleTimer()
{
    if (!mIdle.startChain(PrefsManager::general_IsCheckAway(), loginStatus(), PLMyInfoManager::sharedManager().status()))
        return;
    mIdleTimer.start(milliseconds(IdleDetector::kFirstDelay));
}

void AppController::checkIdle()
{
    mIdleTimer.stop();
    if (!loginStatus()) {
        mIdle.checkIdle(false, 0, 0);
        return;
    }
    const int query = ++mIdleQuery;
    QPointer<AppController> self(this);
    mIdleSource->requestIdleTime([self, query](std::optional<double> seconds) {
        // A late answer after a newer question, or after the controller went, is dropped.
        if (!self || query != self->mIdleQuery)
            return;
        self->idleTimeReceived(seconds.value_or(0));
    });
}

void AppController::idleTimeReceived(double seconds)
{
    mLastIdleTime = seconds;
    const double awayInterval = double(PrefsManager::general_awayTimeInterval()) * 60.0;
    const IdleDetector::Step step = mIdle.checkIdle(loginStatus(), seconds, awayInterval);
    if (step.action == IdleDetector::Action::GoIdle)
        goIdle();
    else if (step.action == IdleDetector::Action::StopIdle)
        stopIdle();
    if (step.continues)
        mIdleTimer.start(milliseconds(step.nextDelay));
}

void AppController::goIdle()
{
    mIdle.setIdle(true);
    if (loginStatus() && isOnline()) {
        // Not picked by the user: it goes out as the idle code.
        setStatusTitle(text("Away"), false);
        mIsStatusSetFromUser = false;
    }
}

void AppController::stopIdle()
{
    mIdle.setIdle(false);
    // A status the user chose stays.
    if (loginStatus() && !mIsStatusSetFromUser) {
        setStatusTitle(text("Online"), false);
        mIsStatusSetFromUser = true;
    }
}

void AppController::goIdleFromServer()
{
    const int before = mIdle.idleType();
    // The input-idle time of the last check for now, refreshed when the source answers.
    mIdle.goIdleFromServer(mLastIdleTime);
    if (before == 0 || before == 3) {
        const int query = ++mServerIdleQuery;
        QPointer<AppController> self(this);
        mIdleSource->requestIdleTime([self, query](std::optional<double> seconds) {
            if (!self || query != self->mServerIdleQuery || !seconds || self->mIdle.idleType() != 2)
                return;
            self->mIdle.setFakeIdleTime(*seconds);
        });
    }
    if (loginStatus() && isOnline()) {
        // The server knows already: nothing goes back.
        mIsProtocolSend = false;
        setStatusTitle(text("Away"), false);
        mIsStatusSetFromUser = false;
    }
}

} // namespace parley::shell
