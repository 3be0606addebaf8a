#include "PGHStoreFiles.h"

#include "Utils/PLUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pigeonhole {

namespace {

constexpr char kExtension[] = ".sqlite";
// The longest name the file system takes, less the "-wal" SQLite adds.
constexpr int kMaxNameBytes = 255 - 4;

} // namespace

std::optional<QString> PGHStoreFiles::folder(const QString &supportFolder, QString *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<QString> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (supportFolder.isEmpty())
        return fail(QStringLiteral("there is no support folder (no home folder)"));
    const QString support = QDir::cleanPath(supportFolder);
    const QString message = support + QStringLiteral("/Message");
    QDir().mkpath(QFileInfo(support).path()); // the data folder above ours may be new too
    if (!parley::PLCreateFolderIfNotExist(support) || !parley::PLCreateFolderIfNotExist(message)
        || !QFileInfo(message).isDir())
        return fail(QStringLiteral("cannot make the folder %1").arg(message));
    return message;
}

std::optional<QString> PGHStoreFiles::folder(QString *error) { return folder(parley::PLAppSupportPath(), error); }

std::optional<QString> PGHStoreFiles::fileNameForUser(const QString &userID)
{
    if (userID.isEmpty() || userID.startsWith(QLatin1Char('.')) || userID.contains(QLatin1Char('/'))
        || userID.contains(QChar(u'\0')))
        return std::nullopt;
    const QString name = userID + QLatin1String(kExtension);
    if (name == defaultFileName() || name.toUtf8().size() > kMaxNameBytes)
        return std::nullopt;
    return name;
}

QString PGHStoreFiles::defaultFileName() { return QStringLiteral("default") + QLatin1String(kExtension); }

bool PGHStoreFiles::removeDefaultStore(const QString &folder)
{
    bool removed = true;
    const QString base = folder + QLatin1Char('/') + defaultFileName();
    for (const QString &path : {base, base + QStringLiteral("-wal"), base + QStringLiteral("-shm")}) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            removed = false;
    }
    return removed;
}

} // namespace pigeonhole
