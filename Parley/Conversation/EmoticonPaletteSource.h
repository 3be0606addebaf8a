#pragma once

// What the emoticon palette reads of the emoticon catalogue: the interface
// language's categories in their order, the tokens of a category and the
// image file of a token.

#include <QString>
#include <QStringList>

class EmoticonPaletteSource
{
public:
    virtual ~EmoticonPaletteSource() = default;
    virtual QStringList emoticonLocalCategories() const = 0;
    virtual QStringList emoticonListForCategory(const QString &category) const = 0;
    // Null when the token has no image.
    virtual QString emoticonFileNameForEmoticon(const QString &token) const = 0;
};

// The palette's source for the emoticon catalogue of the interface language.
const EmoticonPaletteSource *defaultEmoticonPaletteSource();
