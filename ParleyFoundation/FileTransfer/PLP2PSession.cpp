#include "PLP2PSession.h"

#include "FileTransferInfo.h"
#include "Log.h"
#include "MainThread.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "PLFileTransferManager.h"
#include "PLP2PSessionDelegate.h"
#include "Packet/PLRawLines.h"
#include "Packet/PLRecvATHCPacket.h"
#include "Packet/PLRecvERRPacket.h"
#include "Packet/PLRecvFILEPacket.h"
#include "Packet/PLSendATHCPacket.h"
#include "Packet/PLSendFILEPacket.h"
#include "Utils/PLEndpoints.h"

#include <QPointer>
#include <QVarLengthArray>

#include <cerrno>
#include <cstring>
#include <sys/uio.h>

#include <utility>

namespace parley {

namespace nn = notifications;

PLP2PSession::PLP2PSession(const QString &host, int portNo, QObject *parent) : PLSession(parent)
{
    initializeVariables();
    setHostAddress(host, portNo);
}

PLP2PSession::PLP2PSession(AsyncSocket *accepted, QObject *parent) : PLSession(parent)
{
    initializeVariables();
    adoptSocket(accepted);
    mIsListenMode = true;
}

PLP2PSession::~PLP2PSession() = default;

void PLP2PSession::initializeVariables()
{
    registerProcessMethod(QStringLiteral("FILE"), [this](PLRecvPacket &p) { processFILEPackets(p); });
    registerProcessMethod(QStringLiteral("FRIN"), [this](PLRecvPacket &p) { processFRINPackets(p); });
    registerProcessMethod(QStringLiteral("default"), [this](PLRecvPacket &p) { processDefaultPackets(p); });
    registerThreadProcessMethod(QStringLiteral("ATHC"), [this](PLRecvPacket &p) { processATHCPackets(p); });
    mReadTimer = new QTimer(this);
    mReadTimer->setSingleShot(true);
    setReadTimeout(PLEndpoints::current().p2pTimeout);
    QObject::connect(mReadTimer, &QTimer::timeout, this, &PLP2PSession::readTimedOut);
}

void PLP2PSession::setReadTimeout(double seconds)
{
    mReadTimer->setInterval(std::chrono::milliseconds(qint64(seconds * 1000)));
}

QString PLP2PSession::remoteAddress() const { return mySocket() ? mySocket()->connectedHost() : QString(); }

QString PLP2PSession::sessionKey() const { return mTargetID + QLatin1Char('-') + mCookie; }

FileTransferInfo *PLP2PSession::fileInfo() const
{
    return mFiles && !mFileCookie.isEmpty() ? mFiles->entryForCookie(mFileCookie) : nullptr;
}

bool PLP2PSession::connect()
{
    mIsListenMode = false;
    return PLSession::connect();
}

// Sending -------------------------------------------------------------------

bool PLP2PSession::sendATHCInfoWithPortNo(int port)
{
    const qint32 id = qint32(tid());
    const QByteArray line = mFRCookie.isEmpty()
                                ? PLRawLines::athcRequestLine(id, mFromID, mTargetID, mCookie, port)
                                : PLRawLines::athcRelayRequestLine(id, mFromID, mTargetID, mCookie, mFRCookie, port);
    PL_GUARD_OBJECT(!line.isNull(), false);
    mRequestSent = true;
    return sendPacketString(QString::fromUtf8(line));
}

bool PLP2PSession::sendFRIN()
{
    PL_GUARD_OBJECT(!mTargetID.isEmpty(), false);
    PL_GUARD_OBJECT(!mFRCookie.isEmpty(), false);
    const QByteArray line = PLRawLines::frinLine(qint32(tid()), mTargetID, mFRCookie);
    PL_GUARD_OBJECT(!line.isNull(), false);
    return sendPacketString(QString::fromUtf8(line));
}

bool PLP2PSession::sendATHCOk(const QVariantMap &info)
{
    PLSendATHCPacket packet;
    packet.setTID(0, QStringLiteral("100"), kATHCPort);
    if (!sendPacket(packet))
        return false;
    mAuthenticated = true;
    if (mDelegate)
        mDelegate->p2pSessionConnectCompleted(this, info);
    return true;
}

bool PLP2PSession::sendAcceptFileTransfer()
{
    PL_GUARD_OBJECT(!mFileCookie.isEmpty(), false);
    PLSendFILEPacket packet{qint32(tid())};
    packet.setFileAcceptWithCookie(mFileCookie);
    return sendPacket(packet);
}

bool PLP2PSession::sendFileInfo(const QVariantMap &info)
{
    PL_GUARD_OBJECT(info.contains(QStringLiteral("fileName")), false);
    PL_GUARD_OBJECT(info.contains(QStringLiteral("fileSize")), false);
    PLSendFILEPacket packet{qint32(tid())};
    packet.setFileInfo(info.value(QStringLiteral("fileName")).toString(),
                       info.value(QStringLiteral("fileSize")).toLongLong());
    return sendPacket(packet);
}

bool PLP2PSession::sendFileStartWithPosition(qint64 position)
{
    PLSendFILEPacket packet{qint32(tid())};
    packet.setFileStartWithPosition(position);
    const bool sent = sendPacket(packet);
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kFileDownloadStartReceived), this);
    return sent;
}

