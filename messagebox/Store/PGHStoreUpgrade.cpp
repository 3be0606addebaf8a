#include "PGHStoreUpgrade.h"

#include "PGHSqliteDatabase.h"
#include "PGHStoreSchema.h"

#include "Log.h"

#include <QElapsedTimer>
#include <QMetaObject>

namespace pigeonhole {

PGHStoreUpgrade::PGHStoreUpgrade(const QString &path, QObject *parent)
    : QObject(parent)
    , mPath(path)
{
}

PGHStoreUpgrade::~PGHStoreUpgrade() { stop(); }

void PGHStoreUpgrade::start()
{
    if (mRunning || mWorker.joinable())
        return;
    mRunning = true;
    mWorker = std::thread([this] { run(); });
}

void PGHStoreUpgrade::stop()
{
    mStopRequested = true;
    if (mWorker.joinable())
        mWorker.join();
    mRunning = false;
}

void PGHStoreUpgrade::run()
{
    // The worker's results reach the main thread queued; once stop() was
    // called they are dropped there (the caller no longer waits for them).
    const auto tell = [this](auto report) {
        QMetaObject::invokeMethod(this, [this, report] {
            if (!mStopRequested)
                report();
        }, Qt::QueuedConnection);
    };
    QElapsedTimer timer;
    timer.start();
    PGHSqliteDatabase db;
    QString error;
    int first = 0;
    bool ok = db.open(mPath, &error) && db.exec(QStringLiteral("PRAGMA synchronous = FULL"), &error)
              && db.exec(QStringLiteral("PRAGMA foreign_keys = ON"), &error);
    if (ok) {
        db.setAbortCheck([this] { return mStopRequested.load(); });
        first = PGHStoreSchema::version(db, &error).value_or(-1);
        ok = first >= 0
             && PGHStoreSchema::upgrade(db, nullptr, &error, PGHStoreSchema::currentVersion(), [&](int reaching) {
                    const int step = reaching - first;
                    const int steps = PGHStoreSchema::currentVersion() - first;
                    tell([this, step, steps] { Q_EMIT stepStarted(step, steps); });
                });
    }
    if (mStopRequested) {
        parley::plLog(QStringLiteral("Pigeonhole store: the upgrade of %1 was stopped; the next start goes on with it").arg(mPath));
        return;
    }
    if (ok) {
        // The log holds every rebuilt page now: put them in the file and
        // empty it, while the main thread still writes nothing.
        db.setAbortCheck({});
        db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        parley::plLog(QStringLiteral("Pigeonhole store: %1 brought up to version %2 in %3 s")
                          .arg(mPath)
                          .arg(PGHStoreSchema::currentVersion())
                          .arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    } else {
        parley::plLog(QStringLiteral("Pigeonhole store: cannot bring %1 up to date: %2").arg(mPath, error));
    }
    db.close();
    tell([this, ok, error] {
        mRunning = false;
        Q_EMIT finished(ok, error);
    });
}

} // namespace pigeonhole
