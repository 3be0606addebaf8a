#include "PLJobQueue.h"

#include "Log.h"

namespace parley {

bool PLJobQueue::record(const QString &tid, const QVariantMap &job, bool sent)
{
    if (!sent) {
        plLog(QStringLiteral("job \"%1\" not recorded: its command was not sent")
                  .arg(job.value(QStringLiteral("desc")).toString()));
        return false;
    }
    PL_GUARD_OBJECT(!tid.isEmpty(), false);
    mJobs.insert(tid, job);
    return true;
}

std::optional<QVariantMap> PLJobQueue::job(const QString &tid) const
{
    const auto it = mJobs.constFind(tid);
    if (it == mJobs.cend())
        return std::nullopt;
    return *it;
}

std::optional<QVariantMap> PLJobQueue::take(const QString &tid)
{
    const auto found = job(tid);
    mJobs.remove(tid);
    return found;
}

void PLJobQueue::remove(const QString &tid) { mJobs.remove(tid); }

void PLJobQueue::clear() { mJobs.clear(); }

} // namespace parley
