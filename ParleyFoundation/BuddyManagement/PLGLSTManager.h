#pragma once

// The per-user copy of the server's group list (GroupCache.nch): loaded at
// sign-in to report its number, recorded anew while a fresh list arrives.

#include "PLGroupInfo.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

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
    qsizetype count() const { return mEntries.size(); }
    // An empty entry for an index out of range.
    QVariantMap groupInfoAtIndex(qsizetype index) const;

    // Starts a new recording with the "Cache" entry of a fresh list.
    void beginSave(const QVariantMap &cacheEntry);
    // Appends an entry while recording.
    void saveInfo(const QVariantMap &entry);
    // Appends the line's dictionary while recording; built only then.
    void saveInfo(const PLGroupInfo &line);
    // Replaces the user's file with the recording and stops recording.
    void endSave();

    bool mSaveFlag() const { return mSaveFlagValue; }
    void setMSaveFlag(bool flag) { mSaveFlagValue = flag; }
    qint32 mCount() const { return mCountValue; }
    void setMCount(qint32 count) { mCountValue = count; }
    void setMVersion(qint32 version) { mVersion = version; }
    QString mLoginID() const { return mLoginIDValue; }
    QString mGroupCachePath() const { return mGroupCachePathValue; }
    void setMGroupCachePath(const QString &path) { mGroupCachePathValue = path; }
    const QVariantList &mGLSTArray() const { return mEntries; }
    void setMGLSTArray(const QVariantList &entries) { mEntries = entries; }

    // Back to the state at launch (tests).
    void resetForTesting();

private:
    PLGLSTManager() = default;
    void loadIfGroupCacheExist();

    qint32 mVersion = 0;
    qint32 mCountValue = 0;
    QString mLoginIDValue;
    QString mGroupCachePathValue;
    QVariantList mEntries; // mGLSTArray
    bool mSaveFlagValue = false;
};

} // namespace parley
