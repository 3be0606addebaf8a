#include "AboutBox.h"

#include "AppController.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "KCDefaultFont.h"
#include "ParleyVersion.h"
#include "Utils/KCUtilities.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace parley::shell {

QPointer<AboutBox> AboutBox::sShared;

AboutBox *AboutBox::sharedBox()
{
    if (!sShared)
        sShared = new AboutBox;
    return sShared;
}

AboutBox *AboutBox::existingBox() { return sShared; }

AboutBox::AboutBox() : QWidget(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(KCLocalizedString(QStringLiteral("MenuAbout")));
    setFont(GetDefaultFontOfSize(11));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    whiteView = new KCWhiteView(this);
    whiteView->setDelegate(this);
    outer->addWidget(whiteView);
    QPalette text = palette();
    text.setColor(QPalette::WindowText, QColor(0x33, 0x33, 0x33));
    whiteView->setPalette(text);

    // Clicks on the labels reach the white view beneath them.
    auto *layout = new QVBoxLayout(whiteView);
    layout->setContentsMargins(28, 24, 28, 24);
    auto *name = new QLabel(KCLocalizedString(QStringLiteral("ParleyTitle")), whiteView);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    versionField = new QLabel(whiteView);
    versionField->setObjectName(QStringLiteral("versionField"));
    versionField->setAlignment(Qt::AlignCenter);
    userField = new QLabel(whiteView);
    userField->setObjectName(QStringLiteral("userField"));
    userField->setAlignment(Qt::AlignCenter);
    userField->setTextFormat(Qt::PlainText);
    layout->addWidget(name);
    layout->addSpacing(8);
    layout->addWidget(versionField);
    layout->addWidget(userField);
    for (QLabel *label : whiteView->findChildren<QLabel *>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);

    versionField->setText(versionText());
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString AboutBox::versionText()
{
    return QStringLiteral("%1  ( build:%2 )").arg(QLatin1String(kBundleVersion), QLatin1String(kBuildVersion));
}

void AboutBox::showWindow()
{
    show();
    raise();
    activateWindow();
    // Filled at once too: without a window manager the window may never become active.
    windowDidBecomeKey();
}

void AboutBox::hideWindow() { close(); }

void AboutBox::windowDidBecomeKey()
{
    const AppController *controller = AppController::sharedController();
    const bool signedIn = controller && controller->loginStatus();
    const QString name = signedIn ? PLMyInfoManager::sharedManager().name() : QString();
    userField->setText(KCLocalizedString(QStringLiteral("AboutUser")).arg(name));
}

bool AboutBox::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        windowDidBecomeKey();
    else if (event->type() == QEvent::WindowDeactivate && isVisible())
        close();
    return QWidget::event(event);
}

AboutBox::~AboutBox() { whiteView->setDelegate(nullptr); }

void AboutBox::whiteViewClicked(KCWhiteView *) { close(); }

} // namespace parley::shell
