#pragma once

// A transfer manager of the tests' own: records per cookie, answers that
// change them and post what the real manager posts, on a notification
// center of the test; the chat lines the window writes; a preferences
// window that records what it is asked.

#include "Transfer/TransferChatLines.h"
#include "Transfer/TransferController.h"
#include "Transfer/TransferFilePort.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Shell/ShellWindows.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QStringList>
#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace transfer::test {

using namespace parley;
namespace nn = parley::notifications;

class FakeTransferManager : public TransferFilePort
{
public:
    explicit FakeTransferManager(NotificationCenter &center) : mCenter(center) {}

    // A record for a file offered by (`download`) or to the peer.
    void addFile(const QString &cookie, const QString &name, qint64 size, bool download,
                 const QString &peer = QStringLiteral("b1@parley.test"), const QString &room = QStringLiteral("K"))
    {
        records.insert(cookie, {{"fileCookie", cookie},
                                {"fileName", name},
                                {"fileSize", size},
                                {"targetID", peer},
                                {"chatSessionKey", room},
                                {"ioIndex", qint64(0)},
                                {"transPercent", 0.0f},
                                {"isDone", false},
                                {"isCancelled", false},
                                {"isDownload", download},
                                {"filePath", "/downloads/" + name},
                                {"isMail", false}});
    }
    void set(const QString &cookie, const char *key, const QVariant &value) { records[cookie].insert(key, value); }
    void post(const char *name, const QVariantMap &userInfo) { mCenter.post(QLatin1String(name), this, userInfo); }
    void post(const char *name, const QString &cookie) { post(name, {{"fileCookie", cookie}}); }

    QVariantMap fileInfoForCookie(const QString &cookie) override
    {
        if (QThread::currentThread() != qApp->thread())
            readOffMainThread = true;
        return records.value(cookie);
    }
    void setFileInfoFlag(const QString &cookie, const QString &key, bool value) override
    {
        if (records.contains(cookie))
            records[cookie].insert(key, value);
    }
    bool acceptDownloadFor(const QString &cookie) override
    {
        calls << "accept " + cookie;
        return true;
    }
    bool rejectDownloadFor(const QString &cookie) override
    {
        calls << "reject " + cookie;
        set(cookie, "isDone", true);
        post(nn::kFileDownloadRejected, cookie);
        return true;
    }
    bool cancelDownloadFor(const QString &cookie) override
    {
        calls << "cancelDownload " + cookie;
        set(cookie, "isDone", true);
        set(cookie, "isCancelled", true);
        post(nn::kFileDownloadCancelled, cookie);
        return true;
    }
    bool cancelUploadFor(const QString &cookie) override
    {
        calls << "cancelUpload " + cookie;
        set(cookie, "isDone", true);
        set(cookie, "isCancelled", true);
        uploadCancelled = true;
        post(nn::kFileUploadCancelled, cookie);
        return true;
    }
    bool receiveMailFor(const QString &cookie) override
    {
        calls << "receiveMail " + cookie;
        return true;
    }
    bool sendMailFor(const QString &cookie) override
    {
        calls << "sendMail " + cookie;
        return false;
    }
    bool checkMailForCookie(const QString &cookie) override { return records.value(cookie).value("isMail").toBool(); }
    bool removeFileInfoForCookie(const QString &cookie) override
    {
        calls << "remove " + cookie;
        return records.remove(cookie) > 0;
    }

    QHash<QString, QVariantMap> records;
    QStringList calls;
    std::atomic<bool> uploadCancelled{false};
    std::atomic<bool> readOffMainThread{false};

private:
    NotificationCenter &mCenter;
};

class RecordingLines : public TransferChatLines
{
public:
    void addFileInfoMessage(const QString &key, const QString &format, int kind, const QString &buddyID) override
    {
        lines << QStringLiteral("format %1 %2 %3 %4").arg(key).arg(kind).arg(format, buddyID);
    }
    void addFileMessage(const QString &key, const QString &text, int kind) override
    {
        lines << QStringLiteral("message %1 %2 ").arg(key).arg(kind) + text;
    }
    void addFileInfo(const QString &key, const QString &text, int kind) override
    {
        lines << QStringLiteral("file %1 %2 ").arg(key).arg(kind) + text;
    }
    QStringList lines;
};

class RecordingPrefs : public shell::PrefsController
{
public:
    RecordingPrefs() { shell::ShellWindows::setPrefsController(this); }
    ~RecordingPrefs() override { shell::ShellWindows::setPrefsController(nullptr); }
    void showWindow() override { calls << "show"; }
    bool isWindowVisible() override { return false; }
    void close() override {}
    void setUserID(const QString &userID) override { calls << "user " + userID; }
    void readPreferences() override {}
    void showVelaComPane() override { calls << "link pane"; }
    QStringList calls;
};

// The user and one buddy "b1@parley.test" named "Kim", English texts.
class TransferWorld
{
public:
    TransferWorld()
    {
        UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("en")},
                                                       QLatin1String(kAppleLanguagesKey));
        PLBuddyManager::sharedManager().reset();
        PLBuddyPtr b = PLBuddyManager::sharedManager().createBuddyForCMN(QStringLiteral("200001"));
        b->setVelaID(QStringLiteral("b1@parley.test"));
        b->setName(QStringLiteral("Kim"));
        b->setBuddyFlags(QStringLiteral("1100"));
        PLMyInfoManager &me = PLMyInfoManager::sharedManager();
        me.setLoginID(QStringLiteral("me@parley.test"));
        me.setVelaID(QStringLiteral("me"));
        me.setGlobalMode(false);
        TransferProgressView::setCompletionDelay(0);
    }
    ~TransferWorld()
    {
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().setVelaID(QString());
        TransferProgressView::setCompletionDelay(TransferProgressView::kCompletionDelayMs);
        UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("ko")},
                                                       QLatin1String(kAppleLanguagesKey));
    }
};

} // namespace transfer::test
