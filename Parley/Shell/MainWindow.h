#pragma once

// The one main window: its content view shows the login view or the buddy
// view, and its menu bar holds the application's menus (the sixth, the
// window menu, takes the plug-ins' items). Closing it only hides it.

#include <QMainWindow>

class QAction;
class QMenu;

namespace parley::shell {

class BuddyView;
class LoginView;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Menus in menu-bar order.
    enum MenuIndex { ParleyMenu = 0, FileMenu, EditMenu, BuddyMenu, ViewMenu, WindowMenu, HelpMenu, MenuCount };

    explicit MainWindow(QWidget *parent = nullptr);

    LoginView *loginView() const { return mLoginView; }
    BuddyView *buddyView() const { return mBuddyView; }
    // Shows one of the two views in the content view.
    void showLoginView();
    void showBuddyView();
    bool isShowingBuddyView() const;

    QMenu *menuAt(MenuIndex index) const;
    // Localized menu titles and item texts.
    void buildLocalizedMenus();

    QAction *aboutAction;
    QAction *preferencesAction;
    QAction *quitAction;
    QAction *logoutAction;
    QAction *closeWindowAction;
    QAction *minimizeAction;
    QAction *mainWindowAction;
    QAction *transferAction;
    // The Help menu: the service's pages, then the portal's home pages.
    QAction *parleyHomeAction;
    QAction *parleyFAQAction;
    QAction *parleyHottipAction;
    QAction *parleyHelpAction;
    QAction *parleyMininookAction;
    QAction *velaComHomeAction;
    QAction *orchardHomeAction;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LoginView *mLoginView;
    BuddyView *mBuddyView;
    QList<QMenu *> mMenus;
};

} // namespace parley::shell
