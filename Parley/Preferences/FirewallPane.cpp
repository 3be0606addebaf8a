#include "FirewallPane.h"

#include "FirewallSettings.h"
#include "PrefsWidgets.h"
#include "SystemProxyImport.h"
#include "UserDefaults.h"
#include "Utils/PrefsManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace parley {

FirewallPane::FirewallPane(PrefsContext &context, QWidget *parent) : PrefsPane(context, parent)
{
    mFirewallTitle = PrefsWidgets::titleLabel(this);
    mFirewallTitleMsg = PrefsWidgets::guideLabel(this);
    mNetworkMsg = PrefsWidgets::titleLabel(this);
    mUseProxyButton = new QCheckBox(this);
    mProxykModeMsg = new QLabel(this);
    mProxykModePopupButton = new QComboBox(this);
    mImportProxyValueButton = new QPushButton(this);
    mProxyServerMsg = new QLabel(this);
    mProxyServer = new QLineEdit(this);
    mProxyPortMsg = new QLabel(this);
    mProxyPort = new QLineEdit(this);
    mProxyPort->setMaximumWidth(80);
    mProxyUserMsg = new QLabel(this);
    mProxyUser = new QLineEdit(this);
    mProxyPasswordMsg = new QLabel(this);
    mProxyPassword = new QLineEdit(this);
    mProxyPassword->setEchoMode(QLineEdit::Password);
    mP2PTitleMsg = PrefsWidgets::titleLabel(this);
    mP2PPortFieldMsg = new QLabel(this);
    mP2PPortField = new QLineEdit(this);
    mP2PPortField->setMaximumWidth(80);
    mP2PGuide = PrefsWidgets::guideLabel(this);
    for (QLabel *label : {mProxykModeMsg, mProxyServerMsg, mProxyPortMsg, mProxyUserMsg, mProxyPasswordMsg,
                          mP2PPortFieldMsg})
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    mProxyServerMsg->setBuddy(mProxyServer);
    mProxyPortMsg->setBuddy(mProxyPort);
    mProxyUserMsg->setBuddy(mProxyUser);
    mProxyPasswordMsg->setBuddy(mProxyPassword);
    mP2PPortFieldMsg->setBuddy(mP2PPortField);

    auto *proxy = new QGridLayout;
    proxy->setColumnStretch(1, 1);
    proxy->addWidget(mProxykModeMsg, 0, 0);
    auto *kindRow = new QHBoxLayout;
    kindRow->addWidget(mProxykModePopupButton);
    kindRow->addStretch(1);
    kindRow->addWidget(mImportProxyValueButton);
    proxy->addLayout(kindRow, 0, 1);
    proxy->addWidget(mProxyServerMsg, 1, 0);
    auto *serverRow = new QHBoxLayout;
    serverRow->addWidget(mProxyServer, 1);
    serverRow->addWidget(mProxyPortMsg);
    serverRow->addWidget(mProxyPort);
    proxy->addLayout(serverRow, 1, 1);
    proxy->addWidget(mProxyUserMsg, 2, 0);
    proxy->addWidget(mProxyUser, 2, 1);
    proxy->addWidget(mProxyPasswordMsg, 3, 0);
    proxy->addWidget(mProxyPassword, 3, 1);
    auto *p2pRow = new QHBoxLayout;
    p2pRow->addWidget(mP2PPortFieldMsg);
    p2pRow->addWidget(mP2PPortField);
    p2pRow->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(mFirewallTitle);
    layout->addWidget(mFirewallTitleMsg);
    layout->addWidget(mNetworkMsg);
    layout->addWidget(mUseProxyButton);
    layout->addLayout(proxy);
    layout->addSpacing(8);
    layout->addWidget(mP2PTitleMsg);
    layout->addLayout(p2pRow);
    layout->addWidget(mP2PGuide);
    layout->addStretch(1);

    connect(mUseProxyButton, &QCheckBox::clicked, this, &FirewallPane::toggleProxySetting);
    connect(mProxykModePopupButton, &QComboBox::activated, this, [this](int index) {
        selectProxyMode(mProxykModePopupButton->itemData(index).toInt());
        checkProxyValue();
    });
    connect(mImportProxyValueButton, &QPushButton::clicked, this, &FirewallPane::importProxyValue);
}