bool PLP2PSession::sendFileEnd()
{
    PLSendFILEPacket packet{qint32(tid())};
    packet.setFileEnd();
    const bool sent = sendPacket(packet);
    if (!sent)
        plLog(QStringLiteral("sendFileEnd error"));
    return sent;
}

bool PLP2PSession::sendFileEndres()
{
    const QByteArray line = PLRawLines::fileEndresLine(qint32(tid()));
    return sendPacketString(QString::fromUtf8(line));
}

bool PLP2PSession::sendFile()
{
    FileTransferInfo *info = fileInfo();
    PL_GUARD_OBJECT(info, false);
    PL_GUARD_FLAG(!info->isDownload && !info->isDone && !mSending, false);
    PL_GUARD_OBJECT(info->source && info->source->isOpen(), false);
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kFileUploadStart), this);
    // Always from the beginning of the file, whatever position was asked.
    mReadPosition = 0;
    info->ioIndex = 0;
    mChunkNumber = 1;
    mChunksInFlight.clear();
    mAllRead = false;
    mAwaitingEnd = false;
    mSending = true;
    sendNextChunk();
    return true;
}

namespace {

// Fills the chunks in order from `position` in the file; the bytes read,
// short only at the end of the file, or -1.
qint64 readChunks(int fd, qint64 position, iovec *chunks, int count)
{
    qint64 total = 0;
    while (count > 0) {
        const ssize_t read = ::preadv(fd, chunks, count, off_t(position + total));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return -1;
        if (read == 0)
            break;
        total += read;
        std::size_t left = std::size_t(read);
        while (count > 0 && left >= chunks->iov_len) {
            left -= chunks->iov_len;
            ++chunks;
            --count;
        }
        if (count > 0) {
            chunks->iov_base = static_cast<char *>(chunks->iov_base) + left;
            chunks->iov_len -= left;
        }
    }
    return total;
}

} // namespace

