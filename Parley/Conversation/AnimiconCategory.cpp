#include "AnimiconCategory.h"

#include "AnimiconDownload.h"
#include "AnimiconWireForm.h"
#include "IniManager.h"
#include "Log.h"
#include "Utils/PLEndpoints.h"
#include "Utils/ParleyStringAdditions.h"

#include <QNetworkAccessManager>
#include <QTimer>

namespace {

// One thumbnail per tick of the loader.
constexpr int kLoadTickMilliseconds = 10;

} // namespace

AnimiconCategory::AnimiconCategory(QNetworkAccessManager *network, QObject *parent)
    : QObject(parent), mNetwork(network)
{
}

void AnimiconCategory::setVersion(int version)
{
    if (version != mVersion)
        mIsUpdateNeed = true;
    mVersion = version;
}

QString AnimiconCategory::animiconIDWithIndex(int index) const
{
    return index >= 0 && index < mAnimiconIDList.size() ? mAnimiconIDList.at(index) : QString();
}

QString AnimiconCategory::animiconNameWithIndex(int index) const
{
    return index >= 0 && index < mAnimiconIDList.size() ? mAnimiconNameDict.value(mAnimiconIDList.at(index))
                                                         : QString();
}

QImage AnimiconCategory::animiconThumbWithIndex(int index) const
{
    return index >= 0 && index < mAnimiconList.size() ? mAnimiconList.at(index) : QImage();
}

QString AnimiconCategory::animiconFlashUrlWithID(const QString &animiconID) const
{
    return animiconUrlForCategoryID(mCategoryID, animiconID);
}

QString AnimiconCategory::animiconThumbUrlWithID(const QString &animiconID) const
{
    return animiconThumbnailUrl(mAnimiconUrl, mCategoryID, animiconID);
}

QString AnimiconCategory::animiconUrlForCategoryID(const QString &categoryID, const QString &animiconID)
{
    const QString host = parley::PLEndpoints::current().webAnimicon;
    if (host.isEmpty() || !AnimiconWireForm::isSafeID(categoryID) || !AnimiconWireForm::isSafeID(animiconID))
        return {};
    return host + QStringLiteral("/animicon_play.php?id=") + categoryID + animiconID;
}

QString AnimiconCategory::animiconThumbnailUrl(const QString &baseUrl, const QString &listID,
                                               const QString &animiconID)
{
    if (baseUrl.isEmpty())
        return QStringLiteral("");
    if (!AnimiconWireForm::isSafeID(listID) || !AnimiconWireForm::isSafeID(animiconID))
        return {};
    return QStringLiteral("%1/thumb/%2/%2_%3.bmp").arg(baseUrl, listID, animiconID);
}

QString AnimiconCategory::animiconListIniUrl(const QString &baseUrl, const QString &categoryID)
{
    if (baseUrl.isEmpty() || !AnimiconWireForm::isSafeID(categoryID))
        return QStringLiteral("");
    return QStringLiteral("%1/ini/anicolistex_%2.ini").arg(baseUrl, categoryID);
}

void AnimiconCategory::updateAnimicon()
{
    if (!mIsUpdateNeed || mIsListLoading || !mNetwork)
        return;
    const QString url = animiconListIniUrl(mAnimiconUrl, mCategoryID);
    if (url.isEmpty())
        return;
    mIsListLoading = true;
    AnimiconDownload::get(*mNetwork, url, this, [this](std::optional<QByteArray> body) {
        mIsListLoading = false;
        if (!body)
            return;
        const std::optional<IniManager> ini = IniManager::fromData(*body);
        if (!ini) {
            parley::plLog(QStringLiteral("animicon: the list of category %1 is not code page 949 text").arg(mCategoryID));
            return;
        }
        if (applyItemList(*ini)) {
            mIsUpdateNeed = false;
            emit listUpdated();
        }
    });
}

bool AnimiconCategory::applyItemList(const IniManager &ini)
{
    const QString section = QStringLiteral("list_info");
    const QString listID = ini.valueForPrimaryKey(section, QStringLiteral("id"));
    if (!AnimiconWireForm::isSafeID(listID)) {
        parley::plLog(QStringLiteral("animicon: category %1 has no usable list ID").arg(mCategoryID));
        return false;
    }
    int count = parley::plIntValue(ini.valueForPrimaryKey(section, QStringLiteral("count")));
    if (count > kLargestList) {
        parley::plLog(QStringLiteral("animicon: category %1 lists %2 items; reading %3").arg(mCategoryID).arg(count).arg(kLargestList));
        count = kLargestList;
    }
    mListID = listID;
    mAnimiconIDList.clear();
    mAnimiconList.clear();
    mAnimiconNameDict.clear();
    for (int i = 1; i <= count; ++i) {
        const QStringList parts = ini.valueForPrimaryKey(section, QString::number(i)).split(QLatin1Char('|'));
        if (parts.size() < 2)
            continue;
        const QString animiconID = parts.at(0).mid(1);
        if (!AnimiconWireForm::isSafeID(animiconID))
            continue;
        mAnimiconIDList.append(animiconID);
        mAnimiconNameDict.insert(animiconID, parts.at(1));
        mAnimiconList.append(QImage());
    }
    return true;
}

void AnimiconCategory::loadAnimiconFrom(int first, int last)
{
    if (mIsLoading) {
        // The page changed while a thumbnail is on its way: go on with the new one.
        mHasPendingRange = true;
        mPendingStart = first;
        mPendingEnd = last;
        mIsLoadLock = false;
        return;
    }
    mLoadAnimiconNum = first;
    mIsLoadLock = false;
    mLoadAnimiconStart = first;
    mLoadAnimiconEnd = last;
    mIsLoading = true;
    scheduleNextLoad();
}

void AnimiconCategory::stopLoad()
{
    mIsLoadLock = true;
    mHasPendingRange = false;
}

void AnimiconCategory::scheduleNextLoad() { QTimer::singleShot(kLoadTickMilliseconds, this, &AnimiconCategory::animiconLoad); }

void AnimiconCategory::animiconLoad()
{
    if (mHasPendingRange) {
        mHasPendingRange = false;
        mLoadAnimiconNum = mLoadAnimiconStart = mPendingStart;
        mLoadAnimiconEnd = mPendingEnd;
    }
    // Thumbnails already here are not fetched again.
    while (mLoadAnimiconNum <= mLoadAnimiconEnd && mLoadAnimiconNum < mAnimiconList.size()
           && mLoadAnimiconNum >= 0 && !mAnimiconList.at(mLoadAnimiconNum).isNull())
        ++mLoadAnimiconNum;
    if (mIsLoadLock || mLoadAnimiconNum < 0 || mLoadAnimiconNum >= animiconCount()
        || mLoadAnimiconNum > mLoadAnimiconEnd || !mDelegate || !mNetwork) {
        mIsLoading = false;
        return;
    }
    const int index = mLoadAnimiconNum++;
    const QString animiconID = mAnimiconIDList.at(index);
    AnimiconDownload::get(*mNetwork, animiconThumbnailUrl(mAnimiconUrl, mListID, animiconID), this,
                          [this, index, animiconID](std::optional<QByteArray> body) {
                              // A few kilobytes of BMP: decoded here.
                              QImage image;
                              if (body)
                                  image = QImage::fromData(*body);
                              if (!image.isNull() && index < mAnimiconIDList.size()
                                  && mAnimiconIDList.at(index) == animiconID)
                                  mAnimiconList[index] = image;
                              if (mDelegate)
                                  mDelegate->didloadAnimicon(animiconID, image);
                              scheduleNextLoad();
                          });
}
