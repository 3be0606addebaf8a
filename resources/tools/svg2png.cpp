// parley-svg2png: renders one of our SVG drawings to a PNG for the build, at
// the size the drawing declares (its width and height, else its view box).
//   parley-svg2png <in.svg> <out.png>
// The PNG is written under a temporary name and renamed, so an interrupted
// build never leaves half an image behind; the output carries no time stamp,
// so a rebuild gives the same bytes.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: parley-svg2png <in.svg> <out.png>\n");
        return 2;
    }
    const QString input = QFile::decodeName(argv[1]);
    const QString output = QFile::decodeName(argv[2]);

    QSvgRenderer renderer(input);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "parley-svg2png: %s is not a drawing we can read\n", argv[1]);
        return 1;
    }
    const QSize size = renderer.defaultSize();
    if (size.isEmpty() || size.width() > 4096 || size.height() > 4096) {
        std::fprintf(stderr, "parley-svg2png: %s declares no usable size\n", argv[1]);
        return 1;
    }

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter);
    }

    QDir().mkpath(QFileInfo(output).absolutePath());
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        std::fprintf(stderr, "parley-svg2png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
