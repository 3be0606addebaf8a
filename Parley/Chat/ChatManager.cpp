#include "ChatManager.h"

#include "ChatText.h"
#include "ChatWindowPlacement.h"

#include "BuddyList/BuddyInviteController.h"
#include "BuddyList/BuddyString.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "ChatManagement/ChatManagerInterface.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "DistributedNotificationCenter.h"
#include "FileTransfer/PLFileTransferManager.h"
#include "KCDefaultFont.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "Sessions/PLParleySession.h"
#include "Shell/AppController.h"
#include "Shell/MainWindow.h"
#include "Shell/UrlOpener.h"
#include "UserDefaults.h"
#include "Utils/PrefsManager.h"

#include <QApplication>
#include <QColorDialog>
#include <QScreen>

namespace parley {

namespace n = notifications;

namespace {

ChatManager *gShared = nullptr;

const QString kSessionKey = QStringLiteral("sessionKey");
constexpr char kColorR[] = "ChatFontColorR";
constexpr char kColorG[] = "ChatFontColorG";
constexpr char kColorB[] = "ChatFontColorB";

// The core's questions: its rule for a window that takes over an invited
// room is exactly these members.
class CoreWindows final : public ChatManagerInterface
{
public:
    explicit CoreWindows(ChatManager &manager) : mManager(manager) {}
    bool chatDocumentForBuddyIDs(const QStringList &buddyIDs) override
    {
        return mManager.chatDocumentForMembers(buddyIDs) != nullptr;
    }
    QString getChatText(const QString &sessionKey) override { return mManager.getChatText(sessionKey); }
    void openChatRoom(const QStringList &buddyIDs) override { mManager.openChatRoom(buddyIDs); }
    void openChatRoomWithFileTransfer(const QStringList &buddyIDs, const QStringList &files,
                                      const QString &toUser) override
    {
        mManager.openChatRoomWithFileTransfer(buddyIDs, files, toUser);
    }

private:
    ChatManager &mManager;
};

} // namespace

ChatManager *ChatManager::sharedManager() { return gShared; }

ChatManager::Account ChatManager::facadeAccount()
{
    const auto session = [] {
        shell::AppController *controller = shell::AppController::sharedController();
        return controller ? controller->session() : nullptr;
    };
    Account account;
    account.createRoom = [session](const QStringList &buddyIDs, QString *uuid) {
        PLParleySession *facade = session();
        return facade && facade->createNewChattingRoomWithBuddies(buddyIDs, uuid);
    };
    account.invite = [session](const QStringList &buddyIDs, const QString &sessionKey) {
        PLParleySession *facade = session();
        return facade && facade->inviteBuddies(buddyIDs, sessionKey);
    };
    account.upload = [](const QStringList &paths, const QString &userID, const QString &sessionKey) {
        return PLFileTransferManager::sharedManager().uploadFiles(paths, userID, sessionKey);
    };
    return account;
}

ChatManager::ChatManager(PLChatSessionManager &rooms, NotificationCenter &center, Account account, QObject *parent)
    : QObject(parent), mRooms(rooms), mCenter(center), mAccount(std::move(account)),
      mCore(std::make_unique<CoreWindows>(*this))
{
    if (!gShared)
        gShared = this;
    // The buddy list's panel (groups, search), offering buddies who are online.
    mInvitePanel = [](QWidget *parent, std::function<void(QStringList)> done) {
        BuddyInviteController::runBuddyInvitePanel(parent, true,
                                                   [done = std::move(done)](const QStringList &ids) { done(ids); });
    };
    mObservers << mCenter.addObserver(this, QLatin1String(n::kChatSessionCreated), nullptr,
                                      [this](const Notification &note) { chatSessionCreated(note.userInfo); });
    mObservers << mCenter.addObserver(this, QLatin1String(n::kChatSessionActivated), nullptr,
                                      [this](const Notification &note) { chatSessionActivated(note.userInfo); });
    mSaveTimer.setInterval(2000);
    connect(&mSaveTimer, &QTimer::timeout, this, &ChatManager::saveChatMessages);
    mSaveTimer.start();
}

ChatManager::~ChatManager()
{
    for (quint64 token : std::as_const(mObservers))
        mCenter.removeObserver(token);
    const QList<Entry> entries = mChatDict;
    for (const Entry &entry : entries)
        delete entry.document.data();
    if (gShared == this)
        gShared = nullptr;
}

ChatManagerInterface &ChatManager::coreInterface() { return *mCore; }

void ChatManager::listenForConversationRequests(DistributedNotificationCenter &center)
{
    center.addObserver(this, QLatin1String(n::kConversationWindow),
                       [this](const DistributedNotification &note) { conversationWindowRequested(note.object); });
}

// --- the table ------------------------------------------------------------------

void ChatManager::prune()
{
    mChatDict.removeIf([](const Entry &entry) { return entry.document.isNull(); });
}

void ChatManager::enter(const QString &key, ChatDocument *document)
{
    removeKey(key);
    mChatDict.append({key, document});
}

void ChatManager::removeKey(const QString &key)
{
    mChatDict.removeIf([&](const Entry &entry) { return entry.key == key; });
}

void ChatManager::removeDocument(const ChatDocument *document)
{
    mChatDict.removeIf([&](const Entry &entry) { return entry.document == document; });
}

QList<ChatDocument *> ChatManager::documents() const
{
    QList<ChatDocument *> list;
    for (const Entry &entry : mChatDict)
        if (entry.document)
            list << entry.document.data();
    return list;
}

QStringList ChatManager::sessionKeys() const
{
    QStringList keys;
    for (const Entry &entry : mChatDict)
        if (entry.document)
            keys << entry.key;
    return keys;
}

QList<shell::ChatDocument *> ChatManager::chatDocumentList()
{
    QList<shell::ChatDocument *> list;
    for (ChatDocument *document : documents())
        list << document;
    return list;
}

QList<shell::ChatDocument *> ChatManager::visibleChatDocumentList()
{
    QList<shell::ChatDocument *> list;
    for (ChatDocument *document : documents())
        if (document->isVisible())
            list << document;
    return list;
}

ChatDocument *ChatManager::lastActiveChatDocument()
{
    return mLastActive && documents().contains(mLastActive.data()) ? mLastActive.data() : nullptr;
}

ChatDocument *ChatManager::chatDocumentForSessionKey(const QString &sessionKey) const
{
    for (const Entry &entry : mChatDict)
        if (entry.key == sessionKey && entry.document)
            return entry.document.data();
    return nullptr;
}

ChatDocument *ChatManager::chatDocumentForBuddyIDs(const QStringList &buddyIDs)
{
    if (buddyIDs.isEmpty())
        return nullptr;
    for (ChatDocument *document : documents()) {
        const ChatConversation &chat = document->conversation();
        if (chat.buddyIDList() == buddyIDs)
            return document;
        if (!chat.lastBuddyID().isEmpty() && chat.lastBuddyID() == buddyIDs.first())
            return document;
    }
    return nullptr;
}

ChatDocument *ChatManager::chatDocumentForMembers(const QStringList &buddyIDs) const
{
    if (buddyIDs.isEmpty())
        return nullptr;
    for (ChatDocument *document : documents())
        if (document->conversation().buddyIDList() == buddyIDs)
            return document;
    return nullptr;
}

ChatDocument *ChatManager::chatDocumentForBuddyDicts(const QVariantList &members)
{
    QStringList ids;
    for (const QVariant &member : members)
        ids << member.toMap().value(QStringLiteral("velaID")).toString();
    return chatDocumentForBuddyIDs(ids);
}

bool ChatManager::isExistAvailableBuddy(const QStringList &buddyIDs)
{
    for (const QString &id : buddyIDs) {
        const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(id);
        if (buddy && buddy->status() != 0 && !buddy->buddyFlagBLBit())
            return true;
    }
    return false;
}

ChatDocument *ChatManager::makeDocument()
{
    auto *document = new ChatDocument(*this);
    document->setGeometry(newWindowFrame());
    return document;
}

QRect ChatManager::newWindowFrame() const
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const double height = screen ? screen->geometry().height() : 800;
    const QRectF visible = ChatWindowPlacement::fromScreen(
        screen ? QRectF(screen->availableGeometry()) : QRectF(0, 0, 1280, 800), height);
    const auto saved = ChatWindowPlacement::rectFromString(
        UserDefaults::standardUserDefaults().stringForKey(QLatin1String(kWindowFrameKey)));
    int open = 0;
    for (const Entry &entry : mChatDict)
        if (entry.document)
            ++open;
    const QRectF yUp = ChatWindowPlacement::availableRecvMessageWindowRect(saved, visible, open);
    return ChatWindowPlacement::toScreen(yUp, height).toRect();
}

