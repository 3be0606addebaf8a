// No sender writes an empty word: a server splits every line, and the lines
// of the sign-in text and of the group batches, at single spaces, so an empty
// value would shift every word after it by one. Every send packet is built
// with each of its text fields emptied; a field that starts as "%00" then
// travels as "%00", and one that must keep a value stops the packet.
#include "Packet/PLSendADDBPacket.h"
#include "Packet/PLSendADDGPacket.h"
#include "Packet/PLSendADSBPacket.h"
#include "Packet/PLSendATHCPacket.h"
#include "Packet/PLSendAUTHPacket.h"
#include "Packet/PLSendCMSGPacket.h"
#include "Packet/PLSendCNIKPacket.h"
#include "Packet/PLSendCONFPacket.h"
#include "Packet/PLSendCPBGPacket.h"
#include "Packet/PLSendCPRFPacket.h"
#include "Packet/PLSendCRPTPacket.h"
#include "Packet/PLSendCTOCPacket.h"
#include "Packet/PLSendENTRPacket.h"
#include "Packet/PLSendESSKPacket.h"
#include "Packet/PLSendFILEPacket.h"
#include "Packet/PLSendGLSTPacket.h"
#include "Packet/PLSendKILSPacket.h"
#include "Packet/PLSendLIN4Packet.h"
#include "Packet/PLSendLISTPacket.h"
#include "Packet/PLSendLOPTPacket.h"
#include "Packet/PLSendLOUTPacket.h"
#include "Packet/PLSendLSINPacket.h"
#include "Packet/PLSendMESGPacket.h"
#include "Packet/PLSendMLSTPacket.h"
#include "Packet/PLSendMVBGPacket.h"
#include "Packet/PLSendNCPTPacket.h"
#include "Packet/PLSendONSTPacket.h"
#include "Packet/PLSendPINGPacket.h"
#include "Packet/PLSendPRVKPacket.h"
#include "Packet/PLSendPVERPacket.h"
#include "Packet/PLSendRENGPacket.h"
#include "Packet/PLSendREQSPacket.h"
#include "Packet/PLSendRESSPacket.h"
#include "Packet/PLSendRMBGPacket.h"
#include "Packet/PLSendRMVBPacket.h"
#include "Packet/PLSendRMVGPacket.h"
#include "Packet/PLSendWGETPacket.h"
#include "Packet/PLSendWHSPPacket.h"
#include "Utils/ParleyStringAdditions.h"
#include "WireCaseSupport.h"

using namespace parley;
using namespace parley::test;

namespace {

const QString e; // the empty value every field is given

// How the words of a packet's text are found.
enum class Words {
    LineOnly,        // the header line alone
    Body,            // and every line of the body
    EncipheredBody,  // and the lines of the body after the encipherer's "E(k)"
    EncipheredParam, // and the sign-in text in the line's one parameter
};

struct EmptyCase {
    const char *name;
    Words words;
    std::function<std::unique_ptr<PLSendPacket>()> make;
};

void PrintTo(const EmptyCase &c, std::ostream *os)
{
    *os << c.name;
}

// The empty words of a text of lines split at single spaces, as "line:word".
QStringList emptyWords(const QString &text)
{
    QStringList found;
    QString rest = text;
    if (rest.endsWith(QLatin1String("\r\n")))
        rest.chop(2);
    const QStringList lines = rest.split(QLatin1String("\r\n"));
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const QStringList words = lines[l].split(QLatin1Char(' '));
        for (qsizetype w = 0; w < words.size(); ++w)
            if (words[w].isEmpty())
                found << QStringLiteral("%1:%2").arg(l).arg(w);
    }
    return found;
}

void fillLIN4WithEmpties(PLSendLIN4Packet &p)
{
    for (auto set : {&PLSendLIN4Packet::setUserID, &PLSendLIN4Packet::setPassword, &PLSendLIN4Packet::setPasswordType,
                     &PLSendLIN4Packet::setClientVersion, &PLSendLIN4Packet::setCharEncodeType,
                     &PLSendLIN4Packet::setLangDotOS, &PLSendLIN4Packet::setMasterID, &PLSendLIN4Packet::setPCID})
        (p.*set)(e);
    p.setEncryptKey(QStringLiteral("k"));
}

