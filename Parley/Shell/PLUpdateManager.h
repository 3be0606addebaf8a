#pragma once

// The update check of the messenger and its plug-ins. At start-up it fetches
// the two version lists of the update host (a second apart from the
// start-up's other work) and announces them; the application controller
// offers the messenger's installer and merges the plug-in list into the
// plug-in manager. On request it downloads a plug-in's archive into a
// private temporary folder, unpacks and installs it on a worker thread and
// records the new version in plugin.plist.
//
// Lists and archives come over https only; plain http only from a loopback
// host (the local service). Each list is fetched by a short-lived program of
// our own (parley-update-check), so that the TLS library is not loaded into
// the messenger at every start; archives, fetched only when the user asks,
// come through QNetworkAccessManager. Everything but the fetching of the lists
// and the unpacking runs on the main thread.
//
// Notifications (sender none): "UpdateManagerMainVersionChecked",
// "UpdateManagerPlugInVersionChecked", "UpdateManagerPlugInUpdateProgress",
// "UpdateManagerPlugInDownloaded", "UpdateManagerPlugInUpdateResult".

#include "ShellWindows.h"
#include "UpdateDecisions.h"

#include <QObject>
#include <QPointer>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariantMap>

#include <functional>
#include <map>
#include <memory>

class QFile;
class QNetworkAccessManager;
class QNetworkReply;
class QThread;

namespace parley::shell {
class ShellScheduler;
}

namespace parley {

class PlugInManager;

class PLUpdateManager : public QObject, public shell::UpdateManager
{
    Q_OBJECT

public:
    // Failure texts of "UpdateManagerPlugInUpdateResult".
    static constexpr char kCanNotDownload[] = "can not download a plug in.";
    static constexpr char kCanNotUnzip[] = "can not unzip a file.";
    static constexpr char kCanNotCopy[] = "can not copy a plug in.";
    static constexpr char kCanNotUpdateInfo[] = "can not update a plug in info.";
    // The largest version list and archive taken.
    static constexpr qint64 kMaxListBytes = UpdateDecisions::kMaxListBytes;
    static constexpr qint64 kMaxArchiveBytes = 256 * 1024 * 1024;

    // `plugIns` gives the plug-in folder and plugin.plist; `scheduler` (not
    // owned; null: real timers) runs the delay before the check; `homeFolder`
    // (null: the user's) is where server destinations point.
    explicit PLUpdateManager(PlugInManager &plugIns, shell::ShellScheduler *scheduler = nullptr,
                             const QString &homeFolder = {});
    ~PLUpdateManager() override;

    // The program that fetches one list (parley-update-check), beside the web view module.
    static QString listFetcherPath();
    // The lists' addresses: the server configuration's, else the update host's.
    static QUrl mainListURL();
    static QUrl plugInListURL();

    // shell::UpdateManager
    void checkVersion() override;
    QString latestMainVersion() override { return mLatestMainVersion; }
    QString mainDownloadURL() override { return mMainDownloadURL; }
    bool updatePlugIn(const QString &plugInID, bool notify) override;
    void showPlugInUpdater(const QString &plugInID, bool execute) override;

    int latestMainBuildNo() const { return mLatestMainBuildNo; }
    bool isMainUpdateInfoAvailable() const { return mIsMainUpdateInfoAvailable; }
    bool isPlugInUpdateInfoAvailable() const { return mIsPlugInUpdateInfoAvailable; }
    bool mIsMainVersionCheckCompleted() const { return mMainCheckCompleted; }
    bool mIsPlugInVersionCheckCompleted() const { return mPlugInCheckCompleted; }
    const QVariantMap &mPlugInDict() const { return mPlugInDictValue; }
    // The non-empty records of the plug-in list.
    QVariantList plugInInfoArray() const;
    // The record of a download started in this run; empty when none.
    QVariantMap updateRecord(const QString &plugInID) const { return mPlugInUpdateInfoDict.value(plugInID).toMap(); }

    // The lists' handling once fetched (an empty map: the fetch failed).
    void downloadMainVersionInfoCompleted(const QVariantMap &list);
    void downloadPlugInVersionInfoCompleted(const QVariantMap &list);

    // Records the installed version in plugin.plist: the entry of the
    // record's "uuid" gets its "version"; a plug-in not yet listed gets a new
    // entry from its server record. False on a missing key or an unreadable list.
    static bool recordInstalledVersion(const QString &plugInListPath, const QVariantMap &record,
                                       const QVariantMap &serverRecord);

private:
    void fetchList(const QUrl &url, std::function<void(const QVariantMap &)> done);
    void downloadVersionInfoPlist();
    void downloadReadyRead(const QString &plugInID);
    void downloadFinished(const QString &plugInID);
    void installPlugIn(const QString &plugInID);
    void installCompleted(const QString &plugInID, const QString &failure);
    // Drops the download's record and files and posts the failure.
    void postInstallFailNotification(const QString &plugInID, const QString &message);
    QNetworkReply *get(const QUrl &url);

    struct Download;

    PlugInManager &mPlugIns;
    shell::ShellScheduler *mScheduler;
    std::unique_ptr<shell::ShellScheduler> mOwnedScheduler;
    QString mHomeFolder;
    QNetworkAccessManager *mNetwork;
    std::unique_ptr<QTemporaryDir> mDownloadFolder;

    bool mMainCheckCompleted = false;
    bool mIsMainUpdateInfoAvailable = false;
    QVariantMap mMainDict;
    QString mLatestMainVersion;
    int mLatestMainBuildNo = 0;
    QString mMainDownloadURL;
    bool mPlugInCheckCompleted = false;
    bool mIsPlugInUpdateInfoAvailable = false;
    QVariantMap mPlugInDictValue;
    QVariantMap mPlugInUpdateInfoDict;
    std::map<QString, std::unique_ptr<Download>> mDownloads;
    QList<QThread *> mWorkers;
};

} // namespace parley