void FirewallPane::read()
{
    mFirewallTitle->setText(PrefsWidgets::text("Firewall"));
    mFirewallTitleMsg->setText(PrefsWidgets::text("FirewallTitleMsg"));
    mNetworkMsg->setText(PrefsWidgets::text("NetworkMsg"));
    mUseProxyButton->setText(PrefsWidgets::text("ProxykModeMsg"));
    mProxykModeMsg->setText(PrefsWidgets::text("ProxyModeMsg"));
    mImportProxyValueButton->setText(PrefsWidgets::text("ImportProxyValue"));
    mProxyServerMsg->setText(PrefsWidgets::text("ProxyServerMsg"));
    mProxyPortMsg->setText(PrefsWidgets::text("ProxyPortMsg"));
    mProxyUserMsg->setText(PrefsWidgets::text("ProxyUserMsg"));
    mProxyPasswordMsg->setText(PrefsWidgets::text("ProxyPasswordMsg"));
    mP2PTitleMsg->setText(PrefsWidgets::text("P2PTitleMsg"));
    mP2PPortFieldMsg->setText(PrefsWidgets::text("P2PPortFieldMsg"));
    mP2PGuide->setText(PrefsWidgets::text("P2PGuide"));

    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    mUseProxyButton->setChecked(defaults.boolForKey(QStringLiteral("UseProxy")));
    toggleProxySetting();

    mProxykModePopupButton->clear();
    const char *const kinds[] = {"HTTPPROXY", "SOCKS4", "SOCKS5"};
    for (int tag = 1; tag <= 3; ++tag)
        mProxykModePopupButton->addItem(PrefsWidgets::text(kinds[tag - 1]), tag);
    const int kind = PrefsManager::firewall_ProxyMode();
    mProxykModePopupButton->setCurrentIndex(kind - 1);

    mProxyServer->setText(defaults.stringForKey(QStringLiteral("ProxyServer")));
    mProxyUser->setText(defaults.stringForKey(QStringLiteral("ProxyUser")));
    mProxyPassword->setText(defaults.stringForKey(QStringLiteral("ProxyPassword")));
    mP2PPortField->setText(defaults.stringForKey(QStringLiteral("P2PPort")));
    mImportProxyValueButton->setVisible(false);
    mProxyServer->setReadOnly(false);
    mProxyPort->setReadOnly(false);
    mProxyPort->setText(QString::number(PrefsManager::firewall_ProxyPort(kind)));
    if (kind == 2) {
        mProxyUser->setReadOnly(true);
        mProxyPassword->setReadOnly(true);
    } else if (kind == 1 || kind == 3) {
        mProxyUser->setReadOnly(false);
        mProxyPassword->setReadOnly(false);
    }
    checkProxyValue();
}

void FirewallPane::save()
{
    FirewallForm form;
    form.useProxy = mUseProxyButton->isChecked();
    form.kind = selectedKind();
    form.server = mProxyServer->text();
    form.port = mProxyPort->text();
    form.user = mProxyUser->text();
    form.password = mProxyPassword->text();
    form.p2pPort = mP2PPortField->text();
    const QVariantMap values = FirewallSettings::valuesToSave(form);
    mUseProxyButton->setChecked(values.value(QStringLiteral("UseProxy")).toBool());
    UserDefaults::standardUserDefaults().setObjects(values);
}

int FirewallPane::selectedKind() const { return mProxykModePopupButton->currentData().toInt(); }

void FirewallPane::setFieldsEditable(bool editable)
{
    for (QLineEdit *field : {mProxyServer, mProxyPort, mProxyUser, mProxyPassword})
        field->setReadOnly(!editable);
}

void FirewallPane::toggleProxySetting()
{
    const bool on = mUseProxyButton->isChecked();
    for (QWidget *control : {static_cast<QWidget *>(mProxykModePopupButton), static_cast<QWidget *>(mProxyServer),
                             static_cast<QWidget *>(mProxyPort), static_cast<QWidget *>(mProxyUser),
                             static_cast<QWidget *>(mProxyPassword), static_cast<QWidget *>(mImportProxyValueButton)})
        control->setEnabled(on);
    setFieldsEditable(on);
    if (on && selectedKind() == 2) {
        mProxyUser->setReadOnly(true);
        mProxyPassword->setReadOnly(true);
    }
}

void FirewallPane::selectProxyMode(int kind)
{
    if (kind < 1 || kind > 3)
        return;
    if (!FirewallSettings::takesCredentials(kind)) {
        mProxyUser->setReadOnly(true);
        mProxyPassword->setReadOnly(true);
        mProxyUser->clear();
        mProxyPassword->clear();
    } else {
        mProxyUser->setReadOnly(false);
        mProxyPassword->setReadOnly(false);
    }
    mProxyPort->setText(UserDefaults::standardUserDefaults().stringForKey(FirewallSettings::portKey(kind)));
}

void FirewallPane::checkProxyValue()
{
    const int kind = selectedKind();
    if (kind == 2) {
        mProxyServer->setReadOnly(false);
        mProxyPort->setReadOnly(false);
        mProxyUser->setReadOnly(true);
        mProxyPassword->setReadOnly(true);
        mImportProxyValueButton->setVisible(false);
    } else if (kind == 3) {
        setFieldsEditable(true);
        mImportProxyValueButton->setVisible(false);
    } else {
        // Only an HTTP proxy can be taken from the system's settings.
        mImportProxyValueButton->setVisible(true);
    }
}

void FirewallPane::importProxyValue()
{
    if (mImporting)
        return;
    mImporting = true;
    mImportProxyValueButton->setEnabled(false);
    SystemProxyImport::start(this, [this](std::optional<ImportedProxy> proxy) {
        mImporting = false;
        mImportProxyValueButton->setEnabled(mUseProxyButton->isChecked());
        if (!proxy)
            return;
        mProxyServer->setText(proxy->host);
        mProxyPort->setText(QString::number(proxy->port));
    });
}

} // namespace parley
