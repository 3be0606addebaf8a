// The widget kit's windows: the alert folded and unfolded, the switch-option
// question, and the skinned controls in a skinned window.
#include "KCAlertWindow.h"
#include "KCButton.h"
#include "KCButtonBGView.h"
#include "KCCustomWindow.h"
#include "KCDefaultView.h"
#include "KCLinkButton.h"
#include "KCPopupButton.h"
#include "KCSplitView.h"
#include "KCWhiteButton.h"
#include "KCWhiteView.h"
#include "ScreenshotScenes.h"
#include "SwitchOptionAlertController.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace parley::screenshots {

namespace {

KCAlertWindow *serverErrorAlert()
{
    auto *alert = new KCAlertWindow;
    alert->setMessageString(
        sample(QStringLiteral("서버와의 연결이 끊어졌습니다. 잠시 후 다시 로그인해 주세요."),
               QStringLiteral("The connection to the server was lost. Please sign in again in a moment.")),
        sample(QStringLiteral("오류 코드 911: 서버가 30초 동안 응답하지 않았습니다.\n네트워크 연결을 확인한 뒤 다시 시도하세요."),
               QStringLiteral("Error 911: the server did not answer for 30 seconds.\nCheck the network connection and try again.")));
    return alert;
}

const bool folded = registerScene(QStringLiteral("kit-alert-folded"), [] { return serverErrorAlert(); });

const bool unfolded = registerScene(QStringLiteral("kit-alert-unfolded"), [] {
    KCAlertWindow *alert = serverErrorAlert();
    alert->toggleDetail();
    return alert;
});

const bool switchOption = registerScene(QStringLiteral("kit-switch-option"), [] {
    auto *panel = new SwitchOptionAlertController;
    panel->setTitle(sample(QStringLiteral("친구 삭제"), QStringLiteral("Remove Buddy")));
    panel->setMessage(sample(QStringLiteral("홍길동(gildong@vela.test)님을 친구 목록에서 삭제하시겠습니까?"),
                             QStringLiteral("Remove Gildong Hong (gildong@vela.test) from your buddy list?")));
    panel->setOptionMessage(sample(QStringLiteral("이 친구를 차단합니다"), QStringLiteral("Also block this buddy")), true);
    return panel;
});

QWidget *controlsPane()
{
    auto *pane = new QWidget;
    auto *grid = new QGridLayout(pane);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);

    grid->addWidget(new KCWhiteButton(sample(QStringLiteral("로그인"), QStringLiteral("Sign In"))), 0, 0);
    auto *disabled = new KCWhiteButton(sample(QStringLiteral("취소"), QStringLiteral("Cancel")));
    disabled->setEnabled(false);
    grid->addWidget(disabled, 0, 1);
    auto *pressed = new KCWhiteButton(sample(QStringLiteral("눌림"), QStringLiteral("Pressed")));
    pressed->setDown(true);
    grid->addWidget(pressed, 0, 2);

    grid->addWidget(new KCButton(sample(QStringLiteral("파일 보내기"), QStringLiteral("Send File"))), 1, 0);
    auto *check = new KCButton(sample(QStringLiteral("자동 로그인"), QStringLiteral("Sign in automatically")));
    check->setCheckable(true);
    check->setChecked(true);
    grid->addWidget(check, 1, 1, 1, 2);

    auto *popup = new KCPopupButton;
    popup->addItems({sample(QStringLiteral("온라인"), QStringLiteral("Online")),
                     sample(QStringLiteral("자리 비움"), QStringLiteral("Away"))});
    grid->addWidget(popup, 2, 0);
    grid->addWidget(new KCLinkButton(sample(QStringLiteral("비밀번호 찾기"), QStringLiteral("Forgot password"))), 2, 1, 1, 2);

    auto *strip = new KCButtonBGView;
    strip->setFixedHeight(27);
    grid->addWidget(strip, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);
    return pane;
}

const bool controls = registerScene(QStringLiteral("kit-skinned-controls"), [] {
    auto *window = new KCCustomWindow;
    window->setWindowTitle(QStringLiteral("Parley"));
    window->setCentralWidget(controlsPane());
    window->resize(420, 260);
    return window;
});

const bool flatSplit = registerScene(QStringLiteral("kit-flat-split-window"), [] {
    auto *window = new KCCustomWindow;
    window->setFlat(true);
    auto *split = new KCSplitView(Qt::Vertical);
    auto *white = new KCWhiteView;
    auto *whiteLayout = new QVBoxLayout(white);
    auto *label = new QLabel(sample(QStringLiteral("대화 내용이 여기에 표시됩니다."),
                                    QStringLiteral("The conversation appears here.")));
    whiteLayout->addWidget(label, 0, Qt::AlignTop);
    split->addWidget(white);
    auto *lower = new KCDefaultView;
    auto *lowerLayout = new QHBoxLayout(lower);
    lowerLayout->addStretch(1);
    lowerLayout->addWidget(new KCWhiteButton(sample(QStringLiteral("보내기"), QStringLiteral("Send"))));
    split->addWidget(lower);
    split->setSizes({220, 80});
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 30, 6, 26);
    layout->addWidget(split);
    window->setCentralWidget(central);
    window->resize(360, 380);
    return window;
});

} // namespace

} // namespace parley::screenshots
