// The messenger's shell: the login window (its form and the signing-in
// page), the buddy view, the About box and the certificate alert with the
// server's chain.
#include "Shell/AboutBox.h"
#include "Shell/BuddyView.h"
#include "Shell/CertificateChainDialog.h"
#include "Shell/KCCertAlertWindow.h"
#include "Shell/LoginView.h"
#include "Shell/MainWindow.h"
#include "ScreenshotScenes.h"
#include "Utils/KCUtilities.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace parley::screenshots {

namespace {

using parley::shell::MainWindow;

// A certificate of our own making, as a test server would present it.
const char kServerCertificate[] =
    "MIICTDCCAbWgAwIBAgIUIWr3/wJyzy3CH4501ZJwh8wiyUswDQYJKoZIhvcNAQELBQAwODEXMBUGA1UEAwwObnMucGFybGV5LnRlc3QxHTAbBgNVBAoMFFBhcmxleSBMb2NhbCBTZXJ2aWNlMB4XDTI2MTIxMTAyNTcyNloXDTM2MTIwODAyNTcyNlowODEXMBUGA1UEAwwObnMucGFybGV5LnRlc3QxHTAbBgNVBAoMFFBhcmxleSBMb2NhbCBTZXJ2aWNlMIGfMA0GCSqGSIb3DQEBAQUAA4GNADCBiQKBgQCm1cK8yX9Usrj2du8J1C7aPGuHVmYbfDDb6/VJnMxTvu6iqpjngZvtI0bYtY7Of1bLng5mOe4CVe8rPg3+jXv6XkvjNkqE7+hDqEi7fYetAHve68owngvly4xqCDt0fTB1WKx+eUolRu6JtlDOm4uMLjfJDtIG+LaqFF6yn0v1FwIDAQABo1MwUTAdBgNVHQ4EFgQUQwQqdOxCAjV8d3e+qpP633xO25kwHwYDVR0jBBgwFoAUQwQqdOxCAjV8d3e+qpP633xO25kwDwYDVR0TAQH/BAUwAwEB/zANBgkqhkiG9w0BAQsFAAOBgQBrsd/eqwWXTOL1uVkHak5/Ga01DVcldNToTCZe4IzaHATDtmi687vTDep7OIHhrrcxaeACUGh3T/Zu9pg0Ek1D/ZHrM+CH8EjtDRMQ4GNMtn3YF8ceD2nYLGcX9ejb6xyNjL/KVjIp7la0vzpkT+8VcDPvPtbjwZpQs8Q2SLPiEg==";

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

MainWindow *mainWindow()
{
    auto *window = new MainWindow;
    window->setWindowTitle(text("ParleyTitle"));
    shell::LoginView *login = window->loginView();
    login->setUsesDomainMenu(KCCurrentLanguage() == QLatin1String("ko"));
    login->domainComboButton->addItems(KCDefaultDomain());
    login->domainNameField->setText(QStringLiteral("parley.test"));
    login->idField->setText(QStringLiteral("alice"));
    login->passwordField->setText(QStringLiteral("alice-pw"));
    return window;
}

const bool loginForm = registerScene(QStringLiteral("shell-login"), [] { return mainWindow(); });

const bool signingIn = registerScene(QStringLiteral("shell-signing-in"), [] {
    MainWindow *window = mainWindow();
    shell::LoginView *login = window->loginView();
    login->currentIDField->setText(QStringLiteral("alice@parley.test"));
    login->setSpinning(true);
    login->selectTab(shell::LoginView::SigningInTab);
    return window;
});

const bool buddyView = registerScene(QStringLiteral("shell-buddy-view"), [] {
    MainWindow *window = mainWindow();
    shell::BuddyView *view = window->buddyView();
    view->buddyStatusField->setText(text("Online"));
    view->nickNameView->setText(sample(QStringLiteral("앨리"), QStringLiteral("Ally")));
    view->mailButton->setText(QStringLiteral("3"));
    view->memoButton->setText(QStringLiteral("1"));
    window->showBuddyView();
    return window;
});

const bool about = registerScene(QStringLiteral("shell-about"), [] {
    shell::AboutBox *box = shell::AboutBox::sharedBox();
    box->userField->setText(text("AboutUser").arg(sample(QStringLiteral("김앨리스"), QStringLiteral("Alice Kim"))));
    return box;
});

QByteArray serverCertificate() { return QByteArray::fromBase64(kServerCertificate); }

const bool certificateAlert = registerScene(QStringLiteral("shell-certificate-alert"), [] {
    auto *alert = new shell::KCCertAlertWindow;
    QDialog *window = alert->loadWindow(text("AlertCert"), {serverCertificate()}, 5);
    alert->setParent(window);
    return window;
});

const bool certificateChain = registerScene(QStringLiteral("shell-certificate-chain"), [] {
    return new shell::CertificateChainDialog({serverCertificate()}, nullptr);
});

} // namespace

} // namespace parley::screenshots
