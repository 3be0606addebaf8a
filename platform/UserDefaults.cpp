#include "UserDefaults.h"

#include "Log.h"
#include "PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStandardPaths>

namespace parley {

namespace {

constexpr QFileDevice::Permissions kFileMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kFolderMode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool moveCorruptFileAside(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    QString aside = path + QStringLiteral(".corrupt");
    for (int n = 1; QFileInfo::exists(aside); ++n) {
        if (n > 1000)
            return false;
        aside = path + QStringLiteral(".corrupt.%1").arg(n);
    }
    if (!QFile::rename(path, aside))
        return false;
    plLog(QStringLiteral("UserDefaults: unreadable %1 moved aside to %2").arg(path, aside));
    return true;
}

// Writes `values` to `path`, first moving an unreadable file there aside
// (`corrupt` is cleared once it is); logs and answers false on failure.
bool writeStore(const QString &path, const QVariantMap &values, bool &corrupt)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder)) {
            plLog(QStringLiteral("UserDefaults: cannot create %1").arg(folder));
            return false;
        }
        QFile::setPermissions(folder, kFolderMode);
    }
    if (corrupt) {
        if (!moveCorruptFileAside(path)) {
            plLog(QStringLiteral("UserDefaults: cannot move the unreadable %1 aside; not writing over it").arg(path));
            return false;
        }
        corrupt = false;
    }
    const QString error = PropertyList::writeFile(path, values, kFileMode);
    if (!error.isEmpty()) {
        plLog(QStringLiteral("UserDefaults: %1").arg(error));
        return false;
    }
    return true;
}

} // namespace

UserDefaults &UserDefaults::standardUserDefaults()
{
    static UserDefaults defaults(defaultPath());
    return defaults;
}

QString UserDefaults::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Parley/Parley.plist");
}

UserDefaults::UserDefaults(const QString &path) : mPath(path)
{
    QMutexLocker lock(&mMutex);
    loadLocked();
}

UserDefaults::~UserDefaults()
{
    setWritesInBackground(false);
}

QString UserDefaults::path() const
{
    QMutexLocker lock(&mMutex);
    return mPath;
}

void UserDefaults::setWritesInBackground(bool inBackground)
{
    QMutexLocker lock(&mMutex);
    if (inBackground == mWritesInBackground)
        return;
    if (inBackground) {
        mWritesInBackground = true;
        mStopWriter = false;
        mWriter = std::thread([this] { runWriter(); });
        return;
    }
    // The writer writes what is pending before it ends.
    mWritesInBackground = false;
    mStopWriter = true;
    mWriterWake.wakeAll();
    lock.unlock();
    mWriter.join();
}

void UserDefaults::scheduleWriteLocked()
{
    mWritePending = true;
    mWriterWake.wakeAll();
}

void UserDefaults::waitForWritesLocked(QMutexLocker<QMutex> &lock)
{
    while (mWritePending || mWriting)
        mWritesDone.wait(lock.mutex());
}

void UserDefaults::runWriter()
{
    QMutexLocker lock(&mMutex);
    for (;;) {
        while (!mWritePending && !mStopWriter)
            mWriterWake.wait(&mMutex);
        if (!mWritePending)
            break;
        mWritePending = false;
        mWriting = true;
        const quint64 changes = mChanges;
        const QString path = mPath;
        const QVariantMap values = mValues;
        bool corrupt = mFileIsCorrupt;
        // The slow part (the disk's sync) runs with the store free for readers and writers.
        lock.unlock();
        const bool written = writeStore(path, values, corrupt);
        lock.relock();
        mWriting = false;
        if (!corrupt)
            mFileIsCorrupt = false;
        if (changes == mChanges)
            mFileIsCurrent = written;
        if (!mWritePending)
            mWritesDone.wakeAll();
    }
    mWritesDone.wakeAll();
}

void UserDefaults::setPath(const QString &path)
{
    QMutexLocker lock(&mMutex);
    waitForWritesLocked(lock);
    mPath = path;
    loadLocked();
}

void UserDefaults::reset()
{
    QMutexLocker lock(&mMutex);
    waitForWritesLocked(lock);
    mRegistered.clear();
    loadLocked();
}

void UserDefaults::loadLocked()
{
    mValues.clear();
    mFileIsCorrupt = false;
    mFileIsCurrent = false;
    if (!QFileInfo::exists(mPath))
        return;
    const PropertyList::ReadResult read = PropertyList::readFile(mPath);
    if (read.ok() && read.value.typeId() == QMetaType::QVariantMap) {
        mValues = read.value.toMap();
        mFileIsCurrent = true;
        return;
    }
    mFileIsCorrupt = true;
    plLog(QStringLiteral("UserDefaults: cannot read %1 (%2); starting empty, the file is kept until the next write")
              .arg(mPath, read.ok() ? QStringLiteral("the top level is not a dict") : read.error));
}

void UserDefaults::registerDefaults(const QVariantMap &defaults)
{
    QMutexLocker lock(&mMutex);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        mRegistered.insert(it.key(), it.value());
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    QMutexLocker lock(&mMutex);
    auto it = mValues.constFind(key);
    if (it != mValues.cend())
        return *it;
    return mRegistered.value(key);
}

