#include "MainWindow.h"

#include "BuddyView.h"
#include "KCDefaultFont.h"
#include "LoginView.h"
#include "WindowMenuList.h"
#include "Utils/KCUtilities.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStackedWidget>

#include <algorithm>

namespace parley::shell {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

// The menu bar of a 300-pixel window: items side by side with a small margin
// at each end, so that the English titles fit without the overflow button
// hiding the Help menu.
class CompactMenuBarStyle final : public QProxyStyle
{
public:
    static constexpr int kItemPadding = 3; // on each side of a title
    static constexpr int kEndMargin = 3;

    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_MenuBarItemSpacing)
            return 0;
        if (metric == PM_MenuBarHMargin)
            return kEndMargin;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        QSize item = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuBarItem && !item.isEmpty())
            item.setWidth(size.width() + 2 * kItemPadding);
        return item;
    }
};

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    // The kit draws its controls at 11 points; the labels and fields match them.
    setFont(GetDefaultFontOfSize(11));
    auto *content = new QStackedWidget(this);
    content->setObjectName(QStringLiteral("mainView"));
    mLoginView = new LoginView(content);
    mBuddyView = new BuddyView(content);
    content->addWidget(mLoginView);
    content->addWidget(mBuddyView);
    setCentralWidget(content);
    resize(300, 560);

    auto *menuBarStyle = new CompactMenuBarStyle;
    menuBarStyle->setParent(menuBar());
    menuBar()->setStyle(menuBarStyle);
    for (int i = 0; i < MenuCount; ++i) {
        QMenu *menu = menuBar()->addMenu(QString());
        // A menu shows only once it has items: later windows fill some of them.
        menu->installEventFilter(this);
        menu->menuAction()->setVisible(false);
        mMenus.append(menu);
    }
    aboutAction = menuAt(ParleyMenu)->addAction(QString());
    aboutAction->setMenuRole(QAction::AboutRole);
    preferencesAction = menuAt(ParleyMenu)->addAction(QString());
    preferencesAction->setMenuRole(QAction::PreferencesRole);
    preferencesAction->setShortcut(QKeySequence::Preferences);
    // The application's own menu answers in every window of the program, a
    // chat or memo window included, as the menu bar of a desktop app does.
    preferencesAction->setShortcutContext(Qt::ApplicationShortcut);
    menuAt(ParleyMenu)->addSeparator();
    quitAction = menuAt(ParleyMenu)->addAction(QString());
    quitAction->setMenuRole(QAction::QuitRole);
    // Ctrl+Q where the platform names no quit key (offscreen, bare sessions).
    quitAction->setShortcut(QKeySequence::keyBindings(QKeySequence::Quit).value(0, QKeySequence(Qt::CTRL | Qt::Key_Q)));
    quitAction->setShortcutContext(Qt::ApplicationShortcut);
    logoutAction = menuAt(FileMenu)->addAction(QString());
    closeWindowAction = menuAt(FileMenu)->addAction(QString());
    closeWindowAction->setShortcut(QKeySequence::Close);
    minimizeAction = menuAt(WindowMenu)->addAction(QString());
    minimizeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    mainWindowAction = menuAt(WindowMenu)->addAction(QString());
    transferAction = menuAt(WindowMenu)->addAction(QString());
    menuAt(WindowMenu)->addSeparator();
    QMenu *help = menuAt(HelpMenu);
    for (QAction **action : {&parleyHomeAction, &parleyFAQAction, &parleyHottipAction, &parleyHelpAction,
                             &parleyMininookAction})
        *action = help->addAction(QString());
    help->addSeparator();
    velaComHomeAction = help->addAction(QString());
    orchardHomeAction = help->addAction(QString());
    new WindowMenuList(menuAt(WindowMenu), this);
    connect(minimizeAction, &QAction::triggered, this, &QWidget::showMinimized);
    connect(closeWindowAction, &QAction::triggered, this, [] {
        if (QWidget *window = QApplication::activeWindow())
            window->close();
    });
    buildLocalizedMenus();
}

void MainWindow::buildLocalizedMenus()
{
    const char *titles[MenuCount] = {"MenuParley", "MenuFile", "MenuEdit", "MenuBuddy", "MenuView", "MenuWindow", "MenuHelp"};
    for (int i = 0; i < MenuCount; ++i)
        mMenus[i]->setTitle(text(titles[i]));
    aboutAction->setText(text("MenuAbout"));
    preferencesAction->setText(text("MenuPreferences"));
    quitAction->setText(text("MenuQuit"));
    logoutAction->setText(text("MenuLogout"));
    closeWindowAction->setText(text("MenuClose"));
    minimizeAction->setText(text("MenuMinimize"));
    mainWindowAction->setText(text("MenuMainWindow"));
    transferAction->setText(text("MenuTransfer"));
    parleyHomeAction->setText(text("MenuParleyHome"));
    parleyFAQAction->setText(text("MenuParleyFAQ"));
    parleyHottipAction->setText(text("MenuParleyHottip"));
    parleyHelpAction->setText(text("MenuParleyHelp"));
    parleyMininookAction->setText(text("MenuParleyMininook"));
    velaComHomeAction->setText(text("MenuVelaComHome"));
    orchardHomeAction->setText(text("MenuOrchardHome"));
}

QMenu *MainWindow::menuAt(MenuIndex index) const { return mMenus.value(index); }

void MainWindow::showLoginView()
{
    static_cast<QStackedWidget *>(centralWidget())->setCurrentWidget(mLoginView);
}

void MainWindow::showBuddyView()
{
    static_cast<QStackedWidget *>(centralWidget())->setCurrentWidget(mBuddyView);
    mBuddyView->focusBuddyList();
}

bool MainWindow::isShowingBuddyView() const
{
    return static_cast<QStackedWidget *>(centralWidget())->currentWidget() == mBuddyView;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The messenger keeps running with its window hidden.
    event->ignore();
    hide();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The list already holds an added action and no longer a removed one.
    if (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionRemoved) {
        if (auto *menu = qobject_cast<QMenu *>(watched)) {
            const QList<QAction *> actions = menu->actions();
            menu->menuAction()->setVisible(
                std::any_of(actions.begin(), actions.end(), [](const QAction *a) { return !a->isSeparator(); }));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace parley::shell
