#include "ApplicationFolders.h"

#include "Log.h"
#include "NotificationNames.h"
#include "PropertyList.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <filesystem>

namespace parley::shell {

namespace {

const QString kMessageBoxBundle = QStringLiteral("Pigeonhole.app");
const QString kPlugInListName = QStringLiteral("plugin.plist");
const QString kPluginsKey = QStringLiteral("plugins");

bool makeFolder(const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path)) {
        plLog(QStringLiteral("can not create the folder %1").arg(path));
        return false;
    }
    return true;
}

bool removeTree(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isFile())
        return QFile::remove(path);
    if (!info.exists())
        return true;
    return QDir(path).removeRecursively();
}

QVariantMap readDictionary(const QString &path)
{
    const PropertyList::ReadResult read = PropertyList::readFile(path);
    if (!read.ok()) {
        plLog(read.error);
        return {};
    }
    return read.value.toMap();
}

} // namespace

ApplicationFolders::ApplicationFolders(const QString &supportPath, const QString &resourcePath)
    : mSupport(QDir::cleanPath(supportPath)), mResources(QDir::cleanPath(resourcePath))
{
}

QString ApplicationFolders::plugInFolder() const { return mSupport + QStringLiteral("/PlugIn"); }
QString ApplicationFolders::plugInListPath() const { return plugInFolder() + QLatin1Char('/') + kPlugInListName; }
QString ApplicationFolders::installedMessageBoxPath() const { return plugInFolder() + QLatin1Char('/') + kMessageBoxBundle; }
QString ApplicationFolders::shippedMessageBoxPath() const { return mResources + QLatin1Char('/') + kMessageBoxBundle; }
QString ApplicationFolders::messageFolder() const { return mSupport + QStringLiteral("/Message"); }

ApplicationFolders::Result ApplicationFolders::initialize()
{
    const Plan plan = prepare();
    if (plan.result != Result::Ready)
        return plan.result;
    copyEmoticons();
    if (plan.install && installMessageBox())
        recordMessageBox(plan.version);
    return plan.result;
}

bool ApplicationFolders::emoticonsMissing() const
{
    return !QFileInfo::exists(mSupport + QStringLiteral("/Emoticon"))
        && QFileInfo(mResources + QStringLiteral("/Emoticon")).isDir();
}

bool ApplicationFolders::copyEmoticons() const
{
    const QString emoticons = mSupport + QStringLiteral("/Emoticon");
    const QString shipped = mResources + QStringLiteral("/Emoticon");
    if (QFileInfo::exists(emoticons) || !QFileInfo(shipped).isDir())
        return true;
    // Beside, then renamed: a copy cut short is never taken for the set.
    const QString staging = emoticons + QStringLiteral(".installing");
    removeTree(staging);
    if (!copyTree(shipped, staging) || !QDir().rename(staging, emoticons)) {
        plLog(QStringLiteral("can not copy the emoticons to %1").arg(emoticons));
        removeTree(staging);
        return false;
    }
    return true;
}

ApplicationFolders::Plan ApplicationFolders::prepare()
{
    makeFolder(mSupport);

    makeFolder(plugInFolder());
    if (!QFileInfo::exists(plugInListPath())) {
        const QString error = PropertyList::writeFile(plugInListPath(), QVariantMap{{kPluginsKey, QVariantList{}}});
        if (!error.isEmpty())
            plLog(error);
    }

    const QString shipped = shippedMessageBoxPath();
    const QString installed = installedMessageBoxPath();
    Plan plan;
    const bool haveInstalled = QFileInfo::exists(installed);
    plan.version = QFileInfo(shipped).isDir() ? bundleVersion(shipped) : QString();
    if (plan.version.isNull()) {
        plan.result = Result::ComponentsMissing;
        return plan;
    }
    // An installed copy whose version cannot be read is broken: it is
    // replaced like an older one rather than blocking every start.
    plan.install = !haveInstalled || bundleVersion(installed).isNull()
        || leadingDecimalValue(plan.version) > leadingDecimalValue(bundleVersion(installed));

    makeFolder(mSupport + QStringLiteral("/Animicon"));
    makeFolder(messageFolder());
    return plan;
}

