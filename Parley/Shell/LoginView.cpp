#include "LoginView.h"

#include "KCButton.h"
#include "KCLinkButton.h"
#include "Utils/KCUtilities.h"

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace parley::shell {

namespace {

// A link without a key of its own: Return in the form signs in.
QAbstractButton *linkButton(QWidget *parent)
{
    auto *button = new KCLinkButton(parent);
    for (QShortcut *key : button->findChildren<QShortcut *>())
        key->setEnabled(false);
    return button;
}

QAbstractButton *checkBox(QWidget *parent)
{
    auto *box = new KCButton(parent);
    box->setCheckable(true);
    return box;
}

QLabel *idLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

LoginView::LoginView(QWidget *parent) : QWidget(parent), mTabs(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("LoginView"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(mTabs);

    // Tab 0: the form.
    auto *form = new QWidget(mTabs);
    auto *formLayout = new QVBoxLayout(form);
    formLayout->setContentsMargins(18, 24, 18, 18);
    titleLabel = new QLabel(form);
    titleLabel->setAlignment(Qt::AlignCenter);
    QFont titleFont = titleLabel->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);
    formLayout->addWidget(titleLabel);
    formLayout->addSpacing(24);

    idMsgField = new QLabel(form);
    formLayout->addWidget(idMsgField);
    auto *idRow = new QHBoxLayout;
    idField = new QLineEdit(form);
    idField->setObjectName(QStringLiteral("idField"));
    atLabel = new QLabel(QStringLiteral("@"), form);
    domainComboButton = new QComboBox(form);
    domainComboButton->setObjectName(QStringLiteral("domainComboButton"));
    domainComboButton->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    domainNameField = new QLineEdit(form);
    domainNameField->setObjectName(QStringLiteral("domainNameField"));
    idRow->addWidget(idField, 3);
    idRow->addWidget(atLabel);
    idRow->addWidget(domainComboButton, 4);
    idRow->addWidget(domainNameField, 4);
    formLayout->addLayout(idRow);
    formLayout->addSpacing(6);

    passwordMsgField = new QLabel(form);
    formLayout->addWidget(passwordMsgField);
    passwordField = new QLineEdit(form);
    passwordField->setObjectName(QStringLiteral("passwordField"));
    passwordField->setEchoMode(QLineEdit::Password);
    formLayout->addWidget(passwordField);
    formLayout->addSpacing(6);

    loginAsInvisible = checkBox(form);
    loginAsInvisible->setObjectName(QStringLiteral("loginAsInvisible"));
    autoLoginButton = checkBox(form);
    autoLoginButton->setObjectName(QStringLiteral("autoLoginButton"));
    formLayout->addWidget(loginAsInvisible);
    formLayout->addWidget(autoLoginButton);
    formLayout->addSpacing(10);

    loginButton = new KCButton(form);
    loginButton->setObjectName(QStringLiteral("loginButton"));
    formLayout->addWidget(loginButton);
    formLayout->addStretch(1);

    auto *links = new QHBoxLayout;
    findIDButton = linkButton(form);
    signUpButton = linkButton(form);
    links->setSpacing(18);
    links->addStretch(1);
    links->addWidget(findIDButton);
    links->addWidget(signUpButton);
    links->addStretch(1);
    formLayout->addLayout(links);
    mTabs->addWidget(form);

    // Tab 1: signing in.
    auto *signing = new QWidget(mTabs);
    auto *signingLayout = new QVBoxLayout(signing);
    signingLayout->setContentsMargins(18, 24, 18, 18);
    signingLayout->addStretch(2);
    currentIDField = idLabel(signing);
    signingLayout->addWidget(currentIDField);
    signingLayout->addSpacing(12);
    progressIndicator = new QProgressBar(signing);
    progressIndicator->setTextVisible(false);
    progressIndicator->setRange(0, 1);
    progressIndicator->setMaximumHeight(10);
    signingLayout->addWidget(progressIndicator);
    signingLayout->addSpacing(12);
    loginCancelButton = new KCButton(signing);
    loginCancelButton->setObjectName(QStringLiteral("loginCancelButton"));
    signingLayout->addWidget(loginCancelButton, 0, Qt::AlignHCenter);
    signingLayout->addStretch(3);
    mTabs->addWidget(signing);

    // Tab 2: signed out.
    auto *signedOut = new QWidget(mTabs);
    auto *signedOutLayout = new QVBoxLayout(signedOut);
    signedOutLayout->setContentsMargins(18, 24, 18, 18);
    signedOutLayout->addStretch(2);
    currentIDField2 = idLabel(signedOut);
    signedOutLayout->addWidget(currentIDField2);
    signedOutLayout->addSpacing(12);
    loginAgainButton = new KCButton(signedOut);
    loginAgainButton->setObjectName(QStringLiteral("loginAgainButton"));
    loginDiffIDButton = new KCButton(signedOut);
    loginDiffIDButton->setObjectName(QStringLiteral("loginDiffIDButton"));
    signedOutLayout->addWidget(loginAgainButton);
    signedOutLayout->addWidget(loginDiffIDButton);
    signedOutLayout->addStretch(3);
    mTabs->addWidget(signedOut);
    loginAgainButton->setDefault(true);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *shortcut = new QShortcut(QKeySequence(key), signedOut);
        shortcut->setEnabled(false);
        connect(shortcut, &QShortcut::activated, loginAgainButton, &QPushButton::click);
        mSignInAgainKeys.append(shortcut);
    }

    setUsesDomainMenu(true);
    retranslate();
}

void LoginView::retranslate()
{
    const auto text = [](const char *key) { return parley::KCLocalizedString(QLatin1String(key)); };
    titleLabel->setText(text("ParleyTitle"));
    idMsgField->setText(text("ID"));
    passwordMsgField->setText(text("Password"));
    loginAsInvisible->setText(text("SignAsInvisible"));
    autoLoginButton->setText(text("AutoLogin"));
    loginButton->setText(text("Login"));
    loginAgainButton->setText(text("Login"));
    findIDButton->setText(text("FindID"));
    signUpButton->setText(text("Join"));
    loginCancelButton->setText(text("Cancel"));
    loginDiffIDButton->setText(text("LoginWithAnotherID"));
}

void LoginView::selectTab(Tab tab)
{
    mTabs->setCurrentIndex(int(tab));
    for (QShortcut *key : std::as_const(mSignInAgainKeys))
        key->setEnabled(tab == SignedOutTab);
    // The focus leaves the hidden form, whose fields would take Return and typing.
    if (tab == SignedOutTab)
        loginAgainButton->setFocus();
}

LoginView::Tab LoginView::selectedTab() const { return Tab(mTabs->currentIndex()); }

void LoginView::setUsesDomainMenu(bool menu)
{
    mUsesDomainMenu = menu;
    domainComboButton->setVisible(menu);
    domainNameField->setVisible(!menu);
}

QString LoginView::domain() const
{
    return mUsesDomainMenu ? domainComboButton->currentText() : domainNameField->text();
}

void LoginView::setSpinning(bool spinning)
{
    // A busy bar animates on its own while the range is empty.
    progressIndicator->setRange(0, spinning ? 0 : 1);
}

bool LoginView::isSpinning() const { return progressIndicator->maximum() == 0; }

} // namespace parley::shell
