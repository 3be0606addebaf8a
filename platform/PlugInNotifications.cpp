#include "PlugInNotifications.h"

#include "NotificationNames.h"

namespace parley::plugin {

namespace n = parley::notifications;

namespace {

RecordKeeper *gKeeper = nullptr;

bool postRecord(const char *name, const QVariantMap &record, Center &center)
{
    if (gKeeper && gKeeper->keepRecord(QLatin1String(name), record, center))
        return true;
    return center.post(QLatin1String(name), {}, record);
}

} // namespace

void setRecordKeeper(RecordKeeper *keeper) { gKeeper = keeper; }

RecordKeeper *recordKeeper() { return gKeeper; }

bool postPlugUserInfo(const QString &plugInID, Center &center)
{
    return center.post(QLatin1String(n::kPlugUserInfo), plugInID);
}

bool postReadMemoDocument(const QVariantMap &payload, Center &center)
{
    return center.post(QLatin1String(n::kReadMemoDocument), {}, payload);
}

bool postWriteMemoDocument(const QString &recipientID, Center &center)
{
    return center.post(QLatin1String(n::kWriteMemoDocument), recipientID, QVariantMap());
}

bool postUnreadMemoCount(int count, Center &center)
{
    return center.post(QLatin1String(n::kUnreadMemoCount), QString::number(count));
}

bool postOpenWebMemoBox(const QString &plugInID, Center &center)
{
    return center.post(QLatin1String(n::kOpenWebMemoBox), plugInID);
}

bool postOpenWebChatBox(const QString &plugInID, Center &center)
{
    return center.post(QLatin1String(n::kOpenWebChatBox), plugInID);
}

bool postOpenMessageBoxHelp(const QString &plugInID, Center &center)
{
    return center.post(QLatin1String(n::kOpenMessageBoxHelp), plugInID);
}

bool postConversationWindow(const QString &buddyID, Center &center)
{
    return center.post(QLatin1String(n::kConversationWindow), buddyID);
}

bool postLoginUserInfo(const QString &userID, Center &center)
{
    return center.post(QLatin1String(n::kLoginUserInfo), userID);
}

bool postBuddyStatusList(const QVariantMap &statusByLoginID, Center &center)
{
    return center.post(QLatin1String(n::kBuddyStatusList), {}, statusByLoginID);
}

bool postShowPlugInWindow(const QString &plugInID, Center &center)
{
    return center.post(QLatin1String(n::kShowPlugInWindow), plugInID);
}

bool postQuitPlugInProcess(const QString &plugInID, Center &center)
{
    return center.post(QLatin1String(n::kQuitPlugInProcess), plugInID);
}

bool postSaveMemoDocument(const QVariantMap &memoRecord, Center &center)
{
    return postRecord(n::kSaveMemoDocument, memoRecord, center);
}

bool postSaveChatDocument(const QVariantMap &chatRecord, Center &center)
{
    return postRecord(n::kSaveChatDocument, chatRecord, center);
}

} // namespace parley::plugin
