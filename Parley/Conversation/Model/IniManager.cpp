#include "IniManager.h"

#include "CodePage949.h"

#include <QList>

std::optional<IniManager> IniManager::fromData(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    std::optional<QString> text = CodePage949::decode(bytes);
    if (!text)
        return std::nullopt;
    return IniManager(*text);
}

QString IniManager::valueForPrimaryKey(const QString &section, const QString &key) const
{
    if (mIniString.isEmpty())
        return {};
    const QString header = QLatin1Char('[') + section + QLatin1Char(']');
    const qsizetype headerAt = mIniString.indexOf(header, 0, Qt::CaseInsensitive);
    if (headerAt < 0)
        return {};
    const qsizetype bodyStart = headerAt + header.size();
    // The last section runs to the end of the text, its last character included.
    const qsizetype nextSection = mIniString.indexOf(QLatin1Char('['), bodyStart);
    const QStringView body = QStringView(mIniString).mid(bodyStart, nextSection < 0 ? -1 : nextSection - bodyStart);

    for (QStringView line : body.split(QLatin1Char('\n'))) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QStringView name = equals < 0 ? line : line.left(equals);
        if (!name.contains(key, Qt::CaseInsensitive))
            continue;
        if (equals < 0)
            return {};
        const QStringView rest = line.mid(equals + 1);
        const qsizetype nextEquals = rest.indexOf(QLatin1Char('='));
        return (nextEquals < 0 ? rest : rest.left(nextEquals)).toString();
    }
    return {};
}
