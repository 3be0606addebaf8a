// Message cookies and simple password encryption, checked against a Python
// implementation of the same sealing (salted SHA-1 key, triple-DES CBC).

#include "CofferTestSupport.h"
#include "MsgCookie.h"
#include "SimpleCrypto.h"
#include "nblob.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace coffer_test;

namespace {

// seal PASSHEX SALTLEN PLAINHEX URLSAFE -> sealed text
// open PASSHEX SALTLEN TEXT             -> plain hex, or "FAIL"
const char kReference[] = R"PY(
import base64, hashlib, os, sys
from cryptography.hazmat.primitives import padding
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

def key(salt, pw):
    d = hashlib.sha1(salt + pw).digest()
    k = d
    while len(k) < 24:
        d = hashlib.sha1(d).digest()
        k += d
    return k[:24]

mode, pw, saltlen = sys.argv[1], bytes.fromhex(sys.argv[2]), int(sys.argv[3])
if mode == "seal":
    plain, urlsafe = bytes.fromhex(sys.argv[4]), sys.argv[5] == "1"
    salt, iv = os.urandom(saltlen), os.urandom(8)
    p = padding.PKCS7(64).padder()
    e = Cipher(algorithms.TripleDES(key(salt, pw)), modes.CBC(iv)).encryptor()
    raw = salt + iv + e.update(p.update(plain) + p.finalize()) + e.finalize()
    print(base64.urlsafe_b64encode(raw).decode().rstrip("=") if urlsafe else base64.b64encode(raw).decode())
else:
    text = sys.argv[4].replace("-", "+").replace("_", "/")
    raw = base64.b64decode(text + "=" * (-len(text) % 4))
    salt, iv, ct = raw[:saltlen], raw[saltlen:saltlen + 8], raw[saltlen + 8:]
    d = Cipher(algorithms.TripleDES(key(salt, pw)), modes.CBC(iv)).decryptor()
    u = padding.PKCS7(64).unpadder()
    try:
        print((u.update(d.update(ct) + d.finalize()) + u.finalize()).hex())
    except ValueError:
        print("FAIL")
)PY";

const std::string kCookiePass = "Qmvtrazkeb##&&??";

std::string python(const std::string &args)
{
    static TempDir folder;
    static const auto script = [] {
        const auto path = folder.file("seal.py");
        writeFile(path, bytesOf(std::string(kReference)));
        return path;
    }();
    auto result = run(std::string(PARLEY_PYTHON) + " " + quote(script) + " " + args);
    EXPECT_EQ(result.status, 0) << args;
    while (!result.output.empty() && result.output.back() == '\n')
        result.output.pop_back();
    return result.output;
}

std::string hexOf(const std::string &text)
{
    return toHex(reinterpret_cast<const uint8_t *>(text.data()), text.size());
}

std::vector<uint8_t> base64Bytes(const std::string &text)
{
    unsigned int length = 0;
    unsigned char *data = DecodeBase64(text.c_str(), unsigned(text.size()), &length);
    std::vector<uint8_t> bytes(data, data + length);
    FreeBaseAlloced(data);
    return bytes;
}

std::string base64Text(const std::vector<uint8_t> &bytes)
{
    char *text = EncodeBase64(bytes.data(), unsigned(bytes.size()), 0);
    std::string result(text);
    FreeBaseAlloced(text);
    return result;
}

} // namespace

TEST(MsgCookie, SealsAndOpensBothNumbers)
{
    const uint64_t max = std::numeric_limits<uint64_t>::max();
    const struct {
        uint64_t first, second;
        bool urlSafe;
    } cases[] = {{1, 2, false}, {1, 2, true}, {max, max, false}, {0, max, true}, {1234567890123, 42, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + " " + std::to_string(c.second));
        MSGCOOKIE::MsgCookie cookie(c.first, c.second);
        std::string sealed = "left over";
        ASSERT_TRUE(cookie.encrypt(sealed, c.urlSafe));
        EXPECT_EQ(sealed.find_first_of(c.urlSafe ? "+/=" : "-_"), std::string::npos) << sealed;
        MSGCOOKIE::MsgCookie opened;
        ASSERT_TRUE(opened.decrypt(sealed));
        EXPECT_EQ(opened.getFirst(), c.first);
        EXPECT_EQ(opened.getSecond(), c.second);
        // The independent implementation reads the same plain text.
        const std::string plain = std::to_string(c.first) + " " + std::to_string(c.second);
        EXPECT_EQ(python("open " + hexOf(kCookiePass) + " 8 " + quote(sealed)), hexOf(plain));
    }
}

TEST(MsgCookie, OpensWhatTheReferenceSealed)
{
    for (const char *urlSafe : {"0", "1"}) {
        const std::string sealed = python("seal " + hexOf(kCookiePass) + " 8 " + hexOf("77 18446744073709551615") + " " + urlSafe);
        MSGCOOKIE::MsgCookie cookie;
        ASSERT_TRUE(cookie.decrypt(sealed)) << sealed;
        EXPECT_EQ(cookie.getFirst(), 77u);
        EXPECT_EQ(cookie.getSecond(), std::numeric_limits<uint64_t>::max());
    }
}

