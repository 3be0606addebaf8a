// Text, character-set and file helpers of the library.
#include "CofferTestSupport.h"

#include "crypt_util.h"

#include <cstdlib>
#include <cstring>
#include <utility>

using namespace coffer_test;

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

void collectPair(char *keyStart, char *keyEnd, char *valueStart, char *valueEnd, void *context)
{
    static_cast<Pairs *>(context)->emplace_back(std::string(keyStart, keyEnd), std::string(valueStart, valueEnd));
}

std::vector<unsigned short> units(const unsigned short *text)
{
    std::vector<unsigned short> out;
    for (size_t i = 0; i <= _coffer_wcslen(text); ++i)
        out.push_back(text[i]);
    return out;
}

} // namespace

TEST(CryptUtil, KeyValueParser)
{
    struct Case {
        const char *text;
        Pairs pairs;
    } cases[] = {
        {"a=1&b=2", {{"a", "1"}, {"b", "2"}}},
        {"key&x=y", {{"key", ""}, {"x", "y"}}},
        {"=v&k=w", {{"", "v"}, {"k", "w"}}},
        {"a=1&&b=2", {{"a", "1"}, {"b", "2"}}},
        {"k=", {{"k", ""}}},
        {"k=&", {{"k", ""}}},
        {"k==v", {{"k", "=v"}}},
        {"k", {{"k", ""}}},
        {"a=1&b", {{"a", "1"}, {"b", ""}}},
        {"&&", {}},
        {"", {}},
        {"t=a=b=c&u", {{"t", "a=b=c"}, {"u", ""}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        Pairs pairs;
        KeyValueParserUtil(text.data(), '&', '=', collectPair, &pairs);
        EXPECT_EQ(pairs, c.pairs);
        EXPECT_EQ(text, c.text) << "the parser leaves the text alone";
    }
}

TEST(CryptUtil, TrimAndWhiteSpace)
{
    struct Case {
        const char *text;
        const char *trimmed;
    } cases[] = {{" \t\r\nx\n\r\t ", "x"}, {" \t \r\n", ""}, {"a b", "a b"}, {"", ""}, {"  lead", "lead"}, {"trail\t", "trail"}};
    for (const auto &c : cases) {
        std::string text = c.text;
        trim_string(text.data());
        EXPECT_STREQ(text.c_str(), c.trimmed);
    }
    EXPECT_TRUE(is_white_space('\n'));
    EXPECT_FALSE(is_white_space('\v'));
    unsigned char bytes[] = {1, 2, 3, 4, 5};
    ReverseBytes(bytes, 5);
    EXPECT_EQ(Bytes(bytes, bytes + 5), (Bytes{5, 4, 3, 2, 1}));
}

TEST(CryptUtil, CharacterSets)
{
    unsigned short *empty = UTF8toUTF16("");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(units(empty), (std::vector<unsigned short>{0}));
    std::free(empty);

    // Python: "한글".encode("utf-16-le") is 5cd5 00ae, and "cp949" c7d1 b1db.
    unsigned short *wide = UTF8toUTF16("\xed\x95\x9c\xea\xb8\x80");
    EXPECT_EQ(units(wide), (std::vector<unsigned short>{0xD55C, 0xAE00, 0}));
    char *cp949 = UTF16toANSI(wide, "CP949");
    EXPECT_EQ(toHex(reinterpret_cast<unsigned char *>(cp949), std::strlen(cp949)), "c7d1b1db");
    unsigned short *back = ANSItoUTF16(cp949, "CP949");
    EXPECT_EQ(units(back), units(wide));
    std::free(wide);
    std::free(cp949);
    std::free(back);

    // A character outside the BMP takes a surrogate pair and comes back whole.
    unsigned short *pair = UTF8toUTF16("a\xf0\x9f\x98\x80");
    EXPECT_EQ(units(pair), (std::vector<unsigned short>{'a', 0xD83D, 0xDE00, 0}));
    char *utf8 = UTF16toUTF8(pair);
    EXPECT_STREQ(utf8, "a\xf0\x9f\x98\x80");
    std::free(utf8);

    // Four bytes per unit outgrow the first buffer: the result is enlarged.
    char *wider = UTF16toANSI(pair, "UTF-32LE");
    EXPECT_EQ(toHex(reinterpret_cast<unsigned char *>(wider), 8), "6100000000f60100");
    std::free(wider);
    unsigned short *copy = _coffer_wcsdup(pair);
    EXPECT_EQ(units(copy), units(pair));
    std::free(copy);
    std::free(pair);
}

TEST(CryptUtil, ConvertCountsPastASmallBufferAndReportsFailures)
{
    char small[5];
    EXPECT_EQ(convert_charset_iconv("UTF-8", "UTF-16LE", "abcdefgh", 8, small, sizeof small), 16u);
    char big[32];
    EXPECT_EQ(convert_charset_iconv("UTF-8", "UTF-16LE", "ab", 2, big, sizeof big), 4u);
    EXPECT_EQ(Bytes(big, big + 5), (Bytes{'a', 0, 'b', 0, 0}));

    struct Case {
        const char *name;
        const char *from;
        const char *input;
        size_t outSize;
    } cases[] = {
        {"invalid UTF-8", "UTF-8", "a\xff", 32},
        {"unknown character set", "NO-SUCH-CHARSET", "a", 32},
        {"no output room", "UTF-8", "a", 0},
        {"room for no character", "UTF-8", "a", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ErrorLog log;
        EXPECT_EQ(convert_charset_iconv(c.from, "UTF-16LE", c.input, std::strlen(c.input), big, c.outSize), size_t(-1));
        EXPECT_TRUE(log.contains("Can't convert charset"));
    }
    // A failed conversion gives an empty string, not a null one.
    unsigned short *failed = ANSItoUTF16("a\xff", nullptr);
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed[0], 0);
    std::free(failed);
}

TEST(CryptUtil, PemCertificates)
{
    TempDir dir;
    const TestPki one = makePki(dir, "one", 1024, "one");
    const TestPki two = makePki(dir, "two", 1024, "two");
    const std::string both = dir.file("both.pem");
    {
        const std::string a = readFile(one.certPem), b = readFile(two.certPem);
        writeFile(both, bytesOf("leading text\n" + a + "between\n" + b));
    }
    _NBLOB certs[2] = {};
    unsigned int count = 1;
    {
        ErrorLog log;
        EXPECT_FALSE(ReadPEMCertificates(both.c_str(), &count, certs));
        EXPECT_EQ(count, 0u);
        EXPECT_TRUE(log.contains("Certificate buffer is too small"));
    }
    count = 2;
    ASSERT_TRUE(ReadPEMCertificates(both.c_str(), &count, certs));
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(bytesOf(&certs[0]), one.certDerBytes);
    EXPECT_EQ(bytesOf(&certs[1]), two.certDerBytes);
    FreeBlob(&certs[0]);
    FreeBlob(&certs[1]);

    unsigned char *der = nullptr;
    unsigned int length = 0;
    ASSERT_TRUE(ReadPEMCertificate(both.c_str(), &der, &length));
    EXPECT_EQ(Bytes(der, der + length), one.certDerBytes);
    std::free(der);

    // A file without a whole block succeeds and sets nothing.
    const std::string cut = dir.file("cut.pem");
    writeFile(cut, bytesOf(std::string("-----BEGIN CERTIFICATE-----\nMIIB\n")));
    der = reinterpret_cast<unsigned char *>(&length);
    length = 77;
    EXPECT_TRUE(ReadPEMCertificate(cut.c_str(), &der, &length));
    EXPECT_EQ(length, 77u);

    ErrorLog log;
    const std::string missing = dir.file("missing.pem");
    count = 2;
    EXPECT_FALSE(ReadPEMCertificates(missing.c_str(), &count, certs));
    EXPECT_TRUE(log.contains("Can't open file : " + missing));
}

TEST(CryptUtil, WholeFiles)
{
    TempDir dir;
    const std::string path = dir.file("data.bin");
    const Bytes data = randomBytes(100000, 4);
    ASSERT_TRUE(MyWriteFile(path.c_str(), data.data(), unsigned(data.size())));
    unsigned char *read = nullptr;
    unsigned int length = 0;
    ASSERT_TRUE(MyReadFile(path.c_str(), &read, &length));
    EXPECT_EQ(Bytes(read, read + length), data);
    EXPECT_EQ(read[length], 0);
    std::free(read);

    _NBLOB empty = COFFER_NULL_BLOB;
    ASSERT_TRUE(MyWriteFile(path.c_str(), &empty));
    ASSERT_TRUE(MyReadFile(path.c_str(), &read, &length));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(read[0], 0);
    std::free(read);

    EXPECT_FALSE(MyReadFile(dir.file("missing").c_str(), &read, &length));
    EXPECT_FALSE(MyWriteFile(dir.file("no/such/folder").c_str(), data.data(), 1));
}

TEST(CryptUtil, PrintBytes)
{
    const unsigned char bytes[] = {0x00, 0x01, 0xab, 0xff, 0x10};
    testing::internal::CaptureStdout();
    PrintBytes(bytes, 5, 2);
    PrintBytes(bytes, 2, 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "    00:01:\n    ab:ff:\n    10:\n    00:01:\n");
}
