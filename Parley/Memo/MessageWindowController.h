#pragma once

// The window in which the user writes one memo: the receivers field (with
// the buddy picker and buddies dropped from the list), the text with
// emoticons and a text colour, the counter of used bytes against the limit,
// and for replies and forwards a lower pane with the related memos of the
// thread. Send hands a note to the session and closes the window when the
// session takes it; the memo is then filed in the message box's outbox.

#include "Conversation/EmoticonController.h"
#include "Model/RelatedMemoThread.h"

#include <QColor>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSplitter;
class QTextBrowser;
class QToolButton;

namespace parley {

class MessageWindowManager;
class PrefsEmoticonTextEdit;

class MessageWindowController : public QWidget, public EmoticonPaletteDelegate
{
    Q_OBJECT
public:
    explicit MessageWindowController(MessageWindowManager &manager, QWidget *parent = nullptr);
    ~MessageWindowController() override;

    void setTargetIDs(const QStringList &ids);
    const QStringList &targetIDs() const { return mTargetIDs; }
    // The receivers field's IDs, in field order, each once.
    QStringList tokenizeTargetIDs() const;
    void setInitializeMessage(const QString &message);
    void setCookie(const QString &cookie);
    QString cookie() const { return mThread.cookie(); }
    void setRefUUID(const QString &uuid) { mRefUUID = uuid; }
    void setEvent(const QString &event) { mEvent = event; }
    void setServerHasRelMemos(bool flag);
    void setEnableRefMessage(bool flag);
    void setRelMemo(const RelatedMemoEntry &entry) { mThread.addLocalEntry(entry); }
    // One related-memo answer of the server.
    void setRelMemos(const QString &reply);

    // The actions.
    void inviteAction();
    void sendAction();
    void rewriteAction();
    void showEmoticonPaletteAction();
    void showColorPanelAction();
    void fontColorChanged(const QColor &color);
    void showRefMessagesAction();
    void fadeAction(double alpha);

    // The text with every emoticon as its token.
    QString textForm() const;
    QString fontStringForColorWell() const;
    bool isRelatedPaneShown() const { return !mIsViewRefMsgs; }

    // Parts for tests and screenshots.
    QLineEdit *receiversField() const { return mReceivers; }
    PrefsEmoticonTextEdit *messageText() const { return mMessageText; }
    QTextBrowser *refMessagesText() const { return mRefMessagesText; }
    QLabel *usedBytesField() const { return mUsedBytes; }
    QPushButton *sendButton() const { return mSendButton; }
    QPushButton *rewriteButton() const { return mRewriteButton; }
    QPushButton *refButton() const { return mRefButton; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *view, const QString &token) override;
    void textDidChange();
    void updateUsedBytes();
    void maxStringChange();
    void overflow(const QString &textForm);
    void putText(const QString &text);
    void showRefMessage();
    void hideRefMessage();
    void follow(const RelatedMemoThread::Step &step);
    void alert(const char *key, const char *titleKey, const QString &message = {});

    MessageWindowManager &mManager;
    QLabel *mUsedBytes;
    QLineEdit *mReceivers;
    PrefsEmoticonTextEdit *mMessageText;
    QPushButton *mReceiverButton;
    QPushButton *mSendButton;
    QPushButton *mRewriteButton;
    QToolButton *mEmoticonButton;
    QToolButton *mFontButton;
    QPushButton *mRefButton;
    QSlider *mFade;
    QTextBrowser *mRefMessagesText;
    QSplitter *mRefSplitView;

    QStringList mTargetIDs;
    QString mMaxString;
    QColor mColor;
    QString mRefUUID;
    QString mEvent;
    bool mIsViewRefMsgs = true;
    bool mClosed = false;
    RelatedMemoThread mThread{RelatedMemoThread::Side::Compose};
};

} // namespace parley
