#pragma once

// One category of the animicon catalogue: its entry in the catalogue (ID,
// title, version, flags), its item list read from the server when its
// version changes, and its thumbnails, fetched one at a time for the
// palette's page and kept in memory.

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class IniManager;
class QNetworkAccessManager;

// The palette's grid, told of each thumbnail as it arrives.
class AnimiconCategoryDelegate
{
public:
    virtual ~AnimiconCategoryDelegate() = default;
    // An item's thumbnail arrived (a null image when it could not be fetched).
    virtual void didloadAnimicon(const QString &animiconID, const QImage &thumbImage) = 0;
};

class AnimiconCategory : public QObject
{
    Q_OBJECT
public:
    // Item lists beyond this many entries are read only this far.
    static constexpr int kLargestList = 1000;

    explicit AnimiconCategory(QNetworkAccessManager *network, QObject *parent = nullptr);

    QString categoryName() const { return mCategoryName; }
    void setCategoryName(const QString &name) { mCategoryName = name; }
    QString title() const { return mTitle; }
    void setTitle(const QString &title) { mTitle = title; }
    QString categoryID() const { return mCategoryID; }
    void setCategoryID(const QString &categoryID) { mCategoryID = categoryID; }
    QString imageName() const { return mImageName; }
    void setImageName(const QString &imageName) { mImageName = imageName; }
    int version() const { return mVersion; }
    // A different version marks the item list for a reload.
    void setVersion(int version);
    bool isShow() const { return mIsShowFlag; }
    void setIsShow(bool flag) { mIsShowFlag = flag; }
    bool isAd() const { return mIsAdFlag; }
    void setIsAd(bool flag) { mIsAdFlag = flag; }
    QString listID() const { return mListID; }
    void setListID(const QString &listID) { mListID = listID; }
    QString animiconUrl() const { return mAnimiconUrl; }
    void setAnimiconUrl(const QString &baseUrl) { mAnimiconUrl = baseUrl; }
    bool isUpdateNeed() const { return mIsUpdateNeed; }
    void setDelegate(AnimiconCategoryDelegate *delegate) { mDelegate = delegate; }

    // Fetches the item list when the version changed since the last one
    // (listUpdated() follows); nothing when it is current or on its way. A
    // failure keeps the list marked for the next try.
    void updateAnimicon();
    // Reads a fetched item list: "count" and "id" of "list_info", then one
    // entry "CIII|name" per number; entries with one field or an unsafe ID
    // are skipped. False (nothing changed) when the list ID is unsafe.
    bool applyItemList(const IniManager &ini);

    int animiconCount() const { return int(mAnimiconIDList.size()); }
    QString animiconIDWithIndex(int index) const;
    QString animiconNameWithIndex(int index) const;
    QString animiconNameWithID(const QString &animiconID) const { return mAnimiconNameDict.value(animiconID); }
    // The thumbnail at an index; null until it arrived.
    QImage animiconThumbWithIndex(int index) const;

    QString animiconFlashUrlWithIndex(int index) const { return animiconFlashUrlWithID(animiconIDWithIndex(index)); }
    QString animiconFlashUrlWithID(const QString &animiconID) const;
    QString animiconThumbUrlWithIndex(int index) const { return animiconThumbUrlWithID(animiconIDWithIndex(index)); }
    QString animiconThumbUrlWithID(const QString &animiconID) const;

    // The play page of an item: the animicon web site's "animicon_play.php"
    // (its host from the endpoints file); null without a host or for unsafe IDs.
    static QString animiconUrlForCategoryID(const QString &categoryID, const QString &animiconID);
    // BASE/thumb/LIST/LIST_ITEM.bmp; empty without a base, null for unsafe IDs.
    static QString animiconThumbnailUrl(const QString &baseUrl, const QString &listID, const QString &animiconID);
    // BASE/ini/anicolistex_CATEGORY.ini; empty without a base.
    static QString animiconListIniUrl(const QString &baseUrl, const QString &categoryID);

    // Fetches the thumbnails of the indexes first to last, one after another,
    // for the delegate. A new range asked for while one is loading takes over
    // once the thumbnail on its way has arrived.
    void loadAnimiconFrom(int first, int last);
    // Ends the loading after the thumbnail on its way.
    void stopLoad();
    bool isLoading() const { return mIsLoading; }

signals:
    void listUpdated();

private:
    void animiconLoad();
    void scheduleNextLoad();

    QPointer<QNetworkAccessManager> mNetwork;
    QString mCategoryName;
    QString mTitle;
    QString mCategoryID;
    QString mListID;
    QString mImageName;
    int mVersion = 0;
    bool mIsShowFlag = false;
    bool mIsAdFlag = false;
    QStringList mAnimiconIDList;
    QList<QImage> mAnimiconList;
    QHash<QString, QString> mAnimiconNameDict;
    AnimiconCategoryDelegate *mDelegate = nullptr;
    bool mIsUpdateNeed = true;
    bool mIsListLoading = false;
    int mLoadAnimiconStart = 0;
    int mLoadAnimiconEnd = -1;
    int mLoadAnimiconNum = 0;
    bool mIsLoading = false;
    bool mIsLoadLock = false;
    bool mIsFetching = false;
    bool mHasPendingRange = false;
    int mPendingStart = 0;
    int mPendingEnd = -1;
    QString mAnimiconUrl;
};
