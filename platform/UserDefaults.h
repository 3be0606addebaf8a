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
//
// The process-wide instance uses defaultPath():
//   QStandardPaths::GenericConfigLocation + "/Parley/Parley.plist"
// (usually ~/.config/Parley/Parley.plist). Tests point it elsewhere with
// setPath() or make their own instance, so no test touches the real home.

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

namespace parley {

class UserDefaults {
public:
    static UserDefaults &standardUserDefaults();
    static QString defaultPath();

    // Loads the file at `path` (a missing file is an empty store).
    explicit UserDefaults(const QString &path);
    UserDefaults(const UserDefaults &) = delete;
    UserDefaults &operator=(const UserDefaults &) = delete;

    QString path() const;
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
    // unless the file already holds them.
    bool synchronize();

private:
    void loadLocked();
    bool writeLocked();
    bool moveCorruptFileAsideLocked();
    bool changeLocked(const QVariantMap &values);
    bool fileIsCurrentLocked() const;

    mutable QMutex mMutex;
    QString mPath;
    QVariantMap mValues;
    QVariantMap mRegistered;
    bool mFileIsCorrupt = false;
    // The file holds exactly mValues (loaded from it or last written whole).
    bool mFileIsCurrent = false;
};

} // namespace parley