ChatDocument *ChatManager::openChatRoom(const QStringList &buddyIDs)
{
    if (!isExistAvailableBuddy(buddyIDs))
        return nullptr;
    if (ChatDocument *found = chatDocumentForBuddyIDs(buddyIDs)) {
        found->showWindow();
        return found;
    }
    QString uuid;
    if (!mAccount.createRoom || !mAccount.createRoom(buddyIDs, &uuid) || uuid.isEmpty())
        return nullptr;
    ChatDocument *document = makeDocument();
    document->setSessionKey(uuid);
    enter(uuid, document);
    document->conversation().updateChatTitle(buddyIDs);
    document->conversation().setLastBuddyID(buddyIDs.first());
    document->conversation().setSelectedBuddyID(buddyIDs.first());
    document->showWindow();
    return document;
}

ChatDocument *ChatManager::openChatRoomWithFileTransfer(const QStringList &buddyIDs, const QStringList &files,
                                                        const QString &toUser)
{
    ChatDocument *document = openChatRoom(buddyIDs);
    if (!document)
        return nullptr;
    document->conversation().setFileTransferChat(true, files, toUser);
    if (document->isVisible())
        document->conversation().fileUploadingCheck();
    return document;
}

bool ChatManager::openChatRoomWithDoc(ChatDocument *document, const QStringList &buddyIDs, const QString &sessionKey)
{
    if (!document || buddyIDs.isEmpty() || sessionKey.isEmpty())
        return false;
    QString uuid;
    if (!mAccount.createRoom || !mAccount.createRoom(buddyIDs, &uuid) || uuid.isEmpty())
        return false;
    if (chatDocumentForSessionKey(sessionKey))
        removeKey(sessionKey);
    removeDocument(document);
    enter(uuid, document);
    document->setSessionKey(uuid);
    return true;
}

