#include "WindowMenuList.h"

#include "ShellWindows.h"

#include <QAction>
#include <QApplication>
#include <QCollator>
#include <QMenu>
#include <QSet>
#include <QWidget>

#include <algorithm>

namespace parley::shell {

namespace {

QString menuTitle(QString title) { return title.replace(QLatin1Char('&'), QStringLiteral("&&")); }

// Windows of their own that a user picks from a menu: not notices, palettes,
// pop-ups or tool tips.
bool isListedKind(const QWidget *widget)
{
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

} // namespace

WindowMenuList::WindowMenuList(QMenu *menu, QWidget *mainWindow)
    : QObject(menu), mMenu(menu), mMainWindow(mainWindow)
{
    connect(menu, &QMenu::aboutToShow, this, &WindowMenuList::rebuild);
}

QList<WindowMenuList::Entry> WindowMenuList::entries(const QWidget *mainWindow)
{
    QList<Entry> list;
    QSet<const QWidget *> chats;
    for (ChatDocument *document : ShellWindows::chatManager().chatDocumentList()) {
        QWidget *window = document ? document->window() : nullptr;
        if (!window)
            continue;
        chats.insert(window);
        if (window->isVisible()) {
            list.append({window, menuTitle(window->windowTitle())});
        } else if (document->isExistNewMessage()) {
            // Hidden with lines the user has not seen: the bullet and how many.
            const int unread = qMax(1, document->unviewedCount());
            list.append({window, QStringLiteral("\u2022 %1 (%2)").arg(menuTitle(window->windowTitle())).arg(unread)});
        }
    }
    QList<Entry> others;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget == mainWindow || chats.contains(widget) || !widget->isVisible() || !isListedKind(widget)
            || widget->windowTitle().isEmpty())
            continue;
        others.append({widget, menuTitle(widget->windowTitle())});
    }
    QCollator collator;
    std::sort(others.begin(), others.end(),
              [&collator](const Entry &a, const Entry &b) { return collator.compare(a.title, b.title) < 0; });
    return list + others;
}

void WindowMenuList::showWindow(QWidget *window)
{
    if (!window)
        return;
    for (ChatDocument *document : ShellWindows::chatManager().chatDocumentList()) {
        if (document && document->window() == window) {
            document->showWindow();
            break;
        }
    }
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

void WindowMenuList::rebuild()
{
    for (QAction *action : std::as_const(mEntries)) {
        mMenu->removeAction(action);
        delete action;
    }
    mEntries.clear();
    for (const Entry &entry : entries(mMainWindow)) {
        auto *action = new QAction(entry.title, mMenu);
        const QPointer<QWidget> target = entry.window;
        connect(action, &QAction::triggered, this, [target] { showWindow(target); });
        mMenu->addAction(action);
        mEntries.append(action);
    }
}

} // namespace parley::shell
