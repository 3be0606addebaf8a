#pragma once

// The account session's table of commands waiting for their reply: one job
// record (a details dictionary naming the operation under "desc") per tid
// string. A reply, error or negative acknowledgement finds its job by tid.

#include <QMap>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace parley {

class PLJobQueue
{
public:
    // Records a job under the tid of a command that went out. A command that
    // could not be sent has no tid of its own (the session's last tid belongs
    // to an earlier command), so nothing is recorded and false is answered.
    bool record(const QString &tid, const QVariantMap &job, bool sent);
    std::optional<QVariantMap> job(const QString &tid) const;
    // The job, removed from the table.
    std::optional<QVariantMap> take(const QString &tid);
    void remove(const QString &tid);
    void clear();
    qsizetype count() const { return mJobs.size(); }
    bool contains(const QString &tid) const { return mJobs.contains(tid); }
    const QMap<QString, QVariantMap> &jobs() const { return mJobs; }

private:
    QMap<QString, QVariantMap> mJobs;
};

} // namespace parley
