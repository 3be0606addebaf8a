#pragma once

// The messenger in the desktop's tray: the application icon with a badge of
// how many chats hold unread messages (also the main window's icon and the
// launcher entry's count), a menu of the open chats, and a repeating request
// for the user's attention while unread chats remain. Clicking the icon
// brings the messenger forward. Without a tray (offscreen, a bare window
// manager) everything but the tray icon itself still works.

#include "LauncherEntry.h"
#include "ShellWindows.h"

#include <QDBusConnection>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace parley::shell {

class TrayDockManager final : public QObject, public DockManager
{
    Q_OBJECT

public:
    static constexpr int kAttentionMilliseconds = 1500;

    // `mainWindow`: the window that asks for attention and takes the icon;
    // `reopen`: what a click on the tray icon does; `bus`: where the launcher
    // entry's signal goes.
    TrayDockManager(std::function<QWidget *()> mainWindow, std::function<void()> reopen,
                    const QDBusConnection &bus);
    ~TrayDockManager() override;

    // The number of chat windows holding unread messages.
    static int newMessageCount();

    // DockManager
    QMenu *dockMenu() override;
    void dockIconUpdate() override;
    void dockIconBounce() override;

    // One tick of the attention timer.
    void dockIconBounceTimer();
    bool isBouncing() const { return mDockIconTimer.isActive(); }
    // The icon as last drawn.
    const QImage &iconImage() const { return mIconImage; }
    // The tray icon; null without a tray.
    QSystemTrayIcon *trayIcon() const { return mTrayIcon.get(); }
    // How many attention requests were made (each tick with unread chats).
    int attentionRequests() const { return mAttentionRequests; }

private:
    void fillDockMenu(QMenu *menu);
    void showChatWindow(const QPointer<QWidget> &window);
    void setApplicationIcon(const QImage &image);

    std::function<QWidget *()> mMainWindow;
    std::function<void()> mReopen;
    LauncherEntry mLauncherEntry;
    QTimer mDockIconTimer;
    QImage mIconImage;
    int mBadgeCount = -1; // the count the icon shows; -1 before the first
    std::unique_ptr<QSystemTrayIcon> mTrayIcon;
    std::unique_ptr<QMenu> mTrayMenu;
    int mAttentionRequests = 0;
};

} // namespace parley::shell
