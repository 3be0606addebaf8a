// The cipher and digest back end against published vectors, the openssl
// tool, and Python's hashlib; and its refusals of short keys and empty data.
#include "CofferTestSupport.h"

#include "coffer_openssl.h"

#include <openssl/evp.h>
#include <openssl/objects.h>

#include <cstdlib>
#include <cstring>

using namespace coffer_test;

namespace {

struct CipherResult {
    bool ok = false;
    Bytes bytes;
};

CipherResult cipher(bool encrypt, const Bytes &key, const Bytes *iv, ALG_ID alg, const Bytes &data)
{
    _NBLOB keyBlob = {uint32_t(key.size()), const_cast<unsigned char *>(key.data())};
    _NBLOB ivBlob = {};
    if (iv)
        ivBlob = {uint32_t(iv->size()), const_cast<unsigned char *>(iv->data())};
    unsigned char *out = nullptr;
    unsigned int length = 0;
    CipherResult r;
    r.ok = encrypt ? openssl_MyEncrypt(&keyBlob, iv ? &ivBlob : nullptr, alg, data.data(), unsigned(data.size()), &out,
                                       &length)
                   : openssl_MyDecrypt(&keyBlob, iv ? &ivBlob : nullptr, alg, data.data(), unsigned(data.size()), &out,
                                       &length);
    if (r.ok)
        r.bytes.assign(out, out + length);
    else
        EXPECT_EQ(out, nullptr);
    std::free(out);
    return r;
}

Bytes hashOf(ALG_ID alg, const std::string &text)
{
    unsigned char *out = nullptr;
    unsigned int length = 0;
    EXPECT_TRUE(openssl_MyHash(alg, reinterpret_cast<const unsigned char *>(text.data()), unsigned(text.size()), &out,
                               &length));
    Bytes digest(out, out + length);
    std::free(out);
    return digest;
}

Bytes prefix(const Bytes &b, size_t n) { return Bytes(b.begin(), b.begin() + std::min(n, b.size())); }

} // namespace

