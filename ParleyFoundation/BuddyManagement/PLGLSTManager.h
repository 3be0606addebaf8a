#pragma once

// The per-user copy of the server's group list (GroupCache.nch): loaded at
// sign-in to report its number, recorded anew while a fresh list arrives.
// The lines of a recording are kept as they came and written straight to the
// file, and a file of the usual layout is loaded straight into lines: one
// dictionary per line cost more than the rest of a line's work.

#include "PLGroupInfo.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <deque>
#include <optional>
#include <variant>

namespace parley {

class PLGLSTManager
{
public:
    static PLGLSTManager &sharedManager();
    PLGLSTManager(const PLGLSTManager &) = delete;
    PLGLSTManager &operator=(const PLGLSTManager &) = delete;

    // Switches to the user's cache: drops the entries, ends any recording
    // without writing and loads the user's file when it is there.
    void setLoginID(const QString &loginID);
    qint32 version() const { return mVersion; }
    qsizetype count() const { return qsizetype(mEntries.size()); }
    // An empty entry for an index out of range.
    QVariantMap groupInfoAtIndex(qsizetype index) const;
    // PLGroupInfo::fromVariantMap(groupInfoAtIndex(index)), without building
    // the dictionary of a line that is held as a line (a cache loaded from
    // its usual layout, or recorded).
    std::optional<PLGroupInfo> lineAtIndex(qsizetype index) const;

    // Starts a new recording with the "Cache" entry of a fresh list.
    void beginSave(const QVariantMap &cacheEntry);
    // Appends an entry while recording.
    void saveInfo(const QVariantMap &entry);
    // Appends the line while recording; stored as its dictionary.
    void saveInfo(const PLGroupInfo &line);
    void saveInfo(PLGroupInfo &&line);
    // Replaces the user's file with the recording and stops recording.
    void endSave();
    // Ends a recording that will not be completed: its lines are dropped and
    // the entries are the user's file again. Nothing when none is open.
    void abandonSave();

    bool mSaveFlag() const { return mSaveFlagValue; }
    void setMSaveFlag(bool flag) { mSaveFlagValue = flag; }
    qint32 mCount() const { return mCountValue; }
    void setMCount(qint32 count) { mCountValue = count; }
    void setMVersion(qint32 version) { mVersion = version; }
    QString mLoginID() const { return mLoginIDValue; }
    QString mGroupCachePath() const { return mGroupCachePathValue; }
    void setMGroupCachePath(const QString &path) { mGroupCachePathValue = path; }
    // Every entry as its dictionary, in order.
    QVariantList mGLSTArray() const;
    // Entries that are no dictionary are dropped.
    void setMGLSTArray(const QVariantList &entries);

    // Back to the state at launch (tests).
    void resetForTesting();

private:
    PLGLSTManager() = default;
    void loadIfGroupCacheExist();
    // Empty on success, else the error.
    QString writeCacheFile() const;

    qint32 mVersion = 0;
    qint32 mCountValue = 0;
    QString mLoginIDValue;
    QString mGroupCachePathValue;
    // A stored or given dictionary, or a line of a recording.
    using Entry = std::variant<QVariantMap, PLGroupInfo>;
    // A deque: a sign-in appends a line per buddy, and a vector's regrowth
    // would copy them all again and again into freshly faulted-in memory.
    std::deque<Entry> mEntries; // mGLSTArray
    bool mSaveFlagValue = false;
};

} // namespace parley
