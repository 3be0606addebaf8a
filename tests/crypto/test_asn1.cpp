// The DER object model: encodings of each type, the decoder's checks, and the
// printed listing compared with the openssl tool's on DER that the tool made.

#include "CofferTestSupport.h"
#include "asn1.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <sstream>

using namespace coffer_test;

namespace {

// Decoded objects point into the buffer, so the buffer must outlive them:
// callers pass a named vector.
std::unique_ptr<ASN1::Object> decodeAll(const std::vector<uint8_t> &der, ASN1::ErrorList *errors = nullptr,
                                        uint32_t *consumed = nullptr)
{
    uint32_t size = uint32_t(der.size());
    std::unique_ptr<ASN1::Object> object(ASN1::Object::Decode(der.data(), &size, errors));
    if (consumed)
        *consumed = size;
    return object;
}

std::string printed(const ASN1::Object &object)
{
    char *buffer = nullptr;
    size_t size = 0;
    FILE *file = open_memstream(&buffer, &size);
    object.Print(file);
    std::fclose(file);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

std::vector<uint8_t> contentOf(const ASN1::Object &object)
{
    std::vector<uint8_t> out(object.GetContentLength());
    object.EncodeContent(out.data());
    return out;
}

} // namespace

TEST(Asn1Integer, EncodesShortestTwosComplementAndDecodesBack)
{
    const struct {
        int32_t value;
        const char *content;
    } cases[] = {
        {0, "00"},          {127, "7f"},         {128, "0080"},      {-128, "80"},
        {-129, "ff7f"},     {65535, "00ffff"},   {32767, "7fff"},    {-32768, "8000"},
        {8388607, "7fffff"}, {-8388609, "ff7fffff"}, {INT_MAX, "7fffffff"}, {INT_MIN, "80000000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        ASN1::Integer integer(c.value);
        EXPECT_EQ(toHex(contentOf(integer)), c.content);
        const auto der = integer.Encode();
        ASSERT_EQ(der.size(), 2 + std::string(c.content).size() / 2);
        EXPECT_EQ(der[0], 0x02);
        auto decoded = decodeAll(der);
        ASSERT_TRUE(decoded);
        auto *back = dynamic_cast<ASN1::Integer *>(decoded.get());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->GetValue(), c.value);
    }
}

TEST(Asn1Integer, LongerThanFourBytesDecodesAsZero)
{
    const auto der = fromHex("020501020304 05");
    auto decoded = decodeAll(der);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(dynamic_cast<ASN1::Integer &>(*decoded).GetValue(), 0);
}

TEST(Asn1Length, UsesTheShortestLengthForm)
{
    const struct {
        uint32_t contentLength;
        const char *header;
    } cases[] = {
        {0, "0400"}, {127, "047f"}, {128, "048180"}, {200, "0481c8"}, {255, "0481ff"},
        {256, "04820100"}, {300, "0482012c"}, {65535, "0482ffff"}, {65536, "0483010000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.contentLength);
        std::vector<uint8_t> data(c.contentLength, 0xAB);
        ASN1::OctetString octets(data.data(), uint32_t(data.size()));
        const auto der = octets.Encode();
        const std::string header = c.header;
        ASSERT_EQ(der.size(), header.size() / 2 + c.contentLength);
        EXPECT_EQ(toHex(der.data(), header.size() / 2), header);
        EXPECT_EQ(octets.GetEncodedLength(), der.size());
        uint32_t consumed = 0;
        auto decoded = decodeAll(der, nullptr, &consumed);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(consumed, der.size());
        auto &back = dynamic_cast<ASN1::OctetString &>(*decoded);
        EXPECT_EQ(std::vector<uint8_t>(back.GetData(), back.GetData() + back.GetSize()), data);
    }
}

TEST(Asn1ObjectID, EncodesAndDecodesDottedText)
{
    const struct {
        const char *dotted;
        const char *content;
    } cases[] = {
        {"1.3.6.1.4.1.311.88.3", "2b06010401823758" "03"},
        {"1.3.6.1.4.1.311.88.3.1", "2b0601040182375803" "01"},
        {"1.2.840.113549.1.1.1", "2a864886f70d010101"},
        {"2.5.4.3", "550403"},
        // The first two arcs of 2.999 need two bytes.
        {"2.999.3", "883703"},
        {"1.2.4294967295", "2a8fffffff7f"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.dotted);
        ASN1::ObjectID oid(c.dotted);
        EXPECT_EQ(toHex(contentOf(oid)), c.content);
        const auto der = oid.Encode();
        auto decoded = decodeAll(der);
        ASSERT_TRUE(decoded);
        EXPECT_STREQ(dynamic_cast<ASN1::ObjectID &>(*decoded).GetValue(), c.dotted);
    }
}

TEST(Asn1ObjectID, ParsesDottedTextLeniently)
{
    EXPECT_EQ(ASN1::ObjectID::ParseID("1..2.x3."), (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(ASN1::ObjectID::GenerateID({1, 3, 6}), "1.3.6");
    ASN1::ObjectID wide(u"1.3.6.1");
    EXPECT_STREQ(wide.GetValue(), "1.3.6.1");
    EXPECT_EQ(ASN1::ObjectID::GetFieldLength(127), 1);
    EXPECT_EQ(ASN1::ObjectID::GetFieldLength(128), 2);
    EXPECT_EQ(ASN1::ObjectID::GetFieldLength(0xFFFFFFFFu), 5);
}

TEST(Asn1ObjectID, DropsAnUnclosedLastComponent)
{
    const auto der = fromHex("06 03 2b 06 81");
    auto decoded = decodeAll(der);
    ASSERT_TRUE(decoded);
    EXPECT_STREQ(dynamic_cast<ASN1::ObjectID &>(*decoded).GetValue(), "1.3.6");
}

TEST(Asn1BitString, CountsUnusedBits)
{
    const uint8_t bits[] = {0xA5, 0xF0};
    ASN1::BitString twelve(bits, 12);
    EXPECT_EQ(toHex(contentOf(twelve)), "04a5f0");
    const auto der = twelve.Encode();
    auto decoded = decodeAll(der);
    ASSERT_TRUE(decoded);
    auto &back = dynamic_cast<ASN1::BitString &>(*decoded);
    EXPECT_EQ(back.GetBitSize(), 12u);
    EXPECT_EQ(toHex(back.GetData(), 2), "a5f0");

    ASN1::BitString empty;
    EXPECT_EQ(toHex(empty.Encode()), "0300");
}

TEST(Asn1Strings, EncodeTheirOwnForms)
{
    ASN1::BMPString bmp(u"A\u00e9");
    EXPECT_EQ(toHex(bmp.Encode()), "1e04004100e9");
    EXPECT_STREQ(bmp.GetUTF8String(), "A\xc3\xa9");

    ASN1::UTF8String utf8(u"\u00e9");
    EXPECT_EQ(toHex(utf8.Encode()), "0c02c3a9");
    ASN1::PrintableString printable("Test CA");
    EXPECT_EQ(toHex(printable.Encode()), "13075465737420434" "1");

    const auto bmpDer = fromHex("1e04004100e9");
    auto decoded = decodeAll(bmpDer);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(std::u16string(dynamic_cast<ASN1::BMPString &>(*decoded).GetUnicodeString()), u"A\u00e9");

    ASN1::IA5String partial;
    partial.SetString("abcdef", 3);
    EXPECT_STREQ(partial.GetUTF8String(), "abc");
    partial.SetString("abc", 0);
    EXPECT_EQ(partial.GetUTF8String(), nullptr);
}

TEST(Asn1Boolean, AnyNonZeroByteIsTrue)
{
    const auto der = fromHex("010105");
    auto decoded = decodeAll(der);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(dynamic_cast<ASN1::Boolean &>(*decoded).GetValue());
    EXPECT_EQ(toHex(ASN1::Boolean(true).Encode()), "0101ff");
    EXPECT_EQ(toHex(ASN1::Boolean(false).Encode()), "010100");
}

TEST(Asn1Constructed, BuildsEncodesAndDecodesATree)
{
    ASN1::Sequence empty;
    EXPECT_EQ(toHex(empty.Encode()), "3000");

    const uint8_t salt[4] = {1, 2, 3, 4};
    auto *inner = new ASN1::Sequence;
    inner->AddObject(new ASN1::Integer(0x20000));
    inner->AddObject(new ASN1::Integer(0x660E));
    inner->AddObject(new ASN1::OctetString(salt, 4));
    inner->AddObject(new ASN1::NullObject);
    ASN1::Integer notOwned(7);
    inner->AddObject(&notOwned, false);
    ASN1::Sequence root;
    root.AddObject(new ASN1::ObjectID("1.3.6.1.4.1.311.88.3"));
    root.AddObject(new ASN1::ContextDefinedObject(inner, true));
    const auto der = root.Encode();
    EXPECT_EQ(toHex(der), "3023"
                          "06092b0601040182375803"
                          "a016" "3014" "0203020000" "0202660e" "040401020304" "0500" "020107");

    auto decoded = decodeAll(der);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Encode(), der);
    auto &seq = dynamic_cast<ASN1::Constructed &>(*decoded);
    ASSERT_EQ(seq.GetSize(), 2u);
    EXPECT_EQ(seq.GetObjectAt(2), nullptr);
    auto *cont = dynamic_cast<ASN1::Constructed *>(seq.GetObjectAt(1));
    ASSERT_NE(cont, nullptr);
    EXPECT_EQ(cont->GetType(), 0xA0);
    EXPECT_STREQ(cont->GetTypeName(), "cont");
    auto *innerBack = dynamic_cast<ASN1::Constructed *>(cont->GetObjectAt(0));
    ASSERT_NE(innerBack, nullptr);
    EXPECT_EQ(innerBack->GetDepth(), 2);
    EXPECT_EQ(innerBack->GetOffset(), 15u);
    ASSERT_EQ(innerBack->GetSize(), 5u);
    EXPECT_EQ(dynamic_cast<ASN1::Integer &>(*innerBack->GetObjectAt(1)).GetValue(), 0x660E);
}

TEST(Asn1Constructed, NamedObjectWrapsItsValue)
{
    ASN1::Integer value(5);
    ASN1::NamedObject named("1.2.3", &value);
    EXPECT_EQ(toHex(named.Encode()), "300906022a03a003020105");
    ASN1::Integer other(6);
    named.SetValue(u"1.2.4", &other);
    EXPECT_EQ(toHex(named.Encode()), "300906022a04a003020106");
}

TEST(Asn1Decode, ContextSpecificConstructedHoldsItsChild)
{
    const auto der = fromHex("a003020105");
    auto decoded = decodeAll(der);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->GetType(), 0xA0);
    EXPECT_STREQ(decoded->GetTypeName(), "cont");
    EXPECT_TRUE(decoded->isContextDefined());
    EXPECT_TRUE(decoded->isConstructed());
    auto &cont = dynamic_cast<ASN1::Constructed &>(*decoded);
    ASSERT_EQ(cont.GetSize(), 1u);
    EXPECT_EQ(dynamic_cast<ASN1::Integer &>(*cont.GetObjectAt(0)).GetValue(), 5);
}

TEST(Asn1Decode, AcceptsLeadingZeroLengthOctetsAndReportsWhatItConsumed)
{
    uint32_t consumed = 0;
    const auto der = fromHex("3084000000030201 05 ffff");
    auto decoded = decodeAll(der, nullptr, &consumed);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(consumed, 9u);
    EXPECT_EQ(decoded->GetHeaderLength(), 6u);
}

TEST(Asn1Decode, UnknownTypesAreKeptAsBytes)
{
    const auto der = fromHex("8302abcd");
    auto decoded = decodeAll(der);
    ASSERT_TRUE(decoded);
    auto *unknown = dynamic_cast<ASN1::UnknownObject *>(decoded.get());
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->GetType(), 0x83);
    EXPECT_EQ(toHex(unknown->GetData(), unknown->GetSize()), "abcd");
    EXPECT_EQ(decoded->Encode(), der);
}

TEST(Asn1Decode, RefusesMalformedInputWithItsReason)
{
    std::vector<uint8_t> nested;
    // 100 levels of SEQUENCE, each announcing exactly the rest of the buffer.
    for (int i = 99; i >= 0; --i) {
        std::vector<uint8_t> outer = {0x30};
        const size_t n = nested.size();
        if (n < 128)
            outer.push_back(uint8_t(n));
        else
            outer.insert(outer.end(), {0x81, uint8_t(n)});
        outer.insert(outer.end(), nested.begin(), nested.end());
        nested = outer;
    }
    const struct {
        const char *name;
        std::vector<uint8_t> der;
        const char *reason;
    } cases[] = {
        {"one byte", fromHex("30"), "Decode: size must be >= 2"},
        {"indefinite length", fromHex("3080"), "Decode: length byte must be > 0"},
        {"only zero length octets", fromHex("308100"), "Decode: length byte must be > 0"},
        {"length octets past the end", fromHex("308200"), "Decode: content length byte is larger than remain bytes"},
        {"content past the end", fromHex("0405aabb"), "Decode: content length is larger than remain bytes"},
        {"five length octets", fromHex("30850100000000"), "Decode: content length is too large (limit to 2^32-1)"},
        {"eight unused bits", fromHex("03020800"), "DecodeContent: unused bit count must be <= 7"},
        {"six-byte arc", fromHex("0607 2b 8181818181 01"),
         "DecodeContent: object id's field length is too large (must be <= 5)"},
        {"arc beyond 32 bits", fromHex("0606 2b 9080808000"),
         "DecodeContent: object id's field is too large (must be < 2^32)"},
        {"truncated child", fromHex("30030201"), "Decode: content length is larger than remain bytes"},
        {"lone byte in a sequence", fromHex("3004020105 00"), "Decode: size must be >= 2"},
        {"nesting too deep", nested, "Decode: nesting is too deep"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASN1::ErrorList errors;
        EXPECT_FALSE(decodeAll(c.der, &errors));
        ASSERT_FALSE(errors.empty());
        const std::string &first = errors.front();
        EXPECT_EQ(first.rfind("asn1(", 0), 0u) << first;
        EXPECT_NE(first.find(std::string(") ") + c.reason), std::string::npos) << first;
    }
}

TEST(Asn1Decode, AFailingChildNamesItsParent)
{
    ASN1::ErrorList errors;
    EXPECT_FALSE(decodeAll(fromHex("3004 3002 3080"), &errors));
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_NE(errors[0].find("length byte must be > 0"), std::string::npos);
    EXPECT_NE(errors[1].find("DecodeContent: can't create Constructed object"), std::string::npos);
    EXPECT_NE(errors[2].find("DecodeContent: can't create Constructed object"), std::string::npos);
}

TEST(Asn1Decode, NullArgumentsAreReported)
{
    ASN1::ErrorList errors;
    uint32_t size = 4;
    EXPECT_EQ(ASN1::Object::Decode(nullptr, &size, &errors), nullptr);
    const uint8_t der[] = {0x05, 0x00};
    EXPECT_EQ(ASN1::Object::Decode(der, nullptr, &errors), nullptr);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("Decode: buf is null"), std::string::npos);
    EXPECT_NE(errors[1].find("Decode: size is null"), std::string::npos);
}

TEST(Asn1Print, ListsOffsetsLengthsAndValues)
{
    const auto der = fromHex("a003020105");
    auto decoded = decodeAll(der);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(printed(*decoded), "0:d=0 hl=2 l=3 cons: cont [ 0 ]      \n"
                                 "2:d=1 hl=2 l=1 prim:  INTEGER         :05 (5)\n");

    std::vector<uint8_t> octetsDer = fromHex("0412");
    for (int i = 0; i < 18; ++i)
        octetsDer.push_back(uint8_t(i == 1 ? 'A' : i));
    auto octets = decodeAll(octetsDer);
    ASSERT_TRUE(octets);
    EXPECT_EQ(printed(*octets), "0:d=0 hl=2 l=18 prim: OCTET STRING    \n"
                                " 0000 - 00 41 02 03 04 05 06 07-08 09 0a 0b 0c 0d 0e 0f  .A..............\n"
                                " 0010 - 10 11" + std::string(44, ' ') + "..\n");
}

// Splits "  121:d=1  hl=2 l=   3 cons: SET   :value" into its parts; both
// listings share this shape up to the type name.
struct ListingLine {
    uint32_t offset = 0, depth = 0, headerLength = 0, length = 0;
    std::string form, type, value;
    std::vector<uint8_t> dump;
};

static std::vector<ListingLine> parseListing(const std::string &text)
{
    std::vector<ListingLine> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        unsigned offset = 0, depth = 0, hl = 0, length = 0;
        char form[8] = {};
        int used = 0;
        if (std::sscanf(line.c_str(), " %u:d=%u hl=%u l=%u %4s%n", &offset, &depth, &hl, &length, form, &used) == 5) {
            ListingLine entry{offset, depth, hl, length, std::string(form, 4), {}, {}, {}};
            std::string rest = line.substr(size_t(used) + 1); // after the colon
            const size_t valueStart = rest.find(':');
            std::string type = valueStart == std::string::npos ? rest : rest.substr(0, valueStart);
            while (!type.empty() && type.back() == ' ')
                type.pop_back();
            while (!type.empty() && type.front() == ' ')
                type.erase(0, 1);
            // openssl writes "[HEX DUMP]" between the type and the value.
            const std::string hexDump = "[HEX DUMP]";
            if (type.size() > hexDump.size() && type.compare(type.size() - hexDump.size(), hexDump.size(), hexDump) == 0) {
                type.resize(type.size() - hexDump.size());
                while (!type.empty() && type.back() == ' ')
                    type.pop_back();
            }
            entry.type = type;
            if (valueStart != std::string::npos)
                entry.value = rest.substr(valueStart + 1);
            lines.push_back(entry);
        } else if (!lines.empty() && line.find(" - ") != std::string::npos) {
            // Our hex dump: "     0000 - 00 41 ...  text"
            const std::string bytes = line.substr(line.find(" - ") + 3, 48);
            auto more = fromHex(bytes);
            lines.back().dump.insert(lines.back().dump.end(), more.begin(), more.end());
        }
    }
    return lines;
}

