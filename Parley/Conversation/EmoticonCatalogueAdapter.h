#pragma once

// The emoticon catalogue as the conversation parts read it: the palette's
// categories, tokens and images, and the transcript's token list and images.

#include "EmoticonLookup.h"
#include "EmoticonPaletteSource.h"

class EmoticonManager;

class EmoticonCatalogueAdapter final : public EmoticonPaletteSource, public EmoticonLookup
{
public:
    // Reads `catalogue`, or the shared catalogue when null.
    explicit EmoticonCatalogueAdapter(const EmoticonManager *catalogue = nullptr) : mCatalogue(catalogue) {}
    // The shared catalogue's.
    static const EmoticonCatalogueAdapter &shared();

    QStringList emoticonLocalCategories() const override;
    QStringList emoticonListForCategory(const QString &category) const override;
    QString emoticonFileNameForEmoticon(const QString &token) const override;

    QStringList emoticonTokens() const override;
    QString imagePathForToken(const QString &token) const override { return emoticonFileNameForEmoticon(token); }

private:
    const EmoticonManager &catalogue() const;

    const EmoticonManager *mCatalogue;
};
