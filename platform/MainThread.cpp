#include "MainThread.h"

#include "Log.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>

namespace parley {

namespace {

// The application object's thread, noted as the object is made: a worker may
// ask while the object is being destroyed at exit, when it can no longer be
// asked for its thread.
std::atomic<QThread *> gMainThread{nullptr};

void noteMainThread() { gMainThread.store(QThread::currentThread()); }
Q_COREAPP_STARTUP_FUNCTION(noteMainThread)

} // namespace

bool isMainThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == gMainThread.load();
}

void runOnMainThread(std::function<void()> fn, bool wait)
{
    PL_GUARD_OBJECT(fn);
    QCoreApplication *app = QCoreApplication::instance();
    PL_GUARD_OBJECT(app);
    if (QThread::currentThread() == gMainThread.load()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(fn), wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

} // namespace parley
