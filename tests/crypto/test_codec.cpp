// Base16 and Base64: RFC 4648's vectors, the tolerant decoders, the type
// detector, and large round trips against OpenSSL's own Base64.
#include "CofferTestSupport.h"

#include "nblob.h"

#include <openssl/evp.h>

#include <cstring>

using namespace coffer_test;

namespace {

struct OwnedText {
    char *p;
    ~OwnedText() { FreeBaseAlloced(p); }
};
struct OwnedBytes {
    unsigned char *p;
    unsigned int length;
    Bytes bytes() const { return Bytes(p, p + length); }
    ~OwnedBytes() { FreeBaseAlloced(p); }
};

OwnedBytes decode64(const std::string &text, unsigned int length)
{
    OwnedBytes out{nullptr, 12345};
    out.p = DecodeBase64(text.c_str(), length, &out.length);
    return out;
}
OwnedBytes decode16(const std::string &text, unsigned int length)
{
    OwnedBytes out{nullptr, 12345};
    out.p = DecodeBase16(text.c_str(), length, &out.length);
    return out;
}

struct Rfc4648Case {
    const char *plain;
    const char *base64;
    const char *base64Url;
    const char *base16;
};

const Rfc4648Case kRfc4648[] = {
    {"", "", "", ""},
    {"f", "Zg==", "Zg", "66"},
    {"fo", "Zm8=", "Zm8", "666F"},
    {"foo", "Zm9v", "Zm9v", "666F6F"},
    {"foob", "Zm9vYg==", "Zm9vYg", "666F6F62"},
    {"fooba", "Zm9vYmE=", "Zm9vYmE", "666F6F6261"},
    {"foobar", "Zm9vYmFy", "Zm9vYmFy", "666F6F626172"},
};

} // namespace

TEST(Codec, Rfc4648VectorsBothWays)
{
    for (const auto &c : kRfc4648) {
        SCOPED_TRACE(c.plain);
        const auto *plain = reinterpret_cast<const unsigned char *>(c.plain);
        const unsigned int n = unsigned(std::strlen(c.plain));
        OwnedText b64{EncodeBase64(plain, n, false)};
        OwnedText url{EncodeBase64(plain, n, true)};
        OwnedText b16{EncodeBase16(plain, n)};
        EXPECT_STREQ(b64.p, c.base64);
        EXPECT_STREQ(url.p, c.base64Url);
        EXPECT_STREQ(b16.p, c.base16);
        EXPECT_EQ(decode64(c.base64, 0).bytes(), bytesOf(std::string(c.plain)));
        EXPECT_EQ(decode64(c.base64Url, 0).bytes(), bytesOf(std::string(c.plain)));
        EXPECT_EQ(decode16(c.base16, 0).bytes(), bytesOf(std::string(c.plain)));
        EXPECT_EQ(GetBase64EncodeSize(n), std::strlen(c.base64));
    }
}

TEST(Codec, UrlSafeAlphabetAndPaddingFreeForm)
{
    const unsigned char bytes[] = {0xFB, 0xFF, 0xBF};
    OwnedText standard{EncodeBase64(bytes, 3, false)};
    OwnedText url{EncodeBase64(bytes, 3, true)};
    EXPECT_STREQ(standard.p, "+/+/");
    EXPECT_STREQ(url.p, "-_-_");
    // Both alphabets in one text, with the same values.
    EXPECT_EQ(decode64("+_-/", 0).bytes(), (Bytes{0xFB, 0xFF, 0xBF}));
}

