#include "PLUtils.h"

#include "Log.h"
#include "ParleyStringAdditions.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QUuid>

#include <random>

namespace parley {

QString PLAppSupportPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    PL_GUARD_OBJECT(!data.isEmpty(), QString());
    return data + QStringLiteral("/Parley/");
}

QString PLPersonalConfPathForUser(const QString &userID)
{
    const QString support = PLAppSupportPath();
    PL_GUARD_OBJECT(!support.isNull(), QString());
    PL_GUARD_OBJECT(!userID.isNull(), QString());
    return support + md5String(userID) + QLatin1Char('/');
}

QString PLGroupCachePathForUser(const QString &userID)
{
    PL_GUARD_OBJECT(!userID.isNull(), QString());
    const QString folder = PLPersonalConfPathForUser(userID);
    PL_GUARD_OBJECT(!folder.isNull(), QString());
    return QDir::cleanPath(folder + QStringLiteral("/GroupCache.nch"));
}

QString PLConfFilePath()
{
    const QString support = PLAppSupportPath();
    PL_GUARD_OBJECT(!support.isNull(), QString());
    // Not cleaned: the doubled slash is harmless to the file system.
    return support + QStringLiteral("/conf.dat");
}

bool PLCreateFolderIfNotExist(const QString &path)
{
    PL_GUARD_OBJECT(!path.isNull(), false);
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return info.isDir();
    QDir().mkdir(path);
    return true;
}

QString PLMakeUUID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
}

QByteArray getLocKey()
{
    // A generator of our own, seeded once: reseeding the process's shared one
    // with the time on every call would repeat keys within a second.
    static QMutex mutex;
    static std::mt19937 generator{std::random_device{}()};
    static std::uniform_int_distribution<int> pick(0, 61);
    QMutexLocker lock(&mutex);
    QByteArray key(4, '0');
    for (char &c : key)
        c = kLocKeyAlphabet[pick(generator)];
    return key;
}

QString PLGetLocKey() { return QString::fromLatin1(getLocKey()); }

} // namespace parley