TEST(Cipher, PublishedVectors)
{
    struct Case {
        const char *name;
        ALG_ID alg;
        const char *key;
        const char *iv;
        const char *plain;
        const char *cipher;
    } cases[] = {
        {"FIPS 81 DES-CBC", 0x6601, "0123456789abcdef", "1234567890abcdef",
         "4e6f77206973207468652074696d6520666f7220616c6c20", "e5c7cdde872bf27c43e934008c389c0f683788499a7c05f6"},
        {"SP 800-38A F.2.1 AES-128-CBC", 0x660E, "2b7e151628aed2a6abf7158809cf4f3c", "000102030405060708090a0b0c0d0e0f",
         "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e5130c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710",
         "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b273bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
        {"SP 800-38A F.2.3 AES-192-CBC", 0x660F, "8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b",
         "000102030405060708090a0b0c0d0e0f",
         "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e5130c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710",
         "4f021db243bc633d7178183a9fa071e8b4d9ada9ad7dedf4e5e738763f69145a571b242012fb7ae07fa9baac3df102e008b0e27988598881d920a9e64f5615cd"},
        {"SP 800-38A F.2.5 AES-256-CBC", 0x6610, "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4",
         "000102030405060708090a0b0c0d0e0f",
         "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e5130c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710",
         "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
        {"RFC 6229 RC4 40-bit key, offsets 0 and 16", 0x6801, "0102030405", nullptr,
         "0000000000000000000000000000000000000000000000000000000000000000",
         "b2396305f03dc027ccc3524a0a1118a86982944f18fc82d589c403a47a0d0919"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes key = fromHex(c.key), plain = fromHex(c.plain), expected = fromHex(c.cipher);
        const Bytes iv = c.iv ? fromHex(c.iv) : Bytes();
        const auto enc = cipher(true, key, c.iv ? &iv : nullptr, c.alg, plain);
        ASSERT_TRUE(enc.ok);
        // Block ciphers add one whole block of padding after the vector's blocks.
        EXPECT_EQ(toHex(prefix(enc.bytes, expected.size())), toHex(expected));
        EXPECT_EQ(enc.bytes.size(), c.iv ? plain.size() + iv.size() : plain.size());
        const auto dec = cipher(false, key, c.iv ? &iv : nullptr, c.alg, enc.bytes);
        ASSERT_TRUE(dec.ok);
        EXPECT_EQ(dec.bytes, plain);
    }
}

TEST(Cipher, EveryAlgorithmMatchesTheOpensslTool)
{
    struct Case {
        ALG_ID alg;
        const char *toolName;
        size_t keyLength;
        size_t ivLength;
    } cases[] = {
        {0x6601, "des-cbc", 8, 8},      {0x6603, "des-ede3-cbc", 24, 8}, {0x6609, "des-ede3-cbc", 24, 8},
        {0x6604, "desx-cbc", 24, 8},    {0x6602, "rc2-cbc", 16, 8},      {0x6801, "rc4-40", 5, 0},
        {0x660E, "aes-128-cbc", 16, 16}, {0x660F, "aes-192-cbc", 24, 16}, {0x6610, "aes-256-cbc", 32, 16},
        {0x6611, "aes-128-cbc", 16, 16},
    };
    TempDir dir;
    const std::string in = dir.file("plain"), out = dir.file("cipher");
    unsigned seed = 100;
    for (const auto &c : cases) {
        for (size_t length : {1u, 16u, 37u, 1000u}) {
            for (bool zeroIV : {true, false}) {
                SCOPED_TRACE(testing::Message() << c.toolName << " alg " << std::hex << c.alg << std::dec << " length "
                                                << length << (zeroIV ? " zero IV" : " given IV"));
                const Bytes key = randomBytes(c.keyLength, ++seed), plain = randomBytes(length, ++seed);
                Bytes iv = zeroIV ? Bytes(c.ivLength, 0) : randomBytes(c.ivLength, ++seed);
                const auto ours = cipher(true, key, zeroIV ? nullptr : &iv, c.alg, plain);
                ASSERT_TRUE(ours.ok);

                // The two-key form is triple DES with K1 K2 K1.
                Bytes toolKey = key;
                if (c.alg == 0x6609)
                    std::copy(key.begin(), key.begin() + 8, toolKey.begin() + 16);
                writeFile(in, plain);
                std::string command = quote(opensslTool()) + " enc -e -" + c.toolName + " -K " + toHex(toolKey)
                    + (c.ivLength ? " -iv " + toHex(iv) : std::string()) + " -provider legacy -provider default -in "
                    + quote(in) + " -out " + quote(out);
                ASSERT_EQ(run(command).status, 0) << command;
                const std::string reference = readFile(out);
                EXPECT_EQ(toHex(ours.bytes), toHex(Bytes(reference.begin(), reference.end())));

                const auto back = cipher(false, key, zeroIV ? nullptr : &iv, c.alg, ours.bytes);
                ASSERT_TRUE(back.ok);
                EXPECT_EQ(back.bytes, plain);
            }
        }
    }
}

TEST(Cipher, TwoKeyTripleDesIgnoresTheThirdKey)
{
    Bytes key = randomBytes(24, 7);
    const Bytes plain = randomBytes(40, 8);
    const auto first = cipher(true, key, nullptr, 0x6609, plain);
    for (size_t i = 16; i < 24; ++i)
        key[i] ^= 0x5A;
    const auto second = cipher(true, key, nullptr, 0x6609, plain);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.bytes, second.bytes);
    // Sixteen bytes are all the two-key form needs; the plain triple DES needs 24.
    key.resize(16);
    EXPECT_EQ(cipher(true, key, nullptr, 0x6609, plain).bytes, first.bytes);
    ErrorLog log;
    EXPECT_FALSE(cipher(true, key, nullptr, 0x6603, plain).ok);
    EXPECT_TRUE(log.contains("Key is shorter than the cipher's key length."));
}

TEST(Cipher, OutputSizes)
{
    EXPECT_EQ(cipher(true, randomBytes(16, 1), nullptr, 0x660E, Bytes(16, 1)).bytes.size(), 32u);
    EXPECT_EQ(cipher(true, randomBytes(24, 1), nullptr, 0x6603, Bytes(1, 1)).bytes.size(), 8u);
    EXPECT_EQ(cipher(true, randomBytes(5, 1), nullptr, 0x6801, Bytes(77, 1)).bytes.size(), 77u);
}

TEST(Cipher, Refusals)
{
    const Bytes data = randomBytes(20, 3);
    const Bytes iv4 = Bytes(4, 0);
    struct Case {
        const char *name;
        bool encrypt;
        Bytes key;
        const Bytes *iv;
        ALG_ID alg;
        Bytes data;
        const char *message;
    } cases[] = {
        {"empty data, encrypting", true, randomBytes(16, 1), nullptr, 0x660E, {}, "The size of data to be encryptd is zero"},
        {"empty data, decrypting", false, randomBytes(16, 1), nullptr, 0x660E, {}, "The size of data to be decryptd is zero"},
        {"AES-256 with a 16-byte key", true, randomBytes(16, 1), nullptr, 0x6610, data,
         "Key is shorter than the cipher's key length."},
        {"RC4 with a 4-byte key", true, randomBytes(4, 1), nullptr, 0x6801, data,
         "Key is shorter than the cipher's key length."},
        {"two-key DES with 15 bytes", false, randomBytes(15, 1), nullptr, 0x6609, Bytes(16, 0),
         "Key is shorter than the cipher's key length."},
        {"no key", true, {}, nullptr, 0x6601, data, "Key is shorter than the cipher's key length."},
        {"IV shorter than a block", true, randomBytes(16, 1), &iv4, 0x660E, data,
         "IV is shorter than the cipher's block length."},
        {"unknown ALG_ID", true, randomBytes(32, 1), nullptr, 0x1234, data, "Unknown cipher algorithm."},
        {"a digest is no cipher", true, randomBytes(32, 1), nullptr, 0x8003, data, "Unknown cipher algorithm."},
        {"ciphertext not a whole block", false, randomBytes(16, 1), nullptr, 0x660E, Bytes(17, 0),
         "Cannot finalize decryption."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ErrorLog log;
        EXPECT_FALSE(cipher(c.encrypt, c.key, c.iv, c.alg, c.data).ok);
        EXPECT_TRUE(log.contains(c.message));
    }
}

TEST(Cipher, WrongKeyFailsAtTheFinalStep)
{
    const Bytes plain = randomBytes(100, 5);
    const auto enc = cipher(true, randomBytes(32, 6), nullptr, 0x6610, plain);
    ASSERT_TRUE(enc.ok);
    ErrorLog log;
    EXPECT_FALSE(cipher(false, randomBytes(32, 7), nullptr, 0x6610, enc.bytes).ok);
    EXPECT_TRUE(log.contains("Cannot finalize decryption."));
}

TEST(Cipher, AlgorithmTables)
{
    EXPECT_EQ(GetAlgIDFromName("aes_256"), 0x6610u);
    EXPECT_EQ(GetAlgIDFromName("3des_112"), 0x6609u);
    EXPECT_EQ(GetAlgIDFromName("Blowfish"), 0u);
    EXPECT_EQ(GetAlgIDFromName(nullptr), 0u);
    EXPECT_STREQ(GetAlgNameFromID(0x6801), "RC4");
    EXPECT_EQ(GetAlgNameFromID(0x8003), nullptr);

    EXPECT_EQ(ALG_MS_2_OPENSSL(0x6611), NID_aes_128_cbc);
    EXPECT_EQ(ALG_MS_2_OPENSSL(0x6609), NID_des_ede3_cbc);
    EXPECT_EQ(ALG_MS_2_OPENSSL(0x6801), NID_rc4_40);
    EXPECT_EQ(ALG_MS_2_OPENSSL(0x8001), NID_md2);
    EXPECT_EQ(ALG_MS_2_OPENSSL(0x9999), 0);
    EXPECT_EQ(ALG_OPENSSL_2_MS(NID_aes_128_cbc), 0x660Eu);
    EXPECT_EQ(ALG_OPENSSL_2_MS(NID_des_ede3_cbc), 0x6603u);
    EXPECT_EQ(ALG_OPENSSL_2_MS(NID_sha), 0x8004u);
    EXPECT_EQ(ALG_OPENSSL_2_MS(NID_sha1), 0x8004u);
    EXPECT_EQ(ALG_OPENSSL_2_MS(NID_sha256), 0u);
    EXPECT_EQ(GetCryptoErrorMessage(1), std::string("error"));
    EXPECT_EQ(GetCryptoErrorMessage(2), std::string("-"));
}

TEST(Cipher, SupportedAlgorithmsKeepTheirOrder)
{
    const ALG_ID offered[] = {0x6801, 0x1234, 0x6610, 0x660D, 0x6601};
    ALG_ID *supported = nullptr;
    unsigned int count = 0;
    ASSERT_TRUE(openssl_GetSupportedAlgs(offered, 5, &supported, &count));
    std::vector<ALG_ID> got(supported, supported + count);
    std::free(supported);
    // RC5 is absent from this OpenSSL build (Debian ships none).
    EXPECT_EQ(got, (std::vector<ALG_ID>{0x6801, 0x6610, 0x6601}));

    ErrorLog log;
    EXPECT_FALSE(cipher(true, randomBytes(16, 1), nullptr, 0x660D, Bytes(8, 0)).ok);
    EXPECT_TRUE(log.contains("Cipher algorithm is not supported by this OpenSSL."));
}

TEST(Digest, PublishedVectors)
{
    struct Case {
        ALG_ID alg;
        const char *text;
        const char *digest;
    } cases[] = {
        {0x8001, "", "8350e5a3e24c153df2275c9f80692773"},
        {0x8001, "a", "32ec01ec4a6dac72c0ab96fb34c0b5d1"},
        {0x8001, "abc", "da853b0d3f88d99b30283a69e6ded6bb"},
        {0x8001, "message digest", "ab4f496bfb2a530b219ff33031fe06b0"},
        {0x8001, "abcdefghijklmnopqrstuvwxyz", "4e8ddff3650292ab5a4108c3aa47940b"},
        {0x8001, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "da33def2a42df13975352846c30338cd"},
        {0x8001, "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "d5976f79d83d3a0dc9806c3c66f3efd8"},
        {0x8003, "", "d41d8cd98f00b204e9800998ecf8427e"},
        {0x8003, "abc", "900150983cd24fb0d6963f7d28e17f72"},
        {0x8003, "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {0x8004, "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {0x8004, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.alg << " \"" << c.text << '"');
        EXPECT_EQ(toHex(hashOf(c.alg, c.text)), c.digest);
    }
    ErrorLog log;
    unsigned char *out = nullptr;
    unsigned int length = 0;
    EXPECT_FALSE(openssl_MyHash(0x6610, reinterpret_cast<const unsigned char *>("x"), 1, &out, &length));
    EXPECT_TRUE(log.contains("Can not find hash algorithm."));
}

TEST(Digest, RandomAndSessionKeyHashIsMd5OfBoth)
{
    const Bytes random = randomBytes(16, 1), key = randomBytes(24, 2);
    unsigned char *out = nullptr;
    unsigned int length = 0;
    ASSERT_TRUE(openssl_HashRandomAndSessionKey(16, random.data(), 24, key.data(), &length, &out));
    Bytes joined = random;
    joined.insert(joined.end(), key.begin(), key.end());
    unsigned char reference[16];
    unsigned int n = 0;
    EVP_Digest(joined.data(), joined.size(), reference, &n, EVP_md5(), nullptr);
    EXPECT_EQ(toHex(out, length), toHex(reference, 16));
    std::free(out);
}

TEST(Digest, PasswordKeyMaterialMatchesPython)
{
    // Values from Python's hashlib: SHA-1 of the password as UTF-16LE, then the
    // salt; and the two SHA-1s over the 0x36 / 0x5C buffers.
    const char *password = "P\xc3\xa4sswort";
    const Bytes salt = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::string h = "8d7c501402b063a9c76f7f7af90962c8954d0fb2";
    const std::string h40 = "6c97a2356571c7154a9cc7923bc5950cf30d8d9b2eaad802e974573688ce6881c10c47e141f85ac3";

    unsigned char *out = nullptr;
    unsigned int length = 0;
    ASSERT_TRUE(openssl_CHashSaltPswd(salt.data(), 8, password, &out, &length));
    EXPECT_EQ(toHex(out, length), h);
    std::free(out);
    ASSERT_TRUE(openssl_CHashSaltPswd40(salt.data(), 8, password, &out, &length));
    EXPECT_EQ(toHex(out, length), h40);
    std::free(out);

    struct Case {
        ALG_ID alg;
        unsigned int keyLength;
        std::string material;
    } cases[] = {
        {0x6801, 5, h}, {0x6602, 16, h}, {0x6601, 8, h}, {0x660E, 16, h40}, {0x6603, 24, h40},
        {0x6611, 16, h40}, {0x6604, 24, h40},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.alg);
        out = nullptr;
        ASSERT_TRUE(openssl_MyDeriveKey(c.alg, salt.data(), 8, password, c.keyLength, &out));
        EXPECT_EQ(toHex(out, c.material.size() / 2), c.material);
        std::free(out);
    }
    ErrorLog log;
    out = nullptr;
    EXPECT_FALSE(openssl_MyDeriveKey(0x6610, salt.data(), 8, password, 41, &out));
    EXPECT_EQ(out, nullptr);
}
