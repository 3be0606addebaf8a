#pragma once

// Brings a store file of an earlier version up to date on a worker thread
// with a connection of its own (building the search indexes reads every memo
// and chat log: seconds on a large store). Meanwhile the main thread's
// connection reads the file as it stood at the last commit (WAL), so the
// window lists and searches as before; it must not write, as the worker holds
// the write lock. Each step commits on its own: a program ended during the
// upgrade leaves the file at the last step that committed, and the next open
// goes on from there.

#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

namespace pigeonhole {

class PGHStoreUpgrade : public QObject
{
    Q_OBJECT

public:
    explicit PGHStoreUpgrade(const QString &path, QObject *parent = nullptr);
    // Stops a running upgrade and waits for the worker.
    ~PGHStoreUpgrade() override;
    PGHStoreUpgrade(const PGHStoreUpgrade &) = delete;
    PGHStoreUpgrade &operator=(const PGHStoreUpgrade &) = delete;

    void start();
    // Until finished() is emitted (or stop() returns).
    bool isRunning() const { return mRunning; }
    // Stops the running step, which is rolled back (the file stays at the
    // last version reached), and waits for the worker; finished() is not
    // emitted. Quick: a rollback in WAL mode drops the uncommitted log.
    void stop();
    const QString &path() const { return mPath; }

Q_SIGNALS:
    // A step began: `step` of `steps` this upgrade takes (both from 1).
    void stepStarted(int step, int steps);
    // The file is up to date, or the upgrade failed (the file is left at the
    // last version reached, every row kept) for `error`.
    void finished(bool ok, const QString &error);

private:
    void run();

    const QString mPath;
    std::thread mWorker;
    std::atomic_bool mStopRequested = false;
    bool mRunning = false;
};

} // namespace pigeonhole
