#pragma once

// The animicon catalogue of the whole program: the categories read once per
// run from the catalogue's INI files under the configured base URL
// ("animicon_file_url"), the play and thumbnail addresses of their items, a
// disk cache of item images ($XDG_DATA_HOME/Parley/Animicon, one file per
// item, kept for good) with the map from cached file names back to animicon
// IDs, and the animicon wire form. Everything runs on the main thread; the
// downloads go through QNetworkAccessManager and report when they are done.

#include "AnimiconCategory.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QTextDocument;

class AnimiconManager : public QObject
{
    Q_OBJECT
public:
    // Catalogues announcing more categories are read only this far.
    static constexpr int kLargestCatalogue = 100;

    static AnimiconManager &sharedManager();

    // Reads the catalogue unless it is already here or on its way
    // (catalogueUpdated() follows). Nothing without a base URL; a failure
    // leaves the catalogue as it was, for the next call to try again.
    void updateAnimicon();
    bool isUpdating() const { return mIsUpdating; }
    int version() const { return mVersion; }
    int count() const { return mCount; }
    int tickerVersion() const { return mTickerVersion; }

    int categoryCount() const { return int(mCategoryArray.size()); }
    AnimiconCategory *categoryWithIndex(int index) const;
    AnimiconCategory *categoryWithID(const QString &categoryID) const;
    AnimiconCategory *categoryWithName(const QString &categoryName) const;

    // The play page of an item of a known category; null otherwise.
    QString animiconUrlForCategory(const QString &categoryID, const QString &animiconID) const;

    // The cached image file of an item, or null when it is not cached (no
    // download). A cached file is recorded in the file-name map.
    QString cachedImageFileForCategory(const QString &categoryID, const QString &animiconID);
    // The cached image file of an item, downloaded from its thumbnail address
    // first when missing; `done` gets the path, or null when the category is
    // unknown or the image could not be fetched or written.
    void animiconImageFileForCategory(const QString &categoryID, const QString &animiconID, QObject *context,
                                      std::function<void(QString)> done);
    // The same for an explicit image address.
    void animiconImageFileForUrl(const QString &url, const QString &categoryID, const QString &animiconID,
                                 QObject *context, std::function<void(QString)> done);
    // The animicon ID recorded for a cached file's name, or null.
    QString animiconIDNameForFileName(const QString &fileName) const { return mAnimiconDict.value(fileName); }

    // The cache folder.
    QString animiconPath() const;
    // Creates a folder when it does not exist; answers whether it exists then.
    static bool animiconPathCreate(const QString &path);

    // The wire form of a four-character ID with its item's name; null when
    // the category is not in the catalogue.
    QString animiconMessageStringForAnimiconID(const QString &fourCharacterID) const;
    // Whether a message holds an animicon's wire form.
    static bool isAnimiconExist(const QString &message);
    // The decoded wire form: "categoryID", "animiconID", "animiconUrl" (the
    // play page) and "animiconName"; nothing when it does not decode or its
    // category is unknown.
    std::optional<QVariantMap> animiconInfoFromAnimiconMessage(const QString &message) const;
    // The ID of the first animicon picture in the chat input's document (a
    // picture whose file name the cache map knows), or null.
    QString animiconIDStringForDocument(const QTextDocument *document) const;

    // Starts again as at launch: no categories, an empty file-name map (tests).
    void resetForTesting();

signals:
    void catalogueUpdated();

private:
    AnimiconManager();
    void applyCatalogue(const class IniManager &ini, const QString &baseUrl);

    QNetworkAccessManager *mNetwork;
    QList<AnimiconCategory *> mCategoryArray;
    int mVersion = 0;
    int mCount = 0;
    int mTickerVersion = 0;
    QHash<QString, QString> mAnimiconDict;
    bool mIsUpdating = false;
    // Counts resets, so that a download started before one is dropped.
    int mGeneration = 0;
    // Downloads of item images on their way, by cache path, with who waits.
    QHash<QString, QList<std::function<void(QString)>>> mImageWaiters;
};
