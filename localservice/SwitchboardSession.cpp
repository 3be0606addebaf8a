#include "SwitchboardSession.h"

#include "KeyExchange.h"
#include "LineConnection.h"
#include "ReplyCodes.h"
#include "SwitchboardRoom.h"
#include "SwitchboardServer.h"
#include "WireCheck.h"
#include "WireText.h"

#include <QStringDecoder>

namespace localservice {

namespace {

bool parseNumber(const QString &field, qint64 *value)
{
    bool ok = false;
    *value = field.toLongLong(&ok);
    return ok;
}

// The ENTR line: word, tid, then ID, nickName, name, key, charEncodeType,
// encrypt, pver, deviceType, clientVer, osVer, lineSeq, cmn, langPack.
constexpr int kENTRFields = 15;

} // namespace

SwitchboardSession::SwitchboardSession(LineConnection *connection, SwitchboardServer &server)
    : QObject(connection), mConnection(connection), mServer(server)
{
    connect(connection, &LineConnection::lineReceived, this, [this](const QString &line) {
        mServer.record(line.toUtf8() + "\r\n");
        handleLine(line, false);
    });
    connect(connection, &LineConnection::bodyReceived, this, [this](const QByteArray &body) {
        mServer.record(body);
        handleBody(body);
    });
    connect(connection, &LineConnection::lineRefused, this, [this](const QString &line, const QString &why) {
        logRefusal("switchboard", why, line);
        replyError(reply::kMalformed, tidForReply(wireSplit(line)));
    });
    connect(connection, &LineConnection::closed, this, &SwitchboardSession::leave);
}

SwitchboardSession::~SwitchboardSession() = default;

void SwitchboardSession::sendPlain(const QByteArray &bytes)
{
    mServer.record(bytes);
    mConnection->write(bytes);
}

void SwitchboardSession::send(const QByteArray &line)
{
    if (!mEncrypted) {
        sendPlain(line);
        return;
    }
    const std::optional<QByteArray> body = mKeySession->encrypt(line);
    if (!body) {
        // Never fall back to clear text: the member loses the connection.
        mConnection->abort();
        return;
    }
    const qsizetype space = line.indexOf(' ');
    const qsizetype next = line.indexOf(' ', space + 1);
    QByteArray tid = space < 0 ? QByteArray("0") : line.mid(space + 1, (next < 0 ? line.indexOf('\r') : next) - space - 1);
    bool numeric = false;
    tid.toLongLong(&numeric);
    if (!numeric)
        tid = "0";
    sendPlain("CRPT " + tid + ' ' + QByteArray::number(body->size()) + "\r\n" + *body);
}

void SwitchboardSession::replyError(int code, qint64 tid)
{
    send(QByteArray::number(code) + ' ' + QByteArray::number(tid) + "\r\n");
}

void SwitchboardSession::closeAfterWriting() { mConnection->closeAfterWriting(); }

void SwitchboardSession::abort() { mConnection->abort(); }

void SwitchboardSession::offerNewKey()
{
    if (!mEncrypted)
        return;
    mOfferedKey = mServer.keyExchange().newSession();
    const QByteArray info = mOfferedKey ? mOfferedKey->serverKeyInfo() : QByteArray();
    if (info.isEmpty()) {
        mOfferedKey.reset();
        return;
    }
    sendPlain(wireLine(QStringLiteral("PBLK"), 0, {QString::fromLatin1(info)}));
}

void SwitchboardSession::handleLine(const QString &line, bool enveloped)
{
    const QStringList fields = wireSplit(line);
    const QString word = fields.value(0);
    if (const QString why = lineFault(line, fields, switchboardShapes()); !why.isEmpty()) {
        logRefusal("switchboard", why, line);
        return replyError(reply::kMalformed, tidForReply(fields));
    }
    qint64 tid = 0;
    parseNumber(fields[1], &tid);

    // The key exchange itself travels in clear; once a key is agreed, every
    // other command must come in an envelope.
    const bool keyWord = word == QLatin1String("NCPT") || word == QLatin1String("PRVK")
        || word == QLatin1String("ESSK") || word == QLatin1String("CRPT");
    if (enveloped && keyWord)
        return replyError(reply::kMalformed, tid);
    if (mEncrypted && !enveloped && !keyWord)
        return replyError(reply::kNotNow, tid);

    if (word == QLatin1String("NCPT")) {
        handleNCPT(tid, fields);
    } else if (word == QLatin1String("PRVK") || word == QLatin1String("CRPT")) {
        // PRVK tid encodeType length / CRPT tid length, then the body
        const qsizetype lengthAt = word == QLatin1String("PRVK") ? 3 : 2;
        qint64 length = -1;
        if (fields.size() != lengthAt + 1 || !parseNumber(fields[lengthAt], &length) || length <= 0)
            return replyError(reply::kMalformed, tid);
        if (word == QLatin1String("CRPT") && !mEncrypted)
            return replyError(reply::kNotNow, tid);
        mPending = Pending{word, tid, fields};
        mConnection->expectBody(length);
    } else if (word == QLatin1String("ESSK")) {
        handleESSK(tid, fields);
    } else if (word == QLatin1String("ENTR")) {
        handleENTR(tid, fields);
    } else if (word == QLatin1String("MESG")) {
        handleMESG(tid, fields);
    } else if (word == QLatin1String("WHSP")) {
        handleWHSP(line, fields);
    } else {
        replyError(reply::kUnsupported, tid);
    }
}

void SwitchboardSession::handleBody(const QByteArray &body)
{
    const Pending p = mPending;
    mPending = {};
    if (p.word == QLatin1String("PRVK")) {
        if (mState != State::KeyOffered || !mKeySession)
            return replyError(reply::kNotNow, p.tid);
        if (!mKeySession->acceptClientKey(body))
            return replyError(reply::kKeyExchange, p.tid);
        mState = State::KeyAgreed;
        mEncrypted = true;
        sendPlain(wireLine(p.word, p.tid, {QStringLiteral("OK")}));
    } else if (p.word == QLatin1String("CRPT")) {
        const std::optional<QByteArray> plain = mKeySession->decrypt(body);
        if (!plain)
            return replyError(reply::kKeyExchange, p.tid);
        // The envelope holds one whole command line with its CR LF.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = utf8.decode(*plain);
        if (utf8.hasError() || plain->contains('\0') || !line.endsWith(QLatin1String("\r\n"))) {
            logRefusal("switchboard", QStringLiteral("an envelope that is not one UTF-8 line ended by CR LF"),
                       line.trimmed());
            return replyError(reply::kMalformed, p.tid);
        }
        handleLine(line.chopped(2), true);
    }
}

void SwitchboardSession::handleNCPT(qint64 tid, const QStringList &fields)
{
    // NCPT tid userID range 0
    if (fields.size() != 5)
        return replyError(reply::kMalformed, tid);
    if (mState != State::Opening)
        return replyError(reply::kNotNow, tid);
    OpenedKeyExchange opened = openKeyExchange(mServer.keyExchange());
    mKeySession = std::move(opened.session);
    if (!mKeySession)
        return replyError(reply::kKeyExchange, tid);
    const QByteArray &keyInfo = opened.serverKeyInfo;
    mState = State::KeyOffered;
    sendPlain(wireLine(QStringLiteral("NCPT"), tid,
                       {wireUnescape(fields[3]), QStringLiteral("BASE64"), QString::number(keyInfo.size())})
              + keyInfo);
}

void SwitchboardSession::handleESSK(qint64 tid, const QStringList &fields)
{
    // ESSK tid encSSKey encType: the answer to our PBLK
    if (fields.size() != 4)
        return replyError(reply::kMalformed, tid);
    if (!mOfferedKey || !mOfferedKey->acceptClientKey(wireUnescape(fields[2]).toLatin1())) {
        mOfferedKey.reset();
        return replyError(reply::kKeyExchange, tid);
    }
    mKeySession = std::move(mOfferedKey);
    sendPlain(wireLine(QStringLiteral("ESSK"), tid, {QStringLiteral("OK")}));
}

void SwitchboardSession::handleENTR(qint64 tid, const QStringList &fields)
{
    if (fields.size() != kENTRFields)
        return replyError(reply::kMalformed, tid);
    if (mState == State::InRoom || mState == State::KeyOffered)
        return replyError(reply::kNotNow, tid);
    const bool wantsEncryption = fields[7] == QLatin1String("C");
    if (wantsEncryption != mEncrypted)
        return replyError(reply::kKeyExchange, tid);
    SwitchboardRoom *room = mServer.room(wireUnescape(fields[5]));
    mFullID = wireUnescape(fields[2]);
    mLoginID = mFullID.section(QLatin1Char('|'), 0, 0);
    if (!room || mLoginID.isEmpty())
        return replyError(reply::kMalformed, tid);
    mNickName = wireUnescape(fields[3]);
    mName = wireUnescape(fields[4]);
    mRoomKey = room->key();
    mState = State::InRoom;

    const QList<SwitchboardSession *> present = room->members();
    room->add(this);
    send(wireLine(QStringLiteral("ENTR"), tid));
    int index = 0;
    for (SwitchboardSession *member : present)
        send(wireLine(QStringLiteral("USER"), tid,
                      {QString::number(++index), QString::number(present.size()), member->loginID(),
                       member->nickName(), member->name()}));
    for (SwitchboardSession *member : present)
        member->send(wireLine(QStringLiteral("JOIN"), 0, {mLoginID, mNickName, mName}));
}

void SwitchboardSession::handleMESG(qint64 tid, const QStringList &fields)
{
    // MESG tid type msg
    if (fields.size() != 4)
        return replyError(reply::kMalformed, tid);
    SwitchboardRoom *room = mState == State::InRoom ? mServer.room(mRoomKey) : nullptr;
    if (!room)
        return replyError(reply::kNotNow, tid);
    // Fields are passed on exactly as they came, so nothing is re-escaped.
    const QByteArray line = "MESG 0 " + wireEscape(mLoginID).toUtf8() + ' ' + fields[2].toUtf8() + ' '
        + fields[3].toUtf8() + "\r\n";
    for (SwitchboardSession *member : room->others(this))
        member->send(line);
    mServer.countMessage();
    send(wireLine(QStringLiteral("MESG"), tid));
}

void SwitchboardSession::handleWHSP(const QString &line, const QStringList &fields)
{
    // WHSP tid target type sub-type[%09data...]: to every connection of the
    // target, with the sender's full ID in place of the target.
    qint64 tid = 0;
    parseNumber(fields[1], &tid);
    if (fields.size() < 4)
        return replyError(reply::kMalformed, tid);
    SwitchboardRoom *room = mState == State::InRoom ? mServer.room(mRoomKey) : nullptr;
    if (!room)
        return replyError(reply::kNotNow, tid);
    const QString target = wireUnescape(fields[2]);
    const qsizetype restAt = fields[0].size() + fields[1].size() + fields[2].size() + 3;
    const QByteArray forwarded =
        "WHSP 0 " + wireEscape(mFullID).toUtf8() + ' ' + line.mid(restAt).toUtf8() + "\r\n";
    for (SwitchboardSession *member : room->others(this))
        if (member->loginID() == target)
            member->send(forwarded);
}

void SwitchboardSession::leave()
{
    if (mLeft)
        return;
    mLeft = true;
    if (mState == State::InRoom)
        mServer.memberLeft(this);
}

} // namespace localservice
