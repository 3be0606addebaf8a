// The shell's notices: pop-up notices of a buddy's sign-in, a chat line and
// the memo count over a desktop; the tray icon with and without its badge;
// the own-status selector with its menu; the one-time-password prompt.
#include "Shell/BuddyView.h"
#include "Shell/DockBadge.h"
#include "Shell/KCStatusViewWidget.h"
#include "Shell/KCToasterWindow.h"
#include "Shell/MainWindow.h"
#include "Shell/ToasterWindowManager.h"
#include "ImageRegistry.h"
#include "KCTextInputAlert.h"
#include "ScreenshotScenes.h"
#include "Utils/KCUtilities.h"

#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

namespace parley::screenshots {

namespace {

using namespace parley::shell;

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

struct NoActions final : ToasterActions {
    int myStatus() override { return 1; }
    void showPopWindow(QWidget *) override {}
    void showBridgePageForSVC(const QString &, const QString &, int, const QString &) override {}
    void openMemo(const QVariantMap &) override {}
    void showVelaMemo() override {}
    void showVelaMail() override {}
    void showConfirmMail() override {}
    void openSessionManager() override {}
    void openChatRoom(const QString &) override {}
    void setMiniNookNew(bool) override {}
    void setOrchardNew(bool) override {}
};

// A desktop-coloured panel holding pictures side by side.
QWidget *desktop(const QList<QPixmap> &pictures, int columns)
{
    auto *panel = new QWidget;
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    QLinearGradient sky(0, 0, 0, 400);
    sky.setColorAt(0, QColor(0x3b, 0x5b, 0x86));
    sky.setColorAt(1, QColor(0x7d, 0x9c, 0xc4));
    palette.setBrush(QPalette::Window, sky);
    panel->setPalette(palette);
    auto *grid = new QGridLayout(panel);
    grid->setSpacing(12);
    grid->setContentsMargins(16, 16, 16, 16);
    for (int i = 0; i < pictures.size(); ++i) {
        auto *label = new QLabel(panel);
        label->setPixmap(pictures.at(i));
        grid->addWidget(label, i / columns, i % columns);
    }
    return panel;
}

const bool notices = registerScene(QStringLiteral("shell-notices"), [] {
    NoActions actions;
    ToasterWindowManager manager(actions, SlideWindowSkins::load(ToasterWindowManager::defaultSkinsPath()),
                                 [] { return QRect(0, 0, 800, 600); });
    const QString bob = sample(QStringLiteral("바다의 밥"), QStringLiteral("Bobby from the sea"));
    manager.showToasterText(QStringLiteral("LGIN"), text("LoginFromBuddy").arg(bob));
    manager.showToasterWindow(QStringLiteral("CHAT"), bob,
                              sample(QStringLiteral("오늘 저녁에 시간 괜찮아? 새로 생긴 식당에 가 보자 /웃음/"),
                                     QStringLiteral("Are you free tonight? Let's try the new place /smile/")),
                              nullptr, QString(), {});
    manager.showToasterWindow(QStringLiteral("MEMOCNT"), {{QStringLiteral("count"), 3}});
    manager.showToasterText(QStringLiteral("MCNT"), sample(QStringLiteral("다른 곳에서 같은 아이디로 로그인했습니다."),
                                                           QStringLiteral("Your ID signed in at another place.")));
    QList<QPixmap> pictures;
    for (const ToasterWindowController *toaster : manager.toasters())
        pictures.append(toaster->window()->grab());
    return desktop(pictures, 2);
});

const bool trayBadge = registerScene(QStringLiteral("shell-tray-badge"), [] {
    const QImage icon = ImageRegistry::image(QStringLiteral("icon"));
    const QImage badge = ImageRegistry::image(QStringLiteral("DockNewMessageBackground"));
    QList<QPixmap> pictures;
    for (int count : {0, 2, 12}) {
        const QImage composed = DockBadge::compose(icon, badge, count);
        pictures.append(QPixmap::fromImage(composed));
        // As a panel shows it.
        pictures.append(QPixmap::fromImage(composed.scaled(22, 22, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    return desktop(pictures, 2);
});

const bool statusSelector = registerScene(QStringLiteral("shell-status-selector"), [] {
    auto *window = new MainWindow;
    BuddyView *view = window->buddyView();
    auto *status = new KCStatusViewWidget;
    view->setStatusWidget(status);
    status->setTitle(text("Busy"), true);
    view->setStatusImage(QStringLiteral("32x32_busy"));
    view->nickNameView->setText(sample(QStringLiteral("앨리"), QStringLiteral("Ally")));
    view->mailButton->setText(QStringLiteral("999"));
    view->memoButton->setText(QStringLiteral("2"));
    window->showBuddyView();
    window->resize(260, 420);
    window->show();
    // The menu as it opens under the view, drawn beside the window.
    QMenu *menu = status->menu();
    menu->popup(QPoint(0, 0));
    const QPixmap menuPicture = menu->grab();
    menu->hide();
    const QPixmap windowPicture = window->grab();
    delete window;
    return desktop({windowPicture, menuPicture}, 2);
});

const bool otpPrompt = registerScene(QStringLiteral("shell-otp-prompt"), [] {
    auto *alert = new KCTextInputAlert;
    alert->setTitle(text("OTPInputTitle"));
    alert->setMessage(text("OTPInputTop"));
    alert->setFieldTexts(text("OTPInputMessage"), text("OTPInputLeftMessage"));
    alert->setAccessoryHtml(text("OTPInputBottom"));
    alert->setButtons({text("OK"), text("Cancel")});
    return alert;
});

} // namespace

} // namespace parley::screenshots
