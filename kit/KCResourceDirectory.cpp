#include "KCResourceDirectory.h"

#include <QCoreApplication>
#include <QDir>

QString KCResourceDirectory()
{
    const QString fromEnvironment = qEnvironmentVariable("PARLEY_RESOURCE_DIR");
    if (!fromEnvironment.isEmpty())
        return QDir::cleanPath(fromEnvironment);
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/parley"));
}

QString KCResourcePath(const QString &relative) { return KCResourceDirectory() + QLatin1Char('/') + relative; }