const EmptyCase kEmptyCases[] = {
    {"PVER", Words::LineOnly, [] { return sendPacket<PLSendPVERPacket>(1, [](auto &p) { p.setTID(1, e, e, e); }); }},
    {"AUTH", Words::LineOnly, [] { return sendPacket<PLSendAUTHPacket>(1, [](auto &p) { p.setTID(1, e); }); }},
    {"REQS", Words::LineOnly, [] { return sendPacket<PLSendREQSPacket>(1, [](auto &p) { p.setTID(1, e, e); }); }},
    {"NCPT", Words::LineOnly, [] { return sendPacket<PLSendNCPTPacket>(1, [](auto &p) { p.setTID(1, e, e); }); }},
    {"PRVK", Words::LineOnly, [] { return sendPacket<PLSendPRVKPacket>(1, [](auto &p) { p.setTID(1, e, e); }); }},
    {"LIN4 plain", Words::Body,
     [] {
         return sendPacket<PLSendLIN4Packet>(1, [](auto &p) {
             fillLIN4WithEmpties(p);
             p.setEncType(QStringLiteral("PLN"));
         });
     }},
    {"LIN4 enciphered", Words::EncipheredBody,
     [] {
         return sendPacket<PLSendLIN4Packet>(1, [](auto &p) {
             fillLIN4WithEmpties(p);
             p.setEncType(QStringLiteral("NE3"));
         });
     }},
    {"LIN4 without a form", Words::LineOnly,
     [] {
         return sendPacket<PLSendLIN4Packet>(1, [](auto &p) {
             fillLIN4WithEmpties(p);
             p.setEncType(e);
         });
     }},
    {"LSIN", Words::EncipheredParam,
     [] {
         return sendPacket<PLSendLSINPacket>(1, [](auto &p) {
             for (auto set : {&PLSendLSINPacket::setUserID, &PLSendLSINPacket::setPassword, &PLSendLSINPacket::setEncodeType,
                              &PLSendLSINPacket::setVersion, &PLSendLSINPacket::setCharEncodeType,
                              &PLSendLSINPacket::setLangDotOS, &PLSendLSINPacket::setMasterID, &PLSendLSINPacket::setPCID,
                              &PLSendLSINPacket::setMyPCName, &PLSendLSINPacket::setMyLocationKey})
                 (p.*set)(e);
             p.setEncryptKey(QStringLiteral("k"));
         });
     }},
    {"LOPT", Words::LineOnly,
     [] {
         return sendPacket<PLSendLOPTPacket>(1, [](auto &p) {
             p.setBodyType(e);
             p.setBody(e);
         });
     }},
    {"PING", Words::LineOnly, [] { return sendPacket<PLSendPINGPacket>(0); }},
    {"LOUT", Words::LineOnly, [] { return sendPacket<PLSendLOUTPacket>(9); }},
    {"CONF", Words::LineOnly, [] { return sendPacket<PLSendCONFPacket>(1, [](auto &p) { p.setTID(1, e); }); }},
    {"GLST", Words::LineOnly, [] { return sendPacket<PLSendGLSTPacket>(1, [](auto &p) { p.setTID(1, e); }); }},
    {"LIST", Words::LineOnly, [] { return sendPacket<PLSendLISTPacket>(1); }},
    {"ADDB forward list", Words::LineOnly,
     [] {
         return sendPacket<PLSendADDBPacket>(1, [](auto &p) {
             p.setType(QStringLiteral("FL"));
             p.setTargetCMN(e);
             p.setTargetID(e);
             p.setGroupID(e);
         });
     }},
    {"ADDB without a list", Words::LineOnly,
     [] {
         return sendPacket<PLSendADDBPacket>(1, [](auto &p) {
             p.setType(e);
             p.setTargetCMN(e);
             p.setTargetID(e);
         });
     }},
    {"RMVB", Words::LineOnly, [] { return sendPacket<PLSendRMVBPacket>(1, [](auto &p) { p.setTID(1, e, e, e); }); }},
    {"ADSB", Words::LineOnly,
     [] {
         return sendPacket<PLSendADSBPacket>(1, [](auto &p) {
             p.setEvent(e);
             p.setTargetCMN(e);
             p.setTargetID(e);
             p.setGroupID(e);
             p.setMsg(e);
         });
     }},
    {"ADDG", Words::LineOnly, [] { return sendPacket<PLSendADDGPacket>(1, [](auto &p) { p.setTID(1, e, e); }); }},
    {"RMVG", Words::LineOnly, [] { return sendPacket<PLSendRMVGPacket>(1, [](auto &p) { p.setTID(1, e, e); }); }},
    {"RENG", Words::LineOnly, [] { return sendPacket<PLSendRENGPacket>(1, [](auto &p) { p.setTID(1, e, e, e); }); }},
    {"CPBG", Words::Body,
     [] {
         return sendPacket<PLSendCPBGPacket>(1, [](auto &p) {
             p.setTID(1, e);
             p.addBuddy(e, e, e, e);
             p.addBuddy(QStringLiteral("100"), e, QStringLiteral("1"), e);
         });
     }},
    {"MVBG", Words::Body,
     [] {
         return sendPacket<PLSendMVBGPacket>(1, [](auto &p) {
             p.setTID(1, e);
             p.addBuddy(e, e, e, e);
         });
     }},
    {"RMBG", Words::Body,
     [] {
         return sendPacket<PLSendRMBGPacket>(1, [](auto &p) {
             p.setTID(1, e);
             p.addBuddy(e, e, e);
         });
     }},
    {"ONST", Words::LineOnly,
     [] {
         return sendPacket<PLSendONSTPacket>(1, [](auto &p) {
             p.setStatus(e);
             p.setFileRoomType(e);
             p.setFileRoomName(e);
             p.setMediaType(e);
         });
     }},
    {"CNIK", Words::LineOnly, [] { return sendPacket<PLSendCNIKPacket>(1, [](auto &p) { p.setTID(1, e); }); }},
    {"CPRF", Words::LineOnly, [] { return sendPacket<PLSendCPRFPacket>(1, [](auto &p) { p.setTID(1, e); }); }},
    {"RESS", Words::LineOnly, [] { return sendPacket<PLSendRESSPacket>(1); }},
    {"ENTR", Words::LineOnly,
     [] {
         return sendPacket<PLSendENTRPacket>(1, [](auto &p) {
             for (auto set : {&PLSendENTRPacket::setID, &PLSendENTRPacket::setNickName, &PLSendENTRPacket::setName,
                              &PLSendENTRPacket::setKey, &PLSendENTRPacket::setCharEncodeType,
                              &PLSendENTRPacket::setEncrypt, &PLSendENTRPacket::setPver,
                              &PLSendENTRPacket::setDeviceType, &PLSendENTRPacket::setClientVer,
                              &PLSendENTRPacket::setOSVer, &PLSendENTRPacket::setLineSeq, &PLSendENTRPacket::setCMN,
                              &PLSendENTRPacket::setLangPack})
                 (p.*set)(e);
         });
     }},
    {"MESG", Words::LineOnly,
     [] {
         return sendPacket<PLSendMESGPacket>(1, [](auto &p) {
             p.setType(e);
             p.setMsg(e);
         });
     }},
    {"ESSK", Words::LineOnly,
     [] {
         return sendPacket<PLSendESSKPacket>(1, [](auto &p) {
             p.setEncSSKey(e);
             p.setEncType(e);
         });
     }},
    {"CRPT", Words::LineOnly, [] { return sendPacket<PLSendCRPTPacket>(1, [](auto &p) { p.setBodyData(e); }); }},
    {"WHSP message", Words::LineOnly,
     [] {
         return sendPacket<PLSendWHSPPacket>(1, [](auto &p) {
             p.setID(e);
             p.setType(e);
             p.setSubType(e);
             p.setMsg(e);
         });
     }},
    {"WHSP file offer", Words::LineOnly,
     [] {
         return sendPacket<PLSendWHSPPacket>(1, [](auto &p) {
             p.setID(e);
             p.setType(QStringLiteral("FILE"));
             p.setSubType(e);
             p.addFile(e, 0, e);
         });
     }},
    {"WHSP animicon", Words::LineOnly,
     [] {
         return sendPacket<PLSendWHSPPacket>(1, [](auto &p) {
             p.setID(e);
             p.setType(QStringLiteral("ANIMICON"));
             p.setMsg(e);
         });
     }},
    {"WHSP unknown", Words::LineOnly,
     [] {
         return sendPacket<PLSendWHSPPacket>(1, [](auto &p) {
             p.setID(e);
             p.setType(e);
             p.setSubType(QStringLiteral("UNKNOWN"));
         });
     }},
    {"CTOC to a target", Words::LineOnly,
     [] {
         return sendPacket<PLSendCTOCPacket>(1, [](auto &p) {
             p.setTargetID(QStringLiteral("bob"));
             p.setAckType(e);
             p.setTargetKey(e);
             p.setBody(e);
         });
     }},
    {"CTOC from", Words::LineOnly,
     [] {
         return sendPacket<PLSendCTOCPacket>(1, [](auto &p) {
             p.setFromID(e);
             p.setBody(e);
         });
     }},
    {"CMSG", Words::LineOnly, [] { return sendPacket<PLSendCMSGPacket>(1, [](auto &p) { p.setBodyData(e); }); }},
    {"WGET", Words::LineOnly,
     [] {
         return sendPacket<PLSendWGETPacket>(1, [](auto &p) {
             p.setSubCmd(e);
             p.setBody(e);
         });
     }},
    {"MLST", Words::LineOnly, [] { return sendPacket<PLSendMLSTPacket>(1, [](auto &p) { p.setTarget(e); }); }},
    {"KILS", Words::LineOnly,
     [] {
         return sendPacket<PLSendKILSPacket>(1, [](auto &p) {
             p.setTargetType(e);
             p.setTarget(e);
         });
     }},
    {"FILE accept", Words::LineOnly,
     [] { return sendPacket<PLSendFILEPacket>(1, [](auto &p) { p.setFileAcceptWithCookie(e); }); }},
    {"FILE cancel", Words::LineOnly,
     [] { return sendPacket<PLSendFILEPacket>(1, [](auto &p) { p.setFileCancelWithCookie(e); }); }},
    {"FILE info", Words::LineOnly, [] { return sendPacket<PLSendFILEPacket>(1, [](auto &p) { p.setFileInfo(e, 0); }); }},
    {"ATHC reply", Words::LineOnly,
     [] { return sendPacket<PLSendATHCPacket>(0, [](auto &p) { p.setTID(0, e, 6004); }); }},
};

