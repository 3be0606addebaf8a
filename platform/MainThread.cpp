#include "MainThread.h"

#include "Log.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace parley {

bool isMainThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void runOnMainThread(std::function<void()> fn, bool wait)
{
    PL_GUARD_OBJECT(fn);
    QCoreApplication *app = QCoreApplication::instance();
    PL_GUARD_OBJECT(app);
    if (QThread::currentThread() == app->thread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(fn), wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

} // namespace parley
