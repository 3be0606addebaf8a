// The switchboard session on its own: handlers fed wire text, senders written
// to a stand-in switchboard.
#include "RecordingSSDelegate.h"
#include "Sessions/PLSSSession.h"
#include "TestSupport.h"
#include "WireCapture.h"

#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;

namespace {

    // An envelope as the switchboard writes it.
QByteArray envelope(const QString &line, int tid = 5)
{
    const QByteArray body = MirrorChatCrypto::encipher(line).toLatin1();
    return "CRPT " + QByteArray::number(tid) + ' ' + QByteArray::number(body.size()) + "\r\n" + body;
}

class SSSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mSession = std::make_unique<PLSSSession>(QStringLiteral("127.0.0.1"), mCapture.port());
        mSession->setDelegate(&mDelegate);
        mSession->setCrypto(&mCrypto);
        mSession->setMyVelaID(QStringLiteral("me"));
        PLSSSessionProfile profile;
        profile.dpKey = QStringLiteral("a|b");
        profile.nickName = QStringLiteral("my nick");
        profile.name = QStringLiteral("Me");
        profile.cmn = QStringLiteral("cmn1");
        profile.clientVersion = QStringLiteral("1.0");
        profile.langPack = QStringLiteral("ko-KR");
        mSession->setProfile(profile);
        mSession->setKey(QStringLiteral("room42"));
    }
    void TearDown() override
    {
        if (!mSession)
            return; // let go by the test
        mSession->setDelegate(nullptr);
        mSession.release()->disposeLater();
    }
    void connectToCapture()
    {
        ASSERT_TRUE(mSession->connect());
        ASSERT_TRUE(waitUntil([&] { return mSession->isConnected() && mCapture.connected(); }));
    }
    void feed(const QByteArray &bytes) { mSession->dataReceived(bytes); }
    void encrypt()
    {
        mSession->setEncrypted(true);
        mSession->setEncryptKey(MirrorChatCrypto::clientKey());
    }
    // The enveloped lines the client wrote, deciphered.
    QStringList openedEnvelopes() const
    {
        QStringList lines;
        QByteArray rest = mCapture.received;
        while (rest.startsWith("CRPT ")) {
            const qsizetype end = rest.indexOf("\r\n");
            const int length = rest.left(end).split(' ').value(2).toInt();
            const QString body = QString::fromLatin1(rest.mid(end + 2, length));
            MirrorChatCrypto crypto;
            lines.append(crypto.deCryptMessage(body, MirrorChatCrypto::clientKey()).value_or(QStringLiteral("?")));
            rest = rest.mid(end + 2 + length);
        }
        return lines;
    }

    WireCapture mCapture;
    RecordingSSDelegate mDelegate;
    MirrorChatCrypto mCrypto;
    std::unique_ptr<PLSSSession> mSession;
};

struct LineCase {
    const char *line;
    QStringList calls;
    QVariantMap first; // the first call's dictionary, when there is one
};

class SSSessionLineTest : public SSSessionTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(SSSessionLineTest, DispatchesOneDelegateCallPerEvent)
{
    feed(QByteArray(GetParam().line) + "\r\n");
    EXPECT_EQ(mDelegate.names(), GetParam().calls);
    if (!GetParam().first.isEmpty() && !mDelegate.calls.isEmpty()) {
        EXPECT_EQ(mDelegate.calls[0].second, GetParam().first);
    }
}

