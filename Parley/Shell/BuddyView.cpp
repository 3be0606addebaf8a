#include "BuddyView.h"

#include "ImageRegistry.h"
#include "KCMenuButton.h"
#include "Utils/KCUtilities.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace parley::shell {

namespace {

// A tool button with our image of that name; its text stands in while the
// image is missing.
QToolButton *toolButton(QWidget *parent, const char *objectName, const char *imageName, const QString &text = {})
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoRaise(true);
    const QPixmap image = ImageRegistry::pixmap(QLatin1String(imageName));
    if (!image.isNull()) {
        button->setIcon(image);
        button->setIconSize(image.size());
    }
    button->setText(text);
    button->setToolButtonStyle(image.isNull() ? Qt::ToolButtonTextOnly
                               : text.isEmpty() ? Qt::ToolButtonIconOnly
                                                : Qt::ToolButtonTextBesideIcon);
    return button;
}

} // namespace

BuddyView::BuddyView(QWidget *parent)
    : QWidget(parent), mStatusSlot(new QWidget(this)), mBuddyListSlot(new QFrame(this))
{
    setObjectName(QStringLiteral("BuddyView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    auto *top = new QHBoxLayout;
    myStatusButton = new KCMenuButton(this);
    myStatusButton->setObjectName(QStringLiteral("myStatusButton"));
    myStatusButton->setFlat(true);
    const QPixmap statusImage = ImageRegistry::pixmap(QStringLiteral("32x32_normal"));
    if (!statusImage.isNull()) {
        myStatusButton->setIcon(statusImage);
        myStatusButton->setIconSize(statusImage.size());
    }
    myStatusButton->setFixedSize(36, 36);
    top->addWidget(myStatusButton);
    auto *names = new QVBoxLayout;
    mStatusSlot->setObjectName(QStringLiteral("statusSlot"));
    auto *statusLayout = new QVBoxLayout(mStatusSlot);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    buddyStatusField = new QLabel(mStatusSlot);
    buddyStatusField->setTextFormat(Qt::PlainText);
    QFont bold = buddyStatusField->font();
    bold.setBold(true);
    buddyStatusField->setFont(bold);
    statusLayout->addWidget(buddyStatusField);
    names->addWidget(mStatusSlot);
    nickNameView = new QLabel(this);
    nickNameView->setObjectName(QStringLiteral("nickNameView"));
    nickNameView->setTextFormat(Qt::PlainText);
    names->addWidget(nickNameView);
    top->addLayout(names, 1);
    sessionMgrButton = toolButton(this, "sessionMgrButton", "main_device01");
    sessionMgrButton->hide();
    top->addWidget(sessionMgrButton);
    layout->addLayout(top);

    auto *portal = new QHBoxLayout;
    velaButton = toolButton(this, "velaButton", "20x15_vela");
    orchardButton = toolButton(this, "orchardButton", "20x15_orchard");
    homeButton = toolButton(this, "homeButton", "GoHomeButton");
    mailButton = toolButton(this, "mailButton", "20x15_mail", QStringLiteral("0"));
    memoButton = toolButton(this, "memoButton", "20x15_memo", QStringLiteral("0"));
    for (QToolButton *button : {velaButton, orchardButton, homeButton})
        portal->addWidget(button);
    portal->addStretch(1);
    portal->addWidget(mailButton);
    portal->addWidget(memoButton);
    layout->addLayout(portal);

    mBuddyListSlot->setObjectName(QStringLiteral("buddyListSlot"));
    static_cast<QFrame *>(mBuddyListSlot)->setFrameShape(QFrame::StyledPanel);
    mBuddyListSlot->setAutoFillBackground(true);
    mBuddyListSlot->setBackgroundRole(QPalette::Base);
    auto *listLayout = new QVBoxLayout(mBuddyListSlot);
    listLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mBuddyListSlot, 1);

    auto *bottom = new QHBoxLayout;
    viewTypeButton = toolButton(this, "viewTypeButton", "main_viewtype");
    addBuddyButton = toolButton(this, "addBuddyButton", "main_addbuddy");
    addGroupButton = toolButton(this, "addGroupButton", "main_addgroup");
    smsButton = toolButton(this, "smsButton", "main_sms");
    communicationViewerButton = toolButton(this, "communicationViewerButton", "main_msgviewer");
    for (QToolButton *button : {viewTypeButton, addBuddyButton, addGroupButton, smsButton, communicationViewerButton})
        bottom->addWidget(button);
    bottom->addStretch(1);
    layout->addLayout(bottom);
    retranslate();
}

void BuddyView::retranslate()
{
    const std::pair<QToolButton *, const char *> tips[] = {
        {velaButton, "ToolTipVelaMain"},       {orchardButton, "ToolTipOrchardMain"},
        {homeButton, "ToolTipGoMyHome"},       {mailButton, "ToolTipReadMail"},
        {memoButton, "ToolTipReadMemo"},       {viewTypeButton, "ToolTipViewType"},
        {addBuddyButton, "ToolTipAddBuddy"},   {addGroupButton, "ToolTipAddGroup"},
        {smsButton, "ToolTipSMS"},             {communicationViewerButton, "ToolTipMsgViewer"},
    };
    for (const auto &[button, key] : tips)
        button->setToolTip(parley::KCLocalizedString(QLatin1String(key)));
}

void BuddyView::fillSlot(QWidget *slot, QWidget *widget)
{
    QLayout *layout = slot->layout();
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *old = item->widget())
            old->hide();
        delete item;
    }
    if (widget) {
        widget->setParent(slot);
        layout->addWidget(widget);
        widget->show();
    }
}

void BuddyView::setStatusWidget(QWidget *widget) { fillSlot(mStatusSlot, widget); }

void BuddyView::setBuddyListWidget(QWidget *widget) { fillSlot(mBuddyListSlot, widget); }

} // namespace parley::shell