TEST(MsgCookie, EverySealingDiffersAndAShortCookieTakesOneBlock)
{
    MSGCOOKIE::MsgCookie cookie(1, 2);
    std::string a, b;
    ASSERT_TRUE(cookie.encrypt(a, false));
    ASSERT_TRUE(cookie.encrypt(b, false));
    EXPECT_NE(a, b);
    EXPECT_EQ(base64Bytes(a).size(), 8u + 8u + 8u);
}

TEST(MsgCookie, RefusesDamagedOrForeignTexts)
{
    MSGCOOKIE::MsgCookie cookie(5, 6);
    std::string sealed;
    ASSERT_TRUE(cookie.encrypt(sealed, false));
    const auto bytes = base64Bytes(sealed);
    const std::string seal = hexOf(kCookiePass) + " 8 ";
    const std::string oversized(1032, 'x');
    const struct {
        const char *name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"no ciphertext", base64Text(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16))},
        {"half a block", base64Text(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20))},
        {"no space", python("seal " + seal + hexOf("12345") + " 0")},
        {"letters", python("seal " + seal + hexOf("12 3x") + " 0")},
        {"too large a number", python("seal " + seal + hexOf("1 18446744073709551616") + " 0")},
        {"negative number", python("seal " + seal + hexOf("-1 2") + " 0")},
        {"over 1024 bytes of ciphertext", python("seal " + seal + hexOf(oversized) + " 0")},
        {"other pass phrase", python("seal " + hexOf("another phrase") + " 8 " + hexOf("1 2") + " 0")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MSGCOOKIE::MsgCookie target(5, 6);
        EXPECT_FALSE(target.decrypt(c.text));
        EXPECT_EQ(target.getFirst(), 5u);
        EXPECT_EQ(target.getSecond(), 6u);
    }
}

TEST(SimpleCrypto, SealsAnyBytesBothWays)
{
    const std::string password = "s3cret";
    const std::string binary("\0\x01\xff zero", 8);
    const struct {
        size_t saltLength;
        std::string plain;
        bool urlSafe;
    } cases[] = {{8, "", false}, {8, "hello", true}, {16, binary, false}, {0, std::string(100, 'a'), true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.saltLength);
        SIMPLECRYPTO::SimpleCrypto crypto(password, c.saltLength, "ignored");
        std::string sealed;
        crypto.encrypt(sealed, reinterpret_cast<const unsigned char *>(c.plain.data()), c.plain.size(), c.urlSafe);
        ASSERT_FALSE(sealed.empty());
        const size_t padded = (c.plain.size() / 8 + 1) * 8;
        EXPECT_EQ(base64Bytes(sealed).size(), c.saltLength + 8 + padded);
        std::string opened = "left over";
        EXPECT_EQ(crypto.decrypt(opened, sealed), c.plain);
        const std::string args = hexOf(password) + " " + std::to_string(c.saltLength) + " ";
        EXPECT_EQ(python("open " + args + quote(sealed)), hexOf(c.plain));
        const std::string theirs = python("seal " + args + quote(hexOf(c.plain)) + (c.urlSafe ? " 1" : " 0"));
        EXPECT_EQ(crypto.decrypt(opened, theirs), c.plain);
    }
}

TEST(SimpleCrypto, FailsWithAnEmptyOutput)
{
    SIMPLECRYPTO::SimpleCrypto crypto("right", 8);
    std::string sealed;
    crypto.encrypt(sealed, reinterpret_cast<const unsigned char *>("data"), 4, false);
    const auto bytes = base64Bytes(sealed);
    SIMPLECRYPTO::SimpleCrypto wrong("wrong", 8);
    std::string output = "left over";
    const struct {
        const char *name;
        SIMPLECRYPTO::SimpleCrypto *crypto;
        std::string text;
    } cases[] = {
        {"too short", &crypto, base64Text(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 23))},
        {"no ciphertext", &crypto, base64Text(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 16))},
        {"empty", &crypto, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        output = "left over";
        EXPECT_EQ(c.crypto->decrypt(output, c.text), "");
    }
    // No check value: a wrong password shows only in the padding, which random
    // bytes pass about once in 256 tries. Over eight seals (each with its own
    // salt) nearly every one must fail, and none may give the data back.
    int failed = 0;
    for (int i = 0; i < 8; ++i) {
        std::string again;
        crypto.encrypt(again, reinterpret_cast<const unsigned char *>("data"), 4, false);
        output = "left over";
        const std::string opened = wrong.decrypt(output, again);
        EXPECT_NE(opened, "data");
        failed += opened.empty() ? 1 : 0;
    }
    EXPECT_GE(failed, 6);
}

TEST(SimpleCrypto, UCBufferOwnsItsBytes)
{
    SIMPLECRYPTO::UCBuffer buffer(16);
    ASSERT_TRUE(buffer.isReady());
    EXPECT_EQ(buffer.getSize(), 16u);
    SIMPLECRYPTO::UCBuffer none(0);
    EXPECT_FALSE(none.isReady());
    EXPECT_EQ(none.getSize(), 0u);
}
