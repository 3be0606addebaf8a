#pragma once

// What the two linking panes share: the other service's ID and password,
// the link button (link when unlinked, unlink after a question when linked)
// and the handling of the server's answer. The window routes the profile-
// change results and the error replies to the pane it shows.

#include "AccountLinking.h"
#include "PrefsPane.h"

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace parley {

class AccountLinkPane : public PrefsPane
{
    Q_OBJECT
public:
    AccountLinkPane(PrefsContext &context, AccountLinking &linking, AccountLinking::Service service,
                    QWidget *parent = nullptr);

    // The link button.
    void coupleAction();
    // "ParleyCPRFResultReceived" and "ParleyErrorCodeReceived".
    virtual void cprfResult(const QVariantMap &userInfo) = 0;
    void errorReceived(const QVariantMap &userInfo);

    QLineEdit *idField() const { return mIDField; }
    QLineEdit *passwordField() const { return mPasswordField; }
    QPushButton *couplingButton() const { return mCouplingButton; }

protected:
    // Whether the account is linked now, as the stores say.
    virtual bool isLinked() const = 0;
    // The unlink question's text key.
    virtual QString unlinkMessageKey() const = 0;

    // Moves the ID and password fields and the link button into the pane's
    // account box and lays out its first two rows: the titles, the fields
    // and, on the right, the link button and the pane's find-ID button. The
    // pane adds its own rows to the grid it returns.
    QGridLayout *layOutAccountBox(QGroupBox *box, QLabel *idTitle, QLabel *passwordTitle, QPushButton *findIDButton);

    // The fields and the button of a linked account (the ID shown, the
    // password not kept) and of an unlinked one.
    void showLinked(const QString &id);
    void showUnlinked();
    // An informational alert titled "Preferences" with one button.
    void alert(const QString &messageKey);

    AccountLinking &mLinking;
    AccountLinking::Service mService;
    QLineEdit *mIDField;
    QLineEdit *mPasswordField;
    QPushButton *mCouplingButton;
};

} // namespace parley
