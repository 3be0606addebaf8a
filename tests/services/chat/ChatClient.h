#pragma once

// One chat client inside the test process: its own notification center, its
// own chat-session manager and a recording chat window that attaches itself to
// every room the manager activates (as the chat windows do).

#include "ChatDoubles.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"

#include <QStringList>

namespace parley::test {

class ChatClient
{
public:
    explicit ChatClient(const QString &loginID, bool attachOnActivation = true);
    ~ChatClient();

    // The own-request path: as if the server had answered a chat request.
    void requestRoom(const QString &ip, int port, const QString &key, const QStringList &buddyIDs);
    // The invitation path.
    void invited(const QString &ip, int port, const QString &key);
    void setEncrypted(bool encrypted);

    // Notifications of the manager, by name, in order.
    QList<QVariantMap> noted(const char *name) const;
    PLSSSession *session(const QString &key) const;

    QString loginID;
    NotificationCenter center;
    PLChatSessionManager manager{center};
    RecordingReceiver receiver;
    MirrorChatCrypto crypto;
    RecordingFileTransfer files;
    QList<Call> notes;
};

} // namespace parley::test
