// The main window's look in use: the own-status band under the mouse with
// the longest status title, the news marks on the portal buttons, and the
// Window menu listing the open windows (a hidden chat with unread lines
// among them).
#include "Shell/BuddyView.h"
#include "Shell/KCStatusViewWidget.h"
#include "Shell/MainWindow.h"
#include "Shell/ShellWindows.h"
#include "Shell/WindowMenuList.h"
#include "ImageRegistry.h"
#include "ScreenshotScenes.h"
#include "Utils/KCUtilities.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

namespace parley::screenshots {

namespace {

using namespace parley::shell;

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

// A chat of the scene's own, kept hidden with three unread lines.
struct HiddenChat final : ChatDocument {
    HiddenChat() { widget.setWindowTitle(sample(QStringLiteral("최민지"), QStringLiteral("Minji Choi"))); }
    void showWindow() override {}
    QWidget *window() override { return &widget; }
    bool isExistNewMessage() override { return true; }
    int unviewedCount() override { return 3; }
    QWidget widget;
};

struct SceneChats final : ChatManager {
    ChatDocument *chatDocumentForBuddyIDs(const QStringList &) override { return nullptr; }
    QString getChatText(const QString &) override { return {}; }
    void closeChatRoom(const QString &) override {}
    void saveChatMessages() override {}
    QList<ChatDocument *> visibleChatDocumentList() override { return {}; }
    QList<ChatDocument *> chatDocumentList() override { return {&chat}; }
    void closeAllChatDocuments() override {}
    void activeNewMessageChatRoom() override {}
    ChatDocument *openChatRoom(const QStringList &) override { return nullptr; }
    void reset() override {}
    HiddenChat chat;
};

QWidget *pictures(const QList<QPixmap> &shots)
{
    auto *panel = new QWidget;
    auto *row = new QHBoxLayout(panel);
    for (const QPixmap &shot : shots) {
        auto *label = new QLabel(panel);
        label->setPixmap(shot);
        row->addWidget(label, 0, Qt::AlignTop);
    }
    return panel;
}

} // namespace

const bool mainWindowInUse = registerScene(QStringLiteral("shell-main-window-in-use"), [] {
    auto *window = new MainWindow;
    BuddyView *view = window->buddyView();
    auto *status = new KCStatusViewWidget;
    view->setStatusWidget(status);
    status->setTitle(text("AppearOffline"), true);
    view->setStatusImage(QStringLiteral("32x32_offline"));
    view->nickNameView->setText(sample(QStringLiteral("앨리"), QStringLiteral("Ally")));
    view->mailButton->setText(QStringLiteral("3"));
    view->mailButton->setIcon(ImageRegistry::pixmap(QStringLiteral("20x15_mailNew")));
    view->memoButton->setText(QStringLiteral("0"));
    view->homeButton->setIcon(ImageRegistry::pixmap(QStringLiteral("GoHomeButtonNew")));
    window->showBuddyView();
    window->resize(260, 420);
    window->show();
    QEnterEvent enter(QPointF(20, 8), QPointF(20, 8), status->mapToGlobal(QPointF(20, 8)));
    QApplication::sendEvent(status, &enter);

    // The Window menu with a memo, the transfer window and a hidden chat.
    SceneChats chats;
    ShellWindows::setChatManager(&chats);
    QWidget memo;
    memo.setWindowTitle(sample(QStringLiteral("점심 약속"), QStringLiteral("Lunch plans")));
    memo.show();
    QWidget transfer;
    transfer.setWindowTitle(text("MenuTransfer"));
    transfer.show();
    QMenu *menu = window->menuAt(MainWindow::WindowMenu);
    emit menu->aboutToShow();
    menu->popup(QPoint(0, 0));
    const QPixmap menuPicture = menu->grab();
    menu->hide();
    ShellWindows::setChatManager(nullptr);
    const QPixmap windowPicture = window->grab();
    delete window;
    return pictures({windowPicture, menuPicture});
});

} // namespace parley::screenshots
