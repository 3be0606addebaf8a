#pragma once

// The Firewall pane: the proxy through which the messenger reaches its
// servers and the local port it offers for peer-to-peer transfers. All its
// values are global, editable while signed out too; the shell applies them
// when the window has saved.

#include "PrefsPane.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace parley {

class FirewallPane : public PrefsPane
{
    Q_OBJECT
public:
    explicit FirewallPane(PrefsContext &context, QWidget *parent = nullptr);

    void read() override;
    void save() override;

    // The use-proxy box enables or disables the proxy controls.
    void toggleProxySetting();
    // A kind chosen in the pop-up (by its tag 1 to 3).
    void selectProxyMode(int kind);
    // Which fields the chosen kind lets the user edit, and the import button.
    void checkProxyValue();
    // Fills server and port from the system's HTTP proxy (asked on a worker thread).
    void importProxyValue();

    QCheckBox *useProxyButton() const { return mUseProxyButton; }
    QComboBox *proxyModePopup() const { return mProxykModePopupButton; }
    QPushButton *importButton() const { return mImportProxyValueButton; }
    QLineEdit *serverField() const { return mProxyServer; }
    QLineEdit *portField() const { return mProxyPort; }
    QLineEdit *userField() const { return mProxyUser; }
    QLineEdit *passwordField() const { return mProxyPassword; }
    QLineEdit *p2pPortField() const { return mP2PPortField; }
    // Whether an import is running (tests wait for it).
    bool isImporting() const { return mImporting; }

private:
    int selectedKind() const;
    void setFieldsEditable(bool editable);

    bool mImporting = false;
    QLabel *mFirewallTitle;
    QLabel *mFirewallTitleMsg;
    QLabel *mNetworkMsg;
    QCheckBox *mUseProxyButton;
    QLabel *mProxykModeMsg;
    QComboBox *mProxykModePopupButton;
    QPushButton *mImportProxyValueButton;
    QLabel *mProxyServerMsg;
    QLineEdit *mProxyServer;
    QLabel *mProxyPortMsg;
    QLineEdit *mProxyPort;
    QLabel *mProxyUserMsg;
    QLineEdit *mProxyUser;
    QLabel *mProxyPasswordMsg;
    QLineEdit *mProxyPassword;
    QLabel *mP2PTitleMsg;
    QLabel *mP2PPortFieldMsg;
    QLineEdit *mP2PPortField;
    QLabel *mP2PGuide;
};

} // namespace parley
