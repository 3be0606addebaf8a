#pragma once

// The file-transfer commands of parley-headless. Transfers report themselves
// through the managers' notifications, printed like every other one.

#include "HeadlessCommands.h"

namespace headless::transfer {

using Result = std::optional<QString>;

struct TransferOptions {
    bool p2pPortFixed = false; // only that port, announced even when another program holds it
    int p2pPort = 0;        // the peer-to-peer listening port; 0: the kernel chooses
    QString downloadFolder; // where accepted files go by default
    int tickMs = 1000;      // the relay fallback's tick
    int relayDelayTicks = 10;
};

// Makes the cookie, peer-to-peer, file-transfer and mail managers the account
// session's and the chat rooms'. Call before the session is made.
void installTransferManagers(const TransferOptions &options);
// Gives the file-transfer manager the account session, and takes it back
// before the session goes.
void attachSession(parley::PLParleySession &session);
void detachSession();

// file-offer ROOMKEY ID PATH [PATH]...
Result offer(HeadlessContext &context, const QStringList &args, bool *sent);
// file-accept COOKIE [FOLDER]
Result accept(HeadlessContext &context, const QStringList &args, bool *sent);
// file-refuse COOKIE
Result refuse(HeadlessContext &context, const QStringList &args, bool *sent);
// file-cancel COOKIE
Result cancel(HeadlessContext &context, const QStringList &args, bool *sent);

} // namespace headless::transfer
