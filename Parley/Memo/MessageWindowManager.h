#pragma once

// The one owner of the memo windows: turns a received memo into a read
// window or a notice (as the user's "showMemoIndex" says), opens compose
// windows for the buddy list, the read windows and the message box, places
// new windows and remembers the last frame of each kind, routes the server's
// related-memo answers to the window that asked, keeps the compose windows'
// text colour, and files every memo received or sent in the message box
// ("PLSaveMemoDocument").
//
// The message box's requests arrive on the bus: their payloads come from
// another process and anything not of the expected shape opens nothing.

#include "BuddyList/MemoWindowOpener.h"
#include "Model/MemoNames.h"
#include "Model/MemoPlacement.h"
#include "Shell/ShellWindows.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

namespace parley {

class DistributedNotificationCenter;
class MemoServices;
class MessageWindowController;
class NotificationCenter;
class ReceiveMessageWindowController;
class UserDefaults;

class MessageWindowManager : public QObject, public shell::MessageWindowManager, public MemoWindowOpener
{
    Q_OBJECT
public:
    // `bus` may be null (no message box then); nothing is owned.
    MessageWindowManager(MemoServices &services, NotificationCenter &center, DistributedNotificationCenter *bus,
                         UserDefaults &defaults, const MemoNames &names = MemoNames::shared());
    ~MessageWindowManager() override;

    // The manager the application installed; null before.
    static MessageWindowManager *sharedManager();
    static void setSharedManager(MessageWindowManager *manager);

    // --- opening windows
    void createMessageWindowWithTargets(const QStringList &targets, const QString &message) override;
    MessageWindowController *createMessageWindow(const QStringList &targets, const QString &message,
                                                 const QVariantMap &info = {}, bool withInfo = false);
    void createReceiveMessageWindowWithInfo(const QVariantMap &memoInfo) override;
    // False when a read window shows that cookie (it is raised); true otherwise.
    bool isActiveReceiveMessageWindowWithCookie(const QString &cookie);

    // --- received memos, related memos, send failures
    void messageProcessing(const QVariantMap &memo);
    void setCookie(const QString &cookie, const QString &tid) override;
    bool relStringToMemo(const QString &tid, const QString &text);
    void sendNoteErrorReceived(const QVariantMap &info);

    // --- the message box's requests (the read payload)
    enum class BoxRequest { Read, Reply, ReplyAll, Forward };
    void memoDocumentRequest(BoxRequest request, const QVariantMap &payload);
    void writeMemoDocument(const QString &recipient);
    // A compose window's memo the session accepted.
    void memoSent(const QVariantMap &outboxRecord);

    // --- windows' bookkeeping
    QRectF availableSendMessageWindowRect() const; // y-down screen frames
    QRectF availableRecvMessageWindowRect() const;
    void sendMessageWindowClosed(MessageWindowController *window);
    void recvMessageWindowClosed(ReceiveMessageWindowController *window);
    const QList<MessageWindowController *> &sendMessageWindows() const { return mSendMessageWindows; }
    const QList<ReceiveMessageWindowController *> &recvMessageWindows() const { return mRecvMessageWindows; }

    // --- the compose windows' text colour (stored as three components)
    QColor fontColor() const;
    void setFontColor(const QColor &color);

    MemoServices &services() const { return mServices; }
    const MemoNames &names() const { return mNames; }

private:
    QRectF availableRect(MemoPlacement::Kind kind, int openWindows) const;
    void storeFrame(MemoPlacement::Kind kind, const QWidget *window);
    ReceiveMessageWindowController *newReadWindow(const QVariantMap &memo);
    void fileInbox(const QVariantMap &memo);

    MemoServices &mServices;
    NotificationCenter &mCenter;
    QPointer<DistributedNotificationCenter> mBus;
    UserDefaults &mDefaults;
    const MemoNames &mNames;
    QList<quint64> mCenterTokens;
    QList<quint64> mBusTokens;
    QList<MessageWindowController *> mSendMessageWindows;
    QList<ReceiveMessageWindowController *> mRecvMessageWindows;
    QHash<QString, QString> mCookieWithTid;
};

} // namespace parley
