#pragma once

// The two property-list files of an emoticon catalogue, read and checked:
//   emoticon.plist      a dictionary of groups, each mapping a token ("/name/")
//                       to the file name of its image in the "images" folder;
//   emoticonSort.plist  an array of categories in palette order, each a
//                       dictionary with "category" (its name) and "emoticons"
//                       (its tokens in palette order).
// A file that is missing, unreadable, malformed or of another shape counts as
// missing: the reader answers nothing and the caller goes on without it (a
// line is logged for every file that exists but cannot be used).

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// Group name -> (token -> image file name). The group names mean nothing.
using EmoticonImageTable = QMap<QString, QMap<QString, QString>>;

struct EmoticonCategory {
    QString name;
    QStringList emoticons;
    bool operator==(const EmoticonCategory &) const = default;
};

class EmoticonCatalogueFile
{
public:
    static std::optional<EmoticonImageTable> readImageTable(const QString &path);
    static std::optional<QList<EmoticonCategory>> readSortOrder(const QString &path);

    // The same checks on a value already read; an empty string when it has
    // the right shape, else what is wrong with it.
    static QString checkImageTable(const QVariant &value, EmoticonImageTable *table);
    static QString checkSortOrder(const QVariant &value, QList<EmoticonCategory> *categories);
};
