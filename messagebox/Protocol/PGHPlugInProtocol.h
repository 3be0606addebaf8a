#pragma once

// The box's side of the plug-in protocol: observes the messenger's nine
// notifications on a distributed center and hands each to the handler;
// posts the box's own through the typed posters. Observers live as long as
// this object.

#include "DistributedNotificationCenter.h"

#include <QObject>

namespace pigeonhole {

class PGHProtocolHandler;

class PGHPlugInProtocol : public QObject
{
    Q_OBJECT

public:
    PGHPlugInProtocol(parley::DistributedNotificationCenter &center, PGHProtocolHandler &handler,
                      QObject *parent = nullptr);

    parley::DistributedNotificationCenter &center() { return mCenter; }

    // Box to messenger.
    bool postPlugUserInfo();
    bool postUnreadMemoCount(int count);
    bool postReadMemoDocument(const QVariantMap &payload);
    bool postWriteMemoDocument(const QString &recipientID = {});
    bool postConversationWindow(const QString &buddyID);
    bool postOpenWebMemoBox();
    bool postOpenWebChatBox();
    bool postOpenMessageBoxHelp();

private:
    void observe(const char *name, std::function<void(const parley::DistributedNotification &)> callback);

    parley::DistributedNotificationCenter &mCenter;
    PGHProtocolHandler &mHandler;
};

} // namespace pigeonhole
