#include "ChatConversation.h"

#include "ChatMessageString.h"
#include "ChatRoomServices.h"
#include "ChatText.h"

#include "BuddyList/BuddyString.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

namespace parley {

namespace {

const QString kVelaID = QStringLiteral("velaID");
const QString kMessage = QStringLiteral("message");

bool holdsAnimicon(const QString &message) { return message.contains(QLatin1String("<ANICO")); }

// The first line of a text, whatever ends it.
QString firstLine(const QString &text)
{
    qsizetype end = text.size();
    for (const QChar breaker : {QLatin1Char('\r'), QLatin1Char('\n')}) {
        const qsizetype at = text.indexOf(breaker);
        if (at >= 0 && at < end)
            end = at;
    }
    return text.left(end);
}

} // namespace

ChatConversation::ChatConversation(ChatRoomServices &services, ChatConversationView &view)
    : mServices(services), mView(view)
{
}

void ChatConversation::start()
{
    if (!PrefsManager::privacy_IsMessageEncoded())
        addSystemMessage(KCLocalizedString(QStringLiteral("ChatMessageIsNotEncoded")));
}

void ChatConversation::setSelectedBuddyID(const QString &id)
{
    mSelectedBuddyID = id;
    mView.refreshMembers();
}

void ChatConversation::setSessionDisconnected(bool flag)
{
    mIsSessionDisconnected = flag;
    if (!flag)
        mIsReopening = false;
}

// --- sending -----------------------------------------------------------------

bool ChatConversation::send(const QString &text, const QString &animiconID, const QString &animiconMessage)
{
    if (text.isEmpty())
        return false;
    const QString message = ChatMessageString::compose(KCLocalizedString(QStringLiteral("Gulim")),
                                                       mServices.fontColorString(), QString(), text);
    const bool valid = mServices.isValidSessionKey(mSessionKey);
    // The buddy this window waits for is asked in again with every line.
    if (!mLastBuddyID.isEmpty() && !mIsJoined && valid)
        mServices.inviteBuddies({mLastBuddyID}, mSessionKey);
    mMessageQueue.append(message);
    if (valid)
        sendQueue();
    else
        reopenWithSelectedBuddy();

    if (!animiconID.isEmpty() && !animiconMessage.isEmpty()) {
        mServices.sendAnimicon(animiconMessage, mSessionKey);
        const QString url = mServices.animiconUrl(animiconID.left(1), animiconID.mid(1));
        if (!url.isEmpty())
            mView.playAnimicon(url);
    }
    addMessage(text, QString(), true, false);
    mIsSendTypingInfo = false;
    return true;
}

void ChatConversation::sendQueue()
{
    for (const QString &message : std::as_const(mMessageQueue))
        mServices.sendMessage(message, mSessionKey);
    mMessageQueue.clear();
}

void ChatConversation::reopenWithSelectedBuddy()
{
    // The queue waits for the room asked for already.
    if (mIsReopening)
        return;
    mLastBuddyID = mSelectedBuddyID;
    if (mSelectedBuddyID.isEmpty())
        return;
    mIsReopening = mServices.reopenRoom({mSelectedBuddyID}, mSessionKey);
}

void ChatConversation::textDidChange(bool isEmpty)
{
    if (mSessionKey.isEmpty())
        return;
    if (isEmpty) {
        mServices.sendTypingInfo(false, mSessionKey);
    } else if (!mIsSendTypingInfo) {
        mServices.sendTypingInfo(true, mSessionKey);
        mIsSendTypingInfo = true;
    }
}

void ChatConversation::windowDidBecomeKey(bool inputIsEmpty)
{
    mIsExistNewMessage = false;
    mUnviewedCount = 0;
    mServices.dockIconUpdate();
    if (!inputIsEmpty && !mSessionKey.isEmpty())
        mServices.sendTypingInfo(true, mSessionKey);
    fileUploadingCheck();
    updateAbsentBuddyStatusView();
    mView.refreshMembers();
}

void ChatConversation::windowDidResignKey()
{
    if (!mSessionKey.isEmpty())
        mServices.sendTypingInfo(false, mSessionKey);
}

// --- receiving ---------------------------------------------------------------

void ChatConversation::messageReceived(const QVariantMap &info)
{
    const QString type = info.value(QStringLiteral("activateType")).toString();
    const QString message = info.value(kMessage).toString();
    // Handwriting names its sender as "senderID" (with "|" fields after it).
    QString sender = info.value(kVelaID).toString();
    if (sender.isEmpty())
        sender = info.value(QStringLiteral("senderID")).toString().section(QLatin1Char('|'), 0, 0);
    if (message.isEmpty())
        return;
    const bool isAnimicon = holdsAnimicon(message);
    if (isAnimicon) {
        const std::optional<QVariantMap> animicon = mServices.animiconInfo(message);
        if (!animicon)
            return;
        const QString url = animicon->value(QStringLiteral("animiconUrl")).toString();
        if (!url.isEmpty())
            mView.playAnimicon(url);
    }
    if (type == QLatin1String("inkMessage")) {
        addSystemMessage(KCLocalizedString(QStringLiteral("InkMessageNotSupport")), sender);
    } else if (type == QLatin1String("spshMessage")) {
        addWarningMessage(message);
        return;
    } else {
        addMessage(message, sender, false, false);
    }

    const QString now = ChatText::dateString(mServices.now(), true);
    mView.setStatusLine(ChatText::localized("MessageReceivedTime", {now}));
    if (!mView.isKeyWindow()) {
        mIsExistNewMessage = true;
        ++mUnviewedCount;
        showUnseenNotices(sender, message, isAnimicon, now);
    } else {
        mIsExistNewMessage = false;
        mUnviewedCount = 0;
    }
    sendAwayReply();
}

void ChatConversation::showUnseenNotices(const QString &senderID, const QString &message, bool isAnimicon,
                                         const QString &now)
{
    if (PrefsManager::noti_IsShowBounceAlarm())
        mServices.dockIconBounce();
    else
        mServices.dockIconUpdate();
    mServices.addNewMessageChat();
    if (PrefsManager::noti_IsUseSound() && PrefsManager::noti_IsUseSoundForMessage())
        mServices.playChatSound();

    QString noticeText = ChatMessageString::parse(message).text;
    if (isAnimicon) {
        // The animicon's name is the fourth "|" field of the wire form, when
        // the text has one; else the name the catalogue read from it.
        const QStringList fields = noticeText.split(QLatin1Char('|'));
        if (fields.size() > 3)
            noticeText = fields.at(3);
        else if (const std::optional<QVariantMap> animicon = mServices.animiconInfo(message))
            noticeText = animicon->value(QStringLiteral("animiconName")).toString();
    }
    const QString title =
        ChatText::localized("ChatTitleCountFormat", {displayStringForMember(senderID), QString::number(mUnviewedCount)});
    mServices.desktopNotice(title, noticeText + QLatin1Char('\n') + now, QStringLiteral("ToastIconChat"),
                            {QStringLiteral("CHAT"), senderID});
}

void ChatConversation::sendAwayReply()
{
    const int status = PLMyInfoManager::sharedManager().status();
    if (!((PrefsManager::msg_IsShowAbsentMessageWhenAway() && status == 3)
          || (PrefsManager::msg_IsShowAbsentMessageWhenBusy() && status == 2)))
        return;
    const QString text = PrefsManager::msg_absentMessage();
    if (text.isEmpty())
        return;
    // Once after the window opened and once after each change of status.
    if (!mIsChangedMyStatus)
        return;
    const QString reply = ChatMessageString::compose(PrefsManager::msg_AbsentMsgFontName(),
                                                     PrefsManager::msg_AbsentMsgColorString(), QString(), text);
    mServices.leaveMessage(reply, mSessionKey);
    addMessage(reply, QString(), true, true);
    mIsChangedMyStatus = false;
}

void ChatConversation::awayMessageReceived(const QVariantMap &info)
{
    const QString message = info.value(kMessage).toString();
    if (message.isEmpty())
        return;
    addMessage(message, info.value(kVelaID).toString(), false, true);
}

void ChatConversation::typingInfoReceived(const QVariantMap &info)
{
    if (info.value(QStringLiteral("flag")).toString() == QLatin1String("1"))
        mView.setStatusLine(
            ChatText::localized("MessageTyping", {displayStringForMember(info.value(kVelaID).toString())}));
    else
        mView.setStatusLine(KCLocalizedString(QStringLiteral("ChatReady")));
}

void ChatConversation::userJoined(const QVariantMap &info)
{
    const QString joined = info.value(kVelaID).toString();
    mIsJoined = mLastBuddyID.isEmpty() || mLastBuddyID == joined;
    mIsReopening = false;
    bool filesHandedOver = false;
    if (mIsFileTransferChat) {
        if (joined == mFileReceiver) {
            mServices.uploadFiles(mTransferFiles, mFileReceiver, mSessionKey);
            mTransferFiles.clear();
            mFileReceiver.clear();
            mIsFileTransferChat = false;
        }
        filesHandedOver = true;
    } else if (mIsWantUploadFileToLastUser && joined == mLastUserForUploadFile) {
        mServices.uploadFiles(mUploadFilesForLastUser, mLastUserForUploadFile, mSessionKey);
        mIsWantUploadFileToLastUser = false;
        mUploadFilesForLastUser.clear();
        mLastUserForUploadFile.clear();
        filesHandedOver = true;
    }
    // The awaited buddy is back: the messages typed meanwhile go out, also
    // when files were waiting for it too.
    if (!mLastBuddyID.isEmpty() && mLastBuddyID == joined) {
        mLastBuddyID.clear();
        sendQueue();
    } else if (!filesHandedOver) {
        addSystemMessage(KCLocalizedString(QStringLiteral("BuddyEntered")), joined);
    }
    afterMembersChanged();
}

void ChatConversation::userQuited(const QVariantMap &info)
{
    const QString leaver = info.value(kVelaID).toString();
    mIsJoined = false;
    const QStringList members = buddyIDList();
    if (!members.isEmpty()) {
        addSystemMessage(KCLocalizedString(QStringLiteral("BuddyLeft")), leaver);
        updateChatTitle(std::nullopt);
    } else {
        mLastBuddyID = leaver;
        updateChatTitle(QStringList{leaver});
    }
    if (leaver == mSelectedBuddyID) {
        if (!members.isEmpty())
            mSelectedBuddyID = members.first();
        else if (!mLastBuddyID.isEmpty())
            mSelectedBuddyID = mLastBuddyID;
    }
    updateAbsentBuddyStatusView();
    mView.refreshMembers();
}

void ChatConversation::userInfoReceived(const QVariantMap &)
{
    mIsJoined = true;
    updateAbsentBuddyStatusView();
    mView.refreshMembers();
}

void ChatConversation::ackAnimicon(const QVariantMap &info)
{
    // Finished text naming the sender: shown as it is, never as a format.
    addSystemText(info.value(kMessage).toString());
}

void ChatConversation::messagesUndelivered(const QVariantMap &info)
{
    for (const QVariant &item : info.value(QStringLiteral("messages")).toList()) {
        const QString text = ChatMessageString::parse(item.toMap().value(kMessage).toString()).text;
        if (!text.isEmpty())
            addSystemText(ChatText::localized("ChatMessageNotDelivered", {text}));
    }
}

void ChatConversation::sessionWillClose(const QString &sessionKey)
{
    if (sessionKey != mSessionKey && sessionKey != QLatin1String("all"))
        return;
    const QStringList members = buddyIDList();
    if (mLastBuddyID.isEmpty() && !members.isEmpty()) {
        mLastBuddyID = members.first();
        mSelectedBuddyID = mLastBuddyID;
    }
    if (members.size() > 1) {
        for (const QString &member : members)
            if (member != mSelectedBuddyID)
                addSystemText(ChatText::localized("ExceptBuddyMsg", {displayStringForMember(member)}));
        addSystemMessage(KCLocalizedString(QStringLiteral("ReInviteMsg")));
    }
    if (sessionKey != QLatin1String("all"))
        mServices.removeAllUser(mSessionKey);
    updateAbsentBuddyStatusView();
    mView.refreshMembers();
    mIsSessionDisconnected = true;
    mIsReopening = false;
}

void ChatConversation::buddyUpdated()
{
    updateAbsentBuddyStatusView();
    updateChatTitle(std::nullopt);
    mView.refreshMembers();
}

void ChatConversation::myStatusChanged()
{
    updateAbsentBuddyStatusView();
    mIsChangedMyStatus = true;
}

void ChatConversation::afterMembersChanged()
{
    updateAbsentBuddyStatusView();
    updateChatTitle(std::nullopt);
    mView.refreshMembers();
}

// --- lines -------------------------------------------------------------------

void ChatConversation::addMessage(const QString &message, const QString &fromID, bool isMe, bool isAbsent)
{
    const bool isAnimicon = holdsAnimicon(message);
    const char *formatKey = isAbsent ? "ChatAbsentBuddyFormat" : "ChatBuddyFormat";
    if (isMe) {
        addBuddyNameDisplayMessage(ChatText::localized(formatKey, {BuddyString::buddyStringForMyInfo()}));
        if (isAnimicon) {
            addAnimiconMessage(message, mServices.fontName(), mServices.fontColorString(), QString());
        } else if (isAbsent) {
            const ChatMessageString reply = ChatMessageString::parse(message);
            addChatMessage(reply.text, reply.fontName, reply.fontColor, reply.fontStyle);
        } else {
            addChatMessage(message, mServices.fontName(), mServices.fontColorString(), QString());
        }
        return;
    }
    addBuddyNameDisplayMessage(ChatText::localized(formatKey, {displayStringForMember(fromID)}));
    const ChatMessageString received = ChatMessageString::parse(message);
    if (isAnimicon) {
        addAnimiconMessage(received.text, received.fontName, received.fontColor, received.fontStyle);
        addSystemMessage(KCLocalizedString(QStringLiteral("AnimiconNotSupport")));
    } else {
        addChatMessage(received.text, received.fontName, received.fontColor, received.fontStyle);
    }
}

void ChatConversation::addBuddyNameDisplayMessage(const QString &line)
{
    mChatText += line + QLatin1Char('\n');
    mView.appendNameLine(line);
}

void ChatConversation::noteSubject(const QString &text)
{
    if (mHasSubject)
        return;
    mSubject = firstLine(text);
    mHasSubject = true;
}

void ChatConversation::addChatMessage(const QString &text, const QString &, const QString &fontColor,
                                      const QString &fontStyle)
{
    // Every chat line is drawn in the user's input face; the sender's face
    // is not used.
    noteSubject(text);
    mChatText += text + QLatin1Char('\n');
    mView.appendChatLine(text, fontColor, fontStyle);
}

void ChatConversation::addAnimiconMessage(const QString &message, const QString &fontName, const QString &fontColor,
                                          const QString &fontStyle)
{
    const std::optional<QVariantMap> info = mServices.animiconInfo(message);
    const QString name = info ? info->value(QStringLiteral("animiconName")).toString() : QString();
    QStringList pieces;
    QString logText = name;
    const qsizetype start = message.indexOf(QLatin1String("<ANICO"));
    const qsizetype end = start >= 0 ? message.indexOf(QLatin1String("ANICO>"), start) : -1;
    if (start >= 0 && end >= 0) {
        const qsizetype after = end + 6;
        pieces = {message.left(start), message.mid(start, after - start), message.mid(after)};
        logText = pieces.at(0) + QLatin1Char('(') + name + QLatin1Char(')') + pieces.at(2);
    }
    mChatText += logText + QLatin1Char('\n');
    mView.appendAnimiconLine(message, pieces, fontName, fontColor, fontStyle);
}

QString ChatConversation::whoIs(const QString &velaID) const
{
    const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForID(velaID);
    if (buddy && buddy->buddyFlagFLBit())
        return BuddyString::buddyStringWithBuddy(buddy);
    return velaID;
}

void ChatConversation::addSystemMessage(const QString &format, const QString &velaID)
{
    addSystemText(velaID.isEmpty() ? format : ChatText::fill(format, {whoIs(velaID)}));
}

void ChatConversation::addSystemText(const QString &text)
{
    mChatText += text;
    mView.appendSystemLine(ChatText::html(text));
}

void ChatConversation::addWarningMessage(const QString &html)
{
    mChatText += ChatText::stripMarkup(html);
    mView.appendWarningLine(html);
}

void ChatConversation::updateChatTitle(const std::optional<QStringList> &buddyIDs)
{
    QString names;
    if (buddyIDs) {
        names = BuddyString::buddyStringWithBuddyIDs(*buddyIDs);
        // Nobody of the buddy list: the IDs themselves.
        if (names.isEmpty())
            names = buddyIDs->join(QStringLiteral(", "));
    } else {
        const QVariantList infos = mServices.userInfosInSession(mSessionKey);
        if (infos.isEmpty())
            return;
        names = BuddyString::buddyStringWithBuddyDictArray(infos);
    }
    mTitle = ChatText::localized("ChatTitleFormat", {names});
    mView.setTitle(mTitle);
}

} // namespace parley
