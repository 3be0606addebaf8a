#include "PLUpdateManager.h"

#include "KCResourceDirectory.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInArchive.h"
#include "PlugInManager.h"
#include "PlugInPaths.h"
#include "PropertyList.h"
#include "ShellScheduler.h"
#include "UpdateController.h"
#include "UpdateDecisions.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QThread>

namespace parley {

namespace {

constexpr double kCheckDelaySeconds = 1.0;
constexpr int kTransferTimeoutMs = 60000;

const QString kUUID = QStringLiteral("uuid");
const QString kFileSize = QStringLiteral("fileSize");
const QString kDownloadSize = QStringLiteral("downloadSize");
const QString kProgress = QStringLiteral("progress");
const QString kInstallPath = QStringLiteral("installPath");

void post(const char *name, const QVariantMap &userInfo = {})
{
    NotificationCenter::defaultCenter().post(QLatin1String(name), nullptr, userInfo);
}

QUrl listURL(const char *configurationKey, const char *defaultPath)
{
    const QString configured = PLConfManager::sharedManager().valueForKey(QLatin1String(configurationKey));
    if (!configured.isEmpty())
        return QUrl(configured);
    return QUrl(PLEndpoints::current().webUpdate + QLatin1String(defaultPath));
}

} // namespace

struct PLUpdateManager::Download {
    QPointer<QNetworkReply> reply;
    std::unique_ptr<QFile> file;
    QString folder;
    bool failed = false;
};

PLUpdateManager::PLUpdateManager(PlugInManager &plugIns, shell::ShellScheduler *scheduler, const QString &homeFolder)
    : mPlugIns(plugIns), mScheduler(scheduler), mHomeFolder(homeFolder.isNull() ? QDir::homePath() : homeFolder),
      mNetwork(new QNetworkAccessManager(this))
{
    if (!mScheduler) {
        mOwnedScheduler = std::make_unique<shell::TimerScheduler>();
        mScheduler = mOwnedScheduler.get();
    }
}

PLUpdateManager::~PLUpdateManager()
{
    for (auto &[id, download] : mDownloads)
        if (download->reply)
            download->reply->abort();
    for (QThread *worker : std::as_const(mWorkers)) {
        worker->wait();
        delete worker;
    }
}

QUrl PLUpdateManager::mainListURL() { return listURL("MAC:main_plist_url", "/mac/installpackage.plist"); }

QUrl PLUpdateManager::plugInListURL() { return listURL("MAC:plugin_plist_url", "/mac/plugIns.plist"); }

QNetworkReply *PLUpdateManager::get(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    QNetworkReply *reply = mNetwork->get(request);
    // A redirect must meet the same rule as the address asked for.
    connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl &target) {
        if (UpdateDecisions::isAllowedDownloadURL(target)) {
            emit reply->redirectAllowed();
        } else {
            plLog(QStringLiteral("refused a redirect to %1").arg(target.toString()));
            reply->abort();
        }
    });
    return reply;
}

void PLUpdateManager::checkVersion()
{
    mScheduler->schedule(this, kCheckDelaySeconds, [this] { downloadVersionInfoPlist(); });
}

void PLUpdateManager::downloadVersionInfoPlist()
{
    fetchList(mainListURL(), [this](const QVariantMap &list) {
        downloadMainVersionInfoCompleted(list);
        fetchList(plugInListURL(), [this](const QVariantMap &plugIns) { downloadPlugInVersionInfoCompleted(plugIns); });
    });
}

QString PLUpdateManager::listFetcherPath()
{
    return QDir::cleanPath(KCResourceDirectory() + QStringLiteral("/../../lib/parley/parley-update-check"));
}

