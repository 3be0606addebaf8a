#include "ChatToolbarConfiguration.h"

#include "UserDefaults.h"

#include <QVariantMap>

namespace parley {

namespace {
const QString kItemsKey = QStringLiteral("TB Item Identifiers");
const QString kModeKey = QStringLiteral("TB Display Mode");
} // namespace

QStringList ChatToolbarConfiguration::allItems()
{
    return {QLatin1String(kToolbarIdentifier), QLatin1String(kFileTransItemIdentifier)};
}

ChatToolbarConfiguration ChatToolbarConfiguration::load()
{
    ChatToolbarConfiguration configuration;
    const QVariantMap stored =
        UserDefaults::standardUserDefaults().dictionaryForKey(QLatin1String(kDefaultsKey));
    if (stored.isEmpty())
        return configuration;
    const QVariant items = stored.value(kItemsKey);
    if (items.typeId() == QMetaType::QVariantList || items.typeId() == QMetaType::QStringList) {
        const QStringList named = items.toStringList();
        QStringList shown;
        for (const QString &item : allItems()) {
            if (named.contains(item))
                shown << item;
        }
        if (!shown.isEmpty())
            configuration.mShownItems = shown;
    }
    bool isNumber = false;
    const int mode = stored.value(kModeKey).toInt(&isNumber);
    if (isNumber && mode >= Default && mode <= LabelOnly)
        configuration.mDisplayMode = DisplayMode(mode);
    return configuration;
}

bool ChatToolbarConfiguration::save() const
{
    return UserDefaults::standardUserDefaults().setDictionary(
        {{kItemsKey, mShownItems}, {kModeKey, int(mDisplayMode)}}, QLatin1String(kDefaultsKey));
}

void ChatToolbarConfiguration::setShown(const QString &item, bool shown)
{
    if (!allItems().contains(item) || shown == isShown(item) || (!shown && shownCount() == 1))
        return;
    QStringList ordered;
    for (const QString &known : allItems()) {
        if (known == item ? shown : isShown(known))
            ordered << known;
    }
    mShownItems = ordered;
}

} // namespace parley
