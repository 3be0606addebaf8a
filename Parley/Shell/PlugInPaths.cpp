#include "PlugInPaths.h"

#include <QDir>
#include <QFileInfo>

namespace parley {

QString PlugInPaths::installPathForDestination(const QString &destination, const QString &homeFolder)
{
    const qsizetype tilde = destination.indexOf(QLatin1Char('~'));
    if (tilde >= 0) {
        QString path = destination;
        path.replace(tilde, 1, homeFolder);
        return QDir::cleanPath(path);
    }
    return QDir::cleanPath(homeFolder + QLatin1Char('/') + destination);
}

QString PlugInPaths::confinedBundlePath(const QString &path, const QString &plugInFolder)
{
    const QString folder = QFileInfo(plugInFolder).canonicalFilePath();
    if (folder.isEmpty() || path.isEmpty() || !QDir::isAbsolutePath(path))
        return {};
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || !name.endsWith(QLatin1String(".app")) || name == QLatin1String(".app"))
        return {};
    // The bundle itself must be no link: deleting or replacing it would act elsewhere.
    if (info.isSymLink())
        return {};
    const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (parent.isEmpty())
        return {};
    const QString resolved = parent + QLatin1Char('/') + name;
    if (!resolved.startsWith(folder + QLatin1Char('/')))
        return {};
    return resolved;
}

QString PlugInPaths::archiveFileName(const QString &urlPath)
{
    QString name = urlPath.mid(urlPath.lastIndexOf(QLatin1Char('/')) + 1);
    for (QChar &c : name) {
        const char16_t u = c.unicode();
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-'
            || u == '_' || u == '.';
        if (!plain)
            c = QLatin1Char('_');
    }
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("download.zip") : name;
}

} // namespace parley
