#include "BuddyView.h"

#include "ImageRegistry.h"
#include "KCMenuButton.h"
#include "Utils/KCUtilities.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace parley::shell {

namespace {

// Our image of that name or, while it is missing, a symbol drawn in its
// place, so that no button is blank.
QPixmap imageOr(const char *imageName, const QString &symbol, const QFont &font, const QColor &color)
{
    const QPixmap image = ImageRegistry::pixmap(QLatin1String(imageName));
    if (!image.isNull())
        return image;
    QPixmap drawn(QSize(20, 18) * 2);
    drawn.setDevicePixelRatio(2);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(color);
    QFont symbolFont = font;
    symbolFont.setPixelSize(15);
    painter.setFont(symbolFont);
    painter.drawText(QRect(0, 0, 20, 18), Qt::AlignCenter, symbol);
    return drawn;
}

QToolButton *toolButton(QWidget *parent, const char *objectName, const char *imageName, const QString &symbol,
                        const QString &text = {})
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoRaise(true);
    const QPixmap image = imageOr(imageName, symbol, button->font(), button->palette().color(QPalette::ButtonText));
    button->setIcon(image);
    button->setIconSize(image.deviceIndependentSize().toSize());
    button->setText(text);
    button->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    return button;
}

// The widget a slot holds, if any.
QWidget *slotWidget(QWidget *slot)
{
    QLayoutItem *item = slot->layout()->itemAt(0);
    return item ? item->widget() : nullptr;
}

// The first widget in `widget` (itself or inside it, in the order they were
// made) that Tab stops at, as `view` will show it: a container takes no focus
// of its own. Not by the focus chain, which orderTabs() rearranges.
QWidget *tabStopIn(QWidget *widget, const QWidget *view)
{
    if (!widget)
        return nullptr;
    const auto stops = [view](const QWidget *w) {
        return (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(view);
    };
    if (stops(widget))
        return widget;
    const QList<QWidget *> inside = widget->findChildren<QWidget *>();
    const auto found = std::find_if(inside.begin(), inside.end(), stops);
    return found == inside.end() ? nullptr : *found;
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
    setStatusImage(QStringLiteral("32x32_normal"));
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
    sessionMgrButton = toolButton(this, "sessionMgrButton", "main_device01", QStringLiteral("\u2338"));
    sessionMgrButton->hide();
    top->addWidget(sessionMgrButton);
    layout->addLayout(top);

    auto *portal = new QHBoxLayout;
    velaButton = toolButton(this, "velaButton", "20x15_vela", QStringLiteral("V"));
    orchardButton = toolButton(this, "orchardButton", "20x15_orchard", QStringLiteral("O"));
    homeButton = toolButton(this, "homeButton", "GoHomeButton", QStringLiteral("\u2302"));
    mailButton = toolButton(this, "mailButton", "20x15_mail", QStringLiteral("\u2709"), QStringLiteral("0"));
    memoButton = toolButton(this, "memoButton", "20x15_memo", QStringLiteral("\u270E"), QStringLiteral("0"));
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
    viewTypeButton = toolButton(this, "viewTypeButton", "main_viewtype", QStringLiteral("\u2630"));
    addBuddyButton = toolButton(this, "addBuddyButton", "main_addbuddy", QStringLiteral("+"));
    addGroupButton = toolButton(this, "addGroupButton", "main_addgroup", QStringLiteral("\u229E"));
    smsButton = toolButton(this, "smsButton", "main_sms", QStringLiteral("\u2706"));
    communicationViewerButton = toolButton(this, "communicationViewerButton", "main_msgviewer", QStringLiteral("\u25A4"));
    for (QToolButton *button : {viewTypeButton, addBuddyButton, addGroupButton, smsButton, communicationViewerButton})
        bottom->addWidget(button);
    bottom->addStretch(1);
    layout->addLayout(bottom);
    retranslate();
}

void BuddyView::setStatusImage(const QString &imageName)
{
    QPixmap image = ImageRegistry::pixmap(imageName);
    if (image.isNull()) {
        // A dot in the status's colour while our image is missing.
        const QColor colour = imageName.endsWith(QLatin1String("normal")) ? QColor(0x3c, 0xb3, 0x4a)
            : imageName.endsWith(QLatin1String("busy"))                   ? QColor(0xd9, 0x3b, 0x30)
            : imageName.endsWith(QLatin1String("other"))                  ? QColor(0xf0, 0x9a, 0x1a)
                                                                          : QColor(0x9a, 0x9a, 0x9a);
        image = QPixmap(QSize(24, 24) * 2);
        image.setDevicePixelRatio(2);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(colour.darker(130));
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(4, 4, 16, 16));
    }
    myStatusButton->setIcon(image);
    myStatusButton->setIconSize(image.deviceIndependentSize().toSize());
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

void BuddyView::setStatusWidget(QWidget *widget)
{
    fillSlot(mStatusSlot, widget);
    orderTabs();
}

void BuddyView::setBuddyListWidget(QWidget *widget)
{
    fillSlot(mBuddyListSlot, widget);
    orderTabs();
}

void BuddyView::orderTabs()
{
    // Filled slots join the focus chain at its end, after every tool button.
    // The list comes right after the own status instead, the buttons after
    // it: Tab reaches the buddies at once and every button still by keyboard.
    QWidget *const chain[] = {myStatusButton,
                              tabStopIn(slotWidget(mStatusSlot), this),
                              tabStopIn(slotWidget(mBuddyListSlot), this),
                              sessionMgrButton,
                              velaButton,
                              orchardButton,
                              homeButton,
                              mailButton,
                              memoButton,
                              viewTypeButton,
                              addBuddyButton,
                              addGroupButton,
                              smsButton,
                              communicationViewerButton};
    QWidget *previous = nullptr;
    for (QWidget *widget : chain) {
        if (!widget)
            continue;
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

void BuddyView::focusBuddyList()
{
    if (QWidget *stop = tabStopIn(slotWidget(mBuddyListSlot), this))
        stop->setFocus(Qt::OtherFocusReason);
}

} // namespace parley::shell
