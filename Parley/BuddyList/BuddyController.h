#pragma once

// The add-buddy window: the other user's ID and mail domain, a request
// message and the group to file the buddy in, a request button, and a result
// panel from which the user adds another buddy or closes. A second tab holds
// the search panel, labelled and filled but without a search of its own.
// One window at a time (defaultController()); closing it ends it.

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace parley {

class BuddySession;
class BuddyTabView;
struct Notification;

namespace shell {
class DomainSheet;
}

class BuddyController : public QDialog
{
    Q_OBJECT

public:
    // The open window, or a new one.
    static BuddyController *defaultController();
    // A window on a given session (tests); it deletes itself when closed.
    explicit BuddyController(BuddySession &session, QWidget *parent = nullptr);
    ~BuddyController() override;

    // The add panel, emptied (the message back at its default text).
    void showAddBuddyTab();
    void showSearchBuddyTab();
    // The result panel with that outcome.
    void showResultBuddyTab(const QString &message);

    void requestBuddyAction();
    void continueAction() { showAddBuddyTab(); }
    void closeAction() { close(); }
    void selectDomainAction();
    // Refills the domain and group pop-ups.
    void buildPopupButtonMenuItem();

    // Whether the domain is picked from the list (a Korean interface) or typed.
    bool usesDomainMenu() const { return mUsesDomainMenu; }
    // The full ID of the request waiting for its answer; null when none.
    const QString &pendingID() const { return mPendingID; }

    // Panels and controls, for the windows' tests and screenshots.
    QStackedWidget *displayView() const { return mDisplayView; }
    QWidget *addBuddyView() const { return mAddBuddyView; }
    QWidget *resultView() const { return mResultView; }
    QWidget *searchBuddyView() const { return mSearchBuddyView; }
    QLineEdit *idField() const { return mIDField; }
    QComboBox *emailPopupButton() const { return mEmailPopupButton; }
    QLineEdit *emailField() const { return mEmailField; }
    QPlainTextEdit *textView() const { return mTextView; }
    QComboBox *groupPopupButton() const { return mGroupPopupButton; }
    QPushButton *requestBuddyButton() const { return mRequestBuddyButton; }
    QLabel *resultMessage() const { return mResultMessage; }
    QPushButton *continueButton() const { return mContinueButton; }
    QPushButton *completeButton() const { return mCompleteButton; }
    shell::DomainSheet *domainSheet() const { return mDomainSheet; }

private:
    void buildAddPanel();
    void buildResultPanel();
    void buildSearchPanel();
    void domainSheetDidEnd(int code);
    void addBuddyResultReceived(const Notification &n);
    void errorCodeReceived(const Notification &n);
    QString defaultRequestMessage() const;

    static QPointer<BuddyController> sShared;

    BuddySession &mSession;
    bool mUsesDomainMenu;
    QString mPendingID;
    QList<quint64> mObservers;

    BuddyTabView *mTabBar;
    QStackedWidget *mDisplayView;
    QWidget *mAddBuddyView;
    QLabel *mSubject;
    QLabel *mIDMsgField;
    QLineEdit *mIDField;
    QComboBox *mEmailPopupButton;
    QLineEdit *mEmailField;
    QLabel *mRequestMsgField;
    QPlainTextEdit *mTextView;
    QLabel *mAddGroupMsgField;
    QComboBox *mGroupPopupButton;
    QCheckBox *mAddToAddressButton;
    QPushButton *mRequestBuddyButton;
    QPushButton *mCancelButton;
    QWidget *mResultView;
    QLabel *mResultTitle;
    QLabel *mResultMessage;
    QLabel *mContinueMessage;
    QPushButton *mCompleteButton;
    QPushButton *mContinueButton;
    QWidget *mSearchBuddyView;
    QComboBox *mGroup2PopupButton;
    QComboBox *mTypePopupButton;
    QComboBox *mEXPhonePopupButton;
    QTableWidget *mTableView;
    QPushButton *mRequestBuddy2Button;
    shell::DomainSheet *mDomainSheet;
};

} // namespace parley
