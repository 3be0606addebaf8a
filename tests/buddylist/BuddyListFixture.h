#pragma once

// Buddies and groups put straight into the buddy manager, recording stand-ins
// for what the buddy list calls (shell, memo windows, timers, the status
// list), solid test images under the names the rows draw, and the settings
// the list reads reset for every test.

#include "BuddyList/BuddyListManager.h"
#include "BuddyList/BuddyListScheduler.h"
#include "BuddyList/BuddyListShell.h"
#include "BuddyList/BuddyString.h"
#include "BuddyList/MemoWindowOpener.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "ImageRegistry.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLCurrentUserProvider.h"
#include "Utils/PrefsManager.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <map>

namespace buddylist::test {

using namespace parley;

class FixedUser : public PLCurrentUserProvider
{
public:
    QString currentUserID() const override { return QStringLiteral("me@parley.test"); }
};

// Timers on a clock of the test's own: nothing runs until advance().
class ManualScheduler : public BuddyListScheduler
{
public:
    void singleShot(int milliseconds, std::function<void()> callback) override
    {
        mPending.emplace(std::pair(mNow + milliseconds, mSequence++), std::move(callback));
    }
    // Runs every timer due within the next `milliseconds`, in time order.
    void advance(int milliseconds)
    {
        const qint64 until = mNow + milliseconds;
        while (!mPending.empty() && mPending.begin()->first.first <= until) {
            auto first = mPending.begin();
            mNow = first->first.first;
            auto callback = std::move(first->second);
            mPending.erase(first);
            callback();
        }
        mNow = until;
    }
    qint64 now() const { return mNow; }
    qsizetype pending() const { return qsizetype(mPending.size()); }

private:
    qint64 mNow = 0;
    quint64 mSequence = 0;
    std::map<std::pair<qint64, quint64>, std::function<void()>> mPending;
};

class RecordingShell : public BuddyListShell
{
public:
    bool isBuddyDataReceived() const override { return dataReceived; }
    void buddyDataReceived() override { buddyDataReceivedCalls++; }
    bool moveBuddies(const QVariantList &requests) override
    {
        moves.append(requests);
        return moveAnswer;
    }
    void showBuddyMininook(const PLBuddyPtr &buddy) override { mininooks.append(buddy->velaID()); }

    bool dataReceived = true;
    bool moveAnswer = true;
    int buddyDataReceivedCalls = 0;
    QList<QVariantList> moves;
    QStringList mininooks;
};

class RecordingMemoWindows : public MemoWindowOpener
{
public:
    void createMessageWindowWithTargets(const QStringList &targets, const QString &message) override
    {
        opened.append(targets);
        messages.append(message);
    }
    QList<QStringList> opened;
    QStringList messages;
};

struct BuddyFacts {
    const char *cmn;
    const char *name;
    const char *nickName;
    int status;
    QStringList groups;
    const char *flags = "1100";
};

// The buddy manager's store, emptied before and after each test; the
// settings the list reads set to their defaults.
class BuddyStore
{
public:
    BuddyStore()
    {
        PLBuddyManager::sharedManager().reset();
        PrefsManager::setCurrentUserProvider(&mUser);
        UserDefaults &defaults = UserDefaults::standardUserDefaults();
        defaults.setObject(QStringList{QStringLiteral("ko")}, QLatin1String(kAppleLanguagesKey));
        defaults.removeObjectForKey(QLatin1String(BuddyListManager::kDisplayBuddyTypeKey));
        defaults.removeObjectForKey(QLatin1String(BuddyString::kBuddyStringTypeKey));
        defaults.setUserDictionary(mUser.currentUserID(), {});
        PLMyInfoManager::sharedManager().setStatus(1);
    }
    ~BuddyStore()
    {
        PLBuddyManager::sharedManager().reset();
        PrefsManager::setCurrentUserProvider(nullptr);
        PLMyInfoManager::sharedManager().setStatus(0);
    }
    BuddyStore(const BuddyStore &) = delete;
    BuddyStore &operator=(const BuddyStore &) = delete;

    PLBuddyManager &buddies() { return PLBuddyManager::sharedManager(); }

