#include "AccountLinkPane.h"

#include "KCAlertPresenter.h"
#include "PrefsSession.h"
#include "PrefsWidgets.h"
#include "Utils/KCUtilities.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace parley {

AccountLinkPane::AccountLinkPane(PrefsContext &context, AccountLinking &linking, AccountLinking::Service service,
                                 QWidget *parent)
    : PrefsPane(context, parent), mLinking(linking), mService(service)
{
    mIDField = new QLineEdit(this);
    mPasswordField = new QLineEdit(this);
    mPasswordField->setEchoMode(QLineEdit::Password);
    mCouplingButton = new QPushButton(this);
    connect(mCouplingButton, &QPushButton::clicked, this, &AccountLinkPane::coupleAction);
}

void AccountLinkPane::coupleAction()
{
    const bool linked = isLinked();
    switch (mLinking.pressLink(mContext.signedIn, linked, mIDField->text(), mPasswordField->text())) {
    case AccountLinking::Press::Ignore:
        return;
    case AccountLinking::Press::MissingFields: {
        KCAlertRequest request;
        request.key = QStringLiteral("OrchardCouleIDPassErr");
        request.title = PrefsWidgets::text("CouplingButtonTitle");
        request.message = PrefsWidgets::text("OrchardCouleIDPassErr");
        request.buttons = {PrefsWidgets::text("OK")};
        request.parent = window();
        KCAlerts().show(request);
        return;
    }
    case AccountLinking::Press::Link: {
        if (!mContext.session)
            return;
        const qint32 tid = mService == AccountLinking::Service::Orchard
                               ? mContext.session->setOrchardInterlock(mIDField->text(), mPasswordField->text())
                               : mContext.session->setVelaInterlock(mIDField->text(), mPasswordField->text());
        mLinking.linkRequested(mService, tid);
        return;
    }
    case AccountLinking::Press::AskUnlink: {
        KCAlertRequest request;
        request.key = unlinkMessageKey();
        request.title = PrefsWidgets::text("Preferences");
        request.message = KCLocalizedString(unlinkMessageKey());
        request.buttons = {PrefsWidgets::text("OK"), PrefsWidgets::text("Cancel")};
        request.parent = window();
        if (KCAlerts().ask(request).button != 0 || !mContext.session)
            return;
        const qint32 tid = mService == AccountLinking::Service::Orchard ? mContext.session->resetOrchardInterlock()
                                                                        : mContext.session->resetVelaInterlock();
        mLinking.unlinkRequested(mService, tid);
        return;
    }
    }
}

void AccountLinkPane::errorReceived(const QVariantMap &userInfo)
{
    const QVariantMap error = userInfo.value(QStringLiteral("errorInfo")).toMap();
    const QString key = mLinking.errorReceived(error.value(QStringLiteral("tid")).toString(),
                                               error.value(QStringLiteral("errorCode")).toString());
    if (!key.isEmpty())
        alert(key);
}

QGridLayout *AccountLinkPane::layOutAccountBox(QGroupBox *box, QLabel *idTitle, QLabel *passwordTitle,
                                              QPushButton *findIDButton)
{
    mIDField->setParent(box);
    mPasswordField->setParent(box);
    mCouplingButton->setParent(box);
    idTitle->setBuddy(mIDField);
    passwordTitle->setBuddy(mPasswordField);

    auto *grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    grid->addWidget(idTitle, 0, 0, Qt::AlignRight);
    grid->addWidget(mIDField, 0, 1);
    grid->addWidget(mCouplingButton, 0, 2);
    grid->addWidget(passwordTitle, 1, 0, Qt::AlignRight);
    grid->addWidget(mPasswordField, 1, 1);
    grid->addWidget(findIDButton, 1, 2);
    return grid;
}

void AccountLinkPane::showLinked(const QString &id)
{
    mIDField->setText(id);
    mIDField->setReadOnly(true);
    mPasswordField->clear();
    mPasswordField->setReadOnly(true);
    mPasswordField->setPlaceholderText(PrefsWidgets::text("PasswordIsNotsave"));
    mCouplingButton->setText(PrefsWidgets::text("CouplingButtonOffTitle"));
}

void AccountLinkPane::showUnlinked()
{
    mIDField->clear();
    mIDField->setReadOnly(false);
    mPasswordField->clear();
    mPasswordField->setReadOnly(false);
    mPasswordField->setPlaceholderText(QString());
    mCouplingButton->setText(PrefsWidgets::text("CouplingButtonTitle"));
}

void AccountLinkPane::alert(const QString &messageKey)
{
    KCAlertRequest request;
    request.key = messageKey;
    request.title = PrefsWidgets::text("Preferences");
    request.message = KCLocalizedString(messageKey);
    request.buttons = {PrefsWidgets::text("OK")};
    request.parent = window();
    KCAlerts().show(request);
}

} // namespace parley
