#include "PlugInManager.h"

#include "ApplicationFolders.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInPaths.h"
#include "PropertyList.h"
#include "ShellScheduler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

#include <vector>

namespace parley {

namespace {

const QString kID = QStringLiteral("id");
const QString kPath = QStringLiteral("path");
const QString kPlugins = QStringLiteral("plugins");
const QString kNeedUpdate = QStringLiteral("needUpdate");
const QString kNewVersion = QStringLiteral("newVersion");
const QString kUpdateInfo = QStringLiteral("updateInfo");
const QString kAutoLaunch = QStringLiteral("autolaunch");
const QString kEnableAutoLaunch = QStringLiteral("enableAutoLaunch");

bool exists(const QString &path) { return !path.isEmpty() && (QFileInfo::exists(path) || QFileInfo(path).isSymLink()); }

// The owner of the process objects their starters have let go; it ends with
// the application and takes along those whose process has ended. One still
// running then is kept for the rest of the run: destroying it would kill
// the plug-in.
class LetGoProcesses final : public QObject
{
public:
    using QObject::QObject;
    ~LetGoProcesses() override
    {
        static std::vector<QProcess *> runningOn;
        for (QProcess *process : findChildren<QProcess *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (process->state() != QProcess::NotRunning && !process->waitForFinished(0)) {
                process->setParent(nullptr);
                runningOn.push_back(process);
            }
        }
    }

