#pragma once

// One typed poster per notification of the plug-in protocol, so that a
// poster can't get a name, an object or a key wrong. Each posts on the given
// center (the session bus's by default) and answers whether the bus took it.

#include "DistributedNotificationCenter.h"

namespace parley::plugin {

using Center = DistributedNotificationCenter;

// Plug-in to messenger.
bool postPlugUserInfo(const QString &plugInID, Center &center = Center::defaultCenter());
bool postReadMemoDocument(const QVariantMap &payload, Center &center = Center::defaultCenter());
bool postWriteMemoDocument(const QString &recipientID = {}, Center &center = Center::defaultCenter());
bool postUnreadMemoCount(int count, Center &center = Center::defaultCenter());
bool postOpenWebMemoBox(const QString &plugInID, Center &center = Center::defaultCenter());
bool postOpenWebChatBox(const QString &plugInID, Center &center = Center::defaultCenter());
bool postOpenMessageBoxHelp(const QString &plugInID, Center &center = Center::defaultCenter());
bool postConversationWindow(const QString &buddyID, Center &center = Center::defaultCenter());

// Messenger to plug-ins.
bool postLoginUserInfo(const QString &userID, Center &center = Center::defaultCenter());
bool postBuddyStatusList(const QVariantMap &statusByLoginID, Center &center = Center::defaultCenter());
bool postShowPlugInWindow(const QString &plugInID, Center &center = Center::defaultCenter());
// A null id asks every plug-in to quit.
bool postQuitPlugInProcess(const QString &plugInID = {}, Center &center = Center::defaultCenter());
bool postSaveMemoDocument(const QVariantMap &memoRecord, Center &center = Center::defaultCenter());
bool postSaveChatDocument(const QVariantMap &chatRecord, Center &center = Center::defaultCenter());

// The message box files only the records it hears, and it hears them only
// once it runs and knows its user. While a keeper is installed (the
// messenger's), the two posters above offer each record to it first; a record
// it keeps counts as posted, and the keeper posts it later itself.
class RecordKeeper
{
public:
    virtual ~RecordKeeper() = default;
    virtual bool keepRecord(const QString &name, const QVariantMap &record, Center &center) = 0;
};
// Installs a keeper (not owned); nullptr posts every record at once again.
void setRecordKeeper(RecordKeeper *keeper);
RecordKeeper *recordKeeper();

} // namespace parley::plugin