class EmptyWordTest : public ::testing::TestWithParam<EmptyCase>
{
protected:
    FakeEncipherer encipherer;
};

} // namespace

TEST_P(EmptyWordTest, EveryEmptyFieldTravelsAsTheEmptyMarker)
{
    const EmptyCase &c = GetParam();
    const QString all = c.make()->packetString();
    ASSERT_FALSE(all.isNull());
    const qsizetype end = all.indexOf(QLatin1String("\r\n"));
    ASSERT_GE(end, 0);
    const QString line = all.left(end);
    const QString body = all.mid(end + 2);
    EXPECT_EQ(emptyWords(line), QStringList()) << line.toStdString();
    QString text;
    switch (c.words) {
    case Words::LineOnly: return;
    case Words::Body: text = body; break;
    case Words::EncipheredBody:
        ASSERT_TRUE(body.startsWith(QLatin1String("E(k)")));
        text = body.mid(4);
        break;
    case Words::EncipheredParam: {
        const QString param = stringByParleyDecoding(line.section(QLatin1Char(' '), 2));
        ASSERT_TRUE(param.startsWith(QLatin1String("E(k)")));
        text = param.mid(4);
        break;
    }
    }
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(emptyWords(text), QStringList()) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("%00"))) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Senders, EmptyWordTest, ::testing::ValuesIn(kEmptyCases));

