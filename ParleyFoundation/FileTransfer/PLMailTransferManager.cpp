#include "PLMailTransferManager.h"

#include "HTTPInterface/PLHTTPManager.h"
#include "Log.h"
#include "MainThread.h"
#include "NotificationNames.h"
#include "PLFileTransferManager.h"
#include "PLMailForm.h"
#include "PLMailReplies.h"
#include "Utils/PLEndpoints.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryFile>
#include <QThread>

namespace parley {

namespace nn = notifications;

// One upload, owned by its worker thread.
struct PLMailTransferManager::Job
{
    QVariantMap start;
    QString fileName;
    qint64 fileSize = 0;
    QString filePath;
    QString targetID;
    QString boundary;
    QString mailURL;
    QString bulkURL;
    QString temporaryFolder;
    QPointer<PLMailTransferManager> manager;

    QString cookie() const { return start.value(QStringLiteral("fileCookie")).toString(); }
    QString value(const char *key) const { return start.value(QLatin1String(key)).toString(); }
    void run();
    bool writeAttachment(QFile &temp) const;
    bool sendAttachmentMail(QFile &temp);
    bool sendBulk(QFile &temp);
    bool sendLinkMail(const QByteArray &reply, const QVariantMap &bulkInfo);
    void end(bool ok, bool cancel);
};

PLMailTransferManager &PLMailTransferManager::sharedManager()
{
    static PLMailTransferManager instance(PLFileTransferManager::sharedManager());
    return instance;
}

PLMailTransferManager::PLMailTransferManager(PLFileTransferManager &files, QObject *parent)
    : QObject(parent), mFiles(files), mBoundary(PLMailForm::createBoundary())
{
    // The portal's web server serves both, unless told otherwise.
    mMailServerURL = PLEndpoints::current().webMail;
    mBulkmailServerURL = mMailServerURL;
    mStartToken = NotificationCenter::defaultCenter().addObserver(
        QLatin1String(nn::kMailUploadStart), nullptr, [this](const Notification &n) { prepareMailTransfer(n.userInfo); });
}

PLMailTransferManager::~PLMailTransferManager() { NotificationCenter::defaultCenter().removeObserver(mStartToken); }

void PLMailTransferManager::setMailServerURL(const QString &url)
{
    QMutexLocker locker(&mLock);
    mMailServerURL = url;
}

void PLMailTransferManager::setBulkmailServerURL(const QString &url)
{
    QMutexLocker locker(&mLock);
    mBulkmailServerURL = url;
}

void PLMailTransferManager::setTemporaryFolder(const QString &folder)
{
    QMutexLocker locker(&mLock);
    mTemporaryFolder = folder;
}

void PLMailTransferManager::reset()
{
    QMutexLocker locker(&mLock);
    mBoundary = PLMailForm::createBoundary();
}

int PLMailTransferManager::runningUploads() const
{
    QMutexLocker locker(&mLock);
    return mRunning;
}

void PLMailTransferManager::prepareMailTransfer(const QVariantMap &start)
{
    // The file's record lives on the main thread: the worker gets a copy.
    auto job = std::make_shared<Job>();
    job->start = start;
    const QVariantMap info = mFiles.fileInfoForCookie(job->cookie());
    job->fileName = info.value(QStringLiteral("fileName")).toString();
    job->fileSize = info.value(QStringLiteral("fileSize")).toLongLong();
    job->filePath = info.value(QStringLiteral("filePath")).toString();
    job->targetID = info.value(QStringLiteral("targetID")).toString();
    job->manager = this;
    {
        QMutexLocker locker(&mLock);
        job->boundary = mBoundary;
        job->mailURL = mMailServerURL;
        job->bulkURL = mBulkmailServerURL;
        job->temporaryFolder = mTemporaryFolder.isEmpty() ? QDir::tempPath() : mTemporaryFolder;
        ++mRunning;
    }
    if (info.isEmpty()) {
        job->end(false, false);
        return;
    }
    QThread *worker = QThread::create([job] { job->run(); });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void PLMailTransferManager::Job::run()
{
    if (fileSize < 1 || fileSize > kMaxBulkSize) {
        end(false, true);
        return;
    }
    // An unpredictable name, made with O_EXCL; removed when this ends.
    QTemporaryFile temp(QDir(temporaryFolder).filePath(QStringLiteral("parley-mail-XXXXXX")));
    if (!temp.open()) {
        plLog(QStringLiteral("cannot make the mail upload file"));
        end(false, false);
        return;
    }
    const bool ok = fileSize <= kMaxAttachmentSize ? sendAttachmentMail(temp) : sendBulk(temp);
    temp.remove();
    end(ok, false);
}

bool PLMailTransferManager::Job::writeAttachment(QFile &temp) const
{
    QFile source(filePath);
    if (!source.open(QIODevice::ReadOnly)) {
        plLog(QStringLiteral("readData exception - %1 (%2-%3)").arg(source.errorString(), QLatin1String(__FILE__)).arg(__LINE__));
        return false;
    }
    qint64 copied = 0;
    while (true) {
        const QByteArray chunk = source.read(kReadSize);
        if (chunk.isNull() && source.error() != QFileDevice::NoError) {
            plLog(QStringLiteral("readData exception - %1 (%2-%3)").arg(source.errorString(), QLatin1String(__FILE__)).arg(__LINE__));
            return false;
        }
        if (temp.write(chunk) != chunk.size())
            return false;
        copied += chunk.size();
        if (chunk.size() < kReadSize)
            break;
    }
    // The file changed since it was offered: what was announced is not what goes.
    if (copied != fileSize)
        return false;
    return temp.write("\r\n") == 2;
}

bool PLMailTransferManager::Job::sendAttachmentMail(QFile &temp)
{
    const QString name = value("name");
    const QVariantMap mail{{QStringLiteral("ticket"), value("ticket")},   {QStringLiteral("userID"), value("userID")},
                           {QStringLiteral("sender"), value("sender")},   {QStringLiteral("receiver"), targetID},
                           {QStringLiteral("subject"), PLMailForm::makeSubject(name, fileName)},
                           {QStringLiteral("body"), PLMailForm::makeBody(name, {}, QDate::currentDate())},
                           {QStringLiteral("filesize"), fileSize}, {QStringLiteral("filename"), fileName}};
    const QByteArray form = PLHTTPManager::codePage949(PLMailForm::makeMail(mail, boundary, false));
    if (temp.write(form) != form.size() || !writeAttachment(temp))
        return false;
    const QByteArray closing = PLMailForm::closingLine(boundary).toUtf8();
    if (temp.write(closing) != closing.size() || !temp.flush())
        return false;
    temp.close();
    const QString reply = PLHTTPManager::sharedManager().getReqPostWithAttachment(
        temp.fileName(), boundary, mailURL + QStringLiteral("/mailsend_parley_switch.html"));
    return reply.contains(QStringLiteral("OK"));
}

bool PLMailTransferManager::Job::sendBulk(QFile &temp)
{
    const QString ticketReply = PLHTTPManager::sharedManager().getReqPOST(
        QStringLiteral("ticket=") + value("ticket"), mailURL + QStringLiteral("/get_bulkmail_info_ticket2.html"));
    const std::optional<PLMailReplies::TicketInfo> ticket = PLMailReplies::parseTicketReply(ticketReply);
    if (!ticket)
        return false;
    const int serverID = ticket->serverID;
    const QString ticketSN = ticket->ticketSN;
    const int rdays = ticket->rdays;
    const int maxcnt = ticket->maxcnt;

    const QVariantMap bulk{{QStringLiteral("filename"), fileName}, {QStringLiteral("serverid"), serverID},
                           {QStringLiteral("ticketsn"), ticketSN}, {QStringLiteral("cmn"), value("cmn")},
                           {QStringLiteral("rdays"), rdays},       {QStringLiteral("filesize"), fileSize}};
    const QByteArray form = PLHTTPManager::codePage949(PLMailForm::makeBulkmail(bulk, boundary, QDate::currentDate()));
    if (temp.write(form) != form.size() || !writeAttachment(temp))
        return false;
    const QByteArray closing = PLMailForm::closingLine(boundary).toUtf8();
    if (temp.write(closing) != closing.size() || !temp.flush())
        return false;
    temp.close();

    NotificationCenter::defaultCenter().post(QLatin1String(nn::kUploadFileCookieNotification), manager.data(),
                                             {{QLatin1String(nn::kKeyFileCookie), cookie()}});
    const QVariantMap bulkInfo{{QStringLiteral("filename"), fileName}, {QStringLiteral("filesize"), fileSize},
                               {QStringLiteral("serverid"), serverID}, {QStringLiteral("rdays"), rdays},
                               {QStringLiteral("maxcnt"), maxcnt},     {QStringLiteral("receiver"), targetID}};
    // The connection reports its end on this thread while the upload runs.
    bool answered = false;
    bool ok = false;
    QThread *self = QThread::currentThread();
    const NotificationCenter::Token token = NotificationCenter::defaultCenter().addObserver(
        QLatin1String(nn::kURLConnectionFinish), nullptr, [&, self](const Notification &n) {
            if (QThread::currentThread() != self || answered)
                return;
            answered = true;
            ok = sendLinkMail(n.userInfo.value(QLatin1String(nn::kKeyResponseData)).toByteArray(), bulkInfo);
        });
    PLHTTPManager::sharedManager().getReqBulkmail(temp.fileName(), bulkURL + QStringLiteral("/upload/sid=%1").arg(serverID));
    NotificationCenter::defaultCenter().removeObserver(token);
    // No end report from the connection (it failed): a failure, not a wait.
    return answered && ok;
}

bool PLMailTransferManager::Job::sendLinkMail(const QByteArray &reply, const QVariantMap &bulkInfo)
{
    PL_GUARD_OBJECT(!reply.isNull(), false);
    const std::optional<PLMailReplies::BulkResult> result = PLMailReplies::parseBulkReply(reply);
    if (!result || result->returnCode != 0) {
        plLog(QStringLiteral("rtcode = %1").arg(result ? result->returnCode : -1));
        return false;
    }
    const QString info = result->info;
    const QString link = bulkURL + QStringLiteral("/download/sid=%1&info=%2").arg(bulkInfo.value(QStringLiteral("serverid")).toInt()).arg(info);
    const QString name = value("name");
    QVariantMap mailInfo = bulkInfo;
    mailInfo.insert(QStringLiteral("filelink"), link);
    const QString linkBoundary = PLMailForm::createBoundary();
    const QVariantMap mail{{QStringLiteral("ticket"), value("ticket")},   {QStringLiteral("userID"), value("userID")},
                           {QStringLiteral("sender"), value("sender")},   {QStringLiteral("receiver"), targetID},
                           {QStringLiteral("subject"), PLMailForm::makeSubject(name, fileName)},
                           {QStringLiteral("body"), PLMailForm::makeBody(name, mailInfo, QDate::currentDate())},
                           {QStringLiteral("filesize"), fileSize}, {QStringLiteral("filename"), fileName}};
    const QString sent = PLHTTPManager::sharedManager().getReqPOSTBoundary(
        PLMailForm::makeMail(mail, linkBoundary, true), linkBoundary, mailURL + QStringLiteral("/mailsend_parley_switch.html"));
    return sent.contains(QStringLiteral("OK"));
}

void PLMailTransferManager::Job::end(bool ok, bool cancel)
{
    const QVariantMap result{{QStringLiteral("packet"), start.value(QStringLiteral("packet"))},
                             {QStringLiteral("fileCookie"), cookie()},
                             {QStringLiteral("ok"), ok},
                             {QStringLiteral("cancel"), cancel}};
    QPointer<PLMailTransferManager> target = manager;
    runOnMainThread([target, result] {
        if (target)
            target->endTransferNotification(result);
    }, false);
}

void PLMailTransferManager::endTransferNotification(const QVariantMap &result)
{
    {
        QMutexLocker locker(&mLock);
        --mRunning;
    }
    const QVariantMap cookie{{QLatin1String(nn::kKeyFileCookie), result.value(QStringLiteral("fileCookie"))}};
    if (result.value(QStringLiteral("cancel")).toBool()) {
        NotificationCenter::defaultCenter().post(QLatin1String(nn::kMailUploadCancelled), this, cookie);
    } else if (!result.value(QStringLiteral("ok")).toBool()) {
        NotificationCenter::defaultCenter().post(QLatin1String(nn::kMailUploadFailed), this, cookie);
    } else {
        NotificationCenter::defaultCenter().post(QLatin1String(nn::kMailUploadEnd), this,
                                                 {{QStringLiteral("packet"), result.value(QStringLiteral("packet"))},
                                                  {QLatin1String(nn::kKeyFileCookie), result.value(QStringLiteral("fileCookie"))}});
    }
}

} // namespace parley