void PLP2PSession::sendNextChunk()
{
    if (!mSending || mAllRead || mIsAbort || !mChunksInFlight.isEmpty())
        return;
    FileTransferInfo *info = fileInfo();
    if (!info || !info->source || !info->source->isOpen()) {
        uploadFailed();
        return;
    }
    if (!isConnected()) {
        mIsAbort = true;
        uploadFailed();
        return;
    }
    // Each chunk is read straight behind its DATA line, all of them with one
    // system call: no copy of the bytes before the socket takes them.
    QByteArray batch;
    batch.reserve(kChunksAhead * (kChunkSize + 32));
    struct Slot
    {
        qint32 number;
        qsizetype lineStart;
        qsizetype bodyStart;
    };
    QVarLengthArray<Slot, kChunksAhead> chunks;
    while (chunks.size() < kChunksAhead) {
        const qint32 number = mChunkNumber++;
        const qsizetype lineStart = batch.size();
        PLSendFILEPacket::appendDataLine(batch, number, kChunkSize);
        chunks.append({number, lineStart, batch.size()});
        batch.resize(batch.size() + kChunkSize);
    }
    QVarLengthArray<iovec, kChunksAhead> bodies;
    for (const Slot &slot : chunks)
        bodies.append({batch.data() + slot.bodyStart, std::size_t(kChunkSize)});
    const qint64 read = readChunks(info->source->handle(), mReadPosition, bodies.data(), int(bodies.size()));
    if (read < 0) {
        plLog(QStringLiteral("readData exception - %1 (%2-%3)")
                  .arg(QString::fromLocal8Bit(std::strerror(errno)), QLatin1String(__FILE__), QString::number(__LINE__)));
        info->source->close();
        info->isCancelled = true;
        mChunksInFlight.clear();
        uploadFailed();
        return;
    }
    mReadPosition += read;
    // Whole chunks up to the first short one (an empty one too), which is
    // the last of the file; its line carries its own length.
    const qsizetype whole = qsizetype(read / kChunkSize);
    for (qsizetype i = 0; i < whole; ++i)
        mChunksInFlight.append(kChunkSize);
    if (whole < chunks.size()) {
        const qint64 rest = read - qint64(whole) * kChunkSize;
        const QByteArray body(batch.constData() + chunks[whole].bodyStart, qsizetype(rest));
        batch.truncate(chunks[whole].lineStart);
        PLSendFILEPacket::appendDataLine(batch, chunks[whole].number, rest);
        batch.append(body);
        mChunksInFlight.append(rest);
        mChunkNumber = chunks[whole].number + 1;
        mAllRead = true;
    }
    mySocket()->writeData(batch, kDataWriteTimeout, kDataTag);
}

void PLP2PSession::onSocketDidWriteDataWithTag(AsyncSocket *, long tag)
{
    if (tag != kDataTag || mChunksInFlight.isEmpty())
        return;
    const QList<qint64> written = std::exchange(mChunksInFlight, {});
    if (mIsAbort) {
        uploadFailed();
        return;
    }
    QPointer<PLP2PSession> self(this);
    // Progress is still told chunk by chunk.
    for (const qint64 sent : written) {
        FileTransferInfo *info = fileInfo();
        if (!info) {
            uploadFailed();
            return;
        }
        info->ioIndex += sent;
        info->transPercent = info->fileSize > 0 ? float(info->ioIndex) / float(info->fileSize) * 100.0f : 100.0f;
        mFiles->postNotification(QLatin1String(nn::kFileUploadPartSent), mFileCookie);
        // Cancelled meanwhile: no more progress, no next batch.
        if (!self || !mSending || mIsAbort)
            return;
    }
    if (!mAllRead) {
        sendNextChunk();
        return;
    }
    // The last chunk is written; the peer's END follows. Until it comes the
    // upload is still open (and can be cancelled).
    FileTransferInfo *info = fileInfo();
    if (!info) {
        uploadFailed();
        return;
    }
    info->isDone = true;
    mSending = false;
    mAwaitingEnd = true;
    // The peer is to speak again: its END.
    mReadTimer->start();
}

void PLP2PSession::closeSource()
{
    if (FileTransferInfo *info = fileInfo(); info && !info->isDownload && info->source)
        info->source->close();
}

void PLP2PSession::uploadFailed()
{
    if (!mSending && !mAwaitingEnd)
        return;
    if (mAwaitingEnd)
        closeSource();
    mSending = false;
    mAwaitingEnd = false;
    NotificationCenter::defaultCenter().post(QLatin1String(nn::kFileUploadFailed), this,
                                             {{QStringLiteral("fileCookie"), mFileCookie}});
}