// A field whose start value is a word of its own may not be emptied, and no
// value of a text split at spaces may hold a space or a line break: such a
// packet is not sent, and the log names the field.
struct RefusedCase {
    const char *name;
    const char *field;
    std::function<std::unique_ptr<PLSendPacket>()> make;
};

void PrintTo(const RefusedCase &c, std::ostream *os)
{
    *os << c.name;
}

std::unique_ptr<PLSendPacket> lin4With(void (PLSendLIN4Packet::*set)(const QString &), const QString &value,
                                       const char *encType = "PLN")
{
    return sendPacket<PLSendLIN4Packet>(1, [=](auto &p) {
        p.setEncryptKey(QStringLiteral("k"));
        p.setEncType(QLatin1String(encType));
        (p.*set)(value);
    });
}

const RefusedCase kRefusedCases[] = {
    {"LIN4 hidden retry emptied", "hiddenRetryYN", [] { return lin4With(&PLSendLIN4Packet::setHiddenRetryYN, e); }},
    {"LIN4 location key emptied", "locKey", [] { return lin4With(&PLSendLIN4Packet::setLocKey, e); }},
    {"LIN4 OS emptied", "osString", [] { return lin4With(&PLSendLIN4Packet::setOsString, e); }},
    {"LIN4 PC name emptied", "pcName", [] { return lin4With(&PLSendLIN4Packet::setPcName, e, "NE3"); }},
    {"LIN4 locale emptied", "localeName", [] { return lin4With(&PLSendLIN4Packet::setLocaleName, e); }},
    {"LIN4 multi-session emptied", "multiSessionYN", [] { return lin4With(&PLSendLIN4Packet::setMultiSessionYN, e); }},
    {"LIN4 mobile emptied", "mobileYN", [] { return lin4With(&PLSendLIN4Packet::setMobileYN, e); }},
    {"LIN4 memo-only emptied", "noteOnlyYN", [] { return lin4With(&PLSendLIN4Packet::setNoteOnlyYN, e); }},
    {"LIN4 voice emptied", "mVoipYN", [] { return lin4With(&PLSendLIN4Packet::setMVoipYN, e); }},
    {"LIN4 PC name with a space", "pcName",
     [] { return lin4With(&PLSendLIN4Packet::setPcName, QStringLiteral("my pc")); }},
    {"LIN4 version with a line break", "clientVersion",
     [] { return lin4With(&PLSendLIN4Packet::setClientVersion, QStringLiteral("1.0\r\nX"), "NE3"); }},
    {"LIN4 PC ID with a tab", "PCID", [] { return lin4With(&PLSendLIN4Packet::setPCID, QStringLiteral("ab\tcd")); }},
    {"LSIN hidden retry emptied", "hiddenRetryYN",
     [] {
         return sendPacket<PLSendLSINPacket>(1, [](auto &p) {
             p.setEncryptKey(QStringLiteral("k"));
             p.setHiddenRetryYN(e);
         });
     }},
    {"LSIN password with a space", "password",
     [] {
         return sendPacket<PLSendLSINPacket>(1, [](auto &p) {
             p.setEncryptKey(QStringLiteral("k"));
             p.setPassword(QStringLiteral("pass word"));
         });
     }},
    {"CPBG buddy ID with a space", "ID",
     [] {
         return sendPacket<PLSendCPBGPacket>(1, [](auto &p) {
             p.addBuddy(QStringLiteral("100"), QStringLiteral("a@b"), QStringLiteral("1"), QStringLiteral("2"));
             p.addBuddy(QStringLiteral("200"), QStringLiteral("c d"), QStringLiteral("1"), QStringLiteral("2"));
         });
     }},
    {"RMBG group with a line break", "targetGroupID",
     [] {
         return sendPacket<PLSendRMBGPacket>(1, [](auto &p) {
             p.addBuddy(QStringLiteral("100"), QStringLiteral("a@b"), QStringLiteral("1\r\n1 2 3"));
         });
     }},
};

class RefusedWordTest : public ::testing::TestWithParam<RefusedCase>
{
protected:
    FakeEncipherer encipherer;
};

TEST_P(RefusedWordTest, SendsNothingAndNamesTheField)
{
    const RefusedCase &c = GetParam();
    LogCapture log;
    auto packet = c.make();
    EXPECT_TRUE(packet->packetString().isNull());
    EXPECT_TRUE(packet->data().isNull());
    EXPECT_TRUE(log.contains(QStringLiteral("field %1 ").arg(QLatin1String(c.field)))) << log.all().toStdString();
    EXPECT_EQ(encipherer.calls, 0) << "nothing is enciphered for a text that cannot be sent";
}

INSTANTIATE_TEST_SUITE_P(Senders, RefusedWordTest, ::testing::ValuesIn(kRefusedCases));