const QString kFile = QStringLiteral("fileInfos");
QVariantMap fileInfo(const char *name, quint64 size, const char *cookie)
{
    return {{QStringLiteral("fileName"), QString::fromUtf8(name)},
            {QStringLiteral("fileSize"), size},
            {QStringLiteral("cookie"), QString::fromUtf8(cookie)}};
}
QVariantMap fileEvent(const QString &key, const QVariantList &list, const char *user, const char *dpKey)
{
    return {{key, list}, {QStringLiteral("userID"), QString::fromUtf8(user)}, {QStringLiteral("dpKey"), QString::fromUtf8(dpKey)}};
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SSSessionLineTest,
    ::testing::Values(
        LineCase{"QUIT 0 u2", {QStringLiteral("ssSessionUserQuitReceived")}, {{QStringLiteral("velaID"), QStringLiteral("u2")}}},
        LineCase{"QUIT 0 2", {}, {}},
        LineCase{"QUIT 0 1", {QStringLiteral("ssSessionWillDisconnect"), QStringLiteral("ssSessionDidDisconnect")}, {}},
        LineCase{"MESG 0 u2 TYPING 1", {QStringLiteral("ssSessionTypingInfoReceived")},
                 {{QStringLiteral("velaID"), QStringLiteral("u2")}, {QStringLiteral("flag"), QStringLiteral("1")}}},
        LineCase{"MESG 0 u%202 MSG hi%20there", {QStringLiteral("ssSessionMessageReceived")},
                 {{QStringLiteral("velaID"), QStringLiteral("u 2")}, {QStringLiteral("message"), QStringLiteral("hi there")}}},
        LineCase{"MESG 0 u2 AWAYMSG out", {QStringLiteral("ssSessionAwayMessageReceived")}, {}},
        LineCase{"MESG 0 u2 INK abc", {QStringLiteral("ssSessionInkMessageReceived")}, {}},
        LineCase{"MESG 0 u2 EMOTICON x", {}, {}},
        LineCase{"MESG 12", {}, {}},
        LineCase{"JOIN 0 u2 nick name", {QStringLiteral("ssSessionJoinReceived")},
                 {{QStringLiteral("velaID"), QStringLiteral("u2")}, {QStringLiteral("nickName"), QStringLiteral("nick")}, {QStringLiteral("name"), QStringLiteral("name")}}},
        LineCase{"USER 1 2 3 u3 nick name", {QStringLiteral("ssSessionUserReceived")},
                 {{QStringLiteral("velaID"), QStringLiteral("u3")}, {QStringLiteral("nickName"), QStringLiteral("nick")}, {QStringLiteral("name"), QStringLiteral("name")},
                  {QStringLiteral("index"), 2}, {QStringLiteral("count"), 3}}},
        LineCase{"SPSH 0 CUSTMSG hi%20all", {QStringLiteral("ssSessionSpshMsgReceived")},
                 {{QStringLiteral("message"), QStringLiteral("hi all")}, {QStringLiteral("type"), 3}}},
        LineCase{"SPSH 0 OTHER x", {}, {}},
        LineCase{"DSEL 0 0", {QStringLiteral("ssSessionWillCloseReceived")}, {}},
        LineCase{"PBLK 9 KEY", {QStringLiteral("ssSessionPublicKeyReceived")},
                 {{QStringLiteral("tid"), QStringLiteral("9")}, {QStringLiteral("publicKey"), QStringLiteral("KEY")}}},
        LineCase{"501 4", {QStringLiteral("ssSessionErrorReceived")},
                 {{QStringLiteral("tid"), QStringLiteral("4")}, {QStringLiteral("errCode"), QStringLiteral("501")},
                  {QStringLiteral("errSubCode"), QString()}, {QStringLiteral("errMessage"), QString()}}},
        LineCase{"WHSP 0 u2 ANIMICON OBJECT%09smile%2501", {QStringLiteral("ssSessionAnimiconReceived")},
                 {{QStringLiteral("userID"), QStringLiteral("u2")}, {QStringLiteral("animiconInfo"), QStringLiteral("smile%2501")}}},
        LineCase{"WHSP 0 u2 ANIMICON ACK", {QStringLiteral("ssSessionAnimiconAck")},
                 {{QStringLiteral("userID"), QStringLiteral("u2")}, {QStringLiteral("animiconInfo"), QStringLiteral("WHSP 0 u2 ANIMICON ACK")}}},
        LineCase{"WHSP 0 u2 ANIMICON", {}, {}},
        LineCase{"WHSP 0 u2 EMOTICON UNKNOWN%093.0", {}, {}},
        // File answers: from another device of this user (own ID, a dpKey
        // that is not ours) an acceptance or refusal cancels our offer.
        LineCase{"WHSP 0 me|c|d FILE ACK%091%09k1", {QStringLiteral("ssSessionCancelFileTransferReceived")},
                 fileEvent(QStringLiteral("fileCookies"), {QStringLiteral("k1")}, "me", "c|d")},
        LineCase{"WHSP 0 me|a|b FILE ACK%091%09k1", {}, {}},
        LineCase{"WHSP 0 me FILE ACK%091%09k1", {}, {}},
        LineCase{"WHSP 0 u2|c|d FILE ACK%091%09k1", {}, {}},
        LineCase{"WHSP 0 u2 FILE NACK%091%09f.txt|5|k1", {QStringLiteral("ssSessionNackFileTransferReceived")},
                 fileEvent(kFile, {fileInfo("f.txt", 5, "k1")}, "u2", "0")},
        LineCase{"WHSP 0 me|c|d FILE NACK%091%09f.txt|5|k1", {QStringLiteral("ssSessionCancelFileTransferReceived")},
                 fileEvent(QStringLiteral("fileCookies"), {QStringLiteral("k1")}, "me", "c|d")},
        LineCase{"WHSP 0 me|a|b FILE NACK%091%09f.txt|5|k1", {}, {}},
        LineCase{"WHSP 0 u2|x FILE REQUEST%092%09a%20b|zz|k1%09c|7|k2", {QStringLiteral("ssSessionRequestFileTransferReceived")},
                 fileEvent(kFile, {fileInfo("a b", ~quint64(0), "k1"), fileInfo("c", 7, "k2")}, "u2|x", "0")},
        LineCase{"WHSP 0 u2|x|y|z FILE CANCEL%091%09k1", {QStringLiteral("ssSessionCancelFileTransferReceived")},
                 fileEvent(QStringLiteral("fileCookies"), {QStringLiteral("k1")}, "u2|x|y|z", "0")},
        LineCase{"WHSP 0 u2 FILE REQUEST%092%09k1%09c|7|k2", {QStringLiteral("ssSessionRequestFileTransferReceived")},
                 fileEvent(kFile, {fileInfo("", ~quint64(0), "k1"), fileInfo("c", 7, "k2")}, "u2", "0")},
        LineCase{"WHSP 0 u2 FILE USEFLAG%091%09k1", {}, {}}));

