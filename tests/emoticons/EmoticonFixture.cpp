#include "EmoticonFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace parley::test {

EmoticonFolder::EmoticonFolder() { QDir(mDir.path()).mkpath(QStringLiteral("images")); }

bool EmoticonFolder::writePlists(const QJsonObject &files) const
{
    QJsonObject targets;
    for (auto it = files.constBegin(); it != files.constEnd(); ++it) {
        const QString target = filePath(it.key());
        QDir().mkpath(QFileInfo(target).absolutePath());
        targets.insert(target, it.value());
    }
    QProcess python;
    python.start(QStringLiteral(PARLEY_PYTHON),
                 {QStringLiteral("-c"),
                  QStringLiteral("import json, plistlib, sys\n"
                                 "for path, value in json.loads(sys.stdin.buffer.read()).items():\n"
                                 "    with open(path, 'wb') as f:\n"
                                 "        plistlib.dump(value, f, fmt=plistlib.FMT_XML)\n")});
    if (!python.waitForStarted())
        return false;
    python.write(QJsonDocument(targets).toJson(QJsonDocument::Compact));
    python.closeWriteChannel();
    return python.waitForFinished(60000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
}

bool EmoticonFolder::writeBytes(const QString &relative, const QByteArray &bytes) const
{
    const QString target = filePath(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool EmoticonFolder::writeImage(const QString &name, QSize size, const QColor &color) const
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image.save(filePath(QStringLiteral("images/") + name), "PNG");
}

bool writeSmallCatalogue(const EmoticonFolder &folder, const QJsonObject &replaced)
{
    const QJsonObject koTable{
        {QStringLiteral("faces"), QJsonObject{{QStringLiteral("/smile/"), QStringLiteral("smile.png")},
                                              {QStringLiteral("/웃음/"), QStringLiteral("smile.png")},
                                              {QStringLiteral("/ghost/"), QStringLiteral("ghost.png")}}},
        {QStringLiteral("things"), QJsonObject{{QStringLiteral("/cup/"), QStringLiteral("cup.png")}}}};
    const QJsonArray koSort{
        QJsonObject{{QStringLiteral("category"), QStringLiteral("얼굴")},
                    {QStringLiteral("emoticons"), QJsonArray{QStringLiteral("/smile/"), QStringLiteral("/웃음/"),
                                                             QStringLiteral("/ghost/")}}},
        QJsonObject{{QStringLiteral("category"), QStringLiteral("물건")},
                    {QStringLiteral("emoticons"), QJsonArray{QStringLiteral("/cup/")}}}};
    const QJsonObject enTable{{QStringLiteral("faces"),
                               QJsonObject{{QStringLiteral("/smile/"), QStringLiteral("smile_en.png")},
                                           {QStringLiteral("/grin/"), QStringLiteral("grin.png")}}}};
    const QJsonArray enSort{QJsonObject{{QStringLiteral("category"), QStringLiteral("Faces")},
                                        {QStringLiteral("emoticons"),
                                         QJsonArray{QStringLiteral("/smile/"), QStringLiteral("/grin/")}}}};
    QJsonObject files{{QStringLiteral("ko/emoticon.plist"), koTable},
                      {QStringLiteral("ko/emoticonSort.plist"), koSort},
                      {QStringLiteral("en/emoticon.plist"), enTable},
                      {QStringLiteral("en/emoticonSort.plist"), enSort}};
    for (auto it = replaced.constBegin(); it != replaced.constEnd(); ++it)
        files.insert(it.key(), it.value());
    return folder.writePlists(files)
        && folder.writeImage(QStringLiteral("smile.png"), QSize(16, 16), QColor(255, 200, 0))
        && folder.writeImage(QStringLiteral("smile_en.png"), QSize(16, 16), QColor(0, 200, 255))
        && folder.writeImage(QStringLiteral("cup.png"), QSize(16, 16), QColor(120, 60, 20))
        && folder.writeImage(QStringLiteral("grin.png"), QSize(20, 12), QColor(0, 160, 0));
}

} // namespace parley::test
