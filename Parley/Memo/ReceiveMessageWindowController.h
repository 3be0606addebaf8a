#pragma once

// The window that shows one received memo: sender with date, receivers, the
// text in the transcript view, and on request the thread of related memos
// fetched from the server. Reply, reply to all and forward each open a
// compose window through the manager and close this one.

#include "Conversation/KCWebViewDataSource.h"
#include "Model/RelatedMemoThread.h"

#include <QVariantMap>
#include <QWidget>

class KCWebView;
class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QSplitter;
class QTextBrowser;
class QToolButton;
class ReceivedMemo;

namespace parley {

class MessageWindowManager;

class ReceiveMessageWindowController : public QWidget, public KCWebViewDataSource
{
    Q_OBJECT
public:
    explicit ReceiveMessageWindowController(MessageWindowManager &manager, QWidget *parent = nullptr);
    ~ReceiveMessageWindowController() override;

    void setInfo(const QVariantMap &info);
    const QVariantMap &info() const { return mInfoDict; }
    QString cookie() const;
    void setRelMemos(const QString &reply);

    void replyAction();
    void replyToAllAction();
    void forwardingAction();
    void closeAction() { close(); }
    void showRefMessagesAction();
    void showMessageOptionAction();
    void setMemoAlertAction();
    void fadeAction(double alpha);
    void setEnableRefMessage(bool flag);

    bool isReceiverTextTruncated() const;
    bool isRelatedPaneShown() const { return !mIsViewRefMsgs; }

    // Parts for tests and screenshots.
    QLabel *senderText() const { return mSenderText; }
    QLabel *receiverText() const { return mReceiverText; }
    KCWebView *messageText() const { return mMessageText; }
    QTextBrowser *refMessagesText() const { return mRefMessagesText; }
    QPushButton *refButton() const { return mRefButton; }
    QCheckBox *showMessageOptionButton() const { return mShowMessageOptionButton; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void requestWebUrlOpen(KCWebView *view, const QUrl &url) override;
    QString bridgePageUrl(KCWebView *view) override;
    void answer(const char *event, const QStringList &targets, const QString &message);
    void follow(const RelatedMemoThread::Step &step);
    void applyReceiverToolTip();

    MessageWindowManager &mManager;
    QToolButton *mEmoticonButton;
    QLabel *mSenderTitle;
    QLabel *mSenderText;
    QLabel *mReceiverTitle;
    QLabel *mReceiverText;
    KCWebView *mMessageText;
    QTextBrowser *mRefMessagesText;
    QSplitter *mRefSplitView;
    QCheckBox *mShowMessageOptionButton;
    QPushButton *mPrefButton;
    QPushButton *mRefButton;
    QPushButton *mReplyButton;
    QPushButton *mReplyToAllButton;
    QPushButton *mForwardingButton;
    QPushButton *mCloseButton;
    QSlider *mFade;

    QVariantMap mInfoDict;
    QString mReceiverFullText;
    bool mIsViewRefMsgs = true;
    bool mClosed = false;
    RelatedMemoThread mThread{RelatedMemoThread::Side::Read};
};

} // namespace parley
