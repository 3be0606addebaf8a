#pragma once

// What the box does with each notification the messenger sends. The protocol
// object has already checked the object where one is required (the box's own
// plug-in id) and dropped notices that carry nothing usable.

#include <QString>
#include <QVariantMap>

namespace pigeonhole {

class PGHProtocolHandler
{
public:
    virtual ~PGHProtocolHandler() = default;
    virtual void currentUserInfo(const QString &userID) { Q_UNUSED(userID) }
    virtual void buddyStatusList(const QVariantMap &statusByLoginID) { Q_UNUSED(statusByLoginID) }
    virtual void showMyWindow() {}
    virtual void quitMessageBox() {}
    virtual void willTerminate() {}
    virtual void insertMemoDocument(const QVariantMap &record) { Q_UNUSED(record) }
    virtual void insertChatDocument(const QVariantMap &record) { Q_UNUSED(record) }
    virtual void refreshPlugin() {}
    virtual void showLastChat(const QString &userID) { Q_UNUSED(userID) }
};

} // namespace pigeonhole
