// The receive path of PLSession: framing, decoding and dispatch.
#include "PLSession.h"

#include "Log.h"
#include "MainThread.h"
#include "Packet/PLRecvPacket.h"
#include "Packet/PLRecvPacketBuilder.h"

#include <QPointer>

namespace parley {

void PLSession::dataReceived(const QByteArray &bytes)
{
    if (bytes.isEmpty() || mDisposed)
        return;
    mReader.append(bytes);
    packetProcess();
}

void PLSession::notifyWhenBodyReceivedWithLength(qint64 length)
{
    mBodyLength = length;
    if (!mReader.expectBody(length) && !mInPacketProcess)
        packetProcess(); // reports the error now rather than with the next bytes
}

void PLSession::packetProcess()
{
    // A handler that feeds more bytes only appends them; the running loop
    // frames them.
    if (mInPacketProcess)
        return;
    mInPacketProcess = true;
    QPointer<PLSession> self(this);
    bool more = true;
    while (more) {
        PLFrameReader::Frame frame = mReader.next();
        switch (frame.status) {
        case PLFrameReader::Status::Line:
            headerReceived(frame.line);
            break;
        case PLFrameReader::Status::Body:
            mBodyLength = 0;
            if (!frame.body.isNull())
                bodyReceived(frame.body);
            else
                bodyBytesReceived(frame.bodyView, frame.block);
            break;
        case PLFrameReader::Status::Dropped:
            break;
        case PLFrameReader::Status::NeedMore:
            more = false;
            break;
        case PLFrameReader::Status::ProtocolError:
            mInPacketProcess = false;
            protocolError(frame.error);
            return;
        }
        if (!self)
            return;
        if (mDisposed)
            more = false;
    }
    mInPacketProcess = false;
}

void PLSession::protocolError(const QString &why)
{
    plLog(QStringLiteral("protocol error: %1; closing the connection").arg(why));
    const AsyncSocketError error = AsyncSocketError::other(QStringLiteral("PLSessionErrorDomain"), 1, why);
    resetReceiveState();
    if (!mSocket->isDisconnected()) {
        mSocket->closeWithError(error);
        return;
    }
    // Tunnel mode without an open socket: report it the same way.
    QPointer<PLSession> self(this);
    onSocketWillDisconnectWithError(mSocket, error);
    if (self)
        onSocketDidDisconnect(mSocket);
}

void PLSession::headerReceived(const QString &line)
{
    PL_GUARD_OBJECT(!line.isNull());
    // Taken out while in use: a line handled within a handler gets its own.
    std::unique_ptr<PLRecvPacket> packet = PLRecvPacketBuilder::setPacketString(line, std::move(mSparePacket));
    if (!packet) {
        plLog(QStringLiteral("last sending packet = %1").arg(mLastSentPacket));
        return unknownLineReceived();
    }
    if (!packet->isValid()) {
        keepSparePacket(std::move(packet));
        return unknownLineReceived();
    }
    bool quick = false;
    SharedHandler shared;
    const QString &command = packet->command();
    // The cached word holds its buffer, so the same buffer and length is the
    // same word.
    if (mLastDispatch.handler && command.constData() == mLastDispatch.command.constData()
        && command.size() == mLastDispatch.command.size()) {
        shared = mLastDispatch.handler;
        quick = mLastDispatch.quick;
    } else {
        shared = sharedHandlerFor(command, &quick);
        mLastDispatch = {command, shared, quick};
    }
    if (!shared || !*shared) {
        plLog(QStringLiteral("selector not found"));
        return unknownLineReceived();
    }
    mUnknownLineRun = 0;
    const Handler &handler = *shared;
    QPointer<PLSession> self(this);
    // Lines are read on the main thread: call the handler straight away
    // rather than wrapping it for runOnMainThread.
    if (quick || isMainThread()) {
        PL_LOG_EXCEPTIONS(handler(*packet));
    } else {
        PLRecvPacket *raw = packet.get();
        runOnMainThread([&] { PL_LOG_EXCEPTIONS(handler(*raw)); }, true);
    }
    if (self)
        keepSparePacket(std::move(packet));
}

void PLSession::unknownLineReceived()
{
    // A peer that sends nothing anyone handles only burns this thread.
    if (++mUnknownLineRun >= kMaxUnknownLineRun)
        protocolError(QStringLiteral("%1 unknown or invalid lines in a row").arg(mUnknownLineRun));
}

void PLSession::keepSparePacket(std::unique_ptr<PLRecvPacket> packet)
{
    if (packet->isReusable() && !mSparePacket)
        mSparePacket = std::move(packet);
}

void PLSession::bodyReceived(const QByteArray &)
{
    plLog(QStringLiteral("body did not processed"));
}

void PLSession::bodyBytesReceived(QByteArrayView body, const QByteArray &) { bodyReceived(body.toByteArray()); }

PLSession::Handler PLSession::findProcessMethod(const PLRecvPacket &packet, bool *quickResponse) const
{
    const SharedHandler handler = sharedHandlerFor(packet.command(), quickResponse);
    return handler ? *handler : Handler();
}

PLSession::SharedHandler PLSession::sharedHandlerFor(const QString &command, bool *quickResponse) const
{
    if (auto it = mThreadProcessMethodsDict.constFind(command); it != mThreadProcessMethodsDict.cend()) {
        if (quickResponse)
            *quickResponse = true;
        return *it;
    }
    if (quickResponse)
        *quickResponse = false;
    if (auto it = mProcessMethodsDict.constFind(command); it != mProcessMethodsDict.cend())
        return *it;
    return mProcessMethodsDict.value(QStringLiteral("default"));
}

} // namespace parley
