#include "PLGLSTManager.h"

#include "Log.h"
#include "PLGroupCacheFastReader.h"
#include "PropertyList.h"
#include "PropertyListWriter.h"
#include "Utils/PLUtils.h"
#include "Utils/ParleyStringAdditions.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

namespace parley {

PLGLSTManager &PLGLSTManager::sharedManager()
{
    static PLGLSTManager instance;
    return instance;
}

void PLGLSTManager::resetForTesting()
{
    mVersion = 0;
    mCountValue = 0;
    mLoginIDValue.clear();
    mGroupCachePathValue.clear();
    mEntries.clear();
    mSaveFlagValue = false;
}

void PLGLSTManager::setLoginID(const QString &loginID)
{
    resetForTesting();
    mLoginIDValue = loginID;
    mGroupCachePathValue = PLGroupCachePathForUser(loginID);
    loadIfGroupCacheExist();
}

void PLGLSTManager::loadIfGroupCacheExist()
{
    const QString folder = PLPersonalConfPathForUser(mLoginIDValue);
    PL_GUARD_OBJECT(!folder.isNull() && !mGroupCachePathValue.isNull());
    // The user's folder lies inside the support folder, which may not exist yet.
    QDir().mkpath(PLAppSupportPath());
    PLCreateFolderIfNotExist(folder);
    if (!QFileInfo::exists(mGroupCachePathValue))
        return;
    const PropertyList::Bytes bytes = PropertyList::readFileBytes(mGroupCachePathValue);
    // The cache's own layout is read straight into lines; anything else is
    // read as a property list.
    if (bytes.ok()) {
        if (std::optional<PLGroupCacheFastReader::Contents> contents = PLGroupCacheFastReader::read(bytes.data)) {
            mEntries.emplace_back(contents->cacheEntry);
            for (PLGroupInfo &line : contents->lines)
                mEntries.emplace_back(std::move(line));
            mVersion = contents->cacheEntry.value(QStringLiteral("groupCacheNo")).toInt();
            return;
        }
    }
    const PropertyList::ReadResult stored =
        bytes.ok() ? PropertyList::readFileData(mGroupCachePathValue, bytes.data)
                   : PropertyList::ReadResult{QVariant(), bytes.error};
    if (!stored.ok() || stored.value.typeId() != QMetaType::QVariantList) {
        plLog(QStringLiteral("group cache is not a property-list array; ignored: ") + mGroupCachePathValue
              + QLatin1String(" ") + stored.error);
        return;
    }
    const QVariantList entries = stored.value.toList();
    for (const QVariant &entry : entries) {
        if (entry.typeId() != QMetaType::QVariantMap) {
            plLog(QStringLiteral("group cache holds an entry that is no dictionary; ignored: ")
                  + mGroupCachePathValue);
            return;
        }
    }
    if (entries.isEmpty())
        return;
    setMGLSTArray(entries);
    const QVariant number = entries.first().toMap().value(QStringLiteral("groupCacheNo"));
    PL_GUARD_OBJECT(number.isValid());
    mVersion = number.typeId() == QMetaType::QString ? plIntValue(number.toString()) : number.toInt();
}

namespace {

QVariantMap dictionaryOf(const std::variant<QVariantMap, PLGroupInfo> &entry)
{
    if (const auto *line = std::get_if<PLGroupInfo>(&entry))
        return line->toVariantMap();
    return std::get<QVariantMap>(entry);
}

} // namespace

QVariantMap PLGLSTManager::groupInfoAtIndex(qsizetype index) const
{
    PL_GUARD_FLAG(index >= 0 && index < count(), QVariantMap());
    return dictionaryOf(mEntries[size_t(index)]);
}

std::optional<PLGroupInfo> PLGLSTManager::lineAtIndex(qsizetype index) const
{
    if (index < 0 || index >= count())
        return PLGroupInfo::fromVariantMap(groupInfoAtIndex(index)); // reports the index
    if (const auto *line = std::get_if<PLGroupInfo>(&mEntries[size_t(index)]))
        return *line;
    return PLGroupInfo::fromVariantMap(std::get<QVariantMap>(mEntries[size_t(index)]));
}

QVariantList PLGLSTManager::mGLSTArray() const
{
    QVariantList entries;
    entries.reserve(count());
    for (const Entry &entry : mEntries)
        entries.append(dictionaryOf(entry));
    return entries;
}

void PLGLSTManager::setMGLSTArray(const QVariantList &entries)
{
    mEntries.clear();
    for (const QVariant &entry : entries) {
        if (entry.typeId() == QMetaType::QVariantMap)
            mEntries.emplace_back(entry.toMap());
    }
}

void PLGLSTManager::beginSave(const QVariantMap &cacheEntry)
{
    PL_GUARD_OBJECT(!cacheEntry.isEmpty());
    mEntries.clear();
    mEntries.emplace_back(cacheEntry);
    mSaveFlagValue = true;
}

void PLGLSTManager::saveInfo(const QVariantMap &entry)
{
    PL_GUARD_OBJECT(!entry.isEmpty());
    if (mSaveFlagValue)
        mEntries.emplace_back(entry);
}

void PLGLSTManager::saveInfo(const PLGroupInfo &line)
{
    PL_GUARD_OBJECT(line.type != PLGroupInfo::Unknown);
    if (mSaveFlagValue)
        mEntries.emplace_back(line);
}

void PLGLSTManager::saveInfo(PLGroupInfo &&line)
{
    PL_GUARD_OBJECT(line.type != PLGroupInfo::Unknown);
    if (mSaveFlagValue)
        mEntries.emplace_back(std::move(line));
}

void PLGLSTManager::endSave()
{
    if (!mSaveFlagValue)
        return;
    mSaveFlagValue = false;
    // The new file replaces the old one only once it is complete. Not forced
    // to the disk: an unreadable cache is ignored and the server resends it.
    const QString error = mGroupCachePathValue.isNull() ? QStringLiteral("no path") : writeCacheFile();
    if (!error.isEmpty())
        plLog(QStringLiteral("group cache could not be written: ") + error);
}

void PLGLSTManager::abandonSave()
{
    if (!mSaveFlagValue)
        return;
    plLog(QStringLiteral("group list download left unfinished; the stored list stands"));
    const QString loginID = mLoginIDValue; // setLoginID() starts by clearing it
    setLoginID(loginID);
}

QString PLGLSTManager::writeCacheFile() const
{
    // The same bytes as writing mGLSTArray() as one value, handed to the file
    // in pieces: a list of thousands of buddies is a megabyte, which would
    // otherwise be built whole in fresh memory for one write.
    constexpr qsizetype kPiece = 64 * 1024;
    PropertyList::CacheDocumentFile file(mGroupCachePathValue);
    const std::function<bool(QByteArrayView)> toFile = [&file](QByteArrayView bytes) { return file.write(bytes); };
    PropertyListWriter writer;
    writer.reserve(kPiece + 4096);
    writer.beginArray();
    for (const Entry &entry : mEntries) {
        if (const auto *line = std::get_if<PLGroupInfo>(&entry))
            line->writeDictionary(writer);
        else
            writer.value(std::get<QVariantMap>(entry));
        writer.drainTo(toFile, kPiece);
    }
    writer.endArray();
    const PropertyList::WriteResult rest = writer.finish();
    if (!rest.ok()) // a refused write stops the writer: say why
        return file.error().isEmpty() ? rest.error : file.error();
    file.write(rest.data);
    return file.commit();
}

} // namespace parley
