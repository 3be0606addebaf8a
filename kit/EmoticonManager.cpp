#include "EmoticonManager.h"

#include "KCResourceDirectory.h"
#include "Utils/KCUtilities.h"

#include <QImageReader>
#include <QMutexLocker>

const QStringList &EmoticonManager::languageCodes()
{
    static const QStringList codes{QStringLiteral("ko"), QStringLiteral("en"), QStringLiteral("ja"),
                                   QStringLiteral("de"), QStringLiteral("es"), QStringLiteral("zh-Hans"),
                                   QStringLiteral("zh-Hant")};
    return codes;
}

EmoticonManager &EmoticonManager::sharedManager()
{
    static EmoticonManager shared(KCResourcePath(QStringLiteral("Emoticon")), parley::KCCurrentLanguage());
    return shared;
}

EmoticonManager::EmoticonManager(const QString &emoticonPath, const QString &language)
    : mLanguage(language)
    , mEmoticonPath(emoticonPath)
    , mEmoticonDictFile(QStringLiteral("%1/%2/emoticon.plist").arg(emoticonPath, language))
    , mEmoticonSortFile(QStringLiteral("%1/%2/emoticonSort.plist").arg(emoticonPath, language))
    , mEmoticonImagePath(emoticonPath + QStringLiteral("/images"))
{
    load();
}

EmoticonManager::EmoticonManager(const QString &folder, OneFolder)
    : mEmoticonPath(folder)
    , mEmoticonDictFile(folder + QStringLiteral("/emoticon.plist"))
    , mEmoticonSortFile(folder + QStringLiteral("/emoticonSort.plist"))
    , mEmoticonImagePath(folder + QStringLiteral("/images"))
{
    const auto table = EmoticonCatalogueFile::readImageTable(mEmoticonDictFile);
    const auto sort = EmoticonCatalogueFile::readSortOrder(mEmoticonSortFile);
    mDictEmoticon = table.value_or(EmoticonImageTable{});
    mArrayEmoticon = sort.value_or(QList<EmoticonCategory>{});
    if (table)
        mDictAllEmoticon << *table;
    if (sort)
        mArrayAllEmoticon << *sort;
    index();
}

std::unique_ptr<EmoticonManager> EmoticonManager::oneFolder(const QString &folder)
{
    return std::unique_ptr<EmoticonManager>(new EmoticonManager(folder, OneFolder{}));
}

void EmoticonManager::load()
{
    // Each language's pair of files is read once; the current language's
    // tables are that language's, so a language outside the list has none
    // (its tokens are still known through the all-language lists).
    for (const QString &code : languageCodes()) {
        const QString folder = mEmoticonPath + QLatin1Char('/') + code;
        const auto table = EmoticonCatalogueFile::readImageTable(folder + QStringLiteral("/emoticon.plist"));
        const auto sort = EmoticonCatalogueFile::readSortOrder(folder + QStringLiteral("/emoticonSort.plist"));
        if (table)
            mDictAllEmoticon << *table;
        if (sort)
            mArrayAllEmoticon << *sort;
        if (code == mLanguage) {
            mDictEmoticon = table.value_or(EmoticonImageTable{});
            mArrayEmoticon = sort.value_or(QList<EmoticonCategory>{});
        }
    }
    index();
}

// The lookups every list of tables feeds.
void EmoticonManager::index()
{
    for (const QList<EmoticonCategory> &categories : std::as_const(mArrayAllEmoticon)) {
        for (const EmoticonCategory &category : categories)
            mEmoticonArray << category.emoticons;
    }
    mTokens = QSet<QString>(mEmoticonArray.cbegin(), mEmoticonArray.cend());

    for (const EmoticonImageTable &table : std::as_const(mDictAllEmoticon)) {
        for (const auto &group : table) {
            for (auto it = group.cbegin(); it != group.cend(); ++it) {
                if (!mFileForToken.contains(it.key()))
                    mFileForToken.insert(it.key(), it.value());
            }
        }
    }
}

QStringList EmoticonManager::emoticonCategories() const
{
    QStringList names;
    for (const QList<EmoticonCategory> &categories : mArrayAllEmoticon) {
        for (const EmoticonCategory &category : categories)
            names << category.name;
    }
    return names;
}

QStringList EmoticonManager::emoticonLocalCategories() const
{
    QStringList names;
    for (const EmoticonCategory &category : mArrayEmoticon)
        names << category.name;
    return names;
}

std::optional<QStringList> EmoticonManager::emoticonListForCategory(const QString &category) const
{
    for (const EmoticonCategory &entry : mArrayEmoticon) {
        if (entry.name == category)
            return entry.emoticons;
    }
    return std::nullopt;
}

QString EmoticonManager::emoticonFileNameForEmoticon(const QString &token) const
{
    const auto found = mFileForToken.constFind(token);
    if (found == mFileForToken.cend())
        return {};
    return mEmoticonImagePath + QLatin1Char('/') + found.value();
}

QString EmoticonManager::emoticonNameForFileName(const QString &fileName) const
{
    for (const auto &group : mDictEmoticon) {
        for (auto it = group.cbegin(); it != group.cend(); ++it) {
            if (it.value() == fileName)
                return it.key();
        }
    }
    return fileName;
}

QSize EmoticonManager::emoticonImageSize(const QString &token) const
{
    const QString path = emoticonFileNameForEmoticon(token);
    if (path.isNull())
        return {};
    QMutexLocker lock(&mImageMutex);
    const auto known = mImageSizes.constFind(path);
    if (known != mImageSizes.cend())
        return known.value();
    // Only the header is read; the files never change while we run.
    QImageReader reader(path);
    QSize size = reader.canRead() ? reader.size() : QSize();
    if (!size.isValid() && reader.canRead())
        size = reader.read().size();
    mImageSizes.insert(path, size);
    return size;
}