// Connection events ---------------------------------------------------------

void PLP2PSession::onSocketDidConnectToHost(AsyncSocket *socket, const QString &, quint16)
{
    mReadTimer->start();
    // Commands may come before this side says anything (listen mode, relay).
    if (!socket->hasPendingRead())
        socket->readDataWithTimeout(-1, 0);
    QPointer<PLP2PSession> self(this);
    if (mDelegate)
        mDelegate->p2pSessionConnected(this);
    if (!self || mIsListenMode)
        return;
    if (!mFRCookie.isEmpty() && !mIsSender) {
        // The downloading side of a relay: announce, then have the buddy join.
        if (sendFRIN() && mDelegate)
            mDelegate->p2pSessionRelayAnnounced(this, mFRCookie);
        return;
    }
    sendATHCInfoWithPortNo(kATHCPort);
}

void PLP2PSession::onSocketDidReadData(AsyncSocket *socket, const QByteArray &data, long tag)
{
    if (mReadTimer->isActive())
        mReadTimer->start();
    PLSession::onSocketDidReadData(socket, data, tag);
}

void PLP2PSession::readTimedOut()
{
    if (!isConnected())
        return;
    // While this side writes its DATA the peer has nothing to say; the
    // write time-out watches that.
    if (mSending) {
        mReadTimer->start();
        return;
    }
    const QString why = QStringLiteral("nothing from the peer %1 for %2 s")
                            .arg(remoteAddress(), QString::number(mReadTimer->interval() / 1000.0));
    if (mAwaitingEnd) {
        mIsAbort = true;
        uploadFailed();
    }
    failTransfer(why);
}

void PLP2PSession::refuse(const QString &why)
{
    mIsAbort = true;
    QPointer<PLP2PSession> self(this);
    // An upload under way stops here: say so, as for a lost connection.
    uploadFailed();
    if (!self)
        return;
    if (mDelegate)
        mDelegate->p2pSessionRefused(this, why);
    else
        plLog(QStringLiteral("peer connection from %1 refused: %2").arg(remoteAddress(), why));
    if (self && isConnected())
        mySocket()->disconnect();
}

void PLP2PSession::onSocketDidDisconnect(AsyncSocket *socket)
{
    mReadTimer->stop();
    PLSession::onSocketDidDisconnect(socket);
    mChunksInFlight.clear();
    // Every byte written is not every byte received: without the peer's END
    // the upload failed.
    if ((mSending || mAwaitingEnd) && !mIsAbort) {
        mIsAbort = true;
        uploadFailed();
    } else if (mAwaitingEnd) {
        mAwaitingEnd = false;
        closeSource();
    }
    if (mDelegate)
        mDelegate->p2pSessionDisconnected(this);
}

// Received commands ---------------------------------------------------------