bool ApplicationFolders::installMessageBox() const
{
    // Copied beside the installed one and put in place by renames, so that a
    // failed copy leaves the old bundle (and its record) as they were.
    const QString installed = installedMessageBoxPath();
    const QString staging = installed + QStringLiteral(".installing");
    const QString previous = installed + QStringLiteral(".previous");
    removeTree(staging);
    if (!copyTree(shippedMessageBoxPath(), staging)) {
        plLog(QStringLiteral("can not copy the message box to %1").arg(staging));
        return false;
    }
    removeTree(previous);
    const bool hadOne = QFileInfo::exists(installed) || QFileInfo(installed).isSymLink();
    if (hadOne && !QDir().rename(installed, previous)) {
        plLog(QStringLiteral("can not move the installed message box aside"));
        removeTree(staging);
        return false;
    }
    if (!QDir().rename(staging, installed)) {
        plLog(QStringLiteral("can not put the message box in place"));
        if (hadOne)
            QDir().rename(previous, installed);
        removeTree(staging);
        return false;
    }
    removeTree(previous);
    return true;
}

void ApplicationFolders::recordMessageBox(const QString &version) const
{
    const QString installed = installedMessageBoxPath();
    const QVariantMap description = readDictionary(installed + QStringLiteral("/Contents/Resources/description.plist"));
    QVariantMap record{{QStringLiteral("autolaunch"), false}, {QStringLiteral("enableAutoLaunch"), false},
                       {QStringLiteral("path"), installed}};
    for (const char *key : {"id", "name", "description"}) {
        const QString name = QLatin1String(key);
        if (description.contains(name))
            record.insert(name, description.value(name));
    }
    if (description.contains(QStringLiteral("version")))
        record.insert(QStringLiteral("version"), version);

    const QString listPath = plugInListPath();
    QVariantMap list;
    const PropertyList::ReadResult read = PropertyList::readFile(listPath);
    if (read.ok()) {
        list = read.value.toMap();
    } else {
        // A list that cannot be read is kept aside, never overwritten unseen.
        plLog(read.error);
        QFile::remove(listPath + QStringLiteral(".corrupt"));
        QFile::rename(listPath, listPath + QStringLiteral(".corrupt"));
    }
    QVariantList plugins = list.value(kPluginsKey).toList();
    for (qsizetype i = plugins.size() - 1; i >= 0; --i) {
        if (plugins.at(i).toMap().value(QStringLiteral("id")).toString() == QLatin1String(notifications::kMessageBoxPlugInID))
            plugins.removeAt(i);
    }
    plugins.append(record);
    list.insert(kPluginsKey, plugins);
    const QString error = PropertyList::writeFile(listPath, list);
    if (!error.isEmpty())
        plLog(error);
}

bool ApplicationFolders::removePreLoginStore() const
{
    bool removed = true;
    const QString store = messageFolder() + QStringLiteral("/default.sqlite");
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        const QString path = store + suffix;
        if ((QFileInfo::exists(path) || QFileInfo(path).isSymLink()) && !QFile::remove(path))
            removed = false;
    }
    return removed;
}

QString ApplicationFolders::bundleVersion(const QString &bundlePath)
{
    const QString infoPath = bundlePath + QStringLiteral("/Contents/Info.plist");
    if (!QFileInfo(infoPath).isFile())
        return {};
    const QVariant version = readDictionary(infoPath).value(QStringLiteral("CFBundleVersion"));
    const QString text = version.toString().trimmed();
    return text.isEmpty() ? QString() : text;
}

double ApplicationFolders::leadingDecimalValue(const QString &version)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+))"));
    const QRegularExpressionMatch match = leading.match(version);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

bool ApplicationFolders::copyTree(const QString &source, const QString &destination)
{
    if (QFileInfo::exists(destination) || !QFileInfo(source).isDir() || !QDir().mkpath(destination))
        return false;
    bool ok = true;
    QDirIterator it(source, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (ok && it.hasNext()) {
        it.next();
        const QFileInfo entry = it.fileInfo();
        const QString target = destination + QLatin1Char('/') + QDir(source).relativeFilePath(entry.filePath());
        if (entry.isSymLink()) {
            // The link as written (often relative inside a bundle), not where it points now.
            std::error_code error;
            const auto written = std::filesystem::read_symlink(entry.filePath().toStdString(), error);
            ok = !error && QFile::link(QString::fromStdString(written.string()), target);
        } else if (entry.isDir())
            ok = QDir().mkpath(target);
        else
            ok = QFile::copy(entry.filePath(), target); // keeps the mode (the executable bit)
    }
    if (!ok)
        removeTree(destination);
    return ok;
}

} // namespace parley::shell
