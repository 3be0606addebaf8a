#pragma once

// The chat window's world for its tests: buddies put straight into the buddy
// manager, the signed-in user's record and settings, a room of the test's
// own (FakeRoom) that records what the conversation sends, and a window
// (RecordingView) that records what it shows, each as one line of text.

#include "Chat/ChatConversation.h"
#include "Chat/ChatConversationView.h"
#include "Chat/ChatRoomServices.h"

#include "BuddyList/BuddyString.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "UserDefaults.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLCurrentUserProvider.h"
#include "Utils/PrefsManager.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QSet>
#include <QStringList>

namespace chat::test {

using namespace parley;

inline QString id(const char *cmn) { return QLatin1String(cmn) + QStringLiteral("@parley.test"); }

class ChatUser : public PLCurrentUserProvider
{
public:
    QString currentUserID() const override { return QStringLiteral("me@parley.test"); }
};

// Buddies "<cmn>@parley.test" named "Name <cmn>" (nicknames off: the display
// type shows names), the user "me@parley.test" online, settings as given.
class ChatWorld
{
public:
    ChatWorld()
    {
        PLBuddyManager::sharedManager().reset();
        PrefsManager::setCurrentUserProvider(&mUser);
        UserDefaults &defaults = UserDefaults::standardUserDefaults();
        defaults.setObject(QStringList{QStringLiteral("en")}, QLatin1String(kAppleLanguagesKey));
        defaults.setObject(QLatin1String(BuddyString::kShowAsName), QLatin1String(BuddyString::kBuddyStringTypeKey));
        defaults.setUserDictionary(mUser.currentUserID(), {{QStringLiteral("PrivacyEncrypt"), true}});
        PLMyInfoManager &me = PLMyInfoManager::sharedManager();
        me.setStatus(1);
        me.setLoginID(mUser.currentUserID());
        me.setVelaID(mUser.currentUserID());
        me.setName(QStringLiteral("Me Myself"));
        me.setNickName(QStringLiteral("Me Myself"));
    }
    ~ChatWorld()
    {
        PLBuddyManager::sharedManager().reset();
        PrefsManager::setCurrentUserProvider(nullptr);
        PLMyInfoManager::sharedManager().setStatus(0);
        UserDefaults::standardUserDefaults().setObject(QStringList{QStringLiteral("ko")},
                                                       QLatin1String(kAppleLanguagesKey));
    }
    ChatWorld(const ChatWorld &) = delete;
    ChatWorld &operator=(const ChatWorld &) = delete;

    PLBuddyPtr buddy(const char *cmn, int status = 1, const char *flags = "1100")
    {
        PLBuddyPtr b = PLBuddyManager::sharedManager().createBuddyForCMN(QLatin1String(cmn));
        b->setVelaID(id(cmn));
        b->setName(QStringLiteral("Name ") + QLatin1String(cmn));
        b->setNickName(QStringLiteral("Nick ") + QLatin1String(cmn));
        b->setStatus(status);
        b->setBuddyFlags(QLatin1String(flags));
        return b;
    }
    void setPreference(const char *key, const QVariant &value)
    {
        UserDefaults &defaults = UserDefaults::standardUserDefaults();
        QVariantMap prefs = defaults.userDictionary(mUser.currentUserID());
        prefs.insert(QLatin1String(key), value);
        defaults.setUserDictionary(mUser.currentUserID(), prefs);
    }

private:
    ChatUser mUser;
};

// The account's own log-saving choice is forgotten: the user's setting holds.
inline void forgetSaveOption()
{
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    PLProfileDict profile = me.mProfileDict();
    profile.remove(QStringLiteral("chat_save_opt"));
    me.setMProfileDict(profile);
}

// A member record as the room keeps it.
inline QVariantMap member(const QString &velaID, const QString &name = {})
{
    return {{QStringLiteral("velaID"), velaID},
            {QStringLiteral("name"), name.isEmpty() ? velaID : name},
            {QStringLiteral("nickName"), QString()}};
}

class FakeRoom : public ChatRoomServices
{
public:
    bool isValidSessionKey(const QString &key) override { return valid.contains(key); }
    QVariantList userInfosInSession(const QString &key) override { return members.value(key); }
    void sendMessage(const QString &message, const QString &key) override { calls << "send " + key + " " + message; }
    void leaveMessage(const QString &message, const QString &key) override { calls << "leave " + key + " " + message; }
    void sendTypingInfo(bool typing, const QString &key) override
    {
        calls << QStringLiteral("typing %1 %2").arg(key).arg(typing ? 1 : 0);
    }
    void sendAnimicon(const QString &message, const QString &key) override { calls << "animicon " + key + " " + message; }
    void removeAllUser(const QString &key) override
    {
        calls << "removeAllUser " + key;
        members.remove(key);
    }
    void inviteBuddies(const QStringList &ids, const QString &key) override
    {
        calls << "invite " + key + " " + ids.join(',');
    }
    bool reopenRoom(const QStringList &ids, const QString &key) override
    {
        calls << "reopen " + key + " " + ids.join(',');
        return reopenAnswer;
    }
    void uploadFiles(const QStringList &paths, const QString &userID, const QString &key) override
    {
        calls << "upload " + key + " " + userID + " " + paths.join(',');
    }
    QString fontName() override { return QStringLiteral("TestFace"); }
    QString fontColorString() override { return QStringLiteral("255"); }
    std::optional<QVariantMap> animiconInfo(const QString &message) override
    {
        // "<ANICO|C001|C_001.bmp|Wave|/ANICO>" decodes; anything else does not.
        const QStringList fields = message.mid(message.indexOf(QLatin1String("<ANICO"))).split(QLatin1Char('|'));
        if (fields.size() < 4 || fields.at(1).size() != 4)
            return std::nullopt;
        return QVariantMap{{QStringLiteral("animiconUrl"), QStringLiteral("http://play/") + fields.at(1)},
                           {QStringLiteral("animiconName"), fields.at(3)},
                           {QStringLiteral("categoryID"), fields.at(1).left(1)},
                           {QStringLiteral("animiconID"), fields.at(1).mid(1)}};
    }
    QString animiconUrl(const QString &category, const QString &item) override
    {
        return QStringLiteral("http://play/") + category + item;
    }
    void addNewMessageChat() override { calls << QStringLiteral("unread"); }
    void dockIconBounce() override { calls << QStringLiteral("bounce"); }
    void dockIconUpdate() override { calls << QStringLiteral("badge"); }
    void playChatSound() override { calls << QStringLiteral("sound chat"); }
    void playTransferSound() override { calls << QStringLiteral("sound transfer"); }
    void desktopNotice(const QString &title, const QString &description, const QString &icon,
                       const QVariantList &context) override
    {
        QStringList c;
        for (const QVariant &v : context)
            c << v.toString();
        calls << "notice " + title + " | " + description + " | " + icon + " | " + c.join(',');
    }
    void addSaveBuffer(const QString &body) override { saved << body; }
    void postSaveChatDocument(const QVariantMap &record) override { records << record; }
    QDateTime now() override { return clock; }

