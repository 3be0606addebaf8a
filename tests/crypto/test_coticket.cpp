// Encrypted tickets: properties through sealing and opening, expiry with an
// injected clock, and the escaping of the property text.

#include "CapicomReference.h"
#include "CofferTestSupport.h"
#include "coticket.h"
#include "crypt_util.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace coffer_test;

namespace {

std::string hexOf(const std::string &text)
{
    return toHex(reinterpret_cast<const uint8_t *>(text.data()), text.size());
}

// The DER inside a Base64 ticket (either alphabet).
std::string derHexOfTicket(const std::string &ticket)
{
    unsigned int length = 0;
    unsigned char *der = DecodeBase64(ticket.c_str(), unsigned(ticket.size()), &length);
    const std::string hex = toHex(der, length);
    FreeBaseAlloced(der);
    return hex;
}

constexpr int64_t kNow = 1'700'000'000;

} // namespace

TEST(CoTicket, PropertiesSurviveSealingInKeyOrder)
{
    COTICKET::CoTicket ticket;
    ticket.setClock([] { return kNow; });
    ticket.setProperty("zeta", "last");
    ticket.setProperty("alpha", "a&b=c%d");
    ticket.setProperty("mid", "");
    const char *text = ticket.getTicket("pw", 60, false);
    ASSERT_NE(text, nullptr);
    const std::string sealed = text;

    // The reference opens it and sees the escaped pairs in key order.
    const std::string expected = "alpha=a%26b%3dc%25d&mid=&utcexpire=1700000060&zeta=last";
    EXPECT_EQ(capicomReference("dec " + hexOf("pw") + " " + derHexOfTicket(sealed)), hexOf(expected));

    COTICKET::CoTicket opened;
    opened.setClock([] { return kNow + 10; });
    ASSERT_TRUE(opened.setTicket("pw", sealed.c_str(), true));
    EXPECT_EQ(opened.getProperties(), (COTICKET::Properties{{"alpha", "a&b=c%d"},
                                                           {"mid", ""},
                                                           {"utcexpire", "1700000060"},
                                                           {"zeta", "last"}}));
    EXPECT_EQ(opened.getProperty("nothing"), nullptr);
}

TEST(CoTicket, OpensATicketThatTheReferenceSealed)
{
    const std::string content = "user=kim%40example&utcexpire=1700000100";
    const std::string der = capicomReference("enc " + hexOf("pw") + " 0x660E " + hexOf(content));
    const auto bytes = fromHex(der);
    char *ticket = EncodeBase64(bytes.data(), unsigned(bytes.size()), 1);
    COTICKET::CoTicket opened;
    opened.setClock([] { return kNow; });
    EXPECT_TRUE(opened.setTicket("pw", ticket, true));
    FreeBaseAlloced(ticket);
    EXPECT_STREQ(opened.getProperty("user"), "kim@example");
}

TEST(CoTicket, ExpiryFollowsTheClock)
{
    COTICKET::CoTicket maker;
    maker.setClock([] { return kNow; });
    const std::string sealed = maker.getTicket("pw", 60, true);
    EXPECT_EQ(sealed.find_first_of("+/="), std::string::npos);
    const struct {
        int64_t at;
        bool check;
        bool ok;
    } cases[] = {{kNow, true, true}, {kNow + 60, true, true}, {kNow + 61, true, false}, {kNow + 3600, false, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.at - kNow);
        ErrorLog errors;
        COTICKET::CoTicket reader;
        const int64_t at = c.at;
        reader.setClock([at] { return at; });
        EXPECT_EQ(reader.setTicket("pw", sealed.c_str(), c.check), c.ok);
        EXPECT_EQ(errors.contains("CoTicket:setValue() : ticket is expired"), !c.ok);
    }
}

TEST(CoTicket, ASecondTicketCarriesItsOwnExpiry)
{
    int64_t clock = kNow;
    COTICKET::CoTicket maker;
    maker.setClock([&clock] { return clock; });
    maker.getTicket("pw", 60, false);
    clock = kNow + 1000;
    const std::string second = maker.getTicket("pw", 60, false);
    COTICKET::CoTicket reader;
    reader.setClock([] { return kNow + 1030; });
    EXPECT_TRUE(reader.setTicket("pw", second.c_str(), true));
    EXPECT_STREQ(reader.getProperty("utcexpire"), "1700001060");
}

