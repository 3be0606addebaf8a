#pragma once

// Writes down every call a switchboard session makes to its delegate.

#include "ChatDoubles.h"
#include "Sessions/PLSSSessionDelegate.h"

namespace parley::test {

class RecordingSSDelegate : public PLSSSessionDelegate
{
public:
#define PL_RECORD(method)                                                                                              \
    void method(PLSSSession *, const QVariantMap &info) override { calls.append({QStringLiteral(#method), info}); }
    PL_RECORD(ssSessionActivated)
    PL_RECORD(ssSessionNcptPublicKeyReceived)
    PL_RECORD(ssSessionPublicKeyReceived)
    PL_RECORD(ssSessionUserReceived)
    PL_RECORD(ssSessionJoinReceived)
    PL_RECORD(ssSessionUserQuitReceived)
    PL_RECORD(ssSessionMessageReceived)
    PL_RECORD(ssSessionAwayMessageReceived)
    PL_RECORD(ssSessionInkMessageReceived)
    PL_RECORD(ssSessionTypingInfoReceived)
    PL_RECORD(ssSessionSpshMsgReceived)
    PL_RECORD(ssSessionAnimiconReceived)
    PL_RECORD(ssSessionAnimiconAck)
    PL_RECORD(ssSessionRequestFileTransferReceived)
    PL_RECORD(ssSessionNackFileTransferReceived)
    PL_RECORD(ssSessionCancelFileTransferReceived)
    PL_RECORD(ssSessionErrorReceived)
#undef PL_RECORD
    void ssSessionWillDisconnect(PLSSSession *) override { calls.append({QStringLiteral("ssSessionWillDisconnect"), {}}); }
    void ssSessionDidDisconnect(PLSSSession *) override { calls.append({QStringLiteral("ssSessionDidDisconnect"), {}}); }
    void ssSessionRemoteConnected(PLSSSession *) override { calls.append({QStringLiteral("ssSessionRemoteConnected"), {}}); }
    void ssSessionWillCloseReceived(PLSSSession *) override { calls.append({QStringLiteral("ssSessionWillCloseReceived"), {}}); }

    QStringList names() const
    {
        QStringList list;
        for (const Call &call : calls)
            list.append(call.first);
        return list;
    }

    QList<Call> calls;
};

} // namespace parley::test