void PLUpdateManager::fetchList(const QUrl &url, std::function<void(const QVariantMap &)> done)
{
    if (!UpdateDecisions::isAllowedDownloadURL(url)) {
        plLog(QStringLiteral("the version list %1 is not fetched: https only").arg(url.toString()));
        done({});
        return;
    }
    // In a program of its own: TLS would stay loaded in the messenger for
    // the rest of its run, several megabytes for two small lists.
    auto *fetcher = new QProcess(this);
    fetcher->setProcessChannelMode(QProcess::SeparateChannels);
    auto finish = [this, fetcher, url, done = std::move(done)](const QString &failure) {
        fetcher->disconnect(this);
        fetcher->deleteLater();
        if (!failure.isNull()) {
            plLog(QStringLiteral("the version list %1 could not be fetched: %2").arg(url.toString(), failure));
            done({});
            return;
        }
        const QByteArray text = fetcher->readAllStandardOutput();
        PropertyList::ReadResult read;
        if (text.size() > kMaxListBytes)
            read.error = QStringLiteral("over %1 bytes").arg(kMaxListBytes);
        else
            read = PropertyList::read(text);
        if (!read.ok() || read.value.typeId() != QMetaType::QVariantMap) {
            plLog(QStringLiteral("the version list %1 is no dictionary: %2").arg(url.toString(), read.error));
            done({});
            return;
        }
        done(read.value.toMap());
    };
    connect(fetcher, &QProcess::errorOccurred, this, [fetcher, finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(QStringLiteral("%1 did not start: %2").arg(fetcher->program(), fetcher->errorString()));
    });
    connect(fetcher, &QProcess::finished, this, [fetcher, finish](int code, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && code == 0) {
            finish(QString());
            return;
        }
        const QString why = QString::fromLocal8Bit(fetcher->readAllStandardError().left(1024)).trimmed();
        finish(why.isEmpty() ? QStringLiteral("the fetcher ended with %1").arg(code) : why);
    });
    fetcher->start(listFetcherPath(), {url.toString(QUrl::FullyEncoded)});
}

void PLUpdateManager::downloadMainVersionInfoCompleted(const QVariantMap &list)
{
    mMainDict = list;
    QVariantMap details;
    const QVariantMap package = list.value(QStringLiteral("latestInstallPackage")).toMap();
    if (!package.isEmpty()) {
        mLatestMainVersion = package.value(QStringLiteral("version")).toString();
        mLatestMainBuildNo = package.value(QStringLiteral("buildNo")).toInt();
        mMainDownloadURL = package.value(QStringLiteral("source")).toString();
        if (!mLatestMainVersion.isEmpty() && !mMainDownloadURL.isEmpty()) {
            details = {{QStringLiteral("latestMainVersion"), mLatestMainVersion},
                       {QStringLiteral("latestMainBuildNo"), mLatestMainBuildNo},
                       {QStringLiteral("mainDownloadURL"), mMainDownloadURL}};
            mIsMainUpdateInfoAvailable = true;
        }
    }
    mMainCheckCompleted = true;
    if (!mIsMainUpdateInfoAvailable)
        details = {{QStringLiteral("error"), true}};
    post(notifications::kUpdateManagerMainVersionChecked, details);
}

void PLUpdateManager::downloadPlugInVersionInfoCompleted(const QVariantMap &list)
{
    mPlugInDictValue = list;
    mIsPlugInUpdateInfoAvailable = !list.isEmpty();
    mPlugInCheckCompleted = true;
    post(notifications::kUpdateManagerPlugInVersionChecked,
         mIsPlugInUpdateInfoAvailable ? QVariantMap{{QStringLiteral("plugInInfo"), list}}
                                      : QVariantMap{{QStringLiteral("error"), true}});
}

QVariantList PLUpdateManager::plugInInfoArray() const
{
    QVariantList records;
    for (const QVariant &record : mPlugInDictValue)
        if (record.isValid() && !record.toMap().isEmpty())
            records.append(record);
    return records;
}

bool PLUpdateManager::updatePlugIn(const QString &plugInID, bool notify)
{
    if (plugInID.isEmpty()) {
        plLog(QStringLiteral("break : object is nil (%1, %2)").arg(QLatin1String(__FILE__)).arg(__LINE__));
        return false;
    }
    if (mPlugInUpdateInfoDict.contains(plugInID) || !mPlugInDictValue.contains(plugInID))
        return false;
    const QVariantMap server = mPlugInDictValue.value(plugInID).toMap();
    for (const char *key : {"name", "description", "source", "version", "destination"})
        if (!server.contains(QLatin1String(key)))
            return false;
    const QUrl source(server.value(QStringLiteral("source")).toString());
    if (!UpdateDecisions::isAllowedDownloadURL(source)) {
        plLog(QStringLiteral("the plug-in %1 is not fetched from %2: https only").arg(plugInID, source.toString()));
        return false;
    }
    if (!mDownloadFolder) {
        mDownloadFolder = std::make_unique<QTemporaryDir>();
        if (!mDownloadFolder->isValid()) {
            mDownloadFolder.reset();
            return false;
        }
    }
    auto download = std::make_unique<Download>();
    download->folder = mDownloadFolder->filePath(PlugInPaths::archiveFileName(plugInID) + QLatin1Char('-')
                                                 + QString::number(mDownloads.size() + mPlugInUpdateInfoDict.size()));
    const QString archive = download->folder + QLatin1Char('/') + PlugInPaths::archiveFileName(source.path());
    if (!QDir().mkpath(download->folder))
        return false;
    download->file = std::make_unique<QFile>(archive);
    if (!download->file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;

    mPlugInUpdateInfoDict.insert(
        plugInID, QVariantMap{{kUUID, plugInID},
                              {QStringLiteral("name"), server.value(QStringLiteral("name"))},
                              {QStringLiteral("desc"), server.value(QStringLiteral("description"))},
                              {QStringLiteral("source"), source.toString()},
                              {QStringLiteral("version"), server.value(QStringLiteral("version")).toString()},
                              {QStringLiteral("notify"), notify},
                              {QStringLiteral("destination"), archive},
                              {kFileSize, qint64(0)},
                              {kDownloadSize, qint64(0)},
                              {kInstallPath, server.value(QStringLiteral("destination")).toString()}});
    download->reply = get(source);
    QNetworkReply *reply = download->reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, plugInID, reply] {
        QVariantMap record = mPlugInUpdateInfoDict.value(plugInID).toMap();
        const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        record.insert(kFileSize, qMax<qint64>(0, length));
        mPlugInUpdateInfoDict.insert(plugInID, record);
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, plugInID] { downloadReadyRead(plugInID); });
    connect(reply, &QNetworkReply::finished, this, [this, plugInID] { downloadFinished(plugInID); });
    mDownloads[plugInID] = std::move(download);
    return true;
}

