#pragma once

// Recording stand-ins for the buddy list's commands: the buddy session (every
// request as one line of text) and the rest of the messenger they call.

#include "BuddyList/BuddyActionsShell.h"
#include "BuddyList/BuddySession.h"
#include "ChatManagement/ChatManagerInterface.h"

#include <QJsonDocument>
#include <QJsonArray>
#include <QStringList>
#include <QVariantList>

namespace buddydialogs::test {

using namespace parley;

class RecordingSession final : public BuddySession
{
public:
    bool isLoggedIn() const override { return loggedIn; }
    bool blockBuddy(const QString &id) override { return record(QStringLiteral("block %1").arg(id)); }
    bool unblockBuddy(const QString &id) override { return record(QStringLiteral("unblock %1").arg(id)); }
    bool removeBuddyFlag(const QString &id, const QString &flag) override
    {
        return record(QStringLiteral("removeFlag %1 %2").arg(id, flag));
    }
    bool removeBuddies(const QVariantList &records) override { return record(QStringLiteral("removeBuddies ") + json(records)); }
    bool moveBuddies(const QVariantList &records) override { return record(QStringLiteral("move ") + json(records)); }
    bool copyBuddies(const QVariantList &records) override { return record(QStringLiteral("copy ") + json(records)); }
    bool addGroup(const QString &name) override { return record(QStringLiteral("addGroup %1").arg(name)); }
    bool renameGroup(const QString &id, const QString &name) override
    {
        return record(QStringLiteral("renameGroup %1 %2").arg(id, name));
    }
    bool removeGroup(const QString &id) override { return record(QStringLiteral("removeGroup %1").arg(id)); }
    bool requestAddBuddy(const QString &id, const QString &group, const QString &message) override
    {
        lastMessage = message;
        return record(QStringLiteral("request %1 %2").arg(id, group));
    }
    bool acceptAddBuddy(const QString &id, const QString &cmn, const QString &group) override
    {
        return record(QStringLiteral("accept %1 %2 %3").arg(id, cmn, group));
    }
    bool rejectAddBuddy(const QString &id, const QString &cmn) override
    {
        return record(QStringLiteral("reject %1 %2").arg(id, cmn));
    }

    // Records as compact JSON with sorted keys.
    static QString json(const QVariantList &records)
    {
        return QString::fromUtf8(QJsonDocument(QJsonArray::fromVariantList(records)).toJson(QJsonDocument::Compact));
    }

    bool loggedIn = true;
    bool answer = true;
    QStringList calls;
    QString lastMessage;

private:
    bool record(const QString &call)
    {
        calls << call;
        return answer;
    }
};

class RecordingActionsShell final : public BuddyActionsShell
{
public:
    QString statusTitle() override { return status; }
    void setStatusTitle(const QString &key) override { calls << QStringLiteral("setStatusTitle %1 selected").arg(key); }
    bool hasChatToSave() override { return chatToSave; }
    bool saveChat() override
    {
        calls << QStringLiteral("saveChat");
        return chatSaved;
    }
    void openMessagePreferences() override { calls << QStringLiteral("openMessagePreferences"); }
    void reloadPreferences() override { calls << QStringLiteral("reloadPreferences"); }
    void bridgePageCall(const QString &code, const QString &param, int hFlag) override
    {
        calls << QStringLiteral("bridge %1 %2 %3").arg(code, param).arg(hFlag);
    }
    void showBuddyMininook(const PLBuddyPtr &buddy) override { calls << QStringLiteral("mininook %1").arg(buddy->velaID()); }
    void showAddBuddyWindow() override { calls << QStringLiteral("addBuddyWindow"); }
    void showInvitePanel(bool onlineOnly, std::function<void(const QStringList &)> didEnd) override
    {
        calls << QStringLiteral("invitePanel online=%1").arg(onlineOnly ? 1 : 0);
        panelDidEnd = std::move(didEnd);
    }
    QWidget *window() override { return nullptr; }

    QString status = QStringLiteral("Online");
    bool chatToSave = false;
    bool chatSaved = false;
    QStringList calls;
    std::function<void(const QStringList &)> panelDidEnd;
};

class RecordingChat final : public ChatManagerInterface
{
public:
    bool chatDocumentForBuddyIDs(const QStringList &) override { return false; }
    QString getChatText(const QString &) override { return {}; }
    void openChatRoom(const QStringList &ids) override { calls << QStringLiteral("openChatRoom ") + ids.join(u','); }
    void openChatRoomWithFileTransfer(const QStringList &ids, const QStringList &files, const QString &toUser) override
    {
        calls << QStringLiteral("openChatRoomWithFileTransfer %1 files=%2 to=%3")
                     .arg(ids.join(u','))
                     .arg(files.size())
                     .arg(toUser);
    }
    QStringList calls;
};

} // namespace buddydialogs::test
