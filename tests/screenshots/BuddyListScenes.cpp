// The buddy list as the main window shows it: groups in their order with the
// catch-all group last, buddies of every status, blocked ones, a name with an
// emoticon, a name too long for the row, the memo and home buttons (one with
// a new guest-book post), a selected row, and the tab bar.
#include "BuddyList/BuddyListDataSource.h"
#include "BuddyList/BuddyListScheduler.h"
#include "BuddyList/BuddyListShell.h"
#include "BuddyList/BuddyListView.h"
#include "BuddyList/KCOutlineView.h"
#include "BuddyList/BuddyTabView.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "ScreenshotScenes.h"
#include "Shell/BuddyView.h"
#include "Shell/MainWindow.h"
#include "Utils/KCUtilities.h"
#include "UserDefaults.h"
#include "Utils/PLCurrentUserProvider.h"
#include "Utils/PrefsManager.h"

#include <QLabel>
#include <QVBoxLayout>

namespace parley::screenshots {

namespace {

// Everything the list needs, owned by the window the program shows.
class BuddyListScene : public QWidget, PLCurrentUserProvider, BuddyListShell, BuddyListScheduler
{
public:
    BuddyListScene()
    {
        PrefsManager::setCurrentUserProvider(this);
        // An account's settings as a sign-in makes them, emoticons shown.
        UserDefaults::standardUserDefaults().setUserDictionary(currentUserID(), {{QStringLiteral("showEmoticon"), true}});
        fill();
        mSource.setShell(this);
        mSource.setScheduler(this);
        mSource.setStatusListPoster([](const QVariantMap &) { return true; });
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(mView);
        mSource.setMBuddyListView(mView->outlineView());
        resize(240, 320);
        mSource.setIsLoginCompleted(true);
        mSource.reloadBuddyData(true);
        mSource.expandAllItems();
        mView->outlineView()->setCurrentIndex(mSource.model()->indexForBuddy("1", "12@parley.test"));
    }
    // In the main window the window's own tool bar takes the tab bar's place.
    void hideTabBar() { mView->tabBar()->hide(); }

    ~BuddyListScene() override
    {
        PrefsManager::setCurrentUserProvider(nullptr);
        PLBuddyManager::sharedManager().reset();
    }

    QString currentUserID() const override { return QStringLiteral("screenshots@parley.test"); }
    bool isBuddyDataReceived() const override { return true; }
    void buddyDataReceived() override {}
    bool moveBuddies(const QVariantList &) override { return false; }
    void showBuddyMininook(const PLBuddyPtr &) override {}
    void singleShot(int, std::function<void()>) override {}

private:
    static void fill()
    {
        PLBuddyManager &buddies = PLBuddyManager::sharedManager();
        buddies.reset();
        const auto group = [&](const char *id, const QString &name) { buddies.createGroupForID(QLatin1String(id))->setGroupName(name); };
        group("1", sample(QStringLiteral("회사 동료"), QStringLiteral("Colleagues")));
        group("2", sample(QStringLiteral("대학 친구"), QStringLiteral("University")));
        group("3", sample(QStringLiteral("기타"), QStringLiteral("Others")));
        group("4", sample(QStringLiteral("가족"), QStringLiteral("Family")));
        struct Person {
            const char *cmn;
            QString name, nickName;
            int status;
            const char *group, *flags;
            bool memos;
            const char *homeNumber;
        };
        const Person people[] = {
            {"10", sample("김민준", "Minjun Kim"), sample("민준 /^^/", "Minjun /cool/"), 1, "1", "1100", true, "501"},
            {"11", sample("이서연", "Seoyeon Lee"), {}, 2, "1", "1100", true, ""},
            {"12", sample("박지훈", "Jihoon Park"), {}, 3, "1", "1100", true, "502"},
            {"13", sample("최수아", "Sua Choi"), {}, 0, "1", "1100", false, ""},
            {"14", sample("정예준", "Yejun Jung"),
             sample("회의 끝나고 연락 주세요, 오늘은 늦게까지 자리에 있습니다", "Call me after the meeting, I am in until late"), 5,
             "2", "1100", true, "503"},
            {"15", sample("강하은", "Haeun Kang"), {}, 4, "2", "1100", true, ""},
            {"16", sample("조도윤", "Doyun Cho"), {}, 1, "2", "1110", true, ""},
            {"17", sample("윤지우", "Jiwoo Yoon"), {}, 0, "3", "1110", false, ""},
            {"18", sample("엄마", "Mom"), {}, 1, "4", "1100", true, "504"},
        };
        for (const Person &p : people) {
            const QString cmn = QLatin1String(p.cmn);
            const PLBuddyPtr b = buddies.createBuddyForCMN(cmn);
            b->setVelaID(cmn + QStringLiteral("@parley.test"));
            b->setName(p.name);
            b->setNickName(p.nickName);
            b->setStatus(p.status);
            b->setBuddyFlags(QLatin1String(p.flags));
            b->setTalkAvailable(p.memos);
            b->setOrchardCMN(QLatin1String(p.homeNumber));
            b->setOrchardGuestBookHasNewPost(cmn == QLatin1String("12"));
            buddies.addBuddy(cmn, QLatin1String(p.group));
        }
    }

    BuddyListManager mManager; // its online and offline groups in the language shown
    BuddyListDataSource mSource{mManager};
    BuddyListView *mView = new BuddyListView(this);
};

const bool registered = registerScene(QStringLiteral("buddy-list"), [] { return new BuddyListScene; });

const bool inMainWindow = registerScene(QStringLiteral("buddy-list-main-window"), [] {
    auto *window = new shell::MainWindow;
    window->setWindowTitle(KCLocalizedString(QStringLiteral("ParleyTitle")));
    shell::BuddyView *view = window->buddyView();
    view->buddyStatusField->setText(KCLocalizedString(QStringLiteral("Online")));
    view->nickNameView->setText(sample(QStringLiteral("앨리"), QStringLiteral("Ally")));
    auto *list = new BuddyListScene;
    list->hideTabBar();
    view->setBuddyListWidget(list);
    window->showBuddyView();
    return window;
});

} // namespace

} // namespace parley::screenshots
