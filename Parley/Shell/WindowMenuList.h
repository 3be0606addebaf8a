#pragma once

// The Window menu's list of the application's windows, as the original
// platform keeps it by itself: every titled window that is shown (chat, memo,
// file transfer and the others), and the chat windows kept hidden while they
// hold unread lines, marked with a bullet and their count. Rebuilt each time
// the menu opens, after the menu's own items; an entry whose window has gone
// does nothing.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace parley::shell {

class WindowMenuList final : public QObject
{
    Q_OBJECT
public:
    struct Entry {
        QPointer<QWidget> window;
        QString title; // as the menu shows it ("&" doubled)
    };

    // `mainWindow` is left out of the list (it has its own item).
    WindowMenuList(QMenu *menu, QWidget *mainWindow);

    // The entries as they stand now: chats in the chat manager's order, then
    // the other windows by title.
    static QList<Entry> entries(const QWidget *mainWindow);
    // Brings the window forward (a chat through its own showing).
    static void showWindow(QWidget *window);

    void rebuild();

private:
    QMenu *mMenu;
    QPointer<QWidget> mMainWindow;
    QList<QAction *> mEntries;
};

} // namespace parley::shell