void ChatManager::chatSessionCreated(const QVariantMap &userInfo)
{
    const QString uuid = userInfo.value(QStringLiteral("sessionUUID")).toString();
    const QString key = userInfo.value(kSessionKey).toString();
    if (uuid.isEmpty() || key.isEmpty())
        return;
    ChatDocument *document = chatDocumentForSessionKey(uuid);
    if (!document)
        return;
    document->setSessionKey(key);
    removeKey(uuid);
    enter(key, document);
}

void ChatManager::attach(ChatDocument *document, const QString &sessionKey)
{
    mRooms.setMessageReceiver(document, sessionKey);
    document->setSessionKey(sessionKey);
    document->conversation().setSessionDisconnected(false);
    document->conversation().updateChatTitle(std::nullopt);
    enter(sessionKey, document);
}

void ChatManager::chatSessionActivated(const QVariantMap &userInfo)
{
    const QString type = userInfo.value(QStringLiteral("activateType")).toString();
    const QString key = userInfo.value(kSessionKey).toString();
    if (key.isEmpty())
        return;
    if (type == QLatin1String("creation")) {
        if (ChatDocument *document = chatDocumentForSessionKey(key)) {
            document->conversation().setSessionDisconnected(false);
            mRooms.setMessageReceiver(document, key);
        }
        return;
    }
    const bool byBuddy = type == QLatin1String("message") || type == QLatin1String("fileTransfer")
                         || type == QLatin1String("animicon") || type == QLatin1String("inkMessage");
    if (type != QLatin1String("recreation") && !byBuddy)
        return;
    ChatDocument *document = chatDocumentForBuddyDicts(mRooms.userInfosInSession(key));
    const bool isNew = !document;
    if (isNew)
        document = makeDocument();
    else
        removeDocument(document);
    attach(document, key);
    if (!byBuddy || !isNew)
        return;
    const QString sender = userInfo.value(QStringLiteral("senderID")).toString().section(QLatin1Char('|'), 0, 0);
    document->conversation().setSelectedBuddyID(sender);
    showFirstNotice(document, type, sender, userInfo);
}

