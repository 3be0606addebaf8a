#include "BuddyListCommands.h"

#include "BuddyListWindow.h"
#include "BuddyRequestController.h"
#include "FacadeBuddySession.h"
#include "Shell/AppController.h"
#include "Shell/BuddyView.h"
#include "Shell/MainWindow.h"

#include <QToolButton>

namespace parley {

BuddyListCommands::BuddyListCommands(BuddyListWindow &list, shell::AppController &controller, QObject *parent)
    : QObject(parent),
      mList(list),
      mShell(controller, list),
      mActions(list.dataSource(), FacadeBuddySession::shared(), mShell),
      mGroups(list.dataSource(), FacadeBuddySession::shared(), mShell),
      mMenus(list.dataSource(), FacadeBuddySession::shared(), mShell, mActions, mGroups)
{
    if (shell::MainWindow *window = controller.window()) {
        mMenus.fillMainMenus(window->menuAt(shell::MainWindow::BuddyMenu), window->menuAt(shell::MainWindow::ViewMenu));
        shell::BuddyView *view = window->buddyView();
        view->viewTypeButton->setMenu(mMenus.optionMenu());
        view->viewTypeButton->setPopupMode(QToolButton::InstantPopup);
        connect(view->addBuddyButton, &QToolButton::clicked, &mActions, &BuddyListActions::addBuddyAction);
        connect(view->addGroupButton, &QToolButton::clicked, &mGroups, [this] { mGroups.addGroupAction(); });
        connect(view->smsButton, &QToolButton::clicked, &mActions, &BuddyListActions::smsAction);
    }
    BuddyRequestController::installFactory();
}

BuddyListCommands::~BuddyListCommands() { BuddyRequestController::uninstallFactory(); }

void BuddyListCommands::setChatManager(ChatManagerInterface *chat)
{
    mActions.setChatManager(chat);
    mList.dataSource().setChatManager(chat);
}

void BuddyListCommands::setMemoWindows(MemoWindowOpener *memos)
{
    mActions.setMemoWindows(memos);
    mList.dataSource().setMemoWindows(memos);
}

} // namespace parley
