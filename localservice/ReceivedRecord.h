#pragma once

// What one client connection has sent, for the tests to read: every command
// line as it came (refused ones too, bodies left out), in order, and whether
// the connection has closed. The connection fills it; its server keeps the
// records of its latest connections after they close.

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace localservice {

struct ReceivedRecord {
    static constexpr qsizetype kMaxLines = 10000; // beyond: the oldest go
    QString userID;                               // once signed in
    QStringList lines;
    qsizetype droppedLines = 0;
    bool closed = false;

    void addLine(const QString &line)
    {
        if (lines.size() >= kMaxLines) {
            lines.removeFirst();
            ++droppedLines;
        }
        lines.append(line);
    }
};

// The records of a server's latest connections, oldest first.
class ReceivedRecords {
public:
    static constexpr qsizetype kMaxRecords = 1000;

    void add(std::shared_ptr<ReceivedRecord> record)
    {
        if (mRecords.size() >= kMaxRecords)
            mRecords.removeFirst();
        mRecords.append(std::move(record));
    }
    QList<std::shared_ptr<const ReceivedRecord>> all() const { return {mRecords.begin(), mRecords.end()}; }
    // The records of one account's connections, oldest first.
    QList<std::shared_ptr<const ReceivedRecord>> of(const QString &userID) const
    {
        QList<std::shared_ptr<const ReceivedRecord>> found;
        for (const auto &record : mRecords)
            if (record->userID == userID)
                found.append(record);
        return found;
    }

private:
    QList<std::shared_ptr<ReceivedRecord>> mRecords;
};

} // namespace localservice