void PLP2PSession::processATHCPackets(PLRecvPacket &packet)
{
    auto &athc = static_cast<PLRecvATHCPacket &>(packet);
    // One exchange per connection: what it settled is never replaced.
    if (mAuthenticated) {
        refuse(QStringLiteral("a second ATHC"));
        return;
    }
    if (athc.type() == PLRecvATHCPacket::Request) {
        // A request comes to the side that did not send one: an accepted
        // connection, or the downloading side of a relay.
        if (mRequestSent) {
            refuse(QStringLiteral("an ATHC request in answer to ours"));
            return;
        }
        if (athc.fromID().isEmpty() || athc.targetID().isEmpty() || athc.p2pFRCookie().isEmpty()) {
            refuse(QStringLiteral("an incomplete ATHC request"));
            return;
        }
        if (!mIsListenMode) {
            // An outgoing connection knows whom it is for; the relay passes
            // on the peer's request for exactly that.
            if (athc.targetID() != mFromID || athc.fromID() != mTargetID || athc.p2pFRCookie() != mCookie) {
                refuse(QStringLiteral("an ATHC request for another connection"));
                return;
            }
        } else {
            mFromID = athc.targetID();
            mTargetID = athc.fromID();
            mCookie = athc.p2pFRCookie();
        }
        if (mDelegate)
            mDelegate->p2pSessionP2PInfoReceived(this, {{QStringLiteral("fromID"), mFromID},
                                                        {QStringLiteral("targetID"), mTargetID},
                                                        {QStringLiteral("cookie"), mCookie},
                                                        {QStringLiteral("port"), athc.p2pNegoListenPort()}});
    } else if (athc.type() == PLRecvATHCPacket::Reply) {
        if (!mRequestSent) {
            refuse(QStringLiteral("an ATHC reply to no request"));
            return;
        }
        mAuthenticated = athc.responseCode() == QLatin1String("100");
        if (mDelegate)
            mDelegate->p2pSessionConnectCompleted(this, {{QStringLiteral("port"), athc.p2pNegoListenPort()},
                                                         {QStringLiteral("responseCode"), athc.responseCode()}});
    }
}

void PLP2PSession::processFILEPackets(PLRecvPacket &packet)
{
    auto &file = static_cast<PLRecvFILEPacket &>(packet);
    if (!mAuthenticated) {
        refuse(QStringLiteral("FILE before ATHC"));
        return;
    }
    switch (file.fileType()) {
    case PLRecvFILEPacket::Accept: {
        const QString cookie = file.dataForKey(QStringLiteral("cookie"));
        // Only an uploading session takes a file from its peer, and one only.
        if (cookie.isEmpty() || !mIsSender || !mFileCookie.isEmpty()) {
            refuse(QStringLiteral("FILE ACCEPT %1 out of turn").arg(cookie));
            return;
        }
        mFileCookie = cookie;
        if (mDelegate)
            mDelegate->p2pSessionFileAcceptReceived(this, {{QStringLiteral("cookie"), cookie}});
        break;
    }
    case PLRecvFILEPacket::Info: {
        const QString name = file.dataForKey(QStringLiteral("fileName"));
        const QString size = file.dataForKey(QStringLiteral("fileSize"));
        PL_GUARD_OBJECT(!name.isNull());
        PL_GUARD_OBJECT(!size.isNull());
        if (mDelegate)
            mDelegate->p2pSessionFileInfoReceived(this, {{QStringLiteral("fileName"), name},
                                                         {QStringLiteral("fileSize"), size.toLongLong()}});
        break;
    }
    case PLRecvFILEPacket::Start:
        PL_GUARD_OBJECT(!file.dataForKey(QStringLiteral("startPos")).isNull());
        PL_GUARD_FLAG(mIsSender);
        PL_LOG_EXCEPTIONS(sendFile());
        break;
    case PLRecvFILEPacket::Data: processFileData(file.dataForKey(QStringLiteral("bodyLength"))); break;
    case PLRecvFILEPacket::End: processFileEnd(file); break;
    default: break; // CANCEL, STOP, ENDRES and unknown words
    }
}

void PLP2PSession::processFileData(const QString &lengthField)
{
    bool ok = false;
    const qint64 length = lengthField.toLongLong(&ok);
    if (!ok || length < 0 || length > kMaxDataLength) {
        failTransfer(QStringLiteral("DATA length refused: %1").arg(lengthField));
        return;
    }
    FileTransferInfo *info = fileInfo();
    if (mIsSender || !info || !info->isDownload) {
        failTransfer(QStringLiteral("DATA on a connection that receives no file"));
        return;
    }
    if (mDownloadEnded || info->isDone) {
        // Nothing after the last byte is written (a trailing empty chunk is
        // the sender's habit); a body is read past so framing stays intact.
        if (length > 0) {
            plLog(QStringLiteral("DATA after the end of the file dropped"));
            notifyWhenBodyReceivedWithLength(length);
        }
        return;
    }
    if (length > info->fileSize - info->ioIndex) {
        failTransfer(QStringLiteral("DATA beyond the announced size"));
        return;
    }
    if (length == 0) {
        receiveBody({});
        return;
    }
    notifyWhenBodyReceivedWithLength(length);
}