// What is said while alone waits for the first member line: the member list
// on entering (USER) or a member joining (JOIN).
class SSSessionQueueTest : public SSSessionTest, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(SSSessionQueueTest, AMemberLineClearsAloneAndSendsTheQueueInOrder)
{
    connectToCapture();
    ASSERT_TRUE(mSession->sendENTRPacket());
    ASSERT_TRUE(waitUntil([&] { return mCapture.received.endsWith("\r\n"); }));
    mCapture.received.clear();
    ASSERT_TRUE(mSession->sendMessage(QStringLiteral("queued one")));
    ASSERT_TRUE(mSession->leaveMessage(QStringLiteral("queued two")));
    EXPECT_FALSE(mSession->sendTypingInfo(1));
    EXPECT_EQ(mSession->messageQueue().size(), 2);
    mCapture.write(GetParam());
    ASSERT_TRUE(waitUntil([&] { return mCapture.received.count("MESG ") == 2; }));
    EXPECT_FALSE(mSession->isAlone());
    EXPECT_EQ(mCapture.received, QByteArray("MESG 2 MSG queued%20one\r\nMESG 3 AWAYMSG queued%20two\r\n"));
    EXPECT_TRUE(mSession->messageQueue().isEmpty());
    EXPECT_TRUE(mSession->sendTypingInfo(1));
    ASSERT_TRUE(waitUntil([&] { return mCapture.received.endsWith("MESG 4 TYPING 1\r\n"); }));
}

INSTANTIATE_TEST_SUITE_P(MemberLines, SSSessionQueueTest,
                         ::testing::Values("USER 1 1 1 u2 nick name\r\n", "JOIN 0 u3 nick3 name3\r\n"));

