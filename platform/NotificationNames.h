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
inline constexpr char kFileDownloadEndReceived[] = "ParleyFileDownloadEndReceived";
inline constexpr char kFileUploadEnd[] = "ParleyFileUploadEnd";
// A download that stopped without completing (peer gone, bad data, file error).
inline constexpr char kFileDownloadFailed[] = "ParleyFileDownloadFailed";
inline constexpr char kMailDownloadRequest[] = "ParleyMailDownloadRequest"; // targetID, fileCookie, requestType
inline constexpr char kMailDownloadCancelled[] = "ParleyMailDownloadCancelled";
inline constexpr char kMailUploadRequest[] = "ParleyMailUploadRequest"; // targetID, fileCookie, requestType
inline constexpr char kRenameFileNotification[] = "ParleyRenameFileNotification"; // fileCookie, filePath
// Sender the peer-to-peer session.
inline constexpr char kFileUploadStart[] = "ParleyFileUploadStart";
inline constexpr char kFileUploadFailed[] = "ParleyFileUploadFailed"; // fileCookie
inline constexpr char kFileDownloadStartReceived[] = "ParleyFileDownloadStartReceived";
// Sender the peer-to-peer manager.
inline constexpr char kFileReceiveCompleted[] = "ParleyFileReceiveCompleted";
inline constexpr char kP2PSessionClosed[] = "ParleyP2PSessionClosed";
// Mail uploads: start {fileCookie, ticket, cmn, userID, sender, name, packet};
// end {packet, fileCookie}; failed, cancelled, file cookie {fileCookie}.
inline constexpr char kMailUploadStart[] = "ParleyMailUploadStart";
inline constexpr char kMailUploadEnd[] = "ParleyMailUploadEnd";
inline constexpr char kMailUploadFailed[] = "ParleyMailUploadFailed";
inline constexpr char kMailUploadCancelled[] = "ParleyMailUploadCancelled";
inline constexpr char kUploadFileCookieNotification[] = "ParleyUploadFileCookieNotification";
inline constexpr char kKeyFileCookie[] = "fileCookie";
inline constexpr char kKeyFileCookies[] = "fileCookies";

} // namespace parley::notifications