void ChatManager::showFirstNotice(ChatDocument *document, const QString &type, const QString &senderID,
                                  const QVariantMap &userInfo)
{
    const bool notices = PrefsManager::noti_IsShowChatAlarm();
    shell::ToasterManager &toaster = shell::ShellWindows::toasterManager();
    const QString display = BuddyString::buddyStringWithBuddyDict(document->conversation().buddyDictForID(senderID));
    if (type == QLatin1String("message") || type == QLatin1String("inkMessage")) {
        const QString text = userInfo.value(QStringLiteral("message")).toString().section(QLatin1Char('\t'), -1);
        if (notices)
            toaster.showToasterWindow(QStringLiteral("CHAT"), display, text, document, QString(), userInfo);
    } else if (type == QLatin1String("animicon")) {
        // The animicon's name is its fourth field, when it has one.
        const QStringList fields = userInfo.value(QStringLiteral("animiconInfo")).toString().split(QLatin1Char('|'));
        if (notices && fields.size() > 3)
            toaster.showToasterWindow(QStringLiteral("CHAT"), display, fields.at(3), document, QString(), userInfo);
    } else if (type == QLatin1String("fileTransfer")) {
        const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(senderID);
        const QString who = buddy ? buddy->name() : senderID;
        if (notices)
            toaster.showToasterWindow(QStringLiteral("FILE"), senderID,
                                      ChatText::localized("ReceivedFileMessage", {who}), document, QString(),
                                      userInfo);
        document->showWindow();
    }
}

void ChatManager::conversationWindowRequested(const QString &object)
{
    if (object.isNull()) {
        shell::AppController *controller = shell::AppController::sharedController();
        QWidget *mainWindow = controller ? static_cast<QWidget *>(controller->window()) : nullptr;
        openInvitePanel(mainWindow ? mainWindow : QApplication::activeWindow(), [this](const QStringList &chosen) {
            if (!chosen.isEmpty())
                openChatRoom(chosen);
        });
        return;
    }
    // Another process names the buddy: only a buddy of the list opens a chat.
    if (PLBuddyManager::sharedManager().buddyForID(object))
        openChatRoom({object});
}

void ChatManager::openInvitePanel(QWidget *parent, std::function<void(QStringList)> done)
{
    if (mInvitePanel)
        mInvitePanel(parent, std::move(done));
}

void ChatManager::closeChatRoom(const QString &sessionKey)
{
    ChatDocument *document = chatDocumentForSessionKey(sessionKey);
    prune();
    if (document && mChatDict.size() == 1) {
        QScreen *screen = QGuiApplication::primaryScreen();
        const double height = screen ? screen->geometry().height() : 800;
        const QRectF yUp = ChatWindowPlacement::fromScreen(QRectF(document->geometry()), height);
        UserDefaults::standardUserDefaults().setObject(ChatWindowPlacement::stringFromRect(yUp),
                                                       QLatin1String(kWindowFrameKey));
    }
    removeKey(sessionKey);
    if (document)
        mRooms.setMessageReceiver(nullptr, sessionKey);
    mRooms.disconnectSession(sessionKey);
}

void ChatManager::closeAllChatDocuments()
{
    const QList<ChatDocument *> list = documents();
    for (ChatDocument *document : list) {
        QPointer<ChatDocument> guard(document);
        if (guard)
            guard->close();
    }
}

void ChatManager::addNewMessageChat(ChatDocument *document)
{
    if (!mNewChatList.contains(document))
        mNewChatList.append(document);
}

void ChatManager::activeNewMessageChatRoom()
{
    for (ChatDocument *document : documents()) {
        if (!mNewChatList.contains(document))
            continue;
        document->showWindow();
        document->activateWindow();
        document->conversation().setExistNewMessage(false);
    }
    mNewChatList.clear();
}

