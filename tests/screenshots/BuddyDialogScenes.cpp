// The buddy list's dialogs and a menu: the add-buddy window (its add panel
// and a result), the invite panel with buddies picked, a buddy request, and
// the buddy-row menu of a selected buddy.
#include "BuddyList/BuddyActionsShell.h"
#include "BuddyList/BuddyController.h"
#include "BuddyList/BuddyGroupActions.h"
#include "BuddyList/BuddyInviteController.h"
#include "BuddyList/BuddyListActions.h"
#include "BuddyList/BuddyListDataSource.h"
#include "BuddyList/BuddyListMenus.h"
#include "BuddyList/BuddyListShell.h"
#include "BuddyList/BuddyListView.h"
#include "BuddyList/BuddyRequestController.h"
#include "BuddyList/BuddySession.h"
#include "BuddyList/KCOutlineView.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "ScreenshotScenes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QTableView>

namespace parley::screenshots {

namespace {

// A session that takes every request and sends nothing.
class SceneSession final : public BuddySession
{
public:
    bool isLoggedIn() const override { return true; }
    bool blockBuddy(const QString &) override { return true; }
    bool unblockBuddy(const QString &) override { return true; }
    bool removeBuddyFlag(const QString &, const QString &) override { return true; }
    bool removeBuddies(const QVariantList &) override { return true; }
    bool moveBuddies(const QVariantList &) override { return true; }
    bool copyBuddies(const QVariantList &) override { return true; }
    bool addGroup(const QString &) override { return true; }
    bool renameGroup(const QString &, const QString &) override { return true; }
    bool removeGroup(const QString &) override { return true; }
    bool requestAddBuddy(const QString &, const QString &, const QString &) override { return true; }
    bool acceptAddBuddy(const QString &, const QString &, const QString &) override { return true; }
    bool rejectAddBuddy(const QString &, const QString &) override { return true; }
};

SceneSession &session()
{
    static SceneSession s;
    return s;
}

// Groups and buddies in the language shown.
void fill()
{
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.reset();
    const auto group = [&](const char *id, const QString &name) {
        buddies.createGroupForID(QLatin1String(id))->setGroupName(name);
    };
    group("1", sample(QStringLiteral("회사 동료"), QStringLiteral("Colleagues")));
    group("2", sample(QStringLiteral("대학 친구"), QStringLiteral("University")));
    group("3", sample(QStringLiteral("기타"), QStringLiteral("Others")));
    group("4", sample(QStringLiteral("가족 & 친척"), QStringLiteral("Family & Kin")));
    struct Person {
        const char *cmn;
        QString name;
        int status;
        const char *group;
    };
    const Person people[] = {
        {"10", sample("김민준", "Minjun Kim"), 1, "1"}, {"11", sample("이서연", "Seoyeon Lee"), 2, "1"},
        {"12", sample("박지훈", "Jihoon Park"), 3, "1"}, {"13", sample("최수아", "Sua Choi"), 0, "2"},
        {"14", sample("정예준", "Yejun Jung"), 5, "2"},  {"15", sample("강하은", "Haeun Kang"), 1, "4"},
    };
    for (const Person &p : people) {
        const QString cmn = QLatin1String(p.cmn);
        const PLBuddyPtr b = buddies.createBuddyForCMN(cmn);
        b->setVelaID(cmn + QStringLiteral("@parley.test"));
        b->setName(p.name);
        b->setStatus(p.status);
        b->setBuddyFlags(QStringLiteral("1100"));
        b->setOrchardCMN(QStringLiteral("70") + cmn);
        buddies.addBuddy(cmn, QLatin1String(p.group));
    }
    PLMyInfoManager::sharedManager().setName(sample(QStringLiteral("한지민"), QStringLiteral("Jimin Han")));
    PLMyInfoManager::sharedManager().setLoginID(QStringLiteral("jimin@parley.test"));
}

template <typename W>
W *keep(W *window)
{
    // The program owns and deletes the window.
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    return window;
}

const bool addBuddy = registerScene(QStringLiteral("add-buddy"), [] {
    fill();
    auto *dialog = keep(new BuddyController(session()));
    dialog->idField()->setText(QStringLiteral("seoyeon.lee"));
    dialog->requestBuddyButton()->setEnabled(true); // as typing leaves it
    return dialog;
});

const bool addBuddyResult = registerScene(QStringLiteral("add-buddy-result"), [] {
    fill();
    auto *dialog = keep(new BuddyController(session()));
    dialog->idField()->setText(QStringLiteral("10"));
    dialog->requestBuddyAction();
    return dialog;
});

const bool invite = registerScene(QStringLiteral("buddy-invite"), [] {
    fill();
    auto *panel = keep(new BuddyInviteController(PLBuddyManager::sharedManager(), true));
    panel->searchTableView()->selectRow(0);
    panel->insertBuddy();
    panel->searchTableView()->selectRow(2);
    panel->insertBuddy();
    return panel;
});

const bool request = registerScene(QStringLiteral("buddy-request"), [] {
    fill();
    return new BuddyRequestWindow(session(), QStringLiteral("haneul@parley.test"), QStringLiteral("900"),
                                  sample(QStringLiteral("안녕하세요, 지난주 세미나에서 만난 하늘입니다.\n친구로 추가해 주세요!"),
                                         QStringLiteral("Hi, this is Haneul from last week's seminar.\nPlease add me!")));
});

// The buddy-row menu of a selected buddy, as the list's rules leave it.
class MenuScene final : public QMenu, BuddyListShell, BuddyActionsShell
{
public:
    MenuScene()
    {
        fill();
        mSource.setShell(this);
        mSource.setMBuddyListView(mView.outlineView());
        mSource.setIsLoginCompleted(true);
        mSource.reloadBuddyData(true);
        mSource.expandAllItems();
        const QModelIndex row = mSource.model()->indexForBuddy(QStringLiteral("1"), QStringLiteral("10@parley.test"));
        mView.outlineView()->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        mMenus.validateMenu(mMenus.buddyMenu());
        for (QAction *item : mMenus.buddyMenu()->actions())
            addAction(item);
    }
    bool isBuddyDataReceived() const override { return true; }
    void buddyDataReceived() override {}
    bool moveBuddies(const QVariantList &) override { return false; }
    QString statusTitle() override { return QStringLiteral("Online"); }
    void setStatusTitle(const QString &) override {}
    bool hasChatToSave() override { return false; }
    bool saveChat() override { return false; }
    void openMessagePreferences() override {}
    void reloadPreferences() override {}
    void bridgePageCall(const QString &, const QString &, int) override {}
    void showBuddyMininook(const PLBuddyPtr &) override {}
    void showAddBuddyWindow() override {}
    void showInvitePanel(bool, std::function<void(const QStringList &)>) override {}
    QWidget *window() override { return nullptr; }

private:
    BuddyListManager mManager;
    BuddyListDataSource mSource{mManager};
    BuddyListView mView;
    BuddyListActions mActions{mSource, session(), *this};
    BuddyGroupActions mGroups{mSource, session(), *this};
    BuddyListMenus mMenus{mSource, session(), *this, mActions, mGroups};
};

const bool menu = registerScene(QStringLiteral("buddy-menu"), [] { return new MenuScene; });

} // namespace

} // namespace parley::screenshots
