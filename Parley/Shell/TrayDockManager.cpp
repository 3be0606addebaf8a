#include "TrayDockManager.h"

#include "DockBadge.h"
#include "ImageRegistry.h"
#include "Utils/KCUtilities.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace parley::shell {

namespace {

// A window title as a menu item's text: an ampersand stays an ampersand.
QString menuTitle(const QString &title)
{
    QString escaped = title;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

TrayDockManager::TrayDockManager(std::function<QWidget *()> mainWindow, std::function<void()> reopen,
                                 const QDBusConnection &bus)
    : mMainWindow(std::move(mainWindow)), mReopen(std::move(reopen)), mLauncherEntry(bus)
{
    mDockIconTimer.setInterval(kAttentionMilliseconds);
    connect(&mDockIconTimer, &QTimer::timeout, this, &TrayDockManager::dockIconBounceTimer);
    mIconImage = ImageRegistry::image(QStringLiteral("icon"));
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        mTrayMenu = std::make_unique<QMenu>();
        connect(mTrayMenu.get(), &QMenu::aboutToShow, this, [this] { fillDockMenu(mTrayMenu.get()); });
        mTrayIcon = std::make_unique<QSystemTrayIcon>(QIcon(QPixmap::fromImage(mIconImage)));
        mTrayIcon->setToolTip(KCLocalizedString(QStringLiteral("ParleyTitle")));
        mTrayIcon->setContextMenu(mTrayMenu.get());
        connect(mTrayIcon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
                if (mReopen)
                    mReopen();
            }
        });
        mTrayIcon->show();
    }
}

TrayDockManager::~TrayDockManager()
{
    mDockIconTimer.stop();
    if (mTrayIcon)
        mTrayIcon->hide();
}

int TrayDockManager::newMessageCount()
{
    int count = 0;
    // The icon is first drawn before the chat windows are installed.
    if (!ShellWindows::hasChatManager())
        return count;
    for (ChatDocument *document : ShellWindows::chatManager().chatDocumentList()) {
        if (document && document->isExistNewMessage())
            ++count;
    }
    return count;
}

void TrayDockManager::setApplicationIcon(const QImage &image)
{
    mIconImage = image;
    const QIcon icon(QPixmap::fromImage(image));
    if (mTrayIcon)
        mTrayIcon->setIcon(icon);
    if (QWidget *window = mMainWindow ? mMainWindow() : nullptr)
        window->setWindowIcon(icon);
}

void TrayDockManager::dockIconUpdate()
{
    const int count = newMessageCount();
    setApplicationIcon(DockBadge::compose(ImageRegistry::image(QStringLiteral("icon")),
                                          ImageRegistry::image(QStringLiteral("DockNewMessageBackground")), count));
    mLauncherEntry.update(count, count > 0, count > 0 && isBouncing());
}

void TrayDockManager::dockIconBounce()
{
    if (mDockIconTimer.isActive())
        return;
    dockIconUpdate();
    mDockIconTimer.start();
}

void TrayDockManager::dockIconBounceTimer()
{
    const int count = newMessageCount();
    setApplicationIcon(mIconImage);
    if (count < 1) {
        mDockIconTimer.stop();
        mLauncherEntry.update(0, false, false);
        return;
    }
    ++mAttentionRequests;
    if (QWidget *window = mMainWindow ? mMainWindow() : nullptr)
        QApplication::alert(window);
    dockIconUpdate();
}

QMenu *TrayDockManager::dockMenu()
{
    auto *menu = new QMenu;
    fillDockMenu(menu);
    return menu;
}

void TrayDockManager::fillDockMenu(QMenu *menu)
{
    menu->clear();
    QAction *title = menu->addAction(KCLocalizedString(QStringLiteral("ChatListMenuTitle")));
    const QList<ChatDocument *> documents = ShellWindows::chatManager().chatDocumentList();
    if (documents.isEmpty())
        return;
    auto *chats = new QMenu(menu);
    for (ChatDocument *document : documents) {
        QWidget *window = document ? document->window() : nullptr;
        if (!window)
            continue;
        // Each entry keeps its own window: once that chat is gone, the entry
        // does nothing rather than open whichever chat took its place.
        QAction *entry = chats->addAction(menuTitle(window->windowTitle()));
        const QPointer<QWidget> target(window);
        connect(entry, &QAction::triggered, this, [this, target] { showChatWindow(target); });
    }
    title->setMenu(chats);
}

void TrayDockManager::showChatWindow(const QPointer<QWidget> &window)
{
    if (!window)
        return;
    for (ChatDocument *document : ShellWindows::chatManager().chatDocumentList()) {
        if (document && document->window() == window) {
            document->showWindow();
            window->raise();
            window->activateWindow();
            return;
        }
    }
}

} // namespace parley::shell
