#include "ImageRegistry.h"

#include <QCache>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QMutex>

namespace {

QMutex gMutex;
QHash<QString, QImage> &registered()
{
    static QHash<QString, QImage> images;
    return images;
}

// Small images read from the resources, kept: a button asks for its pieces
// at every size hint and every paint. Costs in KB; larger images are read
// again when asked for, so that the kept ones stay a few hundred KB at most.
constexpr int kKeptImageKb = 16;
QCache<QString, QImage> &decoded()
{
    static QCache<QString, QImage> images(256);
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
    const QString base = baseName(name);
    {
        QMutexLocker lock(&gMutex);
        const auto it = registered().constFind(base);
        if (it != registered().constEnd())
            return it.value();
        if (const QImage *kept = decoded().object(base))
            return *kept;
    }
    // Ours are all PNG: read as such, without Qt loading every image plug-in
    // (and the libraries they need) to ask each whether it reads the file.
    QImageReader reader(resourcePath(name), "png");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    const qsizetype kb = image.sizeInBytes() / 1024 + 1;
    if (!image.isNull() && kb <= kKeptImageKb) {
        QMutexLocker lock(&gMutex);
        decoded().insert(base, new QImage(image), int(kb));
    }
    return image;
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
    decoded().remove(baseName(name));
    if (image.isNull())
        registered().remove(baseName(name));
    else
        registered().insert(baseName(name), image);
}