    static QObject *instance()
    {
        static QPointer<LetGoProcesses> owner;
        if (!owner)
            owner = new LetGoProcesses(QCoreApplication::instance());
        return owner;
    }
};

} // namespace

PlugInManager::PlugInManager(shell::ShellScheduler *scheduler, const QString &homeFolder)
    : mScheduler(scheduler), mHomeFolder(homeFolder.isNull() ? QDir::homePath() : homeFolder)
{
    if (!mScheduler) {
        mOwnedScheduler = std::make_unique<shell::TimerScheduler>();
        mScheduler = mOwnedScheduler.get();
    }
}

PlugInManager::~PlugInManager()
{
    for (const auto &[id, process] : mExecutedPlugInList)
        release(process);
}

QString PlugInManager::executablePath(const QString &bundlePath)
{
    return bundlePath + QStringLiteral("/Contents/MacOS/") + QFileInfo(bundlePath).completeBaseName();
}

double PlugInManager::plugInVersionForPath(const QString &bundlePath)
{
    return shell::ApplicationFolders::leadingDecimalValue(shell::ApplicationFolders::bundleVersion(bundlePath));
}

double PlugInManager::plugInVersionForID(const QString &id)
{
    const qsizetype index = indexOf(id);
    return index < 0 ? 0.0 : plugInVersionForPath(mPluginList[index].value(kPath).toString());
}

QString PlugInManager::plugInFolder() const
{
    return mPluginInfoPath.isNull() ? QString() : QFileInfo(mPluginInfoPath).absolutePath();
}

qsizetype PlugInManager::indexOf(const QString &id) const
{
    for (qsizetype i = 0; i < mPluginList.size(); ++i)
        if (mPluginList[i].value(kID).toString() == id)
            return i;
    return -1;
}

QVariantMap PlugInManager::pluginForID(const QString &id)
{
    const qsizetype index = indexOf(id);
    return index < 0 ? QVariantMap() : mPluginList[index];
}

QVariantMap PlugInManager::pluginForName(const QString &name)
{
    for (const QVariantMap &entry : std::as_const(mPluginList))
        if (entry.value(QStringLiteral("name")).toString() == name)
            return entry;
    return {};
}

QStringList PlugInManager::plugInNames() const
{
    QStringList names;
    for (const QVariantMap &entry : mPluginList)
        names.append(entry.value(QStringLiteral("name")).toString());
    return names;
}

QString PlugInManager::plugInNameForID(const QString &id)
{
    const qsizetype index = indexOf(id);
    return index < 0 ? QString() : mPluginList[index].value(QStringLiteral("name")).toString();
}

void PlugInManager::loadPlugInFromLocal(const QString &plistPath)
{
    mPluginInfoPath = plistPath;
    const PropertyList::ReadResult read = PropertyList::readFile(plistPath);
    if (!read.ok()) {
        plLog(read.error);
        return;
    }
    for (const QVariant &entry : read.value.toMap().value(kPlugins).toList())
        addPluginForLocal(entry.toMap());
}

void PlugInManager::addPluginForLocal(const QVariantMap &entry)
{
    if (!exists(entry.value(kPath).toString()))
        return;
    QVariantMap copy = entry;
    if (!copy.contains(kEnableAutoLaunch))
        copy.insert(kEnableAutoLaunch, false);
    if (!copy.contains(kAutoLaunch))
        copy.insert(kAutoLaunch, false);
    copy.insert(kNeedUpdate, false);
    mPluginList.append(copy);
}

bool PlugInManager::isInstalledPlugIn(const QString &id)
{
    const qsizetype index = indexOf(id);
    return index >= 0 && exists(mPluginList[index].value(kPath).toString());
}

bool PlugInManager::isAutoLaunchPlugIn(const QString &id) { return pluginForID(id).value(kAutoLaunch).toBool(); }

bool PlugInManager::isEnableAutoLaunchPlugIn(const QString &id)
{
    return pluginForID(id).value(kEnableAutoLaunch).toBool();
}

bool PlugInManager::isNeedUpdatePlugIn(const QString &id) { return pluginForID(id).value(kNeedUpdate).toBool(); }

bool PlugInManager::isPlugInRunning(const QString &id)
{
    const auto found = mExecutedPlugInList.find(id);
    return found != mExecutedPlugInList.end() && found->second->state() != QProcess::NotRunning;
}

bool PlugInManager::plugInExecute(const QString &id)
{
    const qsizetype index = indexOf(id);
    if (index < 0)
        return false;
    const QString program = executablePath(mPluginList[index].value(kPath).toString());
    if (!QFileInfo(program).isFile())
        return false;
    auto *process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setProgram(program);
    // Not waited for: the UI thread goes on while the program starts; a
    // start that fails ends the process's state, which isPlugInRunning reads.
    process->start();
    const auto found = mExecutedPlugInList.find(id);
    if (found != mExecutedPlugInList.end())
        release(found->second);
    mExecutedPlugInList[id] = process;
    return process->state() != QProcess::NotRunning;
}

void PlugInManager::release(QProcess *process)
{
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    // Let go but alive: it goes when its process does, or with the application.
    process->setParent(LetGoProcesses::instance());
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
}

void PlugInManager::reset()
{
    for (const auto &[id, process] : mExecutedPlugInList)
        release(process);
    mExecutedPlugInList.clear();
}

void PlugInManager::quitPlugin(const QString &id, const QString &key)
{
    if (mWillQuitPlugInList.contains(id))
        return;
    mWillQuitPlugInList.append(id);
    mScheduler->schedule(this, kQuitPollSeconds, [this, id, key] { checkPlugInQuited(id, key); });
}

void PlugInManager::checkPlugInQuited(const QString &id, const QString &key)
{
    if (isPlugInRunning(id)) {
        mScheduler->schedule(this, kQuitPollSeconds, [this, id, key] { checkPlugInQuited(id, key); });
        return;
    }
    mWillQuitPlugInList.removeAll(id);
    const auto found = mExecutedPlugInList.find(id);
    if (found != mExecutedPlugInList.end()) {
        release(found->second);
        mExecutedPlugInList.erase(found);
    }
    NotificationCenter::defaultCenter().post(QLatin1String(notifications::kPlugInQuit), nullptr,
                                             {{kID, id}, {QStringLiteral("key"), key}});
}

bool PlugInManager::rewritePlugInList(const QString &id, const QVariantMap *entry)
{
    if (mPluginInfoPath.isNull())
        return false;
    const PropertyList::ReadResult read = PropertyList::readFile(mPluginInfoPath);
    if (!read.ok()) {
        // The list in memory changes all the same; the file stays as it is.
        plLog(read.error);
        return false;
    }
    QVariantMap file = read.value.toMap();
    QVariantList plugins = file.value(kPlugins).toList();
    for (qsizetype i = plugins.size() - 1; i >= 0; --i)
        if (plugins[i].toMap().value(kID).toString() == id)
            plugins.removeAt(i);
    if (entry) {
        QVariantMap stored = *entry;
        stored.remove(kNeedUpdate);
        stored.remove(kNewVersion);
        stored.remove(kUpdateInfo);
        plugins.append(stored);
    }
    file.insert(kPlugins, plugins);
    const QString error = PropertyList::writeFile(mPluginInfoPath, file);
    if (!error.isEmpty()) {
        plLog(error);
        return false;
    }
    return true;
}

void PlugInManager::setPluginInfo(const QVariantMap &entry)
{
    const QString id = entry.value(kID).toString();
    if (!entry.contains(kID))
        return;
    for (qsizetype i = mPluginList.size() - 1; i >= 0; --i)
        if (mPluginList[i].value(kID).toString() == id)
            mPluginList.removeAt(i);
    mPluginList.append(entry);
    rewritePlugInList(id, &entry);
}

void PlugInManager::setPluginValue(const QString &id, const QString &key, const QVariant &value)
{
    const qsizetype index = indexOf(id);
    if (index < 0)
        return;
    QVariantMap entry = mPluginList[index];
    entry.insert(key, value);
    setPluginInfo(entry);
}

void PlugInManager::setPluginNeedUpdate(const QString &id, bool needUpdate) { setPluginValue(id, kNeedUpdate, needUpdate); }
void PlugInManager::setPluginAutoLaunch(const QString &id, bool autoLaunch) { setPluginValue(id, kAutoLaunch, autoLaunch); }
void PlugInManager::setPluginEnableAutoLaunch(const QString &id, bool enableAutoLaunch)
{
    setPluginValue(id, kEnableAutoLaunch, enableAutoLaunch);
}
void PlugInManager::setPluginVersion(const QString &id, const QString &version)
{
    setPluginValue(id, QStringLiteral("version"), version);
}

void PlugInManager::addPluginForUpdate(const QVariantMap &record)
{
    for (const char *key : {"uuid", "name", "description", "version", "destination"})
        if (!record.contains(QLatin1String(key)))
            return;
    const QString uuid = record.value(QStringLiteral("uuid")).toString();
    const QString name = record.value(QStringLiteral("name")).toString();
    const QString serverVersion = record.value(QStringLiteral("version")).toString();
    const QString updateInfo = record.value(QStringLiteral("description")).toString();

    QVariantMap merged;
    const qsizetype index = indexOf(uuid);
    if (index >= 0) {
        // What the user has stays: its place, version, description and
        // launch settings; the server adds only what it offers.
        merged = mPluginList[index];
        const QString path = merged.value(kPath).toString();
        const double installed = exists(path) ? plugInVersionForPath(path) : 0.0;
        if (installed < shell::ApplicationFolders::leadingDecimalValue(serverVersion)) {
            merged.insert(kNewVersion, serverVersion);
            merged.insert(kUpdateInfo, updateInfo);
            merged.insert(kNeedUpdate, true);
        } else {
            merged.insert(kNeedUpdate, false);
        }
    } else {
        const QString installPath = PlugInPaths::confinedBundlePath(
            PlugInPaths::installPathForDestination(record.value(QStringLiteral("destination")).toString(), mHomeFolder),
            plugInFolder());
        if (installPath.isNull()) {
            plLog(QStringLiteral("the plug-in %1 would be installed outside the plug-in folder; it is left out").arg(uuid));
            return;
        }
        merged = {{kID, uuid},
                  {QStringLiteral("name"), name},
                  {QStringLiteral("description"), name},
                  {kUpdateInfo, updateInfo},
                  {kPath, installPath},
                  {QStringLiteral("version"), serverVersion},
                  {kNewVersion, serverVersion},
                  {kAutoLaunch, false},
                  {kEnableAutoLaunch, false},
                  {kNeedUpdate, true}};
    }
    for (qsizetype i = mPluginList.size() - 1; i >= 0; --i)
        if (mPluginList[i].value(kID).toString() == uuid)
            mPluginList.removeAt(i);
    mPluginList.append(merged);
}

void PlugInManager::removePlugIn(const QString &id)
{
    if (id.isNull())
        return;
    for (qsizetype i = mPluginList.size() - 1; i >= 0; --i) {
        if (mPluginList[i].value(kID).toString() != id)
            continue;
        const QString path = mPluginList[i].value(kPath).toString();
        const QString confined = PlugInPaths::confinedBundlePath(path, plugInFolder());
        if (confined.isNull()) {
            if (exists(path))
                plLog(QStringLiteral("the plug-in %1 lies outside the plug-in folder: %2 is left in place").arg(id, path));
        } else if (QFileInfo(confined).isDir()) {
            QDir(confined).removeRecursively();
        } else {
            QFile::remove(confined);
        }
        mPluginList.removeAt(i);
    }
    rewritePlugInList(id, nullptr);
}

} // namespace parley
