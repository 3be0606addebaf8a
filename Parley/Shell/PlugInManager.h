#pragma once

// The messenger's plug-in applications (above all the message box): the list
// mirrors plugin.plist, with the run-time keys "needUpdate", "newVersion" and
// "updateInfo" that are never written to the file. It launches each plug-in
// as a child process, knows which of them run, and waits for one to quit
// before an update or a removal goes on.
//
// A plug-in's process is never ended from here: it ends when told to quit
// over the bus. A process object that is replaced or forgotten (sign-out,
// the manager's end) is kept until its process ends, since destroying a
// running QProcess would kill the child.
//
// Paths taken from a server record or from plugin.plist for deletion must
// lie inside the plug-in folder (the folder of plugin.plist). Main thread only.

#include "ShellWindows.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <map>
#include <memory>

class QProcess;

namespace parley::shell {
class ShellScheduler;
}

namespace parley {

class PlugInManager : public QObject, public shell::PlugInManager
{
    Q_OBJECT

public:
    // Seconds between two looks at a plug-in that was told to quit.
    static constexpr double kQuitPollSeconds = 0.5;

    // `scheduler` (not owned; null: real timers) runs the quit polls;
    // `homeFolder` (null: the user's) is where server destinations point.
    explicit PlugInManager(shell::ShellScheduler *scheduler = nullptr, const QString &homeFolder = {});
    ~PlugInManager() override;

    // The executable of a bundle: <bundle>/Contents/MacOS/<bundle name without extension>.
    static QString executablePath(const QString &bundlePath);
    // The bundle's CFBundleVersion as a number; 0 without one.
    static double plugInVersionForPath(const QString &bundlePath);
    double plugInVersionForID(const QString &id);

    const QString &pluginInfoPath() const { return mPluginInfoPath; }
    // The folder of plugin.plist; null before loadPlugInFromLocal().
    QString plugInFolder() const;
    QStringList plugInNames() const;
    QString plugInNameForID(const QString &id);

    // Adds an entry of plugin.plist when its bundle exists.
    void addPluginForLocal(const QVariantMap &entry);
    // Replaces the entry of that id, in memory and in plugin.plist (without
    // the run-time keys); the entry moves to the end.
    void setPluginInfo(const QVariantMap &entry);
    // The ids waited on.
    const QStringList &willQuitPlugInList() const { return mWillQuitPlugInList; }

    // shell::PlugInManager
    void loadPlugInFromLocal(const QString &plistPath) override;
    void reset() override;
    QList<QVariantMap> plugInList() override { return mPluginList; }
    QVariantMap pluginForID(const QString &id) override;
    QVariantMap pluginForName(const QString &name) override;
    bool isInstalledPlugIn(const QString &id) override;
    bool isAutoLaunchPlugIn(const QString &id) override;
    bool isEnableAutoLaunchPlugIn(const QString &id) override;
    bool isNeedUpdatePlugIn(const QString &id) override;
    bool isPlugInRunning(const QString &id) override;
    bool plugInExecute(const QString &id) override;
    void quitPlugin(const QString &id, const QString &key) override;
    void setPluginNeedUpdate(const QString &id, bool needUpdate) override;
    void setPluginAutoLaunch(const QString &id, bool autoLaunch) override;
    void setPluginEnableAutoLaunch(const QString &id, bool enableAutoLaunch) override;
    void setPluginVersion(const QString &id, const QString &version) override;
    void addPluginForUpdate(const QVariantMap &record) override;
    void removePlugIn(const QString &id) override;

private:
    qsizetype indexOf(const QString &id) const;
    void setPluginValue(const QString &id, const QString &key, const QVariant &value);
    void checkPlugInQuited(const QString &id, const QString &key);
    // Lets the process object go once its process has ended.
    void release(QProcess *process);
    bool rewritePlugInList(const QString &id, const QVariantMap *entry);

    shell::ShellScheduler *mScheduler;
    std::unique_ptr<shell::ShellScheduler> mOwnedScheduler;
    QString mHomeFolder;
    QString mPluginInfoPath;
    QList<QVariantMap> mPluginList;
    std::map<QString, QProcess *> mExecutedPlugInList;
    QStringList mWillQuitPlugInList;
};

} // namespace parley
