#include "PLConfManager.h"

#include "Log.h"
#include "PLUtils.h"
#include "PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace parley {

namespace {

// The folder must exist before conf.dat can be written; a file standing in
// its place is removed.
void ensureSupportFolder()
{
    const QString support = PLAppSupportPath();
    PL_GUARD_OBJECT(!support.isNull());
    // Without the final slash, or a file of that name would not be seen.
    const QString folder = QDir::cleanPath(support);
    const QFileInfo info(folder);
    if ((info.exists() || info.isSymLink()) && !info.isDir())
        QFile::remove(folder);
    QDir().mkpath(folder);
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

} // namespace

PLConfManager &PLConfManager::sharedManager()
{
    static PLConfManager instance;
    return instance;
}

PLConfManager::PLConfManager()
{
    resetForTesting();
}

void PLConfManager::resetForTesting()
{
    mCurrentVersion = 0;
    mConfDictValue.reset();
    mConfPath = PLConfFilePath();
    ensureSupportFolder();
    loadConf();
}

bool PLConfManager::loadConf()
{
    mConfDictValue.reset();
    mCurrentVersion = 0;
    if (mConfPath.isNull() || !QFileInfo::exists(mConfPath))
        return false;
    const PropertyList::ReadResult stored = PropertyList::readFile(mConfPath);
    if (!stored.ok() || stored.value.typeId() != QMetaType::QVariantMap) {
        plLog(QStringLiteral("conf.dat is not a property-list dictionary; ignored: ") + mConfPath + QLatin1String(" ")
              + stored.error);
        return false;
    }
    mConfDictValue = stored.value.toMap();
    const QVariant version = mConfDictValue->value(QLatin1String(kConfVersionKey));
    mCurrentVersion = isNumber(version) ? version.toInt() : 0;
    return true;
}

QMap<QString, QString> PLConfManager::parseConfBody(const QByteArray &body)
{
    QMap<QString, QString> pairs;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(body);
    if (decoder.hasError())
        return pairs;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        pairs.insert(line.left(equals), line.mid(equals + 1));
    }
    return pairs;
}

bool PLConfManager::setConf(const QByteArray &body, qint32 version)
{
    PL_GUARD_OBJECT(!body.isNull(), false);
    PL_GUARD_FLAG(version >= 0, false);
    if (version <= mCurrentVersion)
        return false;
    mCurrentVersion = version;
    QVariantMap dict;
    const QMap<QString, QString> pairs = parseConfBody(body);
    for (auto it = pairs.cbegin(); it != pairs.cend(); ++it)
        dict.insert(it.key(), it.value());
    dict.insert(QLatin1String(kConfVersionKey), version);
    mConfDictValue = dict;
    // Written to a new file that then replaces the old one, so a crash
    // midway leaves the previous configuration, never half a file. Not
    // forced to the disk: an unreadable file counts as version 0, and the
    // server then sends the configuration again.
    const QString error =
        mConfPath.isNull() ? QStringLiteral("no path") : PropertyList::writeCacheFile(mConfPath, dict);
    if (!error.isEmpty())
        plLog(QStringLiteral("conf.dat could not be written: ") + error);
    return true;
}

QString PLConfManager::valueForKey(const QString &key) const
{
    if (!mConfDictValue)
        return QString();
    const QVariant value = mConfDictValue->value(key);
    return value.isValid() ? value.toString() : QString();
}

QStringList PLConfManager::allKeys() const
{
    return mConfDictValue ? mConfDictValue->keys() : QStringList();
}

} // namespace parley
