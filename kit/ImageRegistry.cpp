#include "ImageRegistry.h"

#include <QFile>
#include <QHash>
#include <QMutex>

namespace {

QMutex gMutex;
QHash<QString, QImage> &registered()
{
    static QHash<QString, QImage> images;
    return images;
}

} // namespace

QString ImageRegistry::baseName(const QString &name)
{
    for (const char *ext : {".tiff", ".tif", ".png"}) {
        if (name.endsWith(QLatin1String(ext), Qt::CaseInsensitive))
            return name.left(name.size() - int(qstrlen(ext)));
    }
    return name;
}

QString ImageRegistry::resourcePath(const QString &name)
{
    return QStringLiteral(":/parley/images/") + baseName(name) + QStringLiteral(".png");
}

QImage ImageRegistry::image(const QString &name)
{
    if (name.isEmpty())
        return {};
    {
        QMutexLocker lock(&gMutex);
        const auto it = registered().constFind(baseName(name));
        if (it != registered().constEnd())
            return it.value();
    }
    return QImage(resourcePath(name));
}

QPixmap ImageRegistry::pixmap(const QString &name) { return QPixmap::fromImage(image(name)); }

bool ImageRegistry::contains(const QString &name)
{
    if (name.isEmpty())
        return false;
    {
        QMutexLocker lock(&gMutex);
        if (registered().contains(baseName(name)))
            return true;
    }
    return QFile::exists(resourcePath(name));
}

void ImageRegistry::registerImage(const QString &name, const QImage &image)
{
    QMutexLocker lock(&gMutex);
    if (image.isNull())
        registered().remove(baseName(name));
    else
        registered().insert(baseName(name), image);
}
