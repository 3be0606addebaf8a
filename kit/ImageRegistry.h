#pragma once

// Our images, found by name. The names are the ones the windows use ("toast_device",
// "main_device01.tiff", "status_online.png"): a name written with ".tiff" or
// ".png" finds the same PNG. Images are compiled in as Qt resources under
// ":/parley/images/"; tests may register their own under any name.

#include <QImage>
#include <QPixmap>
#include <QString>

class ImageRegistry
{
public:
    // The image of that name, or a null image when there is none.
    static QImage image(const QString &name);
    static QPixmap pixmap(const QString &name);
    static bool contains(const QString &name);
    // The resource path the name resolves to (":/parley/images/<base>.png").
    static QString resourcePath(const QString &name);

    // Registers (or, with a null image, forgets) an image under a name; the
    // registered one wins over the compiled-in one. For tests and generated images.
    static void registerImage(const QString &name, const QImage &image);

    // The name without a ".tiff", ".tif" or ".png" extension.
    static QString baseName(const QString &name);
};