QString UserDefaults::stringForKey(const QString &key) const
{
    const QVariant v = objectForKey(key);
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    if (isNumber(v) && v.typeId() != QMetaType::Bool)
        return v.toString();
    return QString();
}

qint64 UserDefaults::integerForKey(const QString &key) const
{
    const QVariant v = objectForKey(key);
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        const double d = v.toDouble();
        // Out-of-range and not-a-number doubles have no integer value.
        return (d > -9.2e18 && d < 9.2e18) ? qint64(d) : 0;
    }
    if (isNumber(v))
        return v.toLongLong();
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toLongLong();
    return 0;
}

bool UserDefaults::boolForKey(const QString &key) const
{
    const QVariant v = objectForKey(key);
    if (isNumber(v))
        return v.toDouble() != 0;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        return s.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 ||
               s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || s.toLongLong() != 0;
    }
    return false;
}

double UserDefaults::doubleForKey(const QString &key) const
{
    const QVariant v = objectForKey(key);
    if (isNumber(v))
        return v.toDouble();
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toDouble();
    return 0;
}

QByteArray UserDefaults::dataForKey(const QString &key) const
{
    const QVariant v = objectForKey(key);
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : QByteArray();
}

QVariantList UserDefaults::arrayForKey(const QString &key) const
{
    const QVariant v = objectForKey(key);
    return v.typeId() == QMetaType::QVariantList || v.typeId() == QMetaType::QStringList ? v.toList() : QVariantList();
}

QVariantMap UserDefaults::dictionaryForKey(const QString &key) const
{
    const QVariant v = objectForKey(key);
    return v.typeId() == QMetaType::QVariantMap || v.typeId() == QMetaType::QVariantHash ? v.toMap() : QVariantMap();
}

bool UserDefaults::changeLocked(const QVariantMap &values)
{
    // Refuse what the file cannot hold, before anything changes.
    QList<QByteArray> written;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (!it.value().isValid()) {
            written.append(QByteArray());
            continue;
        }
        PropertyList::WriteResult check = PropertyList::write(it.value());
        if (!check.ok()) {
            plLog(QStringLiteral("UserDefaults: value for \"%1\" refused: %2").arg(it.key(), check.error));
            return false;
        }
        written.append(std::move(check.data));
    }
    bool fileChanges = false;
    qsizetype index = 0;
    for (auto it = values.cbegin(); it != values.cend(); ++it, ++index) {
        if (it.value().isValid()) {
            // The same bytes as the stored value's leave the file as it is
            // (the PC-ID, say, is set again at every sign-in).
            const auto stored = mValues.constFind(it.key());
            fileChanges = fileChanges || stored == mValues.cend() ||
                          PropertyList::write(*stored).data != written.at(index);
            mValues.insert(it.key(), it.value());
        } else {
            fileChanges = mValues.remove(it.key()) > 0 || fileChanges;
        }
    }
    if (!fileChanges && fileIsCurrentLocked())
        return true;
    ++mChanges;
    if (mWritesInBackground) {
        mFileIsCurrent = false;
        scheduleWriteLocked();
        return true;
    }
    return writeLocked();
}

bool UserDefaults::fileIsCurrentLocked() const
{
    // A file removed behind our back is written again.
    return mFileIsCurrent && QFileInfo::exists(mPath);
}

bool UserDefaults::setObject(const QVariant &value, const QString &key)
{
    QMutexLocker lock(&mMutex);
    return changeLocked(QVariantMap{{key, value}});
}

bool UserDefaults::setObjects(const QVariantMap &values)
{
    QMutexLocker lock(&mMutex);
    return changeLocked(values);
}

bool UserDefaults::setString(const QString &value, const QString &key)
{
    return setObject(value.isNull() ? QVariant() : QVariant(value), key);
}

bool UserDefaults::setInteger(qint64 value, const QString &key) { return setObject(QVariant(qlonglong(value)), key); }
bool UserDefaults::setBool(bool value, const QString &key) { return setObject(QVariant(value), key); }
bool UserDefaults::setDouble(double value, const QString &key) { return setObject(QVariant(value), key); }
bool UserDefaults::setData(const QByteArray &value, const QString &key) { return setObject(QVariant(value), key); }
bool UserDefaults::setArray(const QVariantList &value, const QString &key) { return setObject(QVariant(value), key); }
bool UserDefaults::setDictionary(const QVariantMap &value, const QString &key) { return setObject(QVariant(value), key); }
bool UserDefaults::removeObjectForKey(const QString &key) { return setObject(QVariant(), key); }

QVariantMap UserDefaults::userDictionary(const QString &userID) const { return dictionaryForKey(userID); }

bool UserDefaults::hasUserDictionary(const QString &userID) const
{
    const QVariant v = objectForKey(userID);
    return v.typeId() == QMetaType::QVariantMap || v.typeId() == QMetaType::QVariantHash;
}

bool UserDefaults::setUserDictionary(const QString &userID, const QVariantMap &values)
{
    return setDictionary(values, userID);
}

bool UserDefaults::synchronize()
{
    QMutexLocker lock(&mMutex);
    waitForWritesLocked(lock);
    if (fileIsCurrentLocked())
        return true;
    return writeLocked();
}

bool UserDefaults::writeLocked()
{
    mFileIsCurrent = writeStore(mPath, mValues, mFileIsCorrupt);
    return mFileIsCurrent;
}

} // namespace parley
