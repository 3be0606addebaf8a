#include "NotificationSession.h"

#include "AccountDirectory.h"
#include "AccountStore.h"
#include "BuddyCommands.h"
#include "FaultPlan.h"
#include "GroupCommands.h"
#include "KeyExchange.h"
#include "LineConnection.h"
#include "MemoWebCommands.h"
#include "MessageCommands.h"
#include "NotificationServer.h"
#include "PresenceCommands.h"
#include "ReplyCodes.h"
#include "SignInText.h"
#include "WireCheck.h"
#include "WireText.h"

namespace localservice {

namespace {

bool parseNumber(const QString &field, qint64 *value)
{
    bool ok = false;
    *value = field.toLongLong(&ok);
    return ok;
}

// The own-account words of a LIN4 answer, in the order the client reads
// them; the session key is this login's.
QByteArray accountWords(const Account &a, const QString &loginKey)
{
    const QStringList words{a.cmn,        a.name,      a.nickName, a.authYN, a.loginType,
                            loginKey,     a.area,      a.velaID,   a.velaCMN, a.orchardID,
                            a.orchardCMN, a.mobile,    a.email,    a.musicDate, a.ucYN,
                            a.token,      a.ticket};
    QStringList escaped;
    for (const QString &w : words)
        escaped.append(wireEscape(w));
    return (escaped.join(QLatin1Char(' ')) + QLatin1String("\r\n")).toUtf8();
}

// Commands whose last field announces a counted body.
bool carriesBody(const QString &word)
{
    static const QStringList words{QStringLiteral("CTOC"), QStringLiteral("CMSG"),
                                   QStringLiteral("CPBG"), QStringLiteral("MVBG"),
                                   QStringLiteral("RMBG"), QStringLiteral("CPRF"),
                                   QStringLiteral("WGET")};
    return words.contains(word);
}

} // namespace

NotificationSession::NotificationSession(LineConnection *connection, NotificationServer &server)
    : QObject(connection), mConnection(connection), mServer(server)
{
    connect(connection, &LineConnection::lineReceived, this, &NotificationSession::handleLine);
    connect(connection, &LineConnection::lineRefused, this, [this](const QString &line, const QString &why) {
        logRefusal("notification server", why, line);
        replyError(reply::kMalformed, tidForReply(wireSplit(line)));
    });
    connect(connection, &LineConnection::bodyReceived, this, &NotificationSession::handleBody);
    connect(connection, &LineConnection::closed, this, &NotificationSession::connectionClosed);
}

void NotificationSession::send(const QByteArray &bytes)
{
    mConnection->write(bytes);
}

void NotificationSession::kill()
{
    mConnection->write(wireLine(QStringLiteral("KILL"), 0));
    mConnection->setDeaf(true);
    mConnection->closeAfterWriting();
    connectionClosed(); // the account is offline from now on, whatever the peer does
}

void NotificationSession::drop() { mConnection->abort(); }

void NotificationSession::connectionClosed()
{
    if (!mUserID.isEmpty())
        presence::signedOut(*this);
}

NotificationSession::~NotificationSession() = default;

void NotificationSession::replyError(int code, qint64 tid)
{
    mConnection->write(QByteArray::number(code) + ' ' + QByteArray::number(tid) + "\r\n");
}

void NotificationSession::sendWithBody(const QString &word, qint64 tid, QStringList params,
                                       const QByteArray &body)
{
    const qint64 length = mOversizeNext ? FaultPlan::kOversizeLength : body.size();
    mOversizeNext = false;
    params.append(QString::number(length));
    mConnection->write(wireLine(word, tid, params) + body);
}

void NotificationSession::ping()
{
    if (mState == State::SignedIn || mState == State::Complete)
        mConnection->write(wireLine(QStringLiteral("PING"), 0));
}

bool NotificationSession::announceBody(const QString &word, qint64 tid, const QStringList &fields,
                                       const QString &lengthField)
{
    qint64 length = -1;
    if (!parseNumber(lengthField, &length) || length < 0) {
        replyError(reply::kMalformed, tid);
        return false;
    }
    mPending = Pending{word, tid, fields};
    return mConnection->expectBody(length);
}

void NotificationSession::handleLine(const QString &line)
{
    const QStringList fields = wireSplit(line);
    const QString word = fields.value(0);
    if (const QString why = lineFault(line, fields, notificationShapes()); !why.isEmpty()) {
        logRefusal("notification server", why, line);
        replyError(reply::kMalformed, tidForReply(fields));
        return;
    }
    qint64 tid = 0;
    parseNumber(fields[1], &tid);
    mOversizeNext = false; // an oversize fault strikes only the answer to its own command
    switch (mServer.faults().actionFor(word)) {
    case FaultPlan::Action::Drop: mConnection->abort(); return;
    case FaultPlan::Action::Silent: mConnection->setDeaf(true); return;
    case FaultPlan::Action::Garbage: mConnection->write(FaultPlan::garbageLines()); break;
    case FaultPlan::Action::Oversize: mOversizeNext = true; break;
    case FaultPlan::Action::None: break;
    }

    const bool signedIn = mState == State::SignedIn || mState == State::Complete;
    if (word == QLatin1String("NCPT")) {
        handleNCPT(tid, fields);
    } else if (word == QLatin1String("PRVK") || word == QLatin1String("LOPT")) {
        // PRVK tid encodeType length / LOPT tid bodyType length, then the body
        if (fields.size() != 4)
            return replyError(reply::kMalformed, tid);
        announceBody(word, tid, fields, fields[3]);
    } else if (word == QLatin1String("LIN4")) {
        // LIN4 tid userID encType length, then the sign-in text
        if (fields.size() != 5)
            return replyError(reply::kMalformed, tid);
        announceBody(word, tid, fields, fields[4]);
    } else if (word == QLatin1String("CONF")) {
        handleCONF(tid, fields);
    } else if (word == QLatin1String("GLST")) {
        handleGLST(tid, fields);
    } else if (word == QLatin1String("LIST")) {
        if (fields.size() != 2)
            return replyError(reply::kMalformed, tid);
        if (!signedIn)
            return replyError(reply::kNotNow, tid);
        handleLIST(tid);
    } else if (word == QLatin1String("ONST")) {
        presence::changeStatus(*this, tid, fields);
    } else if (word == QLatin1String("CNIK")) {
        presence::changeNickName(*this, tid, fields);
    } else if (word == QLatin1String("ADDG")) {
        groups::addGroup(*this, tid, fields);
    } else if (word == QLatin1String("RMVG")) {
        groups::removeGroup(*this, tid, fields);
    } else if (word == QLatin1String("RENG")) {
        groups::renameGroup(*this, tid, fields);
    } else if (word == QLatin1String("ADDB")) {
        buddies::addToList(*this, tid, fields);
    } else if (word == QLatin1String("RMVB")) {
        buddies::removeFromList(*this, tid, fields);
    } else if (word == QLatin1String("ADSB")) {
        buddies::handshake(*this, tid, fields);
    } else if (word == QLatin1String("MLST")) {
        messages::listLogins(*this, tid, fields);
    } else if (word == QLatin1String("KILS")) {
        messages::endOtherLogins(*this, tid, fields);
    } else if (carriesBody(word)) {
        if (fields.size() < 3)
            return replyError(reply::kMalformed, tid);
        announceBody(word, tid, fields, fields.last());
    } else if (word == QLatin1String("RESS")) {
        handleRESS(tid, fields);
    } else if (word == QLatin1String("PING")) {
        mServer.countPingAnswer(); // the client's answer to our PING
    } else if (word == QLatin1String("PONG")) {
        mConnection->write(wireLine(word, tid)); // the client's keepalive
    } else if (word == QLatin1String("CPRM")) {
        if (mState == State::SignedIn) {
            mState = State::Complete;
            presence::signInCompleted(*this);
            emit signInCompleted(mUserID);
        } else if (mState != State::Complete) {
            replyError(reply::kNotNow, tid);
        }
    } else if (word == QLatin1String("REFR")) {
        handleREFR(tid, fields, signedIn);
    } else if (word == QLatin1String("LOUT")) {
        mConnection->setDeaf(true); // nothing after the sign-out is answered
        mConnection->closeAfterWriting();
    } else {
        replyError(reply::kUnsupported, tid);
    }
}

void NotificationSession::handleBody(const QByteArray &body)
{
    const Pending p = mPending;
    mPending = {};
    if (p.word == QLatin1String("PRVK")) {
        handlePRVK(p, body);
    } else if (p.word == QLatin1String("LIN4")) {
        handleLIN4(p, body);
    } else if (p.word == QLatin1String("LOPT")) {
        if (mState != State::SignedIn && mState != State::Complete)
            return replyError(reply::kNotNow, p.tid);
        mConnection->write(wireLine(p.word, p.tid, {QStringLiteral("OK")}));
    } else if (p.word == QLatin1String("CTOC")) {
        messages::relay(*this, p.tid, p.fields, body);
    } else if (p.word == QLatin1String("CMSG")) {
        messages::deliverMemo(*this, p.tid, body);
    } else if (p.word == QLatin1String("CPBG") || p.word == QLatin1String("MVBG")
               || p.word == QLatin1String("RMBG")) {
        groups::batch(*this, p.word, p.tid, body);
    } else if (p.word == QLatin1String("CPRF")) {
        presence::changeProfile(*this, p.tid, body);
    } else if (p.word == QLatin1String("WGET")) {
        memos::webRequest(*this, p.tid, p.fields, body);
    }
}

void NotificationSession::handleNCPT(qint64 tid, const QStringList &fields)
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
    sendWithBody(QStringLiteral("NCPT"), tid, {wireUnescape(fields[3]), QStringLiteral("BASE64")},
                 keyInfo);
}

