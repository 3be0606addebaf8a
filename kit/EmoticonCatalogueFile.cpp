#include "EmoticonCatalogueFile.h"

#include "Log.h"
#include "PropertyList.h"

#include <QFileInfo>
#include <QVariantList>
#include <QVariantMap>

namespace {

// An image is named by its bare file name inside the catalogue's "images"
// folder; a name that would reach outside it is a broken catalogue.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(0));
}

std::optional<QVariant> readFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return std::nullopt;
    const parley::PropertyList::ReadResult result = parley::PropertyList::readFile(path);
    if (!result.ok()) {
        parley::plLog(QStringLiteral("emoticon catalogue %1 ignored: %2").arg(path, result.error));
        return std::nullopt;
    }
    return result.value;
}

void logShape(const QString &path, const QString &error)
{
    parley::plLog(QStringLiteral("emoticon catalogue %1 ignored: %2").arg(path, error));
}

} // namespace

QString EmoticonCatalogueFile::checkImageTable(const QVariant &value, EmoticonImageTable *table)
{
    if (value.typeId() != QMetaType::QVariantMap)
        return QStringLiteral("the top level is not a dictionary");
    EmoticonImageTable result;
    const QVariantMap groups = value.toMap();
    for (auto group = groups.cbegin(); group != groups.cend(); ++group) {
        if (group.value().typeId() != QMetaType::QVariantMap)
            return QStringLiteral("group \"%1\" is not a dictionary").arg(group.key());
        QMap<QString, QString> &entries = result[group.key()];
        const QVariantMap tokens = group.value().toMap();
        for (auto token = tokens.cbegin(); token != tokens.cend(); ++token) {
            if (token.value().typeId() != QMetaType::QString)
                return QStringLiteral("the image of %1 is not a string").arg(token.key());
            const QString file = token.value().toString();
            if (!isPlainFileName(file))
                return QStringLiteral("the image of %1 is not a file name").arg(token.key());
            entries.insert(token.key(), file);
        }
    }
    if (table)
        *table = std::move(result);
    return {};
}

QString EmoticonCatalogueFile::checkSortOrder(const QVariant &value, QList<EmoticonCategory> *categories)
{
    if (value.typeId() != QMetaType::QVariantList)
        return QStringLiteral("the top level is not an array");
    QList<EmoticonCategory> result;
    const QVariantList entries = value.toList();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].typeId() != QMetaType::QVariantMap)
            return QStringLiteral("category %1 is not a dictionary").arg(i);
        const QVariantMap entry = entries[i].toMap();
        const QVariant name = entry.value(QStringLiteral("category"));
        const QVariant tokens = entry.value(QStringLiteral("emoticons"));
        if (name.typeId() != QMetaType::QString)
            return QStringLiteral("category %1 has no name").arg(i);
        if (tokens.typeId() != QMetaType::QVariantList)
            return QStringLiteral("category %1 has no array of emoticons").arg(i);
        EmoticonCategory category{name.toString(), {}};
        for (const QVariant &token : tokens.toList()) {
            if (token.typeId() != QMetaType::QString)
                return QStringLiteral("category %1 lists an emoticon that is not a string").arg(i);
            category.emoticons << token.toString();
        }
        result << category;
    }
    if (categories)
        *categories = std::move(result);
    return {};
}

std::optional<EmoticonImageTable> EmoticonCatalogueFile::readImageTable(const QString &path)
{
    const std::optional<QVariant> value = readFile(path);
    if (!value)
        return std::nullopt;
    EmoticonImageTable table;
    const QString error = checkImageTable(*value, &table);
    if (!error.isEmpty()) {
        logShape(path, error);
        return std::nullopt;
    }
    return table;
}

std::optional<QList<EmoticonCategory>> EmoticonCatalogueFile::readSortOrder(const QString &path)
{
    const std::optional<QVariant> value = readFile(path);
    if (!value)
        return std::nullopt;
    QList<EmoticonCategory> categories;
    const QString error = checkSortOrder(*value, &categories);
    if (!error.isEmpty()) {
        logShape(path, error);
        return std::nullopt;
    }
    return categories;
}
