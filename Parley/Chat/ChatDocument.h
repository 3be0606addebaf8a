#pragma once

// One chat window: the conversation's decisions (ChatConversation) bound to
// the transcript, the chat input, the emoticon and animicon palettes, the
// selected buddy's header with the members' menu, the absence banner, the
// status line and the invite and file actions. It is the room's receiver at
// the chat-session manager and answers the conversation's questions with the
// real services (ChatRoomServices). ChatManager makes, keys and closes it.

#include "ChatConversation.h"
#include "ChatConversationView.h"
#include "ChatRoomServices.h"

#include "ChatManagement/PLChatMessageProtocol.h"
#include "Conversation/AnimiconController.h"
#include "Conversation/EmoticonController.h"
#include "Conversation/KCInputTextView.h"
#include "Conversation/KCWebViewDataSource.h"
#include "Shell/ShellWindows.h"

#include <QMainWindow>
#include <QPointer>

class KCEmoticonView;
class KCWebView;
class QLabel;
class QTextDocument;
class QToolButton;
class QAction;
class QMenu;
class QToolBar;

namespace parley {

class ChatManager;

class ChatDocument final : public QMainWindow,
                           public shell::ChatDocument,
                           public PLChatMessageProtocol,
                           private ChatConversationView,
                           private ChatRoomServices,
                           private KCInputTextViewDelegate,
                           private KCWebViewDataSource,
                           private EmoticonPaletteDelegate,
                           private AnimiconPaletteDelegate
{
    Q_OBJECT
public:
    explicit ChatDocument(ChatManager &manager);
    ~ChatDocument() override;

    ChatConversation &conversation() { return mConversation; }
    const ChatConversation &conversation() const { return mConversation; }
    const QString &sessionKey() const { return mConversation.sessionKey(); }
    void setSessionKey(const QString &key) { mConversation.setSessionKey(key); }
    QString getChatText() const { return mConversation.chatText(); }

    // shell::ChatDocument
    void showWindow() override;
    QWidget *window() override { return this; }
    bool isExistNewMessage() override { return mConversation.isExistNewMessage(); }
    // The window's "Save Chat" (its File menu, Ctrl+S) and the main window's.
    bool saveChatAction() override { return mConversation.saveChatMessages(); }
    int unviewedCount() override { return mConversation.unviewedCount(); }

    // PLChatMessageProtocol
    void messageReceived(const QVariantMap &info) override { mConversation.messageReceived(info); }
    void awayMessageReceived(const QVariantMap &info) override { mConversation.awayMessageReceived(info); }
    void typingInfoReceived(const QVariantMap &info) override { mConversation.typingInfoReceived(info); }
    void animiconReceived(const QVariantMap &) override {}
    void userInfoReceived(const QVariantMap &info) override { mConversation.userInfoReceived(info); }
    void userJoined(const QVariantMap &info) override { mConversation.userJoined(info); }
    void userQuited(const QVariantMap &info) override { mConversation.userQuited(info); }
    void ackAnimicon(const QVariantMap &info) override { mConversation.ackAnimicon(info); }
    void messagesUndelivered(const QVariantMap &info) override { mConversation.messagesUndelivered(info); }

    // The parts, for tests and screenshots.
    KCWebView *transcript() const { return mWebView; }
    KCInputTextView *input() const { return mMsgTextView; }
    QLabel *statusLine() const { return mStatusTextField; }
    KCEmoticonView *banner() const { return mAbsentMessageView; }
    // The members menu (more than one member), null otherwise.
    QMenu *membersMenu() const;
    KCEmoticonView *header() const { return mEmoticonView; }
    QAction *inviteAction() const { return mInviteAction; }
    QAction *sendFileAction() const { return mSendFileAction; }
    QAction *saveChatMenuAction() const { return mSaveChatAction; }
    QToolBar *toolbar() const { return mToolbar; }
    // The toolbar's context menu: each item shown or hidden, and how items show.
    QMenu *toolbarMenu();
    QToolButton *emoticonButton() const { return mEmoticonButton; }
    QToolButton *orchardButton() const { return mOrchardButton; }

    // The message text of a chat input: emoticon pictures as their tokens,
    // any other picture (an animicon) as `animiconMessage`.
    static QString messageTextForDocument(const QTextDocument &document, const QString &animiconMessage);
    // Sends what the input holds (Return does the same).
    void sendInput();
    // Inserts an animicon picture; false (with an alert) when the input
    // already holds one.
    bool insertAnimicon(const QString &imagePath);
    // The file panel's answer.
    void sendFiles(const QStringList &paths) { mConversation.sendFiles(paths); }
    void runInvitePanel();
    void runFilePanel();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildWindow();
    void observe(const char *name, std::function<void(const QVariantMap &)> handler);
    QStringList dropPaths(const class QMimeData *mime) const;
    QStringList dropBuddies(const class QMimeData *mime) const;
    void rebuildMembersMenu();
    void applyInputLock(bool locked);
    void keepInputFont();
    void sizeTranscriptLikeInput();
    void recolourInput();
    void applyToolbarConfiguration();
    PLBuddyPtr selectedBuddy() const;
    void openBuddyOrchardHome();

    // ChatConversationView
    void appendNameLine(const QString &text) override;
    void appendChatLine(const QString &text, const QString &fontColor, const QString &fontStyle) override;
    void appendSystemLine(const QString &html) override;
    void appendWarningLine(const QString &html) override;
    void appendAnimiconLine(const QString &animiconMessage, const QStringList &pieces, const QString &fontName,
                            const QString &fontColor, const QString &fontStyle) override;
    void appendFileMessage(const QString &html, int fileType) override;
    void appendFileInfo(const QString &html, int fileType) override;
    void setStatusLine(const QString &text) override;
    void setTitle(const QString &title) override;
    void showBanner(const ChatBanner &banner) override;
    void refreshMembers() override;
    void playAnimicon(const QString &url) override;
    void scheduleFilePanel() override;
    bool isKeyWindow() override;

    // ChatRoomServices
    bool isValidSessionKey(const QString &sessionKey) override;
    QVariantList userInfosInSession(const QString &sessionKey) override;
    void sendMessage(const QString &message, const QString &sessionKey) override;
    void leaveMessage(const QString &message, const QString &sessionKey) override;
    void sendTypingInfo(bool typing, const QString &sessionKey) override;
    void sendAnimicon(const QString &animiconMessage, const QString &sessionKey) override;
    void removeAllUser(const QString &sessionKey) override;
    void inviteBuddies(const QStringList &buddyIDs, const QString &sessionKey) override;
    bool reopenRoom(const QStringList &buddyIDs, const QString &sessionKey) override;
    void uploadFiles(const QStringList &paths, const QString &userID, const QString &sessionKey) override;
    QString fontName() override;
    QString fontColorString() override;
    std::optional<QVariantMap> animiconInfo(const QString &message) override;
    QString animiconUrl(const QString &categoryID, const QString &animiconID) override;
    void addNewMessageChat() override;
    void dockIconBounce() override;
    void dockIconUpdate() override;
    void playChatSound() override;
    void playTransferSound() override;
    void desktopNotice(const QString &title, const QString &description, const QString &iconName,
                       const QVariantList &clickContext) override;
    void addSaveBuffer(const QString &body) override;
    void postSaveChatDocument(const QVariantMap &record) override;
    QDateTime now() override { return QDateTime::currentDateTime(); }

    // KCWebViewDataSource: links open in the browser, service links through
    // the shell's bridge page.
    void requestWebUrlOpen(KCWebView *view, const QUrl &url) override;
    QString bridgePageUrl(KCWebView *view) override;

    // KCInputTextViewDelegate
    bool takesMessages() const override { return true; }
    void textViewMessage(KCInputTextView *view, const QString &message) override;

    // Palettes
    void emoticonPaletteViewDidSelectEmoticon(KCEmoticonPaletteView *view, const QString &token) override;
    void animiconPaletteViewDidSelectAnimicon(KCAnimiconPaletteView *view, const QString &animiconUrl,
                                              const QString &animiconThumbUrl, const QString &animiconName,
                                              const QString &categoryID, const QString &animiconID) override;

    ChatManager &mManager;
    ChatConversation mConversation;
    QList<quint64> mObservers;
    bool mIsActive = false;

    KCWebView *mWebView = nullptr;
    KCInputTextView *mMsgTextView = nullptr;
    QLabel *mStatusTextField = nullptr;
    KCEmoticonView *mEmoticonView = nullptr;
    KCEmoticonView *mAbsentMessageView = nullptr;
    QLabel *mRemainBuddyView = nullptr;
    QLabel *mIconImage = nullptr;
    QToolButton *mMenuButton = nullptr;
    QToolButton *mOrchardButton = nullptr; // the selected buddy's sister-service page
    QToolButton *mEmoticonButton = nullptr;
    QToolButton *mAnimiconButton = nullptr;
    QToolButton *mFontButton = nullptr;
    QAction *mInviteAction = nullptr;
    QAction *mSendFileAction = nullptr;
    QAction *mSaveChatAction = nullptr;
    bool mClearingSentInput = false;
    QToolBar *mToolbar = nullptr;
};

} // namespace parley
