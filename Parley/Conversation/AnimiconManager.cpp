#include "AnimiconManager.h"

#include "AnimiconDownload.h"
#include "AnimiconWireForm.h"
#include "IniManager.h"
#include "Log.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLUtils.h"
#include "Utils/ParleyStringAdditions.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace {

constexpr char kBaseUrlKey[] = "animicon_file_url";
// Thumbnails are what the cache keeps: their addresses end in ".bmp".
constexpr char kImageExtension[] = "bmp";

} // namespace

AnimiconManager &AnimiconManager::sharedManager()
{
    // Kept for the whole run, never destroyed: downloads may still report
    // while the program ends.
    static AnimiconManager *instance = new AnimiconManager;
    return *instance;
}

AnimiconManager::AnimiconManager() : mNetwork(new QNetworkAccessManager(this)) {}

AnimiconCategory *AnimiconManager::categoryWithIndex(int index) const
{
    return index >= 0 && index < mCategoryArray.size() ? mCategoryArray.at(index) : nullptr;
}

AnimiconCategory *AnimiconManager::categoryWithID(const QString &categoryID) const
{
    for (AnimiconCategory *category : mCategoryArray)
        if (category->categoryID() == categoryID)
            return category;
    return nullptr;
}

AnimiconCategory *AnimiconManager::categoryWithName(const QString &categoryName) const
{
    for (AnimiconCategory *category : mCategoryArray)
        if (category->categoryName() == categoryName)
            return category;
    return nullptr;
}

void AnimiconManager::updateAnimicon()
{
    // The catalogue is read once per run.
    if (!mCategoryArray.isEmpty() || mIsUpdating)
        return;
    const QString baseUrl = parley::PLConfManager::sharedManager().valueForKey(QLatin1String(kBaseUrlKey));
    if (baseUrl.isEmpty())
        return;
    mIsUpdating = true;
    AnimiconDownload::get(*mNetwork, baseUrl + QStringLiteral("/ini/category_mc.ini"), this,
                          [this, baseUrl, generation = mGeneration](std::optional<QByteArray> body) {
                              if (generation != mGeneration)
                                  return; // reset meanwhile
                              mIsUpdating = false;
                              if (!body)
                                  return;
                              const std::optional<IniManager> ini = IniManager::fromData(*body);
                              if (!ini) {
                                  parley::plLog(QStringLiteral("animicon: the catalogue is not code page 949 text"));
                                  return;
                              }
                              applyCatalogue(*ini, baseUrl);
                              emit catalogueUpdated();
                          });
}

void AnimiconManager::applyCatalogue(const IniManager &ini, const QString &baseUrl)
{
    const QString info = QStringLiteral("Category info");
    const int version = parley::plIntValue(ini.valueForPrimaryKey(info, QStringLiteral("version")));
    int count = parley::plIntValue(ini.valueForPrimaryKey(info, QStringLiteral("count")));
    const int tickerVersion = parley::plIntValue(ini.valueForPrimaryKey(info, QStringLiteral("ticker_version")));
    if (count > kLargestCatalogue) {
        parley::plLog(QStringLiteral("animicon: the catalogue announces %1 categories; reading %2")
                          .arg(count)
                          .arg(kLargestCatalogue));
        count = kLargestCatalogue;
    }
    for (int i = 1; i <= count; ++i) {
        const QString section = QStringLiteral("AnicoTab%1").arg(i);
        const QString categoryID = ini.valueForPrimaryKey(section, QStringLiteral("id"));
        if (!AnimiconWireForm::isSafeID(categoryID)) {
            parley::plLog(QStringLiteral("animicon: %1 has no usable ID").arg(section));
            continue;
        }
        AnimiconCategory *category = categoryWithName(section);
        if (!category) {
            category = new AnimiconCategory(mNetwork, this);
            mCategoryArray.insert(qMin(qsizetype(i - 1), mCategoryArray.size()), category);
        }
        category->setCategoryName(section);
        category->setCategoryID(categoryID);
        category->setVersion(parley::plIntValue(ini.valueForPrimaryKey(section, QStringLiteral("version"))));
        category->setTitle(ini.valueForPrimaryKey(section, QStringLiteral("title")));
        category->setImageName(ini.valueForPrimaryKey(section, QStringLiteral("image")));
        category->setAnimiconUrl(baseUrl);
        category->setIsShow(ini.valueForPrimaryKey(section, QStringLiteral("show_flag")).toUpper() == QLatin1String("Y"));
        category->setIsAd(ini.valueForPrimaryKey(section, QStringLiteral("ad_flag")).toUpper() == QLatin1String("Y"));
    }
    mTickerVersion = tickerVersion;
    mCount = count;
    mVersion = version;
}

QString AnimiconManager::animiconUrlForCategory(const QString &categoryID, const QString &animiconID) const
{
    if (categoryID.isNull() || animiconID.isNull() || !categoryWithID(categoryID))
        return {};
    return AnimiconCategory::animiconUrlForCategoryID(categoryID, animiconID);
}

QString AnimiconManager::animiconPath() const
{
    const QString support = parley::PLAppSupportPath();
    return support.isEmpty() ? QString() : QDir::cleanPath(support + QStringLiteral("/Animicon"));
}

