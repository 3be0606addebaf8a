#include "EmoticonCatalogueAdapter.h"

const EmoticonCatalogueAdapter &EmoticonCatalogueAdapter::shared()
{
    static const EmoticonCatalogueAdapter adapter;
    return adapter;
}

const EmoticonPaletteSource *defaultEmoticonPaletteSource() { return &EmoticonCatalogueAdapter::shared(); }

// Until the catalogue is in, the conversation parts know no emoticons.
QStringList EmoticonCatalogueAdapter::emoticonLocalCategories() const { return {}; }

QStringList EmoticonCatalogueAdapter::emoticonListForCategory(const QString &) const { return {}; }

QString EmoticonCatalogueAdapter::emoticonFileNameForEmoticon(const QString &) const { return {}; }

QStringList EmoticonCatalogueAdapter::emoticonTokens() const { return {}; }
