#include "AboutBox.h"

#include "AppController.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "ParleyVersion.h"
#include "Utils/KCUtilities.h"

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
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, QColor(0x33, 0x33, 0x33));
    setPalette(white);
    setWindowTitle(KCLocalizedString(QStringLiteral("MenuAbout")));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 24);
    auto *name = new QLabel(KCLocalizedString(QStringLiteral("ParleyTitle")), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    versionField = new QLabel(this);
    versionField->setObjectName(QStringLiteral("versionField"));
    versionField->setAlignment(Qt::AlignCenter);
    userField = new QLabel(this);
    userField->setObjectName(QStringLiteral("userField"));
    userField->setAlignment(Qt::AlignCenter);
    userField->setTextFormat(Qt::PlainText);
    layout->addWidget(name);
    layout->addSpacing(8);
    layout->addWidget(versionField);
    layout->addWidget(userField);

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

void AboutBox::mousePressEvent(QMouseEvent *) { close(); }

} // namespace parley::shell