void PLP2PSession::bodyReceived(const QByteArray &body) { receiveBody(body); }

void PLP2PSession::bodyBytesReceived(QByteArrayView body, const QByteArray &block) { receiveBody(body, block); }

void PLP2PSession::receiveBody(QByteArrayView body, const QByteArray &block)
{
    FileTransferInfo *info = fileInfo();
    PL_GUARD_OBJECT(info);
    if (mIsAbort || info->isDone)
        return;
    if (!info->destination || !info->destination->isOpen()) {
        plLog(QStringLiteral("fileHandle is nil"));
        plLog(QStringLiteral("filePath = %1").arg(info->filePath));
        failTransfer(QStringLiteral("no destination file"));
        return;
    }
    if (!body.isEmpty() && !info->destination->write(body, block)) {
        plLog(QStringLiteral("writeData exception - %1 (%2-%3)").arg(info->filePath, QLatin1String(__FILE__), QString::number(__LINE__)));
        failTransfer(QStringLiteral("write error"));
        return;
    }
    info->ioIndex += body.size();
    info->transPercent = info->fileSize > 0 ? float(info->ioIndex) / float(info->fileSize) * 100.0f : 100.0f;
    QPointer<PLP2PSession> self(this);
    mFiles->postNotification(QLatin1String(nn::kFileDownloadPartReceived), mFileCookie);
    if (!self || info != fileInfo() || info->ioIndex != info->fileSize || info->isDone)
        return;
    if (!info->destination->commit()) {
        failTransfer(QStringLiteral("the file could not be saved"));
        return;
    }
    mDownloadEnded = true;
    info->isDone = true;
    if (mDelegate)
        mDelegate->p2pSessionFileReceiveCompleted(this, mFileCookie);
}

void PLP2PSession::processFileEnd(const PLRecvFILEPacket &packet)
{
    if (mAwaitingEnd) {
        mAwaitingEnd = false;
        closeSource();
    }
    // The peer has every byte once they are all written, even if the
    // trailing empty chunk is still on its way.
    if (FileTransferInfo *info = fileInfo(); mSending && info && !info->isDownload && info->ioIndex == info->fileSize) {
        mSending = false;
        info->isDone = true;
        if (info->source)
            info->source->close();
    }
    QPointer<PLP2PSession> self(this);
    if (mDelegate)
        mDelegate->p2pSessionFileEndReceived(this, {{QStringLiteral("fileCookie"), mFileCookie}});
    if (!self)
        return;
    const QStringList fields = packet.packetString().trimmed().split(QLatin1Char(' '));
    if (fields.size() == 5 && fields.at(3) == QLatin1String("Y"))
        sendFileEndres();
    mySocket()->disconnectAfterWriting();
}

void PLP2PSession::processFRINPackets(PLRecvPacket &) {}

void PLP2PSession::processDefaultPackets(PLRecvPacket &packet)
{
    if (auto *err = dynamic_cast<PLRecvERRPacket *>(&packet))
        plLog(QStringLiteral("process err Packet = %1").arg(err->errCode()));
    else
        plLog(QStringLiteral("processDefaultPacket = %1").arg(packet.packetString()));
}

void PLP2PSession::failTransfer(const QString &why)
{
    plLog(QStringLiteral("file transfer stopped: %1").arg(why));
    mIsAbort = true;
    QPointer<PLP2PSession> self(this);
    if (mDelegate)
        mDelegate->p2pSessionTransferFailed(this, mFileCookie);
    if (self)
        mySocket()->disconnect();
}

} // namespace parley