// Lines sent while a write is on its way gather and leave together: every
// byte still arrives, in the order sent, typing flags and away replies among
// the messages; and lines still gathering when the room is let go go out
// before the line closes.
class SSSessionBurstTest : public SSSessionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SSSessionBurstTest, ABurstOfLinesArrivesWholeAndInOrder)
{
    const bool letGo = GetParam();
    connectToCapture();
    mSession->setAlone(false);
    QByteArray expected;
    for (int i = 0; i < 300; ++i) {
        const QString text = QStringLiteral("line %1\tof the burst").arg(i);
        const int tid = int(mSession->mTidValue());
        if (i % 50 == 7) {
            ASSERT_TRUE(mSession->sendTypingInfo(1));
            expected += "MESG " + QByteArray::number(tid) + " TYPING 1\r\n";
        } else if (i % 50 == 9) {
            ASSERT_TRUE(mSession->leaveMessage(text));
            expected += "MESG " + QByteArray::number(tid) + " AWAYMSG " + QByteArray::number(i).prepend("line%20")
                + "%09of%20the%20burst\r\n";
        } else {
            ASSERT_TRUE(mSession->sendMessage(text));
            expected += "MESG " + QByteArray::number(tid) + " MSG " + QByteArray::number(i).prepend("line%20")
                + "%09of%20the%20burst\r\n";
        }
    }
    if (letGo) {
        mSession->setDelegate(nullptr);
        mSession.release()->disposeAfterWriting(10000);
    }
    ASSERT_TRUE(waitUntil([&] { return mCapture.received.size() >= expected.size(); }));
    EXPECT_EQ(mCapture.received, expected);
}

INSTANTIATE_TEST_SUITE_P(KeptOrLetGo, SSSessionBurstTest, ::testing::Bool());

TEST_F(SSSessionTest, EntersAPlainRoomOnConnectWithItsFields)
{
    mSession->setEnter(true);
    connectToCapture();
    ASSERT_TRUE(waitUntil([&] { return mCapture.received.endsWith("\r\n"); }));
    EXPECT_EQ(mCapture.received,
              QByteArray("ENTR 1 me|a|b my%20nick Me room42 UTF8 P 3.0 1 1.0 ko.macm %00 cmn1 ko-KR\r\n"));
    EXPECT_FALSE(mSession->isEnterPending());
}

TEST_F(SSSessionTest, EncryptedRoomEntersAfterTheKeyExchangeOnlyOnOK)
{
    mSession->setEncrypted(true);
    mSession->setEnter(true);
    connectToCapture();
    ASSERT_TRUE(waitUntil([&] { return mCapture.received.endsWith("\r\n"); }));
    EXPECT_EQ(mCapture.received, QByteArray("NCPT 1 me ro 0\r\n"));
    mCapture.received.clear();

    mCapture.write("NCPT 1 ro BASE64 5\r\nABCDE");
    ASSERT_TRUE(waitUntil([&] { return mDelegate.calls.size() == 1; }));
    EXPECT_EQ(mDelegate.calls[0].first, QStringLiteral("ssSessionNcptPublicKeyReceived"));
    EXPECT_EQ(mDelegate.calls[0].second,
              (QVariantMap{{QStringLiteral("tid"), QStringLiteral("1")}, {QStringLiteral("encodeType"), QStringLiteral("BASE64")},
                           {QStringLiteral("publicKey"), QByteArray("ABCDE")}}));
    mSession->setEncryptKey(MirrorChatCrypto::clientKey());
    ASSERT_TRUE(mSession->sendPRVKPacket({{QStringLiteral("encodeType"), QStringLiteral("BASE64")},
                                          {QStringLiteral("sessionKey"), MirrorChatCrypto::clientKey()}}));
    mCapture.write("PRVK 2 FAIL\r\n");
    ASSERT_TRUE(waitUntil([&] { return mCapture.received.endsWith(MirrorChatCrypto::clientKey().toLatin1()); }));
    EXPECT_EQ(mCapture.received, "PRVK 2 BASE64 16\r\n" + MirrorChatCrypto::clientKey().toLatin1()) << "the key exchange goes in clear";
    mCapture.received.clear();
    mCapture.write("PRVK 2 OK\r\n");
    ASSERT_TRUE(waitUntil([&] { return !mCapture.received.isEmpty() && openedEnvelopes().size() == 1; }));
    EXPECT_EQ(openedEnvelopes(), QStringList{QStringLiteral("ENTR 3 me|a|b my%20nick Me room42 UTF8 C 3.0 1 1.0 ko.macm %00 cmn1 ko-KR\r\n")});
    EXPECT_TRUE(mCapture.received.startsWith("CRPT 3 ")) << "the envelope keeps the wrapped packet's tid";
}

