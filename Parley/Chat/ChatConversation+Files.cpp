#include "ChatConversation.h"

#include "ChatLogBody.h"
#include "ChatRoomServices.h"
#include "ChatText.h"

#include "BuddyList/BuddyString.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "KCAlertPresenter.h"
#include "Log.h"
#include "Utils/KCUtilities.h"
#include "Utils/PrefsManager.h"

#include <QFileInfo>

namespace parley {

namespace {

bool askOKCancel(const char *key, const char *titleKey, const char *messageKey, KCAlertRequest::Style style)
{
    KCAlertRequest request;
    request.key = QLatin1String(key);
    request.title = KCLocalizedString(QLatin1String(titleKey));
    request.message = KCLocalizedString(QLatin1String(messageKey));
    request.buttons = {KCLocalizedString(QStringLiteral("OK")), KCLocalizedString(QStringLiteral("Cancel"))};
    request.style = style;
    return KCAlerts().ask(request).button == 0;
}

} // namespace

void ChatConversation::setFileTransferChat(bool flag, const QStringList &files, const QString &receiver)
{
    mIsFileTransferChat = flag;
    mTransferFiles = files;
    mFileReceiver = receiver;
}

void ChatConversation::fileUploadingCheck()
{
    if (!mIsFileTransferChat)
        return;
    if (mFileReceiver.isEmpty() || mTransferFiles.isEmpty()) {
        mIsFileTransferChat = false;
        mView.scheduleFilePanel();
        return;
    }
    // The room is still being made: the files wait.
    if (!mServices.isValidSessionKey(mSessionKey))
        return;
    if (buddyIDList().contains(mFileReceiver)) {
        mServices.uploadFiles(mTransferFiles, mFileReceiver, mSessionKey);
        mTransferFiles.clear();
        mFileReceiver.clear();
        mIsFileTransferChat = false;
    } else {
        // They go out when the receiver joins.
        mServices.inviteBuddies({mFileReceiver}, mSessionKey);
    }
}

void ChatConversation::uploadToMembers(const QStringList &paths)
{
    for (const QString &member : buddyIDList())
        mServices.uploadFiles(paths, member, mSessionKey);
}

void ChatConversation::dropFiles(const QStringList &paths)
{
    if (mBanner.inputLocked || !acceptsFiles(paths))
        return;
    if (!buddyIDList().isEmpty()) {
        uploadToMembers(paths);
        return;
    }
    if (mLastBuddyID.isEmpty())
        return;
    mIsWantUploadFileToLastUser = true;
    mLastUserForUploadFile = mLastBuddyID;
    mUploadFilesForLastUser = paths;
    inviteOrReconnect({mLastBuddyID});
}

void ChatConversation::sendFiles(const QStringList &paths)
{
    QStringList files = paths;
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir())
            continue;
        KCAlertRequest request;
        request.key = QStringLiteral("NotFileErrorTitle");
        request.title = KCLocalizedString(QStringLiteral("NotFileErrorTitle"));
        request.message = ChatText::localized("NotFileErrorMessage", {path});
        request.style = KCAlertRequest::Style::Warning;
        KCAlerts().ask(request);
        if (files.size() == 1)
            return;
        files.removeAll(path);
    }
    if (files.isEmpty())
        return;
    const QStringList members = buddyIDList();
    if (!members.isEmpty()) {
        if (!mServices.isValidSessionKey(mSessionKey))
            chatSessionReconnect(members);
        uploadToMembers(files);
        return;
    }
    const QString target = mLastBuddyID.isEmpty() ? mSelectedBuddyID : mLastBuddyID;
    if (target.isEmpty()) {
        plLog(QStringLiteral("Nobody here!!!"));
        return;
    }
    mIsWantUploadFileToLastUser = true;
    mLastUserForUploadFile = target;
    mUploadFilesForLastUser = files;
    if (!mIsSessionDisconnected && mServices.isValidSessionKey(mSessionKey))
        mServices.inviteBuddies({target}, mSessionKey);
    else
        chatSessionReconnect({target});
}

void ChatConversation::addFileInfoMessage(const QString &formatKey, int fileType, const QString &velaID)
{
    const QString format = KCLocalizedString(formatKey);
    addFileMessage(velaID.isEmpty() ? format : ChatText::fill(format, {whoIs(velaID)}), fileType);
}

void ChatConversation::addFileMessage(const QString &text, int fileType)
{
    noteSubject(text);
    mChatText += text;
    mView.appendFileMessage(ChatText::html(text), fileType);
}

void ChatConversation::addFileInfo(const QString &text, int fileType)
{
    noteSubject(text);
    mChatText += text + QLatin1Char('\n');
    mView.appendFileInfo(ChatText::html(text), fileType);
    if (mView.isKeyWindow())
        return;
    if (PrefsManager::noti_IsUseSound() && PrefsManager::noti_IsUseSoundForFileTrans())
        mServices.playTransferSound();
    const bool isMe = !mSelectedBuddyID.isEmpty() && mSelectedBuddyID == PLMyInfoManager::sharedManager().velaID();
    const QString who = isMe ? BuddyString::buddyStringForMyInfo() : displayStringForMember(mSelectedBuddyID);
    mServices.desktopNotice(ChatText::localized("FileGrowlTitleFormat", {who}), text, QStringLiteral("FileButton"),
                            {QStringLiteral("CHAT"), mSelectedBuddyID});
}

QString ChatConversation::chatLogBody() const
{
    const QString notEncoded = KCLocalizedString(QStringLiteral("ChatMessageIsNotEncoded"));
    PL_GUARD_FLAG(!mChatText.isEmpty() && mChatText != notEncoded, QString());
    PL_GUARD_OBJECT(mHasSubject, QString());
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    ChatLogFields fields;
    fields.ticket = me.ticket();
    fields.ownerCMN = me.cmn();
    fields.buddys = ChatLogBody::buddysField(buddyIDList(), mLastBuddyID, mSelectedBuddyID);
    fields.subject = mSubject;
    fields.content = mChatText;
    return ChatLogBody::body(fields);
}

bool ChatConversation::saveChatMessages()
{
    const QString body = chatLogBody();
    if (body.isNull())
        return false;
    mServices.addSaveBuffer(body);
    const QStringList ids = ChatLogBody::loggedMemberIDs(buddyIDList(), mLastBuddyID, mSelectedBuddyID);
    QStringList names;
    for (const QString &id : ids)
        names.append(displayStringForMember(id));
    mServices.postSaveChatDocument(
        ChatLogBody::messageBoxRecord(mTitle, mSubject, mChatText, ids, names, mServices.now()));
    return true;
}

bool ChatConversation::windowShouldClose()
{
    // Leaving a group chat is asked first; Cancel keeps the window.
    if (mLastBuddyID.isEmpty() && buddyIDList().size() > 1
        && !askOKCancel("AlertMsgForChat", "ChatTitle", "AlertMsgForChat", KCAlertRequest::Style::Warning))
        return false;
    const int saveType = PrefsManager::msg_saveChatType();
    if (saveType == 0)
        saveChatMessages();
    else if (saveType == 2 && askOKCancel("SaveChatMsg", "SaveChat", "SaveChatMsg", KCAlertRequest::Style::Informational))
        saveChatMessages();
    return true;
}

} // namespace parley
