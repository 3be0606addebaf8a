#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLGLSTManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLCurrentUserProvider.h"
#include "Utils/PLUtils.h"
#include "Utils/PrefsManager.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace parley;

namespace {

struct FixedUser : PLCurrentUserProvider {
    QString id;
    QString currentUserID() const override { return id; }
};

} // namespace

// One process signs in as a, signs out and signs in as b: nothing of a's
// session may show through, while what is kept on disk stays a's own.
TEST(SignInCycle, AnotherUserStartsClean)
{
    QTemporaryDir folder;
    UserDefaults::standardUserDefaults().setPath(folder.filePath("defaults.plist"));
    FixedUser user;
    PrefsManager::setCurrentUserProvider(&user);
    const QString a = QStringLiteral("a@vela.test");
    const QString b = QStringLiteral("b@vela.test");
    for (const QString &id : {a, b})
        QFile::remove(PLGroupCachePathForUser(id));

    // Signed in as a.
    user.id = a;
    UserDefaults::standardUserDefaults().setUserDictionary(a, {{"showMail", true}});
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    me.setLoginID(a);
    me.setCMN("1");
    me.setProfileValue("Y", "allow_buddy_only");
    PLGLSTManager &cache = PLGLSTManager::sharedManager();
    cache.setLoginID(a);
    cache.beginSave({{"type", "Cache"}, {"groupCacheNo", "8"}, {"willDownloadGroup", true}});
    cache.endSave();
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.createBuddyForCMN("100")->setVelaID("friend@vela.test");
    buddies.createGroupForID("g");
    buddies.setMGroupCacheNo(8);
    EXPECT_TRUE(PrefsManager::noti_IsShowMailAlarm());
    EXPECT_TRUE(PrefsManager::privacy_IsReceiveMessageToOnlyBuddy());

    // Signed out.
    user.id.clear();
    me.reset();
    buddies.reset();

    // Signed in as b.
    user.id = b;
    me.setLoginID(b);
    cache.setLoginID(b);
    EXPECT_FALSE(PrefsManager::noti_IsShowMailAlarm());
    EXPECT_FALSE(PrefsManager::privacy_IsReceiveMessageToOnlyBuddy());
    EXPECT_TRUE(me.cmn().isNull());
    EXPECT_EQ(cache.version(), 0);
    EXPECT_EQ(cache.count(), 0);
    EXPECT_FALSE(buddies.buddyForID("friend@vela.test"));
    EXPECT_EQ(buddies.groupCount(), 0);
    EXPECT_EQ(buddies.groupCacheNo(), 0);

    // a's cache is still there for a's next sign-in.
    cache.setLoginID(a);
    EXPECT_EQ(cache.version(), 8);

    cache.resetForTesting();
    me.resetForTesting();
    PrefsManager::setCurrentUserProvider(nullptr);
    UserDefaults::standardUserDefaults().setPath(UserDefaults::defaultPath());
}
