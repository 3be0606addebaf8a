#include "KCIdleTimer.h"

#include "Log.h"

#include <QCoreApplication>
#include <QEvent>

#include <cmath>
#include <limits>

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

int toMilliseconds(double seconds)
{
    const double ms = std::ceil(seconds * 1000.0);
    return ms >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : std::max(1, int(ms));
}

} // namespace

std::unique_ptr<KCIdleTimer> KCIdleTimer::create(double seconds)
{
    if (!QCoreApplication::instance() || !(seconds > 0) || !std::isfinite(seconds))
        return nullptr;
    return std::unique_ptr<KCIdleTimer>(new KCIdleTimer(toMilliseconds(seconds)));
}

KCIdleTimer::KCIdleTimer(int intervalMs)
    : mIntervalMs(intervalMs)
{
    mTimer.setSingleShot(true);
    connect(&mTimer, &QTimer::timeout, this, &KCIdleTimer::fire);
    QCoreApplication::instance()->installEventFilter(this);
    mTimer.start(mIntervalMs);
}

KCIdleTimer::~KCIdleTimer()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void KCIdleTimer::setFireTime(double seconds)
{
    mTimer.start(seconds > 0 && std::isfinite(seconds) ? toMilliseconds(seconds) : 0);
}

void KCIdleTimer::fire()
{
    // The next check first: the delegate may delete the timer.
    mTimer.start(mIntervalMs);
    if (!mIdling) {
        mIdling = true;
        parley::plLog(QStringLiteral("begin"));
        if (mDelegate)
            mDelegate->timerBeginsIdling(this);
    } else {
        parley::plLog(QStringLiteral("continue"));
        if (mDelegate)
            mDelegate->timerContinuesIdling(this);
    }
}

bool KCIdleTimer::eventFilter(QObject *watched, QEvent *event)
{
    if (isInput(event->type())) {
        // An event that travels up through the widgets is seen more than
        // once; restarting again is harmless.
        mTimer.start(mIntervalMs);
        if (mIdling) {
            mIdling = false;
            parley::plLog(QStringLiteral("finish"));
            if (mDelegate)
                mDelegate->timerFinishedIdling(this); // may delete the timer
            return false;
        }
    }
    return QObject::eventFilter(watched, event);
}
