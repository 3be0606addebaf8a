// Screenshots of the buddy list in Korean and in English, written to
// build/screenshots/ to be looked at; the test checks only that rows were drawn.

#include "BuddyListFixture.h"

#include "BuddyList/BuddyListDataSource.h"
#include "BuddyList/BuddyListView.h"
#include "BuddyList/KCOutlineView.h"

#include <QDir>
#include <QTest>

namespace buddylist::test {
namespace {

void fillList(BuddyStore &store, bool korean)
{
    store.group("1", korean ? QStringLiteral("회사 동료") : QStringLiteral("Colleagues"));
    store.group("2", korean ? QStringLiteral("대학 친구") : QStringLiteral("University"));
    store.group("3", korean ? QStringLiteral("기타") : QStringLiteral("Others"));
    store.group("4", korean ? QStringLiteral("가족") : QStringLiteral("Family"));
    struct Person {
        const char *cmn, *ko, *en, *nick, *nickEn;
        int status;
        const char *groups;
        const char *flags;
        bool talk;
        const char *orchard;
    };
    const Person people[] = {
        {"10", "김민준", "Minjun Kim", "민준 /^^/", "Minjun /cool/", 1, "1", "1100", true, "501"},
        {"11", "이서연", "Seoyeon Lee", "", "", 2, "1", "1100", true, ""},
        {"12", "박지훈", "Jihoon Park", "", "", 3, "1", "1100", true, "502"},
        {"13", "최수아", "Sua Choi", "", "", 0, "1", "1100", false, ""},
        {"14", "정예준", "Yejun Jung", "회의 끝나고 연락 주세요, 오늘은 늦게까지 자리에 있습니다", "Call me after the meeting, I am in until late", 5, "2", "1100", true, "503"},
        {"15", "강하은", "Haeun Kang", "", "", 4, "2", "1100", true, ""},
        {"16", "조도윤", "Doyun Cho", "", "", 1, "2", "1110", true, ""},
        {"17", "윤지우", "Jiwoo Yoon", "", "", 0, "3", "1110", false, ""},
        {"18", "엄마", "Mom", "", "", 1, "4", "1100", true, "504"},
    };
    for (const Person &p : people) {
        const PLBuddyPtr b = store.buddy({p.cmn, korean ? p.ko : p.en, korean ? p.nick : p.nickEn, p.status,
                                          {QLatin1String(p.groups)}, p.flags});
        b->setTalkAvailable(p.talk);
        b->setOrchardCMN(QLatin1String(p.orchard));
    }
    store.buddies().buddyForID("12@parley.test")->setOrchardGuestBookHasNewPost(true);
}

TEST(BuddyListScreenshot, KoreanAndEnglish)
{
    TestImages::remove(); // our own images, not the tests' solid ones
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    for (const char *language : {"ko", "en"}) {
        SCOPED_TRACE(language);
        BuddyStore store;
        UserDefaults::standardUserDefaults().setObject(QStringList{QLatin1String(language)},
                                                       QLatin1String(kAppleLanguagesKey));
        const bool korean = QLatin1String(language) == QLatin1String("ko");
        fillList(store, korean);
        PrefsManager::setGeneral_IsShowAsEmoticon(true);
        RecordingShell shell;
        ManualScheduler clock;
        BuddyListManager manager; // its synthetic groups in this language
        BuddyListDataSource source(manager);
        source.setShell(&shell);
        source.setScheduler(&clock);
        source.setStatusListPoster([](const QVariantMap &) { return true; });
        BuddyListView view;
        source.setMBuddyListView(view.outlineView());
        view.resize(240, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        source.setIsLoginCompleted(true);
        source.reloadBuddyData(true);
        source.expandAllItems();
        view.outlineView()->setCurrentIndex(source.model()->indexForBuddy("1", "12@parley.test"));
        const QImage shot = view.grab().toImage();
        EXPECT_TRUE(shot.save(QStringLiteral(SCREENSHOT_DIR "/buddylist-%1.png").arg(QLatin1String(language))));
        // Something was drawn on the rows: more than one colour under them.
        QSet<QRgb> colours;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < shot.width(); ++x)
                colours.insert(shot.pixel(x, y));
        EXPECT_GT(colours.size(), 10);
    }
    UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("ko")}, QLatin1String(kAppleLanguagesKey));
}

} // namespace
} // namespace buddylist::test