QString ChatManager::getChatText(const QString &sessionKey)
{
    ChatDocument *document = chatDocumentForSessionKey(sessionKey);
    return document ? document->getChatText() : QString();
}

void ChatManager::reset()
{
    mChatDict.clear();
    mNewChatList.clear();
}

// --- colour ---------------------------------------------------------------------

QColor ChatManager::fontColor()
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QVariant r = defaults.objectForKey(QLatin1String(kColorR));
    const QVariant g = defaults.objectForKey(QLatin1String(kColorG));
    const QVariant b = defaults.objectForKey(QLatin1String(kColorB));
    if (!r.isValid() || !g.isValid() || !b.isValid()) {
        setFontColor(QColor(Qt::black));
        return QColor(Qt::black);
    }
    return QColor::fromRgbF(float(std::clamp(r.toDouble(), 0.0, 1.0)), float(std::clamp(g.toDouble(), 0.0, 1.0)),
                            float(std::clamp(b.toDouble(), 0.0, 1.0)));
}

void ChatManager::setFontColor(const QColor &color)
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(color.redF(), QLatin1String(kColorR));
    defaults.setObject(color.greenF(), QLatin1String(kColorG));
    defaults.setObject(color.blueF(), QLatin1String(kColorB));
}

QString ChatManager::colorString(const QColor &color)
{
    const auto byte = [](double component) { return std::clamp(int(component * 255.0), 0, 255); };
    const int packed = (byte(color.blueF()) << 16) | (byte(color.greenF()) << 8) | byte(color.redF());
    return QString::number(packed);
}

QString ChatManager::fontColorString() { return colorString(fontColor()); }

QString ChatManager::fontName() { return GetDefaultFontOfSize(10).family(); }

void ChatManager::showColorPanel()
{
    if (!mColorPanel) {
        mColorPanel = new QColorDialog(fontColor());
        mColorPanel->setAttribute(Qt::WA_DeleteOnClose);
        mColorPanel->setOption(QColorDialog::NoButtons);
        connect(mColorPanel, &QColorDialog::currentColorChanged, this, [this](const QColor &color) {
            setFontColor(color);
            mCenter.post(QLatin1String(n::kChatManagerColorChanged), nullptr,
                         {{QStringLiteral("color"), color.name()}});
        });
    }
    mColorPanel->show();
    mColorPanel->raise();
}

// --- saving and files -----------------------------------------------------------------

void ChatManager::addSaveBuffer(const QString &body) { mSaveChatMessageBuffer.append(body); }

void ChatManager::saveChatMessages()
{
    if (mSaveChatMessageBuffer.isEmpty())
        return;
    const QString body = mSaveChatMessageBuffer.takeFirst();
    mCenter.post(QLatin1String(n::kSaveChatMessage), nullptr, {{QStringLiteral("content"), body}});
}

void ChatManager::postSaveChatDocument(const QVariantMap &record)
{
    plugin::postSaveChatDocument(record, mPlugInCenter ? *mPlugInCenter : DistributedNotificationCenter::defaultCenter());
}

shell::UrlOpener &ChatManager::urlOpener() { return mUrlOpener ? *mUrlOpener : shell::UrlOpener::desktop(); }

void ChatManager::uploadFiles(const QStringList &paths, const QString &userID, const QString &sessionKey)
{
    if (mAccount.upload)
        mAccount.upload(paths, userID, sessionKey);
}

void ChatManager::addFileInfoMessage(const QString &sessionKey, const QString &formatKey, int kind,
                                     const QString &buddyID)
{
    if (ChatDocument *document = chatDocumentForSessionKey(sessionKey))
        document->conversation().addFileInfoMessage(formatKey, kind, buddyID);
}

void ChatManager::addFileMessage(const QString &sessionKey, const QString &text, int kind)
{
    if (ChatDocument *document = chatDocumentForSessionKey(sessionKey))
        document->conversation().addFileMessage(text, kind);
}

void ChatManager::addFileInfo(const QString &sessionKey, const QString &text, int kind)
{
    if (ChatDocument *document = chatDocumentForSessionKey(sessionKey))
        document->conversation().addFileInfo(text, kind);
}

} // namespace parley
