#include "EmoticonCatalogueAdapter.h"

#include "EmoticonManager.h"

const EmoticonCatalogueAdapter &EmoticonCatalogueAdapter::shared()
{
    static const EmoticonCatalogueAdapter adapter;
    return adapter;
}

const EmoticonPaletteSource *defaultEmoticonPaletteSource() { return &EmoticonCatalogueAdapter::shared(); }

const EmoticonManager &EmoticonCatalogueAdapter::catalogue() const
{
    return mCatalogue ? *mCatalogue : EmoticonManager::sharedManager();
}

QStringList EmoticonCatalogueAdapter::emoticonLocalCategories() const { return catalogue().emoticonLocalCategories(); }

QStringList EmoticonCatalogueAdapter::emoticonListForCategory(const QString &category) const
{
    return catalogue().emoticonListForCategory(category).value_or(QStringList());
}

QString EmoticonCatalogueAdapter::emoticonFileNameForEmoticon(const QString &token) const
{
    return catalogue().emoticonFileNameForEmoticon(token);
}

QStringList EmoticonCatalogueAdapter::emoticonTokens() const { return catalogue().emoticonArray(); }