void PLUpdateManager::downloadReadyRead(const QString &plugInID)
{
    const auto found = mDownloads.find(plugInID);
    if (found == mDownloads.end())
        return;
    Download *download = found->second.get();
    if (download->failed || !download->reply)
        return;
    const QByteArray chunk = download->reply->readAll();
    QVariantMap record = mPlugInUpdateInfoDict.value(plugInID).toMap();
    const qint64 received = record.value(kDownloadSize).toLongLong() + chunk.size();
    if (received > kMaxArchiveBytes || download->file->write(chunk) != chunk.size()) {
        download->failed = true;
        download->reply->abort();
        return;
    }
    record.insert(kDownloadSize, received);
    const qint64 expected = record.value(kFileSize).toLongLong();
    // Without a length from the server there is no percentage to show.
    if (expected > 0)
        record.insert(kProgress, double(received) / double(expected) * 100.0);
    else
        record.remove(kProgress);
    mPlugInUpdateInfoDict.insert(plugInID, record);
    post(notifications::kUpdateManagerPlugInUpdateProgress, record);
}

void PLUpdateManager::downloadFinished(const QString &plugInID)
{
    const auto found = mDownloads.find(plugInID);
    if (found == mDownloads.end())
        return;
    Download *download = found->second.get();
    QNetworkReply *reply = download->reply;
    if (!download->failed && reply && reply->bytesAvailable() > 0)
        downloadReadyRead(plugInID);
    const int status = reply ? reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
    const bool ok = !download->failed && reply && reply->error() == QNetworkReply::NoError && status == 200
        && download->file->flush();
    download->file->close();
    if (reply)
        reply->deleteLater();
    if (!ok) {
        plLog(QStringLiteral("the plug-in %1 could not be downloaded: %2")
                  .arg(plugInID, reply ? reply->errorString() : QStringLiteral("cancelled")));
        postInstallFailNotification(plugInID, QLatin1String(kCanNotDownload));
        return;
    }
    post(notifications::kUpdateManagerPlugInDownloaded);
    installPlugIn(plugInID);
}

void PLUpdateManager::installPlugIn(const QString &plugInID)
{
    const QVariantMap record = mPlugInUpdateInfoDict.value(plugInID).toMap();
    const QString folder = mDownloads.at(plugInID)->folder;
    const QString archive = record.value(QStringLiteral("destination")).toString();
    const QString installPath = PlugInPaths::installPathForDestination(record.value(kInstallPath).toString(), mHomeFolder);
    const QString plugInFolder = mPlugIns.plugInFolder();
    QThread *worker = QThread::create([this, plugInID, folder, archive, installPath, plugInFolder] {
        QString failure;
        QString why;
        const QString unpacked = folder + QStringLiteral("/unpacked");
        if (!PlugInArchive::unzip(archive, unpacked, &why)) {
            failure = QLatin1String(kCanNotUnzip);
        } else {
            const QString target = PlugInPaths::confinedBundlePath(installPath, plugInFolder);
            if (target.isNull()) {
                why = QStringLiteral("%1 is not a bundle inside the plug-in folder").arg(installPath);
                failure = QLatin1String(kCanNotCopy);
            } else if (!PlugInArchive::replaceBundle(unpacked + QLatin1Char('/') + QFileInfo(target).fileName(), target,
                                                     &why)) {
                failure = QLatin1String(kCanNotCopy);
            }
        }
        if (!failure.isEmpty())
            plLog(QStringLiteral("the plug-in %1 is not installed: %2").arg(plugInID, why));
        QMetaObject::invokeMethod(this, [this, plugInID, failure] { installCompleted(plugInID, failure); },
                                  Qt::QueuedConnection);
    });
    mWorkers.append(worker);
    worker->start();
}

