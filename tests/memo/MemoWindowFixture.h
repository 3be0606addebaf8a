#pragma once

// The memo windows with recording doubles: services that record what the
// windows ask of the session and the shell, a notification center of their
// own, settings in a file of the test's, scripted alerts, and (when a private
// bus can be started) the message box's side of the bus, which records every
// "PLSaveMemoDocument".

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "DistributedNotificationCenter.h"
#include "Memo/MemoServices.h"
#include "Memo/MessageWindowController.h"
#include "Memo/MessageWindowManager.h"
#include "Memo/ReceiveMessageWindowController.h"
#include "Note/PLNote.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PrivateBus.h"
#include "ScriptedAlerts.h"
#include "Sessions/PLParleySession.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/PLCurrentUserProvider.h"
#include "Utils/ParleyStringAdditions.h"
#include "Utils/PrefsManager.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <memory>

namespace memo::test {

using namespace parley;
using parley::test::PrivateBus;

struct RelRequest {
    QString cookie;
    int lastSequence;
    int count;
    bool isSend;
    friend bool operator==(const RelRequest &, const RelRequest &) = default;
};

class RecordingMemoServices final : public MemoServices
{
public:
    bool sendNote(PLNote &note) override
    {
        notes.append(note);
        return facade ? facade->sendNote(&note) : sendAnswer;
    }
    bool requestRelMemo(const QString &cookie, int lastSequence, int count, bool isSend) override
    {
        relRequests.append({cookie, lastSequence, count, isSend});
        return facade ? facade->requestRelMemo(true, cookie, lastSequence, count, isSend) : true;
    }
    bool getMemo(const QString &cookie) override
    {
        memoCookies.append(cookie);
        return facade ? facade->getMemo(QString(), cookie) : true;
    }
    QString currentUserID() override { return QStringLiteral("me@parley.test"); }
    void incMemoCount() override { ++memoCount; }
    void showToaster(const QString &name, const QString &text, const QVariantMap &) override
    {
        toasters.append(name + QLatin1Char('|') + text);
    }
    void notifyDesktop(const QString &, const QString &description, const QVariantMap &) override
    {
        desktop.append(description);
    }
    void playMemoSound() override { ++sounds; }
    void openNotificationPreferences() override { ++preferencesOpened; }
    void reloadPreferences() override { ++preferencesReloaded; }
    void openUrl(const QString &url) override { urls.append(url); }
    QString bridgePageUrl() override { return QStringLiteral("http://portal.test/bridge.php"); }

    // Set: the session's requests go through this facade.
    PLParleySession *facade = nullptr;
    bool sendAnswer = true;
    QList<PLNote> notes;
    QList<RelRequest> relRequests;
    QStringList memoCookies;
    int memoCount = 0;
    QStringList toasters;
    QStringList desktop;
    int sounds = 0;
    int preferencesOpened = 0;
    int preferencesReloaded = 0;
    QStringList urls;
};

class FixedUser final : public PLCurrentUserProvider
{
public:
    QString currentUserID() const override { return QStringLiteral("me@parley.test"); }
};

class MemoWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().setLoginID(QStringLiteral("me@parley.test"));
        PLMyInfoManager::sharedManager().setName(QStringLiteral("Me"));
        PLMyInfoManager::sharedManager().setProfileValue(QStringLiteral("N"), QStringLiteral("allow_buddy_only"));
        PrefsManager::setCurrentUserProvider(&user);
        UserDefaults::standardUserDefaults().setUserDictionary(user.currentUserID(), {});
        setShowMemoType(1);
        const QString file = QDir(parley::test::isolatedHome()).filePath(QStringLiteral("memo-%1.plist").arg(++gRun));
        QFile::remove(file);
        defaults = std::make_unique<UserDefaults>(file);
        if (PrivateBus::available()) {
            bus = std::make_unique<PrivateBus>();
            if (bus->isRunning()) {
                messenger = std::make_unique<DistributedNotificationCenter>(
                    bus->connect(QStringLiteral("messenger-%1").arg(gRun)));
                box = std::make_unique<DistributedNotificationCenter>(bus->connect(QStringLiteral("box-%1").arg(gRun)));
                box->addObserver(QLatin1String(notifications::kSaveMemoDocument),
                                 [this](const DistributedNotification &n) { saved.append(n.userInfo); });
            }
        }
        manager = std::make_unique<MessageWindowManager>(services, center, messenger.get(), *defaults);
    }
    void TearDown() override
    {
        manager.reset();
        PrefsManager::setCurrentUserProvider(nullptr);
        PLBuddyManager::sharedManager().reset();
        PLMyInfoManager::sharedManager().setLoginID(QString());
        parley::test::waitUntil([] { return false; }, 20); // deferred deletions
    }

    static void setShowMemoType(int type) { PrefsManager::setNoti_IsShowMemoType(type); }

    void addBuddy(const char *cmn, const char *id, const char *name)
    {
        PLBuddyManager &buddies = PLBuddyManager::sharedManager();
        if (!buddies.groupForID(QStringLiteral("1")))
            buddies.createGroupForID(QStringLiteral("1"))->setGroupName(QStringLiteral("Friends"));
        const PLBuddyPtr b = buddies.createBuddyForCMN(QLatin1String(cmn));
        b->setVelaID(QLatin1String(id));
        b->setName(QString::fromUtf8(name));
        b->setBuddyFlags(QStringLiteral("1100"));
        buddies.addBuddy(QLatin1String(cmn), QStringLiteral("1"));
    }

    // A received memo as the session posts it.
    static QVariantMap memo(const QString &cookie, const QString &from = QStringLiteral("ann@parley.test"),
                            const QString &text = QStringLiteral("Lunch at noon?"))
    {
        return {{QStringLiteral("command"), QStringLiteral("IMSG")},
                {QStringLiteral("from"), from},
                {QStringLiteral("ref"), QStringLiteral("me@parley.test;bob@parley.test")},
                {QStringLiteral("date"), QStringLiteral("20240301120000")},
                {QStringLiteral("title"), text.left(20)},
                {QStringLiteral("uuid"), QStringLiteral("uuid-") + cookie},
                {QStringLiteral("message"), stringByParleyEncoding(text)},
                {QStringLiteral("cookie"), cookie}};
    }

    void receive(const QVariantMap &info) { center.post(QLatin1String(notifications::kMessageReceived), nullptr, info); }

    bool busReady() const { return box != nullptr; }
    // The records filed so far, once the bus has carried `count` of them.
    bool waitForSaved(int count) { return parley::test::waitUntil([&] { return saved.size() >= count; }); }

    static inline int gRun = 0;
    FixedUser user;
    RecordingMemoServices services;
    NotificationCenter center;
    parley::test::ScriptedAlerts alerts;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<PrivateBus> bus;
    std::unique_ptr<DistributedNotificationCenter> messenger;
    std::unique_ptr<DistributedNotificationCenter> box;
    QList<QVariantMap> saved;
    std::unique_ptr<MessageWindowManager> manager;
};

} // namespace memo::test