    // Calls whose text starts with the prefix.
    QStringList callsOf(const QString &prefix) const
    {
        QStringList out;
        for (const QString &c : calls)
            if (c.startsWith(prefix))
                out << c;
        return out;
    }

    QSet<QString> valid;
    QHash<QString, QVariantList> members;
    bool reopenAnswer = true;
    QStringList calls;
    QStringList saved;
    QList<QVariantMap> records;
    QDateTime clock{QDate(2009, 3, 2), QTime(13, 5, 9)};
};

class RecordingView : public ChatConversationView
{
public:
    void appendNameLine(const QString &text) override { lines << "name " + text; }
    void appendChatLine(const QString &text, const QString &color, const QString &style) override
    {
        lines << "chat " + text + " [" + color + "/" + style + "]";
    }
    void appendSystemLine(const QString &html) override { lines << "system " + html; }
    void appendWarningLine(const QString &html) override { lines << "warning " + html; }
    void appendAnimiconLine(const QString &message, const QStringList &pieces, const QString &, const QString &,
                            const QString &) override
    {
        lines << "animicon " + message + " {" + pieces.join('}' + QString('{')) + "}";
    }
    void appendFileMessage(const QString &html, int type) override
    {
        lines << QStringLiteral("file%1 ").arg(type) + html;
    }
    void appendFileInfo(const QString &html, int type) override
    {
        lines << QStringLiteral("fileinfo%1 ").arg(type) + html;
    }
    void setStatusLine(const QString &text) override { status = text; }
    void setTitle(const QString &text) override { title = text; }
    void showBanner(const ChatBanner &b) override { banner = b; }
    void refreshMembers() override { ++refreshes; }
    void playAnimicon(const QString &url) override { plays << url; }
    void scheduleFilePanel() override { ++filePanels; }
    bool isKeyWindow() override { return isKey; }

    QStringList lines;
    QString status;
    QString title;
    ChatBanner banner;
    int refreshes = 0;
    QStringList plays;
    int filePanels = 0;
    bool isKey = true;
};

// A conversation in room "K" with the given members, the selected buddy the first.
struct Conversation
{
    explicit Conversation(const QStringList &memberIDs = {}, const QString &key = QStringLiteral("K"))
    {
        room.valid.insert(key);
        QVariantList records;
        for (const QString &m : memberIDs)
            records << member(m);
        if (!records.isEmpty())
            room.members.insert(key, records);
        chat.setSessionKey(key);
        if (!memberIDs.isEmpty())
            chat.setSelectedBuddyID(memberIDs.first());
    }
    FakeRoom room;
    RecordingView view;
    ChatConversation chat{room, view};
};

} // namespace chat::test