bool AnimiconManager::animiconPathCreate(const QString &path)
{
    return !path.isEmpty() && (QFileInfo(path).isDir() || QDir().mkpath(path));
}

QString AnimiconManager::cachedImageFileForCategory(const QString &categoryID, const QString &animiconID)
{
    if (!AnimiconWireForm::isSafeID(categoryID) || !AnimiconWireForm::isSafeID(animiconID) || animiconPath().isEmpty())
        return {};
    const QString path = QStringLiteral("%1/%2%3.%4").arg(animiconPath(), categoryID, animiconID,
                                                          QLatin1String(kImageExtension));
    if (!QFileInfo(path).isFile())
        return {};
    mAnimiconDict.insert(QFileInfo(path).fileName(), categoryID + animiconID);
    return path;
}

void AnimiconManager::animiconImageFileForCategory(const QString &categoryID, const QString &animiconID,
                                                   QObject *context, std::function<void(QString)> done)
{
    AnimiconCategory *category = categoryWithID(categoryID);
    const QString url = category ? category->animiconThumbUrlWithID(animiconID) : QString();
    if (url.isEmpty()) {
        done(QString());
        return;
    }
    animiconImageFileForUrl(url, categoryID, animiconID, context, std::move(done));
}

void AnimiconManager::animiconImageFileForUrl(const QString &url, const QString &categoryID,
                                              const QString &animiconID, QObject *context,
                                              std::function<void(QString)> done)
{
    const QString extension = QFileInfo(QUrl(url).path()).suffix();
    if (url.isEmpty() || !AnimiconWireForm::isSafeID(categoryID) || !AnimiconWireForm::isSafeID(animiconID)
        || !AnimiconWireForm::isSafeID(extension) || !animiconPathCreate(animiconPath())) {
        done(QString());
        return;
    }
    const QString path = QStringLiteral("%1/%2%3.%4").arg(animiconPath(), categoryID, animiconID, extension);
    const QString fileName = QFileInfo(path).fileName();
    const QString id = categoryID + animiconID;
    // A cached file is used as it is, without asking the server.
    if (QFileInfo(path).isFile()) {
        mAnimiconDict.insert(fileName, id);
        done(path);
        return;
    }
    QList<std::function<void(QString)>> &waiters = mImageWaiters[path];
    QPointer<QObject> receiver(context);
    waiters.append([receiver, done](const QString &result) {
        if (receiver)
            done(result);
    });
    if (waiters.size() > 1)
        return; // already on its way
    AnimiconDownload::get(*mNetwork, url, this,
                          [this, path, fileName, id, generation = mGeneration](std::optional<QByteArray> body) {
        if (generation != mGeneration)
            return;
        QString result;
        QBuffer buffer;
        buffer.setData(body.value_or(QByteArray()));
        // Only a picture is kept: the cache is never refreshed.
        if (body && QImageReader(&buffer).canRead()) {
            QSaveFile file(path);
            if (file.open(QIODevice::WriteOnly) && file.write(*body) == body->size() && file.commit()) {
                mAnimiconDict.insert(fileName, id);
                result = path;
            } else {
                parley::plLog(QStringLiteral("animicon: cannot write %1: %2").arg(path, file.errorString()));
            }
        }
        const QList<std::function<void(QString)>> waiting = mImageWaiters.take(path);
        for (const auto &wait : waiting)
            wait(result);
    });
}

QString AnimiconManager::animiconMessageStringForAnimiconID(const QString &fourCharacterID) const
{
    if (fourCharacterID.size() != 4)
        return {};
    const AnimiconCategory *category = categoryWithID(fourCharacterID.left(1));
    if (!category)
        return {};
    return AnimiconWireForm::encode(fourCharacterID, category->animiconNameWithID(fourCharacterID.mid(1)));
}

bool AnimiconManager::isAnimiconExist(const QString &message) { return AnimiconWireForm::isAnimiconExist(message); }

std::optional<QVariantMap> AnimiconManager::animiconInfoFromAnimiconMessage(const QString &message) const
{
    const std::optional<AnimiconWireInfo> info = AnimiconWireForm::decode(message);
    if (!info)
        return std::nullopt;
    const QString url = animiconUrlForCategory(info->categoryID, info->animiconID);
    if (url.isEmpty())
        return std::nullopt;
    return QVariantMap{{QStringLiteral("categoryID"), info->categoryID},
                       {QStringLiteral("animiconID"), info->animiconID},
                       {QStringLiteral("animiconUrl"), url},
                       {QStringLiteral("animiconName"), info->name}};
}

QString AnimiconManager::animiconIDStringForDocument(const QTextDocument *document) const
{
    if (!document)
        return {};
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            const QUrl url(name);
            const QString fileName = QFileInfo(url.isLocalFile() ? url.toLocalFile() : name).fileName();
            const QString id = mAnimiconDict.value(fileName);
            if (!id.isEmpty())
                return id;
        }
    }
    return {};
}

void AnimiconManager::resetForTesting()
{
    qDeleteAll(mCategoryArray);
    mCategoryArray.clear();
    mVersion = mCount = mTickerVersion = 0;
    mAnimiconDict.clear();
    mIsUpdating = false;
    mImageWaiters.clear();
    ++mGeneration;
}
