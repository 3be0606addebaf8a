#include "PGHExportFileName.h"

#include <QFileInfo>

namespace pigeonhole {

namespace {

constexpr int kMaxBytes = 255 - 4; // room for ".txt"

} // namespace

QString PGHExportFileName::fromSubject(const QString &subject)
{
    QString name = subject;
    name.remove(QLatin1Char('/'));
    name.remove(QChar(u'\0'));
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    // Shorten at character boundaries until the UTF-8 name fits.
    while (name.toUtf8().size() > kMaxBytes) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);
    }
    if (name.trimmed().isEmpty())
        return QString();
    return name + QStringLiteral(".txt");
}

QString PGHExportFileName::withTextSuffix(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QStringLiteral(".txt");
}

} // namespace pigeonhole
