#pragma once

// Every notification name and userInfo key posted through NotificationCenter,
// in one place, so that a typo is a compile error and not a silent miss.
// Add new names here, grouped by the component that posts them.

namespace parley::notifications {

// Power: posted with no sender and no userInfo.
inline constexpr char kSystemWillSleep[] = "ParleySystemWillSleepNotification";
inline constexpr char kSystemWillPowerOn[] = "ParleySystemWillPowerOnNotification";
inline constexpr char kSystemHasPoweredOn[] = "ParleySystemHasPoweredOnNotification";

// Transport: a session's connect call failed at once (sender: the session;
// userInfo: kErrorClass, the socket layer's AsyncSocketError).
inline constexpr char kSessionConnectionFailed[] = "ParleySessionConnectionFailed";
inline constexpr char kErrorClass[] = "errorClass";
// Transport: one route of the connectivity test has finished (sender: the
// net manager; userInfo: the three keys below).
inline constexpr char kNetworkStatus[] = "ParleyNetworkStatus";
inline constexpr char kIsConnectable[] = "isConnectable";
inline constexpr char kDplServer[] = "dplServer";
inline constexpr char kMyIPAddress[] = "myIPAddress";
// Account session: the buddy list has arrived (sender the session, no userInfo).
inline constexpr char kBuddyInfoDidDownloaded[] = "ParleyBuddyInfoDidDownloaded";

// Buddy manager: sender the manager.
inline constexpr char kBuddyManagerBuddyLoggedIn[] = "ParleyBuddyManagerBuddyLoggedIn";      // kKeyVelaID
inline constexpr char kBuddyManagerBuddyLogout[] = "ParleyBuddyManagerBuddyLogout";          // kKeyVelaID
inline constexpr char kBuddyManagerBuddyUpdated[] = "ParleyBuddyManagerBuddyUpdated";        // kKeyVelaID
inline constexpr char kBuddyManagerAddBuddyResultReceived[] = "ParleyBuddyManagerAddBuddyResultReceived"; // kKeyUserID
inline constexpr char kBuddyManagerGroupUpdated[] = "ParleyBuddyManagerGroupUpdated";        // kKeyGroup or none
// userInfo: the request as received, with at least kKeyFromID and kKeyFromCMN.
inline constexpr char kBuddyManagerRequestedAddBuddy[] = "ParleyBuddyManagerRequestedAddBuddy";
inline constexpr char kKeyVelaID[] = "velaID";
inline constexpr char kKeyUserID[] = "userID";
inline constexpr char kKeyGroup[] = "group"; // a parley::PLGroupPtr
inline constexpr char kKeyFromID[] = "fromID";
inline constexpr char kKeyFromCMN[] = "fromCMN";

// Web uploads (PLURLConnection): sender the connection, posted on its thread.
// userInfo kKeyBytesWritten, kKeyTotalBytes (qint64) and kKeyPercent (float 0..1).
inline constexpr char kURLConnectionProgress[] = "ParleyURLConnectionProgressNotification";
// userInfo kKeyResponseData (QByteArray).
inline constexpr char kURLConnectionFinish[] = "ParleyURLConnectionFinishNotification";
inline constexpr char kKeyBytesWritten[] = "bytesWritten";
inline constexpr char kKeyTotalBytes[] = "totalBytes";
inline constexpr char kKeyPercent[] = "percent";
inline constexpr char kKeyResponseData[] = "responseData";

// Sign-in sessions (login-dispatch and notification server).
inline constexpr char kSessionConnected[] = "ParleySessionConnected";
inline constexpr char kSessionClosed[] = "ParleySessionClosed";
inline constexpr char kSessionClosedKey[] = "SessionClosed"; // "DPLSessionRetry" or "DPSessionRetry"

// Account session (the facade and its notification-server session). Sender:
// the facade, or the session for the session-level ones. userInfo as noted.
inline constexpr char kLoginCompleted[] = "ParleyLoginCompleted";
inline constexpr char kLoginStopped[] = "ParleyLoginStoppedNotification";
inline constexpr char kLogoutCompleted[] = "ParleyLogoutCompleted";
inline constexpr char kServerDidNotResponse[] = "ParleyServerDidNotResponse";
inline constexpr char kCertInitError[] = "ParleyCertInitError";
inline constexpr char kCertError[] = "ParleyCertError";                 // {"error"}
inline constexpr char kErrorCodeReceived[] = "ParleyErrorCodeReceived"; // {"jobInfo", "errorInfo"}
inline constexpr char kConfDownloaded[] = "ParleyConfDownloaded";       // {"conf", "version"}
inline constexpr char kGroupInfoWillDownload[] = "ParleyGroupInfoWillDownload";
inline constexpr char kGroupInfoDidDownloaded[] = "ParleyGroupInfoDidDownloaded";
inline constexpr char kMyStatusChanged[] = "ParleyMyStatusChanged";     // {"status"}
inline constexpr char kClose[] = "ParleyClose";
inline constexpr char kLogout[] = "ParleyLogout";
inline constexpr char kMyNickNameChanged[] = "ParleyMyNickNameChanged"; // {"nickName"}
inline constexpr char kCPRFResultReceived[] = "ParleyCPRFResultReceived";
inline constexpr char kTicketUpdated[] = "ParleyTicketUpdated";         // {"ticket"}
inline constexpr char kSwitchBoardInfoReceived[] = "ParleySwitchBoardInfoReceived";
inline constexpr char kInvitedToChat[] = "ParleyInvitedToChat";
inline constexpr char kMessageReceived[] = "ParleyMessageReceived";
inline constexpr char kSendNoteErrorReceived[] = "ParleySendNoteErrorReceived";
inline constexpr char kBuddyAlarmReceived[] = "ParleyBuddyAlarmReceived";
inline constexpr char kMyAlarmReceived[] = "ParleyMyAlarmReceived";
inline constexpr char kMyIDLoggedInOtherPlace[] = "ParleyMyIDLoggedInOtherPlace";
inline constexpr char kOrchardMainAccountInfoReceived[] = "ParleyOrchardMainAccountInfoReceived";
inline constexpr char kOrchardNewArticleInfoReceived[] = "ParleyOrchardNewArticleInfoReceived";
inline constexpr char kSessionCount[] = "ParleySessionCount";           // {"count"}
inline constexpr char kSessionList[] = "ParleySessionList";             // {"list"} or none
inline constexpr char kSessionReceiveKill[] = "ParleySessionReceiveKill"; // {"tid", "result"}
inline constexpr char kSessionKilled[] = "ParleySessionKilled";
inline constexpr char kNoteRelation[] = "ParleyNoteRelation";           // {"tid", "data"}
inline constexpr char kMailDownloadStart[] = "ParleyMailDownloadStart"; // {"fileCookie"} or none
inline constexpr char kMailDownloadEnd[] = "ParleyMailDownloadEnd";
inline constexpr char kMailDownloadUnavailable[] = "ParleyMailDownloadUnavailable";
inline constexpr char kMailUploadUnavailable[] = "ParleyMailUploadUnavailable";
inline constexpr char kMailUploadStart[] = "ParleyMailUploadStart";
// Observed by the facade.
inline constexpr char kSSSessionEnterResultReceived[] = "SSSessionEnterResultReceived"; // {"key"}
inline constexpr char kMailUploadEnd[] = "ParleyMailUploadEnd";         // {"packet"}
inline constexpr char kMailUploadRequest[] = "ParleyMailUploadRequest";
inline constexpr char kMailDownloadRequest[] = "ParleyMailDownloadRequest";
inline constexpr char kFileUploadStart[] = "ParleyFileUploadStart";
inline constexpr char kFileDownloadStartReceived[] = "ParleyFileDownloadStartReceived";
inline constexpr char kFileUploadEnd[] = "ParleyFileUploadEnd";
inline constexpr char kFileDownloadEndReceived[] = "ParleyFileDownloadEndReceived";

// File transfer (PLFileTransferManager, PLP2PSession, PLP2PSessionManager,
// PLMailTransferManager). Sender the manager unless noted; most carry
// {kKeyFileCookie}.
inline constexpr char kFileUploadRequestSent[] = "ParleyFileUploadRequestSent";             // kKeyFileCookies
inline constexpr char kFileDownloadRequestReceived[] = "ParleyFileDownloadRequestReceived"; // kKeyFileCookies
inline constexpr char kFileDownloadRejected[] = "ParleyFileDownloadRejected"; // fileName, fileSize, fileCookie
inline constexpr char kFileUploadRejected[] = "ParleyFileUploadRejected";
inline constexpr char kFileDownloadCancelled[] = "ParleyFileDownloadCancelled";
inline constexpr char kFileUploadCancelled[] = "ParleyFileUploadCancelled";
inline constexpr char kFileUploadPartSent[] = "ParleyFileUploadPartSent";
inline constexpr char kFileDownloadPartReceived[] = "ParleyFileDownloadPartReceived";
// A download that stopped without completing (peer gone, bad data, file error).
inline constexpr char kFileDownloadFailed[] = "ParleyFileDownloadFailed";
inline constexpr char kMailDownloadCancelled[] = "ParleyMailDownloadCancelled";
inline constexpr char kRenameFileNotification[] = "ParleyRenameFileNotification"; // fileCookie, filePath
// Sender the peer-to-peer session.
inline constexpr char kFileUploadFailed[] = "ParleyFileUploadFailed"; // fileCookie
// Sender the peer-to-peer manager.
inline constexpr char kFileReceiveCompleted[] = "ParleyFileReceiveCompleted";
inline constexpr char kP2PSessionClosed[] = "ParleyP2PSessionClosed";
// Mail uploads: start {fileCookie, ticket, cmn, userID, sender, name, packet};
// end {packet, fileCookie}; failed, cancelled, file cookie {fileCookie}.
inline constexpr char kMailUploadFailed[] = "ParleyMailUploadFailed";
inline constexpr char kMailUploadCancelled[] = "ParleyMailUploadCancelled";
inline constexpr char kUploadFileCookieNotification[] = "ParleyUploadFileCookieNotification";
inline constexpr char kKeyFileCookie[] = "fileCookie";
inline constexpr char kKeyFileCookies[] = "fileCookies";

// Chat rooms. The chat-session manager observes kSwitchBoardInfoReceived
// {"tid", "ip", "key", "port", "buddyIDs", "sessionUUID"} and kInvitedToChat
// {"ip", "key", "port"}, and posts kCertError {"chat", "error"} and
// kCertInitError when a room's key exchange fails.
// Posted by the chat-session manager (sender: the manager); keys as named.
inline constexpr char kChatSessionCreated[] = "ParleyChatSessionCreated";       // tid, sessionKey, sessionUUID
inline constexpr char kChatSessionActivated[] = "ParleyChatSessionActivated";   // the activation option
inline constexpr char kChatSessionWillClose[] = "ParleyChatSessionWillClose";   // sessionKey
inline constexpr char kChatSessionMessageReceived[] = "ParleyChatSessionMessageReceived";
inline constexpr char kChatSessionAwayMessageReceived[] = "ParleyChatSessionAwayMessageReceived";
inline constexpr char kChatSessionTypingInfoReceived[] = "ParleyChatSessionTypingInfoReceived";
inline constexpr char kChatSessionUserJoin[] = "ParleyChatSessionUserJoin";
inline constexpr char kChatSessionUserInfoReceived[] = "ParleyChatSessionUserInfoReceived";
inline constexpr char kChatSessionUserQuit[] = "ParleyChatSessionUserQuit";
inline constexpr char kChatSessionAnimiconReceived[] = "ParleyChatSessionAnimiconReceived";
// Messages queued in a room that closed before anybody joined:
// {"sessionKey", "messages" = [{"message", "absence"}, ...]}.
inline constexpr char kChatSessionUndelivered[] = "ParleyChatSessionUndelivered";

// The messenger's own windows and shell (sender: the window; userInfo as noted).
inline constexpr char kChangeStatus[] = "KCChangeStatus";                         // {"title"}: the status view's new title
// The display-string type of buddies changed (no sender, no userInfo).
inline constexpr char kBuddyStringTypeChanged[] = "buddyStringTypeChangedNotification";
inline constexpr char kPreferenceSave[] = "ParleyPreferenceSaveNotification";
inline constexpr char kSaveChatMessage[] = "ParleySaveChatMessage";               // {"content"}
inline constexpr char kSessionKill[] = "ParleySessionKill";                       // {"killKey", "killType", "PCName"}
inline constexpr char kUpdateManagerMainVersionChecked[] = "UpdateManagerMainVersionChecked";
inline constexpr char kUpdateManagerPlugInVersionChecked[] = "UpdateManagerPlugInVersionChecked";
inline constexpr char kPlugInQuit[] = "PlugInQuitNotification";                   // {"id", "key"}
inline constexpr char kUpdateControllerCompleted[] = "UpdateControllerCompletedNotification"; // the plug-in's entry

// Plug-in protocol: distributed notifications between the messenger and its
// plug-in processes (DistributedNotificationCenter; typed posters in
// PlugInNotifications.h). Object and userInfo as each line says.
inline constexpr char kMessageBoxPlugInID[] = "37A90507-CF63-49D8-8E1E-F32E4A869CB8";
// Plug-in to messenger.
inline constexpr char kPlugUserInfo[] = "PLPlugUserInfo";             // object: the plug-in's id
inline constexpr char kReadMemoDocument[] = "PLReadMemoDocument";     // userInfo: the read payload
inline constexpr char kWriteMemoDocument[] = "PLWriteMemoDocument";   // userInfo: empty; object: a recipient ID or none
inline constexpr char kReplyMemoDocument[] = "PLReplyMemoDocument";   // as PLReadMemoDocument
inline constexpr char kForwardMemoDocument[] = "PLForwardMemoDocument";
inline constexpr char kReplyAllMemoDocument[] = "PLReplyAllMemoDocument";
inline constexpr char kUnreadMemoCount[] = "PLUnreadMemoCount";       // object: the count as text
inline constexpr char kOpenWebMemoBox[] = "PLOpenWebMemoBox";         // object: the plug-in's id
inline constexpr char kOpenWebChatBox[] = "PLOpenWebChatBox";
inline constexpr char kOpenMessageBoxHelp[] = "PLOpenMessageBoxHelp";
inline constexpr char kConversationWindow[] = "PLConversationWindow"; // object: a buddy ID or none
// Messenger to plug-ins.
inline constexpr char kLoginUserInfo[] = "PLLoginUserInfo";           // object: the full user ID
inline constexpr char kBuddyStatusList[] = "PLBuddyStatusList";       // userInfo: login ID -> status number
inline constexpr char kShowPlugInWindow[] = "PLShowPlugInWindow";     // object: the plug-in's id
inline constexpr char kQuitPlugInProcess[] = "PLQuitPlugInProcess";   // object: none or a plug-in's id
inline constexpr char kWillRemovePlugIn[] = "PLWillRemovePlugIn";     // object: a plug-in's id
inline constexpr char kSaveMemoDocument[] = "PLSaveMemoDocument";     // userInfo: a memo record
inline constexpr char kSaveChatDocument[] = "PLSaveChatDocument";     // userInfo: a chat record
inline constexpr char kRefreshPlugin[] = "PLRefreshPlugin";
inline constexpr char kShowLastChat[] = "PLShowLastChat";             // object: a user ID

} // namespace parley::notifications