TEST(CoTicket, RefusesBadTicketsWithTheirReason)
{
    auto sealedWith = [](const std::string &content) {
        const auto bytes = fromHex(capicomReference("enc " + hexOf("pw") + " 0x660E " + hexOf(content)));
        char *text = EncodeBase64(bytes.data(), unsigned(bytes.size()), 0);
        std::string ticket = text;
        FreeBaseAlloced(text);
        return ticket;
    };
    COTICKET::CoTicket maker;
    maker.setClock([] { return kNow; });
    const std::string good = maker.getTicket("pw", 60, false);
    const struct {
        const char *name;
        const char *password;
        std::string ticket;
        bool check;
        bool ok;
        const char *reason;
    } cases[] = {
        {"null password", nullptr, good, true, false, "CoTicket::setTicket() : password is NULL or null string"},
        {"empty password", "", good, true, false, "CoTicket::setTicket() : password is NULL or null string"},
        {"empty ticket", "pw", "", true, false, "CoTicket::setTicket() : ticket is NULL or null string"},
        {"not a ticket", "pw", "bm90IGEgdGlja2V0", true, false, "CoTicket::setTicket() : Can't decrypt ticket"},
        {"no expiry", "pw", sealedWith("a=1"), true, false, "CoTicket::setTicket() : utcexpire value is null"},
        {"empty expiry", "pw", sealedWith("utcexpire="), true, false, "CoTicket::setTicket() : utcexpire value is null"},
        {"letter after the digits", "pw", sealedWith("utcexpire=1800000000x"), true, false,
         "CoTicket::setValue() : invalid utcexpire value"},
        {"letter, unchecked", "pw", sealedWith("utcexpire=1800000000x"), false, true, ""},
        {"twenty digits", "pw", sealedWith("utcexpire=99999999999999999999"), true, false,
         "CoTicket::setValue() : invalid utcexpire value"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ErrorLog errors;
        COTICKET::CoTicket reader;
        reader.setClock([] { return kNow; });
        EXPECT_EQ(reader.setTicket(c.password, c.ticket.c_str(), c.check), c.ok);
        if (!c.ok) {
            EXPECT_TRUE(errors.contains(c.reason));
        }
    }
}

TEST(CoTicket, RefusesAWrongPassword)
{
    // A ticket carries no check value: a wrong password shows in the padding,
    // which random bytes pass about once in 256 tries, or else in the content.
    // Over eight tickets (each with its own salt) nearly every one must fail
    // at decryption, and none may be taken.
    COTICKET::CoTicket maker;
    maker.setClock([] { return kNow; });
    int undecryptable = 0;
    for (int i = 0; i < 8; ++i) {
        const std::string ticket = maker.getTicket("pw", 60, false);
        ErrorLog errors;
        COTICKET::CoTicket reader;
        reader.setClock([] { return kNow; });
        EXPECT_FALSE(reader.setTicket("other", ticket.c_str(), true));
        undecryptable += errors.contains("CoTicket::setTicket() : Can't decrypt ticket") ? 1 : 0;
    }
    EXPECT_GE(undecryptable, 6);
}

TEST(CoTicket, GetTicketWithoutPasswordKeepsTheProperties)
{
    ErrorLog errors;
    COTICKET::CoTicket ticket;
    ticket.setProperty("a", "1");
    EXPECT_EQ(ticket.getTicket(nullptr, 60, false), nullptr);
    EXPECT_TRUE(errors.contains("Coticket:getTicket() : password is NULL"));
    EXPECT_STREQ(ticket.getProperty("a"), "1");
}

TEST(CoTicket, DecodeParamHandlesEveryEscapeShape)
{
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        {"a%26b", "a&b"},   {"%3D%3d", "=="},   {"%zz", "%zz"},  {"%4x", "%4x"},  {"50%", "50"},
        {"%%41", "%%41"},   {"%4%41", "%4%41"}, {"plain", "plain"}, {"%4", "%4"}, {"", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.in);
        std::string buffer = std::string(c.in) + "&rest";
        char *start = buffer.data();
        COTICKET::CoTicketDecodeParam(start, start + std::strlen(c.in));
        EXPECT_STREQ(start, c.out);
    }
    EXPECT_EQ(COTICKET::CoTicketHex2BinCh('7'), 7);
    EXPECT_EQ(COTICKET::CoTicketHex2BinCh('b'), 11);
    EXPECT_EQ(COTICKET::CoTicketHex2BinCh('E'), 14);
    EXPECT_EQ(COTICKET::CoTicketHex2BinStr("3d"), '=');
}