TEST_F(SSSessionTest, EncryptedRoomWrapsEverythingButTheKeyExchange)
{
    connectToCapture();
    encrypt();
    mSession->setAlone(false);
    ASSERT_TRUE(mSession->sendMessage(QStringLiteral("hush")));
    ASSERT_TRUE(mSession->sendAnimicon(QStringLiteral("wink"), QStringLiteral("u2")));
    ASSERT_TRUE(waitUntil([&] { return openedEnvelopes().size() == 2; }));
    EXPECT_EQ(openedEnvelopes(), (QStringList{QStringLiteral("MESG 1 MSG hush\r\n"),
                                              QStringLiteral("WHSP 2 u2 ANIMICON OBJECT%09wink\r\n")}));
    mCapture.received.clear();
    ASSERT_TRUE(mSession->sendEncryptedSessionKey(QStringLiteral("K"), QStringLiteral("BASE64")));
    ASSERT_TRUE(mSession->sendNCPTPacket());
    ASSERT_TRUE(waitUntil([&] { return mCapture.received.count("\r\n") == 2; }));
    EXPECT_EQ(mCapture.received, QByteArray("ESSK 3 K BASE64\r\nNCPT 4 me ro 0\r\n"));
}

TEST_F(SSSessionTest, EncryptedRoomSendsNothingWhenItCannotEncipher)
{
    connectToCapture();
    mSession->setEncrypted(true);
    mSession->setAlone(false);
    EXPECT_FALSE(mSession->sendMessage(QStringLiteral("no key yet")));
    mSession->setEncryptKey(MirrorChatCrypto::clientKey());
    mCrypto.mode = MirrorChatCrypto::Mode::EchoPlain; // a cipher that hands the text back
    EXPECT_FALSE(mSession->sendMessage(QStringLiteral("still no")));
    mCrypto.mode = MirrorChatCrypto::Mode::Agree;
    ASSERT_TRUE(mSession->sendMessage(QStringLiteral("now")));
    ASSERT_TRUE(waitUntil([&] { return openedEnvelopes().size() == 1; }));
    EXPECT_FALSE(mCapture.received.contains("no key yet"));
    EXPECT_FALSE(mCapture.received.contains("still"));
}

struct EnvelopeCase {
    const char *name;
    QByteArray bytes;
    MirrorChatCrypto::Mode mode;
    bool withKey;
    QStringList calls;
};

class SSSessionEnvelopeTest : public SSSessionTest, public ::testing::WithParamInterface<EnvelopeCase> {};

TEST_P(SSSessionEnvelopeTest, OpensOnlyRealEnvelopes)
{
    mSession->setEncrypted(true);
    if (GetParam().withKey)
        mSession->setEncryptKey(MirrorChatCrypto::clientKey());
    mCrypto.mode = GetParam().mode;
    feed(GetParam().bytes);
    EXPECT_EQ(mDelegate.names(), GetParam().calls);
}

const QByteArray kPlainMesg = "MESG 0 u2 MSG plain";

