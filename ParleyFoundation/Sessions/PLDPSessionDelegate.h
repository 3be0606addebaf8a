#pragma once

// What the notification-server session reports to its owner (the
// account-session facade). Every callback is optional (the default does
// nothing) and gets the session and one details dictionary (the group and
// buddy lines of the sign-in come typed first, see below); an event without
// details gets an empty dictionary. Wherever the details carry "tid", it is
// the command's transaction id as decimal text ("0": started by the server).
// The session never owns its delegate; the owner clears it before it goes.

#include "BuddyManagement/PLBuddyInfo.h"
#include "BuddyManagement/PLGroupInfo.h"

#include <QVariantMap>

namespace parley {

class PLDPSession;

class PLDPSessionDelegate
{
public:
    virtual ~PLDPSessionDelegate() = default;

    // Sign-in sequence.
    // {"tid", "range", "encodeType", "publicKey": the NCPT body bytes}
    virtual void dpSessionPublicKeyReceived(PLDPSession *, const QVariantMap &) {}
    // The PRVK reply (no details).
    virtual void dpSessionSendSessionKeyResultReceived(PLDPSession *, const QVariantMap &) {}
    // "tid" and the account fields of the sign-in reply.
    virtual void dpSessionMyInfoReceived(PLDPSession *, const QVariantMap &) {}
    // {"tid", "token", "ticket"}
    virtual void dpSessionTokenReceived(PLDPSession *, const QVariantMap &) {}
    // The LOPT reply (no details).
    virtual void dpSessionLoptReceived(PLDPSession *, const QVariantMap &) {}
    // {"version": number, "conf": bytes}
    virtual void dpSessionConfReceived(PLDPSession *, const QVariantMap &) {}
    // The group and buddy lines come once per buddy: the session hands them
    // over typed. By default each is passed on as its dictionary to the
    // dictionary form below, for owners that want the dictionary.
    virtual void dpSessionGroupLineReceived(PLDPSession *session, const PLGroupInfo &line)
    {
        dpSessionGroupInfoReceived(session, line.toVariantMap());
    }
    virtual void dpSessionBuddyLineReceived(PLDPSession *session, const PLBuddyInfo &line)
    {
        dpSessionBuddyInfoReceived(session, line.toVariantMap());
    }
    // {"type": "Cache" | "Group" | "Buddy", ...}; empty for an unknown line.
    virtual void dpSessionGroupInfoReceived(PLDPSession *, const QVariantMap &) {}
    // {"cmn", "velaID", "name", "nickName", "buddyFlag", "mobile", "orchardCMN", "isLast"}
    virtual void dpSessionBuddyInfoReceived(PLDPSession *, const QVariantMap &) {}
    // The account has no buddies (no details).
    virtual void dpSessionNoBuddyInfoReceived(PLDPSession *, const QVariantMap &) {}
    // The last LIST line completed the sign-in (no details).
    virtual void dpSessionLoginCompleted(PLDPSession *, const QVariantMap &) {}
    // The relay answered RCON (no details).
    virtual void dpSessionRemoteConnected(PLDPSession *, const QVariantMap &) {}
    // The keepalive gave up: six PONGs went unanswered (no details).
    virtual void dpSessionServerTimeout(PLDPSession *, const QVariantMap &) {}
    // {"tid", "errorCode"} and {"subCode", "message"} (code 999) or {"receivedData"}
    virtual void dpSessionErrorCodeReceived(PLDPSession *, const QVariantMap &) {}

    // Replies and events after sign-in (handled by the buddy, group,
    // presence, message and service handlers).
    virtual void dpSessionTicketReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionPnakReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionChangeStatusResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionChangeNickNameResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionCprfResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionSsInfoReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionInvitedToChat(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionMessageReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionSendCMSGErrorReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionCalmReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionAlrmReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionKillReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionRequestP2PConnectReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionFrServerInfoReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionBuddyStatusChanged(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionBuddyNickNameChanged(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionBuddyFlagChanged(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionBuddyInfoUpdateNotificaionReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionAddGroupResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionRemoveGroupResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionRenameGroupResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionAcceptAddBuddyResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionRejectAddBuddyResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionRequestAddBuddyResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionRequestRemoveBuddyResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionRemoveBuddiesResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionCopyBuddiesResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionMoveBuddiesResultReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionUserRegistersMeToBuddyListNotificationReceived(PLDPSession *, const QVariantMap &) {}
    virtual void dpSessionUserRemovesMeToBuddyListNotificationReceived(PLDPSession *, const QVariantMap &) {}
};

} // namespace parley