void PLUpdateManager::installCompleted(const QString &plugInID, const QString &failure)
{
    for (qsizetype i = mWorkers.size() - 1; i >= 0; --i) {
        if (mWorkers[i]->isFinished()) {
            mWorkers[i]->wait();
            delete mWorkers.takeAt(i);
        }
    }
    if (!failure.isEmpty()) {
        postInstallFailNotification(plugInID, failure);
        return;
    }
    QVariantMap record = mPlugInUpdateInfoDict.value(plugInID).toMap();
    // The installed path as it was checked, not the server's spelling of it.
    record.insert(kInstallPath, PlugInPaths::confinedBundlePath(
                                    PlugInPaths::installPathForDestination(record.value(kInstallPath).toString(), mHomeFolder),
                                    mPlugIns.plugInFolder()));
    if (!recordInstalledVersion(mPlugIns.pluginInfoPath(), record, mPlugInDictValue.value(plugInID).toMap())) {
        postInstallFailNotification(plugInID, QLatin1String(kCanNotUpdateInfo));
        return;
    }
    // The files go; the record stays, so the same update is not fetched twice in one run.
    const auto found = mDownloads.find(plugInID);
    if (found != mDownloads.end()) {
        QDir(found->second->folder).removeRecursively();
        mDownloads.erase(found);
    }
    post(notifications::kUpdateManagerPlugInUpdateResult, {{QStringLiteral("result"), true}});
}

void PLUpdateManager::postInstallFailNotification(const QString &plugInID, const QString &message)
{
    // A failed update may be tried again: its record and files go.
    mPlugInUpdateInfoDict.remove(plugInID);
    const auto found = mDownloads.find(plugInID);
    if (found != mDownloads.end()) {
        QDir(found->second->folder).removeRecursively();
        mDownloads.erase(found);
    }
    post(notifications::kUpdateManagerPlugInUpdateResult,
         {{QStringLiteral("result"), false}, {QStringLiteral("message"), message}});
}

bool PLUpdateManager::recordInstalledVersion(const QString &plugInListPath, const QVariantMap &record,
                                             const QVariantMap &serverRecord)
{
    const QString version = record.value(QStringLiteral("version")).toString();
    const QString uuid = record.value(kUUID).toString();
    if (version.isEmpty() || uuid.isEmpty() || plugInListPath.isEmpty())
        return false;
    const PropertyList::ReadResult read = PropertyList::readFile(plugInListPath);
    if (!read.ok()) {
        plLog(read.error);
        return false;
    }
    QVariantMap file = read.value.toMap();
    if (!file.contains(QStringLiteral("plugins")))
        return false;
    QVariantList plugins = file.value(QStringLiteral("plugins")).toList();
    bool found = false;
    for (QVariant &element : plugins) {
        QVariantMap entry = element.toMap();
        if (entry.value(QStringLiteral("id")).toString() != uuid)
            continue;
        entry.insert(QStringLiteral("version"), version);
        element = entry;
        found = true;
        break;
    }
    if (!found) {
        const QString path = record.value(kInstallPath).toString();
        if (!serverRecord.contains(QStringLiteral("description")) || !serverRecord.contains(QStringLiteral("name"))
            || !serverRecord.contains(QStringLiteral("destination")) || path.isEmpty())
            return false;
        plugins.append(QVariantMap{{QStringLiteral("description"), serverRecord.value(QStringLiteral("description"))},
                                   {QStringLiteral("autolaunch"), false},
                                   {QStringLiteral("enableAutoLaunch"), false},
                                   {QStringLiteral("id"), uuid},
                                   {QStringLiteral("name"), serverRecord.value(QStringLiteral("name"))},
                                   {QStringLiteral("path"), path},
                                   {QStringLiteral("version"), version}});
    }
    file.insert(QStringLiteral("plugins"), plugins);
    const QString error = PropertyList::writeFile(plugInListPath, file);
    if (!error.isEmpty()) {
        plLog(error);
        return false;
    }
    return true;
}

void PLUpdateManager::showPlugInUpdater(const QString &plugInID, bool execute)
{
    UpdateController::showPlugInUpdater(plugInID, execute);
}

} // namespace parley
