#include "PGHPlugInProtocol.h"

#include "PGHProtocolHandler.h"

#include "Log.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"

namespace pigeonhole {

namespace n = parley::notifications;
using parley::DistributedNotification;

namespace {

bool isOurs(const DistributedNotification &note) { return note.object == QLatin1String(n::kMessageBoxPlugInID); }

} // namespace

PGHPlugInProtocol::PGHPlugInProtocol(parley::DistributedNotificationCenter &center, PGHProtocolHandler &handler,
                                     QObject *parent)
    : QObject(parent)
    , mCenter(center)
    , mHandler(handler)
{
    observe(n::kLoginUserInfo, [this](const DistributedNotification &note) { mHandler.currentUserInfo(note.object); });
    observe(n::kBuddyStatusList, [this](const DistributedNotification &note) {
        // A list without user info says nothing; an empty one is a real list
        // (nobody online). D-Bus can't tell them apart, so both replace.
        mHandler.buddyStatusList(note.userInfo);
    });
    observe(n::kShowPlugInWindow, [this](const DistributedNotification &note) {
        if (isOurs(note))
            mHandler.showMyWindow();
    });
    observe(n::kQuitPlugInProcess, [this](const DistributedNotification &) { mHandler.quitMessageBox(); });
    observe(n::kWillRemovePlugIn, [this](const DistributedNotification &note) {
        if (isOurs(note))
            mHandler.willTerminate();
    });
    observe(n::kSaveMemoDocument, [this](const DistributedNotification &note) { mHandler.insertMemoDocument(note.userInfo); });
    observe(n::kSaveChatDocument, [this](const DistributedNotification &note) { mHandler.insertChatDocument(note.userInfo); });
    observe(n::kRefreshPlugin, [this](const DistributedNotification &) { mHandler.refreshPlugin(); });
    observe(n::kShowLastChat, [this](const DistributedNotification &note) {
        parley::plLog(QStringLiteral("last chat for userID=>[%1]").arg(note.object));
        mHandler.showLastChat(note.object);
    });
}

void PGHPlugInProtocol::observe(const char *name, std::function<void(const DistributedNotification &)> callback)
{
    mCenter.addObserver(this, QLatin1String(name), std::move(callback));
}

bool PGHPlugInProtocol::postPlugUserInfo()
{
    return parley::plugin::postPlugUserInfo(QLatin1String(n::kMessageBoxPlugInID), mCenter);
}

bool PGHPlugInProtocol::postUnreadMemoCount(int count) { return parley::plugin::postUnreadMemoCount(count, mCenter); }

bool PGHPlugInProtocol::postReadMemoDocument(const QVariantMap &payload)
{
    return parley::plugin::postReadMemoDocument(payload, mCenter);
}

bool PGHPlugInProtocol::postWriteMemoDocument(const QString &recipientID)
{
    return parley::plugin::postWriteMemoDocument(recipientID, mCenter);
}

bool PGHPlugInProtocol::postConversationWindow(const QString &buddyID)
{
    return parley::plugin::postConversationWindow(buddyID, mCenter);
}

bool PGHPlugInProtocol::postOpenWebMemoBox()
{
    return parley::plugin::postOpenWebMemoBox(QLatin1String(n::kMessageBoxPlugInID), mCenter);
}

bool PGHPlugInProtocol::postOpenWebChatBox()
{
    return parley::plugin::postOpenWebChatBox(QLatin1String(n::kMessageBoxPlugInID), mCenter);
}

bool PGHPlugInProtocol::postOpenMessageBoxHelp()
{
    return parley::plugin::postOpenMessageBoxHelp(QLatin1String(n::kMessageBoxPlugInID), mCenter);
}

} // namespace pigeonhole
