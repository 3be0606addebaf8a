#pragma once

// A catalogue folder made for a test: the property lists are written by
// Python's plistlib (a writer that is not ours), the images by QImage.

#include <QColor>
#include <QJsonObject>
#include <QJsonValue>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

namespace parley::test {

class EmoticonFolder
{
public:
    EmoticonFolder();
    QString path() const { return mDir.path(); }
    QString filePath(const QString &relative) const { return mDir.filePath(relative); }

    // Writes each <relative path> of `files` as an XML property list of its
    // JSON value, through /usr/bin/python3's plistlib (one run for all);
    // false when that fails.
    bool writePlists(const QJsonObject &files) const;
    // Writes raw bytes (for files that are not property lists at all).
    bool writeBytes(const QString &relative, const QByteArray &bytes) const;
    // Writes images/<name> as a PNG of that size and colour.
    bool writeImage(const QString &name, QSize size, const QColor &color) const;

private:
    QTemporaryDir mDir;
};

// The small catalogue most tests use (images 16 x 16 unless said):
//   ko: "얼굴" = /smile/ /웃음/ /ghost/; "물건" = /cup/
//       table: /smile/ -> smile.png, /웃음/ -> smile.png, /ghost/ -> ghost.png (no such file), /cup/ -> cup.png
//   en: "Faces" = /smile/ /grin/
//       table: /smile/ -> smile_en.png, /grin/ -> grin.png (20 x 12)
// `replaced` property lists (relative path -> JSON value) are written in
// place of the catalogue's own.
bool writeSmallCatalogue(const EmoticonFolder &folder, const QJsonObject &replaced = {});

} // namespace parley::test
