#include "MessageWindowManager.h"

#include "MemoServices.h"
#include "MessageWindowController.h"
#include "Model/MessageBoxMemo.h"
#include "Model/ReceivedMemo.h"
#include "ReceiveMessageWindowController.h"

#include "BuddyList/BuddyString.h"
#include "DistributedNotificationCenter.h"
#include "KCAlertPresenter.h"
#include "Log.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLUtils.h"
#include "Utils/ParleyStringAdditions.h"
#include "Utils/PrefsManager.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace parley {

namespace {

MessageWindowManager *gShared = nullptr;

QString text(const char *key) { return KCLocalizedString(QLatin1String(key)); }

const char *const kColorKeys[] = {"MemoFontColorR", "MemoFontColorG", "MemoFontColorB"};

double primaryHeight()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

QRectF visibleFrameYUp()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {0, 0, 1024, 768};
    return MemoPlacement::fromScreen(screen->availableGeometry(), primaryHeight());
}

void raise(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

MessageWindowManager::MessageWindowManager(MemoServices &services, NotificationCenter &center,
                                           DistributedNotificationCenter *bus, UserDefaults &defaults,
                                           const MemoNames &names)
    : mServices(services), mCenter(center), mBus(bus), mDefaults(defaults), mNames(names)
{
    mCenterTokens.append(mCenter.addObserver(this, QLatin1String(notifications::kMessageReceived), nullptr,
                                             [this](const Notification &n) { messageProcessing(n.userInfo); }));
    mCenterTokens.append(mCenter.addObserver(this, QLatin1String(notifications::kNoteRelation), nullptr,
                                             [this](const Notification &n) {
                                                 const QVariant tid = n.userInfo.value(QStringLiteral("tid"));
                                                 const QVariant data = n.userInfo.value(QStringLiteral("data"));
                                                 if (tid.isValid() && data.typeId() == QMetaType::QString)
                                                     relStringToMemo(tid.toString(), data.toString());
                                             }));
    mCenterTokens.append(mCenter.addObserver(this, QLatin1String(notifications::kSendNoteErrorReceived), nullptr,
                                             [this](const Notification &n) { sendNoteErrorReceived(n.userInfo); }));
    if (!mBus)
        return;
    const auto request = [this](BoxRequest kind) {
        return [this, kind](const DistributedNotification &n) { memoDocumentRequest(kind, n.userInfo); };
    };
    mBusTokens.append(mBus->addObserver(this, QLatin1String(notifications::kReadMemoDocument), request(BoxRequest::Read)));
    mBusTokens.append(mBus->addObserver(this, QLatin1String(notifications::kReplyMemoDocument), request(BoxRequest::Reply)));
    mBusTokens.append(
        mBus->addObserver(this, QLatin1String(notifications::kReplyAllMemoDocument), request(BoxRequest::ReplyAll)));
    mBusTokens.append(
        mBus->addObserver(this, QLatin1String(notifications::kForwardMemoDocument), request(BoxRequest::Forward)));
    mBusTokens.append(mBus->addObserver(this, QLatin1String(notifications::kWriteMemoDocument),
                                        [this](const DistributedNotification &n) { writeMemoDocument(n.object); }));
}

MessageWindowManager::~MessageWindowManager()
{
    for (quint64 token : std::as_const(mCenterTokens))
        mCenter.removeObserver(token);
    if (mBus)
        for (quint64 token : std::as_const(mBusTokens))
            mBus->removeObserver(token);
    if (gShared == this)
        gShared = nullptr;
    // The windows tell us when they close; they are not to reach a manager gone.
    const QList<MessageWindowController *> sends = mSendMessageWindows;
    const QList<ReceiveMessageWindowController *> reads = mRecvMessageWindows;
    mSendMessageWindows.clear();
    mRecvMessageWindows.clear();
    qDeleteAll(sends);
    qDeleteAll(reads);
}

MessageWindowManager *MessageWindowManager::sharedManager() { return gShared; }

void MessageWindowManager::setSharedManager(MessageWindowManager *manager) { gShared = manager; }

// --- opening windows

void MessageWindowManager::createMessageWindowWithTargets(const QStringList &targets, const QString &message)
{
    createMessageWindow(targets, message);
}

MessageWindowController *MessageWindowManager::createMessageWindow(const QStringList &targets, const QString &message,
                                                                   const QVariantMap &info, bool withInfo)
{
    auto *window = new MessageWindowController(*this);
    window->setGeometry(availableSendMessageWindowRect().toRect());
    if (withInfo) {
        window->setCookie(info.value(QStringLiteral("cookie")).toString());
        window->setRefUUID(info.value(QStringLiteral("uuid")).toString());
        window->setEvent(info.value(QStringLiteral("ref-event")).toString());
        const QString related = info.value(QStringLiteral("related")).toString();
        const bool hasRelated = related == QLatin1String("Y") || related == QLatin1String("y");
        window->setServerHasRelMemos(hasRelated);
        if (const std::optional<RelatedMemoEntry> entry =
                RelatedMemoEntry::fromList(info.value(QStringLiteral("cmsg")).toList())) {
            window->setEnableRefMessage(true);
            window->setRelMemo(*entry);
        }
    }
    window->setTargetIDs(targets);
    raise(window);
    window->setInitializeMessage(message);
    mSendMessageWindows.append(window);
    return window;
}

ReceiveMessageWindowController *MessageWindowManager::newReadWindow(const QVariantMap &memo)
{
    auto *window = new ReceiveMessageWindowController(*this);
    window->setGeometry(availableRecvMessageWindowRect().toRect());
    window->setInfo(memo);
    return window;
}

void MessageWindowManager::createReceiveMessageWindowWithInfo(const QVariantMap &memoInfo)
{
    if (memoInfo.isEmpty()) {
        plLogNil(__FILE__, __LINE__);
        return;
    }
    if (!isActiveReceiveMessageWindowWithCookie(memoInfo.value(QStringLiteral("cookie")).toString()))
        return;
    ReceiveMessageWindowController *window = newReadWindow(memoInfo);
    raise(window);
    mRecvMessageWindows.append(window);
    // Filed again under its uuid: the box marks it read.
    fileInbox(memoInfo);
}

bool MessageWindowManager::isActiveReceiveMessageWindowWithCookie(const QString &cookie)
{
    for (ReceiveMessageWindowController *window : std::as_const(mRecvMessageWindows)) {
        if (window->cookie() != cookie)
            continue;
        if (!window->isVisible())
            return true;
        raise(window);
        return false;
    }
    return true;
}

// --- received memos

void MessageWindowManager::messageProcessing(const QVariantMap &memo)
{
    const ReceivedMemo received(memo, mNames);
    const QString sender = received.fromID();
    const PLBuddyPtr buddy = mNames.buddyForID(sender);
    if (PrefsManager::privacy_IsReceiveMessageToOnlyBuddy() && !buddy)
        return;
    fileInbox(memo);
    const QString name = buddy && !buddy->name().isEmpty() ? buddy->name() : sender;
    const QString notice = text("ReceivedMessageFromBuddy").arg(name);
    switch (PrefsManager::noti_showMemoType()) {
    case 0:
        mServices.incMemoCount();
        mServices.showToaster(name, notice, memo);
        break;
    case 1:
        createReceiveMessageWindowWithInfo(memo);
        mServices.getMemo(received.cookie());
        break;
    default:
        break;
    }
    mServices.notifyDesktop(BuddyString::buddyStringWithBuddy(buddy), notice, memo);
    if (PrefsManager::noti_IsUseSound() && PrefsManager::noti_IsUseSoundForMemo())
        mServices.playMemoSound();
}

void MessageWindowManager::fileInbox(const QVariantMap &memo)
{
    if (!mBus)
        return;
    const ReceivedMemo received(memo, mNames);
    QString uuid = received.value("uuid");
    if (uuid.isEmpty())
        uuid = received.cookie();
    QList<MessageBoxMemo::Party> receivers;
    for (const QString &id : received.receiverIDs().value_or(QStringList()))
        receivers.append({id, mNames.nameForID(id)});
    QString subject = received.value("title");
    const QString body = received.receiveMessage();
    if (subject.isEmpty())
        subject = body.section(QLatin1Char('\n'), 0, 0);
    plugin::postSaveMemoDocument(MessageBoxMemo::inboxRecord(uuid, subject, {received.fromID(), received.fromName()},
                                                             receivers,
                                                             MessageBoxMemo::dateFromStamp(received.value("date")),
                                                             body),
                                 *mBus);
}

void MessageWindowManager::memoSent(const QVariantMap &outboxRecord)
{
    if (mBus)
        plugin::postSaveMemoDocument(outboxRecord, *mBus);
}

// --- related memos

void MessageWindowManager::setCookie(const QString &cookie, const QString &tid) { mCookieWithTid.insert(tid, cookie); }

bool MessageWindowManager::relStringToMemo(const QString &tid, const QString &text)
{
    const auto found = mCookieWithTid.constFind(tid);
    if (found == mCookieWithTid.constEnd())
        return false;
    const QString cookie = *found;
    for (MessageWindowController *window : std::as_const(mSendMessageWindows))
        if (!window->cookie().isEmpty() && window->cookie() == cookie) {
            mCookieWithTid.remove(tid);
            window->setRelMemos(text);
            return true;
        }
    for (ReceiveMessageWindowController *window : std::as_const(mRecvMessageWindows))
        if (!window->cookie().isEmpty() && window->cookie() == cookie) {
            mCookieWithTid.remove(tid);
            window->setRelMemos(text);
            return true;
        }
    return false;
}

void MessageWindowManager::sendNoteErrorReceived(const QVariantMap &info)
{
    const QVariant failed = info.value(QStringLiteral("failIDArray"));
    if (!failed.isValid())
        return;
    QStringList ids;
    for (const QVariant &id : failed.toList())
        ids.append(id.toString());
    KCAlertRequest request;
    request.key = QStringLiteral("FailSendMessageIDs");
    request.title = text("Parley");
    request.message = text("FailSendMessageIDs").arg(ids.join(QStringLiteral(", ")));
    request.buttons = {text("OK")};
    request.style = KCAlertRequest::Style::Critical;
    KCAlerts().show(request);
}

// --- the message box

void MessageWindowManager::memoDocumentRequest(BoxRequest kind, const QVariantMap &payload)
{
    const std::optional<QVariantMap> memo = MessageBoxMemo::memoDictForMessageBoxDict(payload, PLMakeUUID());
    if (!memo)
        return;
    ReceiveMessageWindowController *window = newReadWindow(*memo);
    mRecvMessageWindows.append(window);
    switch (kind) {
    case BoxRequest::Read:
        raise(window);
        break;
    case BoxRequest::Reply:
        window->replyAction();
        break;
    case BoxRequest::ReplyAll:
        window->replyToAllAction();
        break;
    case BoxRequest::Forward:
        window->forwardingAction();
        break;
    }
}

void MessageWindowManager::writeMemoDocument(const QString &recipient)
{
    createMessageWindow(recipient.isEmpty() ? QStringList() : QStringList{recipient}, QString());
}

// --- placement

QRectF MessageWindowManager::availableRect(MemoPlacement::Kind kind, int openWindows) const
{
    const std::optional<QRectF> stored = MemoPlacement::rectFromString(mDefaults.stringForKey(MemoPlacement::frameKey(kind)));
    const QRectF yUp = MemoPlacement::availableFrame(kind, stored, visibleFrameYUp(), openWindows);
    return MemoPlacement::toScreen(yUp, primaryHeight());
}

QRectF MessageWindowManager::availableSendMessageWindowRect() const
{
    return availableRect(MemoPlacement::Kind::Compose, int(mSendMessageWindows.size()));
}

QRectF MessageWindowManager::availableRecvMessageWindowRect() const
{
    return availableRect(MemoPlacement::Kind::Read, int(mRecvMessageWindows.size()));
}

void MessageWindowManager::storeFrame(MemoPlacement::Kind kind, const QWidget *window)
{
    mDefaults.setString(MemoPlacement::stringFromRect(MemoPlacement::fromScreen(window->geometry(), primaryHeight())),
                        MemoPlacement::frameKey(kind));
}

void MessageWindowManager::sendMessageWindowClosed(MessageWindowController *window)
{
    if (mSendMessageWindows.size() == 1 && mSendMessageWindows.first() == window)
        storeFrame(MemoPlacement::Kind::Compose, window);
    mSendMessageWindows.removeOne(window);
}

void MessageWindowManager::recvMessageWindowClosed(ReceiveMessageWindowController *window)
{
    if (mRecvMessageWindows.size() == 1 && mRecvMessageWindows.first() == window)
        storeFrame(MemoPlacement::Kind::Read, window);
    mRecvMessageWindows.removeOne(window);
}

// --- colour

QColor MessageWindowManager::fontColor() const
{
    double c[3] = {0, 0, 0};
    bool missing = false;
    for (int i = 0; i < 3; ++i) {
        const QVariant v = mDefaults.objectForKey(QLatin1String(kColorKeys[i]));
        missing = missing || !v.isValid();
        c[i] = std::clamp(mDefaults.doubleForKey(QLatin1String(kColorKeys[i])), 0.0, 1.0);
    }
    if (missing) {
        for (const char *key : kColorKeys)
            mDefaults.setDouble(0.0, QLatin1String(key));
        return QColor(Qt::black);
    }
    return QColor::fromRgbF(float(c[0]), float(c[1]), float(c[2]));
}

void MessageWindowManager::setFontColor(const QColor &color)
{
    mDefaults.setDouble(color.redF(), QLatin1String(kColorKeys[0]));
    mDefaults.setDouble(color.greenF(), QLatin1String(kColorKeys[1]));
    mDefaults.setDouble(color.blueF(), QLatin1String(kColorKeys[2]));
}

} // namespace parley
