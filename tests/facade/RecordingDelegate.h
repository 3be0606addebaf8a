#pragma once

// A notification-server session delegate that records every call as its name
// and details, for the handler tests.

#include "Sessions/PLDPSessionDelegate.h"

#include <QList>
#include <QString>
#include <QVariantMap>

namespace facade::test {

struct DelegateCall {
    QString name;
    QVariantMap details;
};

class RecordingDelegate : public parley::PLDPSessionDelegate {
public:
    QList<DelegateCall> calls;

#define PL_RECORD(method)                                                                                              \
    void method(parley::PLDPSession *, const QVariantMap &details) override { calls.append({#method, details}); }
    PL_RECORD(dpSessionErrorCodeReceived)
    PL_RECORD(dpSessionTicketReceived)
    PL_RECORD(dpSessionPnakReceived)
    PL_RECORD(dpSessionChangeStatusResultReceived)
    PL_RECORD(dpSessionChangeNickNameResultReceived)
    PL_RECORD(dpSessionCprfResultReceived)
    PL_RECORD(dpSessionSsInfoReceived)
    PL_RECORD(dpSessionInvitedToChat)
    PL_RECORD(dpSessionMessageReceived)
    PL_RECORD(dpSessionCalmReceived)
    PL_RECORD(dpSessionAlrmReceived)
    PL_RECORD(dpSessionKillReceived)
    PL_RECORD(dpSessionRequestP2PConnectReceived)
    PL_RECORD(dpSessionFrServerInfoReceived)
    PL_RECORD(dpSessionBuddyStatusChanged)
    PL_RECORD(dpSessionBuddyNickNameChanged)
    PL_RECORD(dpSessionBuddyFlagChanged)
    PL_RECORD(dpSessionBuddyInfoUpdateNotificaionReceived)
    PL_RECORD(dpSessionAddGroupResultReceived)
    PL_RECORD(dpSessionRemoveGroupResultReceived)
    PL_RECORD(dpSessionRenameGroupResultReceived)
    PL_RECORD(dpSessionAcceptAddBuddyResultReceived)
    PL_RECORD(dpSessionRejectAddBuddyResultReceived)
    PL_RECORD(dpSessionRequestAddBuddyResultReceived)
    PL_RECORD(dpSessionRequestRemoveBuddyResultReceived)
    PL_RECORD(dpSessionRemoveBuddiesResultReceived)
    PL_RECORD(dpSessionCopyBuddiesResultReceived)
    PL_RECORD(dpSessionMoveBuddiesResultReceived)
    PL_RECORD(dpSessionUserRegistersMeToBuddyListNotificationReceived)
    PL_RECORD(dpSessionUserRemovesMeToBuddyListNotificationReceived)
#undef PL_RECORD
};

} // namespace facade::test
