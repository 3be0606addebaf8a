#pragma once

// The shared emoticon catalogue as the conversation parts read it: the
// palette's categories, tokens and images, and the transcript's token list
// and token images.

#include "EmoticonLookup.h"
#include "EmoticonPaletteSource.h"

class EmoticonCatalogueAdapter final : public EmoticonPaletteSource, public EmoticonLookup
{
public:
    static const EmoticonCatalogueAdapter &shared();

    QStringList emoticonLocalCategories() const override;
    QStringList emoticonListForCategory(const QString &category) const override;
    QString emoticonFileNameForEmoticon(const QString &token) const override;

    QStringList emoticonTokens() const override;
    QString imagePathForToken(const QString &token) const override { return emoticonFileNameForEmoticon(token); }
};
