#pragma once

// The program's settings: global keys and, under each account's user ID
// ("name@domain", kept as it stands), that account's own dictionary, all in
// one XML property list.
//
// - Reads answer the stored value, else the registered default, else nothing.
// - Every change is written to the file at once, atomically, with mode 0600
//   (the folder is created with mode 0700 when missing). A value that has no
//   property-list form is refused and nothing changes. Setting a value the
//   file already holds (the same bytes once written), or synchronizing when
//   the last write succeeded, leaves the file untouched.
// - A file that cannot be read is logged and treated as empty; it is left in
//   place until the next write, which first moves it aside to
//   "<name>.corrupt" (".corrupt.1", ... when taken), so it is never lost.
// - Thread-safe.
// - In the background mode (the messenger's), a change is stored at once and
//   written by a worker thread shortly after, so that a slow disk never holds
//   the caller: the setters then answer whether the change was stored, the
//   write's own failure is logged and retried by the next change or by
//   synchronize(), which waits for the writes in flight and answers whether
//   the file holds every value. The destructor writes what is left.
//
// The process-wide instance uses defaultPath():
//   QStandardPaths::GenericConfigLocation + "/Parley/Parley.plist"
// (usually ~/.config/Parley/Parley.plist). Tests point it elsewhere with
// setPath() or make their own instance, so no test touches the real home.

#include <QByteArray>
#include <QMutex>
#include <QWaitCondition>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <thread>

namespace parley {

class UserDefaults {
public:
    static UserDefaults &standardUserDefaults();
    static QString defaultPath();

    // Loads the file at `path` (a missing file is an empty store).
    explicit UserDefaults(const QString &path);
    ~UserDefaults();
    UserDefaults(const UserDefaults &) = delete;
    UserDefaults &operator=(const UserDefaults &) = delete;

    QString path() const;
    // Turns the background mode on or off (off by default); turning it off
    // first waits for the writes in flight.
    void setWritesInBackground(bool inBackground);
    // Switches to another file and loads it; registered defaults are kept.
    void setPath(const QString &path);
    // Forgets every value and registered default, then reloads the file.
    void reset();

    // Values that apply while a key is unset; merged into earlier ones and
    // never written to the file.
    void registerDefaults(const QVariantMap &defaults);

    // The stored value or registered default; an invalid QVariant when none.
    QVariant objectForKey(const QString &key) const;
    // Typed reads convert numbers, booleans and numeric strings between one
    // another as far as sensible; anything else gives the empty value.
    QString stringForKey(const QString &key) const;
    qint64 integerForKey(const QString &key) const;
    bool boolForKey(const QString &key) const;
    double doubleForKey(const QString &key) const;
    QByteArray dataForKey(const QString &key) const;
    QVariantList arrayForKey(const QString &key) const;
    QVariantMap dictionaryForKey(const QString &key) const;

    // Each answers whether the change was stored and written. An invalid
    // QVariant (or a null string) removes the key.
    bool setObject(const QVariant &value, const QString &key);
    bool setString(const QString &value, const QString &key);
    bool setInteger(qint64 value, const QString &key);
    bool setBool(bool value, const QString &key);
    bool setDouble(double value, const QString &key);
    bool setData(const QByteArray &value, const QString &key);
    bool setArray(const QVariantList &value, const QString &key);
    bool setDictionary(const QVariantMap &value, const QString &key);
    bool removeObjectForKey(const QString &key);
    // Several values (invalid ones remove their key) stored with one write;
    // if any has no property-list form, none is stored.
    bool setObjects(const QVariantMap &values);

    // The dictionary stored under an account's user ID (empty when none).
    QVariantMap userDictionary(const QString &userID) const;
    bool hasUserDictionary(const QString &userID) const;
    // Replaces the whole dictionary of that account.
    bool setUserDictionary(const QString &userID, const QVariantMap &values);

    // Writes the stored values now (after an earlier failed write, say),
    // unless the file already holds them; in the background mode it first
    // waits for the writes in flight.
    bool synchronize();

private:
    void loadLocked();
    bool writeLocked();
    bool changeLocked(const QVariantMap &values);
    bool fileIsCurrentLocked() const;
    void scheduleWriteLocked();
    void waitForWritesLocked(QMutexLocker<QMutex> &lock);
    void runWriter();

    mutable QMutex mMutex;
    QString mPath;
    QVariantMap mValues;
    QVariantMap mRegistered;
    bool mFileIsCorrupt = false;
    // The file holds exactly mValues (loaded from it or last written whole).
    bool mFileIsCurrent = false;

    // The background mode: the worker writes whenever mWritePending is set,
    // taking a copy of the values; mChanges tells it whether they changed
    // again meanwhile (then the file is not current yet).
    bool mWritesInBackground = false;
    bool mWritePending = false;
    bool mWriting = false;
    bool mStopWriter = false;
    quint64 mChanges = 0;
    QWaitCondition mWriterWake;
    QWaitCondition mWritesDone;
    std::thread mWriter;
};

} // namespace parley
