#include "BuddyRequestController.h"

#include "BuddyManagement/PLBuddyManager.h"
#include "BuddySession.h"
#include "FacadeBuddySession.h"
#include "KCDefaultFont.h"
#include "Utils/KCUtilities.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace parley {

namespace {

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

QLabel *plainLabel(const QString &value, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setText(value);
    return label;
}

} // namespace

BuddyRequestWindow::BuddyRequestWindow(BuddySession &session, const QString &fromID, const QString &fromCMN,
                                       const QString &requestMessage, QWidget *parent)
    : QDialog(parent), mSession(session), mFromID(fromID), mFromCMN(fromCMN)
{
    setObjectName(QStringLiteral("BuddyRequestController"));
    setFont(GetDefaultFontOfSize(11));
    setWindowTitle(text("BuddyRequestTitle"));
    auto *layout = new QVBoxLayout(this);
    // The asker's ID and message are the peer's text.
    mMainMessage = plainLabel(text("BuddyRequestMessage").arg(fromID), this);
    mMainMessage->setObjectName(QStringLiteral("mainMessage"));
    QFont bold = mMainMessage->font();
    bold.setBold(true);
    mMainMessage->setFont(bold);
    mRequestMessageTitle = plainLabel(text("BuddyRequestMessageTitle"), this);
    mRequestMessageView = new QPlainTextEdit(this);
    mRequestMessageView->setObjectName(QStringLiteral("requestMessageView"));
    mRequestMessageView->setReadOnly(true);
    mRequestMessageView->setPlainText(requestMessage);
    mRequestMessageView->setMaximumHeight(90);
    mGroupAddTitle1 = plainLabel(text("GroupAddTitle1"), this);
    mGroupAddTitle2 = plainLabel(text("GroupAddTitle2"), this);
    mGroupSelectButton = new QComboBox(this);
    mGroupSelectButton->setObjectName(QStringLiteral("groupSelectButton"));
    mProfileButton = new QPushButton(text("ShowProfile"), this);
    mAcceptButton = new QPushButton(text("Accept"), this);
    mAcceptButton->setObjectName(QStringLiteral("acceptButton"));
    mAcceptButton->setDefault(true);
    mRejectButton = new QPushButton(text("Reject"), this);
    mRejectButton->setObjectName(QStringLiteral("rejectButton"));
    mCancelButton = new QPushButton(text("Cancel"), this);
    mCancelButton->setObjectName(QStringLiteral("cancelButton"));

    layout->addWidget(mMainMessage);
    layout->addWidget(mRequestMessageTitle);
    layout->addWidget(mRequestMessageView);
    layout->addSpacing(6);
    layout->addWidget(mGroupAddTitle1);
    auto *group = new QHBoxLayout;
    group->addWidget(mGroupAddTitle2, 1);
    group->addWidget(mGroupSelectButton, 1);
    layout->addLayout(group);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(mProfileButton);
    buttons->addStretch(1);
    buttons->addWidget(mCancelButton);
    buttons->addWidget(mRejectButton);
    buttons->addWidget(mAcceptButton);
    layout->addLayout(buttons);

    connect(mAcceptButton, &QPushButton::clicked, this, &BuddyRequestWindow::buddyAcceptAction);
    connect(mRejectButton, &QPushButton::clicked, this, &BuddyRequestWindow::buddyRejectAction);
    connect(mCancelButton, &QPushButton::clicked, this, &BuddyRequestWindow::buddyCancelAction);
    connect(mProfileButton, &QPushButton::clicked, this, &BuddyRequestWindow::buddyProfileAction);
    reloadGroups();
    resize(400, sizeHint().height());
}

void BuddyRequestWindow::reloadGroups()
{
    mGroupSelectButton->clear();
    const PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    for (qsizetype i = 0; i < buddies.groupCount(); ++i) {
        if (const PLGroupPtr group = buddies.groupAtIndex(i))
            mGroupSelectButton->addItem(group->groupName());
    }
}

void BuddyRequestWindow::buddyAcceptAction()
{
    const PLGroupPtr group = PLBuddyManager::sharedManager().groupForName(mGroupSelectButton->currentText());
    // The groups changed under the window: the user chooses again.
    if (!group)
        return;
    mSession.acceptAddBuddy(mFromID, mFromCMN, group->groupID());
    close();
}

void BuddyRequestWindow::buddyRejectAction()
{
    mSession.rejectAddBuddy(mFromID, mFromCMN);
    close();
}

void BuddyRequestWindow::buddyCancelAction() { close(); }

void BuddyRequestWindow::buddyProfileAction()
{
    shell::ShellWindows::bridgePage().bridgePageCall(QStringLiteral("F009"), mFromCMN, QString(), -1);
}

BuddyRequestController::~BuddyRequestController()
{
    QObject::disconnect(mClosedConnection);
    if (mWindow)
        mWindow->deleteLater();
}

void BuddyRequestController::showBuddyRequestWindow(const QString &requesterID, const QString &fromCMN,
                                                    const QString &requestMessage)
{
    QObject::disconnect(mClosedConnection);
    if (mWindow)
        mWindow->deleteLater();
    mWindow = new BuddyRequestWindow(mSession, requesterID, fromCMN, requestMessage);
    // Closing ends the dialog (finished), whichever button or the close box did it.
    mClosedConnection = QObject::connect(mWindow, &QDialog::finished, mWindow, [this] {
        if (mClosed)
            mClosed();
    });
    // Centred in the visible part of the main screen.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect visible = screen->availableGeometry();
        mWindow->move(visible.x() + (visible.width() - mWindow->width()) / 2,
                      visible.y() + (visible.height() - mWindow->height()) / 2);
    }
    mWindow->show();
    mWindow->raise();
}

void BuddyRequestController::close()
{
    if (mWindow)
        mWindow->close();
}

void BuddyRequestController::installFactory()
{
    shell::ShellWindows::setBuddyRequestFactory(
        []() -> std::unique_ptr<shell::BuddyRequestController> {
            return std::make_unique<BuddyRequestController>(FacadeBuddySession::shared());
        });
}

void BuddyRequestController::uninstallFactory() { shell::ShellWindows::setBuddyRequestFactory(nullptr); }

} // namespace parley
