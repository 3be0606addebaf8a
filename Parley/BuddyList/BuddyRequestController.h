#pragma once

// The window of one buddy request from another user: who asks and the
// message they wrote (plain text), the group to put them in, Accept, Reject,
// Cancel (no answer), and the asker's profile page. The shell keeps one per
// asker, made by installFactory()'s factory.

#include "Shell/ShellWindows.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace parley {

class BuddySession;

class BuddyRequestWindow : public QDialog
{
    Q_OBJECT

public:
    BuddyRequestWindow(BuddySession &session, const QString &fromID, const QString &fromCMN,
                       const QString &requestMessage, QWidget *parent = nullptr);

    void buddyAcceptAction();
    void buddyRejectAction();
    void buddyCancelAction();
    void buddyProfileAction();
    // Fills the group pop-up in the buddy store's own order.
    void reloadGroups();

    QLabel *mainMessage() const { return mMainMessage; }
    QPlainTextEdit *requestMessageView() const { return mRequestMessageView; }
    QComboBox *groupSelectButton() const { return mGroupSelectButton; }
    QPushButton *acceptButton() const { return mAcceptButton; }
    QPushButton *rejectButton() const { return mRejectButton; }
    QPushButton *cancelButton() const { return mCancelButton; }
    QPushButton *profileButton() const { return mProfileButton; }

private:
    BuddySession &mSession;
    QString mFromID;
    QString mFromCMN;
    QLabel *mMainMessage;
    QLabel *mRequestMessageTitle;
    QPlainTextEdit *mRequestMessageView;
    QLabel *mGroupAddTitle1;
    QLabel *mGroupAddTitle2;
    QComboBox *mGroupSelectButton;
    QPushButton *mProfileButton;
    QPushButton *mAcceptButton;
    QPushButton *mRejectButton;
    QPushButton *mCancelButton;
};

class BuddyRequestController final : public shell::BuddyRequestController
{
public:
    explicit BuddyRequestController(BuddySession &session) : mSession(session) {}
    ~BuddyRequestController() override;

    void showBuddyRequestWindow(const QString &requesterID, const QString &fromCMN,
                                const QString &requestMessage) override;
    void close() override;
    void setClosedHandler(std::function<void()> handler) override { mClosed = std::move(handler); }

    BuddyRequestWindow *window() const { return mWindow; }

    // Makes the shell open these windows (on the application's session).
    static void installFactory();
    static void uninstallFactory();

private:
    BuddySession &mSession;
    QPointer<BuddyRequestWindow> mWindow;
    std::function<void()> mClosed;
    QMetaObject::Connection mClosedConnection;
};

} // namespace parley