static std::string lower(std::string text)
{
    for (char &c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(Asn1Print, AgreesWithOpensslOnDerThatOpensslMade)
{
    TempDir folder;
    writeFile(folder.file("gen.cnf"), bytesOf(std::string(
                  "asn1=SEQUENCE:top\n"
                  "[top]\n"
                  "oid=OID:1.3.6.1.4.1.311.88.3\n"
                  "int=INTEGER:131072\n"
                  "neg=INTEGER:-129\n"
                  "big=INTEGER:0x0102030405060708090A\n"
                  "bool=BOOLEAN:TRUE\n"
                  "null=NULL\n"
                  "oct=FORMAT:HEX,OCTETSTRING:000102030405060708090a0b0c0d0e0f1011\n"
                  "bits=FORMAT:HEX,BITSTRING:A5F0\n"
                  "utf8=UTF8String:hello world\n"
                  "ia5=IA5STRING:abc@example\n"
                  "pr=PRINTABLESTRING:Test CA\n"
                  "t61=T61STRING:teletex\n"
                  "utc=UTCTIME:250101000000Z\n"
                  "bmp=BMPSTRING:hi\n"
                  "set=SET:s\n"
                  "ctx=EXPLICIT:0,INTEGER:5\n"
                  "impl=IMPLICIT:3,OCTETSTRING:ab\n"
                  "app=EXPLICIT:2A,SEQUENCE:s\n"
                  "long=FORMAT:HEX,OCTETSTRING:" + std::string(600, 'c') + "\n"
                  "[s]\n"
                  "a=INTEGER:1\n")));
    const auto derPath = folder.file("t.der");
    ASSERT_EQ(run(quote(opensslTool()) + " asn1parse -genconf " + quote(folder.file("gen.cnf")) + " -out "
                         + quote(derPath) + " > /dev/null")
                  .status,
              0);
    const auto reference = run(quote(opensslTool()) + " asn1parse -i -inform DER -in " + quote(derPath));
    ASSERT_EQ(reference.status, 0);
    const auto der = bytesOf(readFile(derPath));

    auto decoded = decodeAll(der);
    ASSERT_TRUE(decoded);
    const auto ours = parseListing(printed(*decoded));
    const auto theirs = parseListing(reference.output);
    ASSERT_EQ(ours.size(), theirs.size());
    ASSERT_GT(ours.size(), 20u);
    for (size_t i = 0; i < ours.size(); ++i) {
        const auto &a = ours[i];
        const auto &b = theirs[i];
        SCOPED_TRACE(b.type + " at " + std::to_string(b.offset));
        EXPECT_EQ(a.offset, b.offset);
        EXPECT_EQ(a.depth, b.depth);
        EXPECT_EQ(a.headerLength, b.headerLength);
        EXPECT_EQ(a.length, b.length);
        EXPECT_EQ(a.form, b.form);
        EXPECT_EQ(a.type, b.type);
        const std::vector<uint8_t> content(der.begin() + b.offset + b.headerLength,
                                           der.begin() + b.offset + b.headerLength + b.length);
        if (b.type == "INTEGER") {
            // Ours: content bytes and the value; openssl: the value in hexadecimal.
            const size_t space = a.value.find(' ');
            EXPECT_EQ(a.value.substr(0, space), toHex(content));
            if (b.value[0] == '-') {
                EXPECT_EQ(a.value.substr(space), " (" + std::to_string(-std::stol(b.value.substr(1), nullptr, 16)) + ")");
            } else if (b.value.size() <= 8) {
                EXPECT_EQ(a.value.substr(space), " (" + std::to_string(std::stol(b.value, nullptr, 16)) + ")");
            } else {
                EXPECT_EQ(lower(b.value), toHex(content));
            }
        } else if (b.type == "BOOLEAN") {
            char expected[16];
            std::snprintf(expected, sizeof expected, "%02x (true)", std::stoi(b.value));
            EXPECT_EQ(a.value, expected);
        } else if (b.type == "OCTET STRING") {
            EXPECT_EQ(a.dump, content);
            EXPECT_EQ(toHex(a.dump), lower(b.value));
        } else if (b.type == "BIT STRING" || b.type == "BMPSTRING" || b.type.rfind("cont", 0) == 0) {
            if (b.form == "prim") {
                EXPECT_EQ(a.dump, content);
            }
        } else {
            EXPECT_EQ(a.value, b.value);
        }
    }
}