void NotificationSession::handlePRVK(const Pending &p, const QByteArray &body)
{
    if (mState != State::KeyOffered || !mKeySession)
        return replyError(reply::kNotNow, p.tid);
    if (!mKeySession->acceptClientKey(body))
        return replyError(reply::kKeyExchange, p.tid);
    mState = State::KeyAgreed;
    mConnection->write(wireLine(p.word, p.tid, {QStringLiteral("OK")}));
}

void NotificationSession::handleLIN4(const Pending &p, const QByteArray &body)
{
    const QString userID = wireUnescape(p.fields[2]);
    const QString encType = p.fields[3];
    const bool enciphered = encType == QLatin1String("NE3");
    if (!enciphered && encType != QLatin1String("PLN"))
        return replyError(reply::kMalformed, p.tid);
    // A plain sign-in text needs no key; an enciphered one needs the agreed key.
    const bool stateFits = enciphered ? mState == State::KeyAgreed
                                      : mState != State::SignedIn && mState != State::Complete;
    if (!stateFits)
        return replyError(reply::kNotNow, p.tid);

    QByteArray textBytes = body;
    if (enciphered) {
        const auto plain = mKeySession->decrypt(body);
        if (!plain)
            return replyError(reply::kKeyExchange, p.tid);
        textBytes = *plain;
    }
    QString why;
    const std::optional<SignInText> text = SignInText::read(textBytes, &why);
    // The client names the same version here as in PVER on its way in.
    const QString dispatchedVersion = mServer.takeDispatchedVersion(userID);
    if (text && !dispatchedVersion.isNull() && text->clientVersion != dispatchedVersion)
        why = QStringLiteral("the client version \"%1\" is not PVER's \"%2\"")
                  .arg(text->clientVersion, dispatchedVersion);
    if (!why.isEmpty()) {
        logRefusal("notification server", why, QStringLiteral("LIN4 %1 %2").arg(p.tid).arg(userID));
        return replyError(reply::kMalformed, p.tid);
    }

    // The account as its clients have changed it (a new display name), not as first read.
    const Account *account = mServer.directory().account(userID);
    if (!account)
        return replyError(reply::kUnknownAccount, p.tid);
    if (text->passwordType == QLatin1String("OTP") && !account->otp.isEmpty()) {
        // Only after the password, and only the number the account has.
        if (mAwaitingOTPFor != userID || text->password != account->otp)
            return replyError(reply::kOneTimePassword, p.tid);
    } else {
        if (!passwordMatches(*account, text->password, text->passwordType))
            return replyError(reply::kWrongPassword, p.tid);
        if (!account->otp.isEmpty()) {
            mAwaitingOTPFor = userID;
            return replyError(reply::kOneTimePassword, p.tid);
        }
    }
    mAwaitingOTPFor.clear();

    const QString loginKey = mServer.directory().nextLoginKey(userID);
    QByteArray answer = accountWords(*account, loginKey);
    if (enciphered) {
        const auto cipherText = mKeySession->encrypt(answer);
        if (!cipherText)
            return replyError(reply::kKeyExchange, p.tid);
        answer = *cipherText;
    }
    mState = State::SignedIn;
    mUserID = userID;
    mLoginKey = loginKey;
    mLangOS = wireUnescape(text->languageOS);
    mPCName = wireUnescape(text->computerName);
    mConnection->record()->userID = userID;
    mServer.directory().attach(mUserID, this);
    sendWithBody(p.word, p.tid, {userID, encType}, answer);
}