TEST(Codec, Base64DecoderSkipsAndKeepsPartialGroups)
{
    struct Case {
        const char *text;
        unsigned int length;
        Bytes bytes;
    } cases[] = {
        {"Zm9v\r\nYmFy", 0, bytesOf(std::string("foobar"))},
        {" Z m 9 v ", 0, bytesOf(std::string("foo"))},
        {"Zm9", 0, bytesOf(std::string("fo"))},     // three characters: two bytes
        {"Zg", 0, bytesOf(std::string("f"))},       // two characters: one byte
        {"Z", 0, {}},                               // one character: nothing
        {"Zm9vYmFy", 4, bytesOf(std::string("foo"))}, // the length limits the text
        {"Zg==Zg==", 0, {0x66, 0x06, 0x60}},        // "=" is skipped, not an end
        {"\x80\xff@*Zm9v", 0, bytesOf(std::string("foo"))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const auto out = decode64(c.text, c.length);
        ASSERT_NE(out.p, nullptr);
        EXPECT_EQ(out.bytes(), c.bytes);
        EXPECT_EQ(out.p[out.length], 0) << "decoded buffers end in a zero byte";
    }
}

TEST(Codec, Base16DecoderTakesMixedCaseAndDropsAnOddDigit)
{
    EXPECT_EQ(decode16("aBcD", 0).bytes(), (Bytes{0xAB, 0xCD}));
    EXPECT_EQ(decode16("0a:1b 2c\n3", 0).bytes(), (Bytes{0x0A, 0x1B, 0x2C}));
    EXPECT_EQ(decode16("ABCDEF", 3).bytes(), (Bytes{0xAB}));
    const unsigned char edge[] = {0x00, 0xFF};
    OwnedText text{EncodeBase16(edge, 2)};
    EXPECT_STREQ(text.p, "00FF");
    EXPECT_EQ(DecodeBase16(nullptr, 0, nullptr), nullptr);
}

TEST(Codec, AvailableSizesCountOnlyAlphabetCharacters)
{
    EXPECT_EQ(GetBase16AvailableSize("a b\nC-9g", 0), 4u);
    EXPECT_EQ(GetBase64AvailableSize("Zm9v==\r\n-_+/", 0), 8u);
    EXPECT_EQ(GetBase64AvailableSize("Zm9vYmFy", 3), 3u);
    EXPECT_EQ(GetBase64DecodeSize(8), 6u);
    EXPECT_EQ(GetBase64DecodeSize(3), 3u);
    EXPECT_EQ(GetBase64EncodeSize(0), 0u);
    EXPECT_EQ(GetBase64EncodeSize(4), 8u);
    // Too large for a 32-bit text length: refused rather than wrapped.
    EXPECT_EQ(GetBase64EncodeSize(0xFFFFFFF0u), 0u);
}

TEST(Codec, DetectBlobType)
{
    struct Case {
        const char *text;
        unsigned int expected;
    } cases[] = {
        {"", 1},          {"0123abcDEF", 1}, {"Zm9v", 2},       {"Zm9vYg==", 2}, {"00 FF\r\n\t", 1},
        {"=Zm9", 0},      {"AB=", 0},        {"Zg,", 0},        {",AB", 0},      {"Zm 9v\n", 2},
        {"ab-_", 2},      {"G", 2},          {"Zg==x", 2},      {"\x80", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DetectBlobType(reinterpret_cast<const unsigned char *>(c.text), unsigned(std::strlen(c.text))),
                  c.expected);
    }
}

TEST(Codec, LargeRoundTripsMatchOpenSsl)
{
    for (size_t size : {1u, 2u, 3u, 100u, 65536u, 65537u, 100000u}) {
        SCOPED_TRACE(size);
        const Bytes data = randomBytes(size, unsigned(size));
        OwnedText ours{EncodeBase64(data.data(), unsigned(size), false)};
        std::string reference(4 * ((size + 2) / 3) + 1, '\0');
        const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char *>(reference.data()), data.data(), int(size));
        reference.resize(size_t(n));
        EXPECT_EQ(std::string(ours.p), reference);
        EXPECT_EQ(decode64(reference, 0).bytes(), data);
        OwnedText hex{EncodeBase16(data.data(), unsigned(size))};
        EXPECT_EQ(decode16(hex.p, 0).bytes(), data);
    }
}
