#pragma once

// The login view of the main window: three pages.
//   0 the form: ID, mail domain, password, sign in appearing offline,
//     auto-login, sign in, find ID and join;
//   1 signing in: the ID, a spinner and Cancel;
//   2 after a sign-out: the ID, sign in again and sign in with another ID.
// A thin view: the application controller fills and reads the controls.

#include <QList>
#include <QWidget>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QShortcut;
class QStackedWidget;

namespace parley::shell {

class LoginView : public QWidget
{
    Q_OBJECT

public:
    enum Tab { FormTab = 0, SigningInTab = 1, SignedOutTab = 2 };

    explicit LoginView(QWidget *parent = nullptr);

    void selectTab(Tab tab);
    Tab selectedTab() const;

    // With the Korean interface the domain is chosen from the combo box,
    // otherwise typed into a text field.
    void setUsesDomainMenu(bool menu);
    bool usesDomainMenu() const { return mUsesDomainMenu; }
    // The chosen or typed domain.
    QString domain() const;

    // The texts of the interface language.
    void retranslate();

    // The spinner runs on the signing-in page.
    void setSpinning(bool spinning);
    bool isSpinning() const;

    // Tab 0.
    QLabel *titleLabel;
    QLabel *idMsgField;
    QLineEdit *idField;
    QLabel *atLabel;
    QComboBox *domainComboButton;
    QLineEdit *domainNameField;
    QLabel *passwordMsgField;
    QLineEdit *passwordField;
    QAbstractButton *loginAsInvisible; // check boxes
    QAbstractButton *autoLoginButton;
    QPushButton *loginButton;
    QAbstractButton *findIDButton;     // links
    QAbstractButton *signUpButton;
    // Tab 1.
    QLabel *currentIDField;
    QProgressBar *progressIndicator;
    QPushButton *loginCancelButton;
    // Tab 2.
    QLabel *currentIDField2;
    QPushButton *loginAgainButton;
    QPushButton *loginDiffIDButton;

private:
    QStackedWidget *mTabs;
    // Return and Enter on the signed-out page: sign in again, the page's default.
    QList<QShortcut *> mSignInAgainKeys;
    bool mUsesDomainMenu = true;
};

} // namespace parley::shell