    PLGroupPtr group(const QString &id, const QString &name)
    {
        PLGroupPtr g = buddies().createGroupForID(id);
        g->setGroupName(name);
        return g;
    }
    // A buddy "<cmn>@parley.test" filed in the given groups.
    PLBuddyPtr buddy(const BuddyFacts &facts)
    {
        PLBuddyPtr b = buddies().createBuddyForCMN(QLatin1String(facts.cmn));
        b->setVelaID(QLatin1String(facts.cmn) + QStringLiteral("@parley.test"));
        b->setName(QString::fromUtf8(facts.name));
        b->setNickName(QString::fromUtf8(facts.nickName));
        b->setStatus(facts.status);
        b->setBuddyFlags(QLatin1String(facts.flags));
        for (const QString &groupID : facts.groups)
            buddies().addBuddy(b->buddyCMN(), groupID);
        return b;
    }

private:
    FixedUser mUser;
};

// Solid images under the names the buddy rows and the tab bar draw, each of
// its own colour so that a probe can tell them apart.
struct TestImages {
    static QColor colourOf(const QString &name)
    {
        static const std::map<QString, QColor> colours{
            {"16x16_offline", QColor(128, 128, 128)},   {"16x16_normal", QColor(0, 200, 0)},
            {"16x16_busy", QColor(200, 0, 0)},          {"16x16_other", QColor(230, 160, 0)},
            {"16x16_onlineBlock", QColor(120, 0, 160)}, {"16x16_offlineBlock", QColor(60, 0, 80)},
            {"talk_on(16x16)", QColor(0, 0, 255)},      {"talk_off(16x16)", QColor(0, 0, 90)},
            {"home_on(16x16)", QColor(0, 190, 190)},    {"home_new(16x16)", QColor(255, 0, 255)},
            {"home_off(16x16)", QColor(0, 70, 70)},     {"middle_bar_normal", QColor(220, 220, 220)},
            {"middle_bar_selected", QColor(180, 200, 240)}, {"middle_bar_down", QColor(120, 140, 200)},
            {"tab_bar_end", QColor(90, 90, 90)},        {"18x18_buddyAdd", QColor(250, 120, 0)},
            {"18x18_groupAdd", QColor(0, 120, 250)},
        };
        const auto found = colours.find(name);
        return found == colours.end() ? QColor() : found->second;
    }
    static void install()
    {
        for (const char *name : {"16x16_offline", "16x16_normal", "16x16_busy", "16x16_other", "16x16_onlineBlock",
                                 "16x16_offlineBlock", "talk_on(16x16)", "talk_off(16x16)", "home_on(16x16)",
                                 "home_new(16x16)", "home_off(16x16)"}) {
            QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
            image.fill(colourOf(QLatin1String(name)));
            ImageRegistry::registerImage(QLatin1String(name), image);
        }
        for (const char *name : {"middle_bar_normal", "middle_bar_selected", "middle_bar_down"}) {
            QImage image(8, 25, QImage::Format_ARGB32_Premultiplied);
            image.fill(colourOf(QLatin1String(name)));
            ImageRegistry::registerImage(QLatin1String(name), image);
        }
        QImage end(1, 25, QImage::Format_ARGB32_Premultiplied);
        end.fill(colourOf(QStringLiteral("tab_bar_end")));
        ImageRegistry::registerImage(QStringLiteral("tab_bar_end"), end);
        for (const char *name : {"18x18_buddyAdd", "18x18_groupAdd"}) {
            QImage image(18, 18, QImage::Format_ARGB32_Premultiplied);
            image.fill(colourOf(QLatin1String(name)));
            ImageRegistry::registerImage(QLatin1String(name), image);
        }
    }
    // Forgets them again, so that our own images show.
    static void remove()
    {
        for (const char *name : {"16x16_offline", "16x16_normal", "16x16_busy", "16x16_other", "16x16_onlineBlock",
                                 "16x16_offlineBlock", "talk_on(16x16)", "talk_off(16x16)", "home_on(16x16)",
                                 "home_new(16x16)", "home_off(16x16)", "middle_bar_normal", "middle_bar_selected",
                                 "middle_bar_down", "tab_bar_end", "18x18_buddyAdd", "18x18_groupAdd"})
            ImageRegistry::registerImage(QLatin1String(name), QImage());
    }
};

} // namespace buddylist::test