INSTANTIATE_TEST_SUITE_P(
    Envelopes, SSSessionEnvelopeTest,
    ::testing::Values(
        EnvelopeCase{"Enciphered", envelope(QStringLiteral("MESG 0 u2 MSG hi\r\n")), MirrorChatCrypto::Mode::Agree, true,
                     {QStringLiteral("ssSessionMessageReceived")}},
        EnvelopeCase{"PlaintextRefused", "CRPT 5 " + QByteArray::number(kPlainMesg.size()) + "\r\n" + kPlainMesg,
                     MirrorChatCrypto::Mode::EchoPlain, true, {}},
        EnvelopeCase{"NotDeciphering", "CRPT 5 " + QByteArray::number(kPlainMesg.size()) + "\r\n" + kPlainMesg,
                     MirrorChatCrypto::Mode::Agree, true, {}},
        EnvelopeCase{"NoKey", envelope(QStringLiteral("MESG 0 u2 MSG hi\r\n")), MirrorChatCrypto::Mode::Agree, false, {}},
        EnvelopeCase{"EnvelopeInEnvelope", envelope(QString::fromLatin1(envelope(QStringLiteral("MESG 0 u2 MSG hi\r\n")))),
                     MirrorChatCrypto::Mode::Agree, true, {}},
        EnvelopeCase{"TwoInOneRead",
                     envelope(QStringLiteral("JOIN 0 u2 n m\r\n")) + envelope(QStringLiteral("MESG 0 u2 MSG hi\r\n")),
                     MirrorChatCrypto::Mode::Agree, true,
                     {QStringLiteral("ssSessionJoinReceived"), QStringLiteral("ssSessionMessageReceived")}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SSSessionTest, FileSendersNeedEveryFieldOfEveryFile)
{
    connectToCapture();
    mSession->setAlone(false);
    const QVariantMap good{{QStringLiteral("fileName"), QStringLiteral("a b")},
                           {QStringLiteral("fileSize"), QStringLiteral("10")},
                           {QStringLiteral("fileCookie"), QStringLiteral("k")}};
    QVariantMap noCookie = good;
    noCookie.remove(QStringLiteral("fileCookie"));
    EXPECT_FALSE(mSession->requestTransferFiles({good, noCookie}, QStringLiteral("u2")));
    EXPECT_FALSE(mSession->requestTransferFiles({good}, QString()));
    EXPECT_FALSE(mSession->rejectTransferFile({}, QStringLiteral("u2")));
    ASSERT_TRUE(mSession->requestTransferFiles({good}, QStringLiteral("u2")));
    ASSERT_TRUE(mSession->acceptTransferFiles({}, QStringLiteral("u2")));
    ASSERT_TRUE(mSession->cancelUploadFile(good, QStringLiteral("u2")));
    ASSERT_TRUE(waitUntil([&] { return mCapture.received.count("\r\n") == 3; }));
    // The refused offer used up a tid; nothing of it was written.
    EXPECT_EQ(mCapture.received, QByteArray("WHSP 2 u2 FILE REQUEST%091%09a%20b|10|k\r\n"
                                            "WHSP 3 u2 FILE ACK%090\r\n"
                                            "WHSP 4 u2 FILE CANCEL%091%09k\r\n"));
}

TEST_F(SSSessionTest, DisconnectTellsTheDelegateAndClearsTheActiveFlag)
{
    connectToCapture();
    mSession->setActive(true, {{QStringLiteral("activateType"), QStringLiteral("creation")}});
    ASSERT_TRUE(mSession->isActivated());
    mDelegate.calls.clear();
    EXPECT_TRUE(mSession->disconnect());
    EXPECT_EQ(mDelegate.names(), (QStringList{QStringLiteral("ssSessionWillDisconnect"), QStringLiteral("ssSessionDidDisconnect")}));
    EXPECT_FALSE(mSession->isActivated());
    EXPECT_FALSE(mSession->isConnected());
}

TEST(PLFileSizeFromString, ParsesDecimalOrAllBits)
{
    EXPECT_EQ(PLFileSizeFromString(QStringLiteral("12")), 12u);
    EXPECT_EQ(PLFileSizeFromString(QStringLiteral("18446744073709551615")), ~quint64(0));
    EXPECT_EQ(PLFileSizeFromString(QStringLiteral("zz")), ~quint64(0));
    EXPECT_EQ(PLFileSizeFromString(QString()), ~quint64(0));
    EXPECT_EQ(PLFileSizeFromString(QStringLiteral("-1")), ~quint64(0));
}

} // namespace