bool NotificationSession::passwordMatches(const Account &account, const QString &password,
                                          const QString &passwordType) const
{
    if (passwordType == QLatin1String("PLN"))
        return password == account.password;
    if (passwordType == QLatin1String("TKN"))
        return !account.token.isEmpty() && password == account.token;
    if (passwordType == QLatin1String("NE3")) {
        // The password itself is enciphered under the session key.
        if (mState != State::KeyAgreed || !mKeySession)
            return false;
        const auto plain = mKeySession->decrypt(password.toUtf8());
        return plain && QString::fromUtf8(*plain) == account.password;
    }
    return false;
}

void NotificationSession::handleCONF(qint64 tid, const QStringList &fields)
{
    // CONF tid cache 0
    qint64 cache = 0;
    if (fields.size() != 4 || !parseNumber(fields[2], &cache))
        return replyError(reply::kMalformed, tid);
    if (mState != State::SignedIn && mState != State::Complete)
        return replyError(reply::kNotNow, tid);
    // The whole configuration goes out every time: the client keeps it only
    // when the version is newer than its copy.
    const AccountStore &store = mServer.accounts();
    sendWithBody(fields[0], tid, {QString::number(store.confVersion())}, store.confBody());
}

void NotificationSession::handleGLST(qint64 tid, const QStringList &fields)
{
    // GLST tid cache
    qint64 cache = 0;
    if (fields.size() != 3 || !parseNumber(fields[2], &cache))
        return replyError(reply::kMalformed, tid);
    if (mState != State::SignedIn && mState != State::Complete)
        return replyError(reply::kNotNow, tid);
    const Account *account = mServer.directory().account(mUserID);
    if (!account)
        return replyError(reply::kNotNow, tid);
    const QString word = fields[0];
    QByteArray out = wireLine(word, tid, {QString::number(account->groupCache)});
    if (cache != account->groupCache) {
        // Groups first, then the buddies filed in them, as one numbered run:
        // only the very last line of the run is marked last.
        struct Membership {
            QString cmn;
            QString groupID;
        };
        QList<Membership> members;
        for (const Buddy &b : account->buddies) {
            const Account *buddy = mServer.directory().account(b.id);
            if (!buddy || b.flags[0] != QLatin1Char('1'))
                continue; // only the user's own list (FL) is filed in groups
            const QStringList groupIDs = b.groupIDs.isEmpty() ? QStringList{QStringLiteral("0")}
                                                              : b.groupIDs;
            for (const QString &g : groupIDs)
                members.append({buddy->cmn, g});
        }
        const qsizetype count = account->groups.size() + members.size();
        if (count == 0)
            out += wireLine(word, tid, {QStringLiteral("0"), QStringLiteral("0"), {}, {}, {}, {}});
        qsizetype index = 0;
        for (const Group &g : account->groups)
            out += wireLine(word, tid,
                            {QString::number(index++), QString::number(count), QStringLiteral("Y"),
                             g.id, g.name, g.parentID});
        for (const Membership &m : members)
            out += wireLine(word, tid,
                            {QString::number(index++), QString::number(count), QStringLiteral("N"),
                             m.cmn, m.groupID});
    }
    mConnection->write(out);
}

void NotificationSession::handleLIST(qint64 tid)
{
    const Account *account = mServer.directory().account(mUserID);
    if (!account)
        return replyError(reply::kNotNow, tid);
    const QString word = QStringLiteral("LIST");
    const qsizetype count = account->buddies.size();
    if (count == 0) {
        mConnection->write(wireLine(word, tid, {QStringLiteral("0"), QStringLiteral("0")}));
        return;
    }
    QByteArray out;
    qsizetype index = 0;
    for (const Buddy &b : account->buddies) {
        const Account *buddy = mServer.directory().account(b.id);
        if (!buddy)
            continue; // the store checks every buddy against its accounts
        out += wireLine(word, tid,
                        {QString::number(index++), QString::number(count), b.flags, buddy->id,
                         buddy->cmn, buddy->name, buddy->nickName, buddy->mobile, buddy->email,
                         buddy->birthday, buddy->orchardCMN, buddy->birthdayTPCD, buddy->authYN,
                         buddy->mimid, buddy->musicDate, buddy->ewerYN});
    }
    mConnection->write(out);
}

} // namespace localservice
