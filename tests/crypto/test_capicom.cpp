// CAPICOM-compatible encrypted data, checked against a Python implementation
// of the same layout and key derivation (and the openssl tool for RC2).

#include "CapicomReference.h"
#include "CofferTestSupport.h"
#include "asn1.h"
#include "capicom.h"
#include "coffer.h"
#include "crypt_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace coffer_test;

namespace {

std::string hexOf(const std::string &text)
{
    return toHex(reinterpret_cast<const uint8_t *>(text.data()), text.size());
}

// The inner SEQUENCE of six fields of a sealed structure.
ASN1::Constructed *fieldsOf(ASN1::Object *root)
{
    auto *seq = dynamic_cast<ASN1::Constructed *>(root);
    auto *cont = dynamic_cast<ASN1::Constructed *>(seq->GetObjectAt(1));
    auto *inner = dynamic_cast<ASN1::Constructed *>(cont->GetObjectAt(0));
    auto *innerCont = dynamic_cast<ASN1::Constructed *>(inner->GetObjectAt(1));
    return dynamic_cast<ASN1::Constructed *>(innerCont->GetObjectAt(0));
}

const ALG_ID kAllAlgs[] = {COFFER_ALG_DES, COFFER_ALG_RC2, COFFER_ALG_3DES, COFFER_ALG_3DES_112,
                           COFFER_ALG_AES_128, COFFER_ALG_AES_192, COFFER_ALG_AES_256, COFFER_ALG_RC4};

} // namespace

TEST(Capicom, EveryAlgorithmInteroperatesWithTheReference)
{
    const std::string password = "p\xc3\xa4ssword";
    const std::string content = "Hello, \xed\x95\x9c\xea\xb8\x80 & more";
    for (ALG_ID alg : kAllAlgs) {
        SCOPED_TRACE(alg);
        NCAPICOM::EncryptedData data(nullptr, nullptr);
        data.SetSecret(password.c_str());
        data.SetContent(content.c_str());
        data.SetAlgorithm(alg);
        BlobPtr der(data.Encrypt(COFFER_BLOB_RAW, 0));
        ASSERT_TRUE(der);
        EXPECT_EQ(capicomReference("dec " + hexOf(password) + " " + toHex(bytesOf(der.get()))), hexOf(content));

        const auto theirs = fromHex(capicomReference("enc " + hexOf(password) + " " + std::to_string(alg) + " " + hexOf(content)));
        ASSERT_FALSE(theirs.empty());
        NCAPICOM::EncryptedData reader(nullptr, nullptr);
        reader.SetSecret(password.c_str());
        ASSERT_TRUE(reader.Decrypt(theirs.data(), unsigned(theirs.size()), COFFER_BLOB_RAW));
        EXPECT_STREQ(reader.GetContentA(), content.c_str());
        EXPECT_EQ(reader.GetAlgorithm(), alg);
    }
}

TEST(Capicom, WritesTheDocumentedLayout)
{
    NCAPICOM::EncryptedData data(nullptr, nullptr);
    data.SetSecret("pw");
    data.SetContent("abc");
    data.SetAlgorithm(COFFER_ALG_AES_128);
    BlobPtr der(data.Encrypt(COFFER_BLOB_RAW, 0));
    ASSERT_TRUE(der);
    const auto bytes = bytesOf(der.get());
    uint32_t size = uint32_t(bytes.size());
    std::unique_ptr<ASN1::Object> root(ASN1::Object::Decode(bytes.data(), &size, nullptr));
    ASSERT_TRUE(root);
    auto &seq = dynamic_cast<ASN1::Constructed &>(*root);
    EXPECT_STREQ(dynamic_cast<ASN1::ObjectID &>(*seq.GetObjectAt(0)).GetValue(), "1.3.6.1.4.1.311.88.3");
    auto *fields = fieldsOf(root.get());
    ASSERT_NE(fields, nullptr);
    ASSERT_EQ(fields->GetSize(), 6u);
    EXPECT_EQ(dynamic_cast<ASN1::Integer &>(*fields->GetObjectAt(0)).GetValue(), 0x20000);
    EXPECT_EQ(dynamic_cast<ASN1::Integer &>(*fields->GetObjectAt(1)).GetValue(), 0x660E);
    EXPECT_EQ(dynamic_cast<ASN1::Integer &>(*fields->GetObjectAt(2)).GetValue(), 128);
    auto &iv = dynamic_cast<ASN1::OctetString &>(*fields->GetObjectAt(3));
    EXPECT_EQ(toHex(iv.GetData(), iv.GetSize()), std::string(32, '0'));
    EXPECT_EQ(dynamic_cast<ASN1::OctetString &>(*fields->GetObjectAt(4)).GetSize(), 16u);
    // Three letters are six bytes of UTF-16LE: one AES block after padding.
    EXPECT_EQ(dynamic_cast<ASN1::OctetString &>(*fields->GetObjectAt(5)).GetSize(), 16u);

    BlobPtr again(data.Encrypt(COFFER_BLOB_RAW, 0));
    EXPECT_NE(bytesOf(again.get()), bytes);
}

TEST(Capicom, TextFormsAndTheContextsDefaultAlgorithm)
{
    CCofferContext context;
    ASSERT_TRUE(context.Init(0));
    NCAPICOM::EncryptedData data(&context, nullptr);
    data.SetSecret("pw");
    const unsigned short wide[] = {'h', 'i', 0xD55C, 0};
    data.SetContent(wide);
    for (unsigned int type : {COFFER_BLOB_BASE16, COFFER_BLOB_BASE64}) {
        for (signed char urlSafe : {0, 1}) {
            SCOPED_TRACE(std::to_string(type) + "/" + std::to_string(urlSafe));
            BlobPtr text(data.Encrypt(type, urlSafe));
            ASSERT_TRUE(text);
            const std::string sealed(reinterpret_cast<const char *>(text->data), text->size);
            EXPECT_EQ(std::strlen(sealed.c_str()), sealed.size());
            if (type == COFFER_BLOB_BASE64 && urlSafe) {
                EXPECT_EQ(sealed.find_first_of("+/="), std::string::npos);
            }
            NCAPICOM::EncryptedData reader(nullptr, nullptr);
            reader.SetSecret("pw");
            ASSERT_TRUE(reader.Decrypt(sealed.c_str(), type));
            EXPECT_EQ(reader.GetAlgorithm(), context.GetAlgorithms()->pAlgIDs[0]);
            const unsigned short *back = reader.GetContentW();
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(std::vector<unsigned short>(back, back + 4), std::vector<unsigned short>(wide, wide + 4));
            // The UTF-16 text form decodes the same way.
            std::vector<unsigned short> wideText(sealed.begin(), sealed.end());
            wideText.push_back(0);
            NCAPICOM::EncryptedData wideReader(nullptr, nullptr);
            wideReader.SetSecret("pw");
            EXPECT_TRUE(wideReader.Decrypt(wideText.data(), type));
        }
    }
}

TEST(Capicom, AnotherCharacterSetForTheTextForms)
{
    NCAPICOM::EncryptedData data(nullptr, "CP949");
    data.SetSecret("pw");
    data.SetContent("\xc7\xd1"); // one Hangul syllable in CP949
    data.SetAlgorithm(COFFER_ALG_3DES);
    BlobPtr der(data.Encrypt(COFFER_BLOB_RAW, 0));
    ASSERT_TRUE(der);
    EXPECT_EQ(capicomReference("dec " + hexOf("pw") + " " + toHex(bytesOf(der.get()))), hexOf("\xed\x95\x9c"));
    NCAPICOM::EncryptedData reader(nullptr, "CP949");
    reader.SetSecret("pw");
    ASSERT_TRUE(reader.Decrypt(der->data, der->size, COFFER_BLOB_RAW));
    EXPECT_STREQ(reader.GetContentA(), "\xc7\xd1");
}

TEST(Capicom, RefusesBadInputWithItsReason)
{
    NCAPICOM::EncryptedData good(nullptr, nullptr);
    good.SetSecret("pw");
    good.SetContent("abc");
    good.SetAlgorithm(COFFER_ALG_AES_128);
    BlobPtr sealed(good.Encrypt(COFFER_BLOB_RAW, 0));
    ASSERT_TRUE(sealed);
    const auto der = bytesOf(sealed.get());

    // Rebuilds the structure with one field changed.
    auto rebuilt = [&](int fieldIndex, ASN1::Object *replacement, bool dropLast = false) {
        uint32_t size = uint32_t(der.size());
        std::unique_ptr<ASN1::Object> root(ASN1::Object::Decode(der.data(), &size, nullptr));
        auto *fields = fieldsOf(root.get());
        ASN1::Sequence copy;
        std::vector<std::vector<uint8_t>> keep;
        for (size_t i = 0; i < fields->GetSize() - (dropLast ? 1 : 0); ++i) {
            if (int(i) == fieldIndex) {
                copy.AddObject(replacement, true);
                continue;
            }
            keep.push_back(fields->GetObjectAt(i)->Encode());
            uint32_t n = uint32_t(keep.back().size());
            copy.AddObject(ASN1::Object::Decode(keep.back().data(), &n, nullptr), true);
        }
        ASN1::Sequence inner;
        inner.AddObject(new ASN1::ObjectID("1.3.6.1.4.1.311.88.3.1"));
        inner.AddObject(new ASN1::ContextDefinedObject(&copy, false));
        ASN1::Sequence outer;
        outer.AddObject(new ASN1::ObjectID("1.3.6.1.4.1.311.88.3"));
        outer.AddObject(new ASN1::ContextDefinedObject(&inner, false));
        return outer.Encode();
    };
    const uint8_t shortIV[8] = {};
    std::vector<uint8_t> truncated(der.begin(), der.end() - 3);
    const struct {
        const char *name;
        std::vector<uint8_t> der;
        const char *reason;
    } cases[] = {
        {"five fields", rebuilt(-1, nullptr, true), "Invalid ASN.1 CAPICOM.EncryptedData format"},
        {"truncated", truncated, "Invalid ASN.1 CAPICOM.EncryptedData format"},
        {"not a sequence", fromHex("0403010203"), "Invalid ASN.1 CAPICOM.EncryptedData format"},
        {"IV as an integer", rebuilt(3, new ASN1::Integer(1)), "Invalid ASN.1 CAPICOM.EncryptedData format"},
        {"unknown algorithm", rebuilt(1, new ASN1::Integer(0x6604)),
         "EncryptedData::Decrypt() error in key length for the algorithm"},
        {"key longer than the algorithm's", rebuilt(2, new ASN1::Integer(4096)),
         "EncryptedData::Decrypt() error in key length for the algorithm"},
        {"negative key length", rebuilt(2, new ASN1::Integer(-128)),
         "EncryptedData::Decrypt() error in key length for the algorithm"},
        {"IV shorter than a block", rebuilt(3, new ASN1::OctetString(shortIV, 8)),
         "EncryptedData::Decrypt() error in IV length for the algorithm"},
        {"empty ciphertext", rebuilt(5, new ASN1::OctetString()),
         "EncryptedData::Decrypt() error in decrypting content"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ErrorLog errors;
        NCAPICOM::EncryptedData reader(nullptr, nullptr);
        reader.SetSecret("pw");
        reader.SetContent("previous");
        EXPECT_FALSE(reader.Decrypt(c.der.data(), unsigned(c.der.size()), COFFER_BLOB_RAW));
        EXPECT_TRUE(errors.contains(c.reason));
        EXPECT_STREQ(reader.GetContentA(), "previous");
    }
}

TEST(Capicom, WrongPasswordAndArgumentErrors)
{
    NCAPICOM::EncryptedData good(nullptr, nullptr);
    good.SetSecret("right");
    good.SetContent("secret text");
    good.SetAlgorithm(COFFER_ALG_AES_256);
    BlobPtr sealed(good.Encrypt(COFFER_BLOB_BASE64, 0));
    ASSERT_TRUE(sealed);
    // The format has no check value: a wrong password shows only in the
    // padding, which random bytes pass about once in 256 tries. Over eight
    // seals (each with its own salt) it must nearly always be refused, and
    // never give the content back.
    int refused = 0;
    for (int i = 0; i < 8; ++i) {
        BlobPtr again(good.Encrypt(COFFER_BLOB_BASE64, 0));
        ASSERT_TRUE(again);
        ErrorLog errors;
        NCAPICOM::EncryptedData reader(nullptr, nullptr);
        reader.SetSecret("wrong");
        if (reader.Decrypt(again->data, again->size, COFFER_BLOB_BASE64)) {
            EXPECT_STRNE(reader.GetContentA(), "secret text");
            continue;
        }
        ++refused;
        EXPECT_TRUE(errors.contains("EncryptedData::Decrypt() error in decrypting content"));
    }
    EXPECT_GE(refused, 6);
    {
        ErrorLog errors;
        NCAPICOM::EncryptedData reader(nullptr, nullptr);
        EXPECT_FALSE(reader.Decrypt(reinterpret_cast<const char *>(sealed->data), COFFER_BLOB_RAW));
        EXPECT_TRUE(errors.contains("Unicode string's encoding type must be one of BASE16 or BASE64"));
        EXPECT_FALSE(reader.Decrypt(sealed->data, 0, COFFER_BLOB_RAW));
        EXPECT_TRUE(errors.contains("RAW Data size must be specified and greater than 0"));
        EXPECT_FALSE(reader.Decrypt(static_cast<const unsigned char *>(nullptr), 4, COFFER_BLOB_RAW));
        EXPECT_TRUE(errors.contains("Content is null"));
        EXPECT_FALSE(reader.Decrypt(sealed->data, sealed->size, 7));
        EXPECT_TRUE(errors.contains("Invalid blob type"));
    }
    {
        ErrorLog errors;
        NCAPICOM::EncryptedData empty(nullptr, nullptr);
        empty.SetAlgorithm(COFFER_ALG_AES_128);
        EXPECT_EQ(empty.Encrypt(COFFER_BLOB_RAW, 0), nullptr);
        EXPECT_TRUE(errors.contains("Content is null"));
        NCAPICOM::EncryptedData noAlgorithm(nullptr, nullptr);
        noAlgorithm.SetContent("x");
        EXPECT_EQ(noAlgorithm.Encrypt(COFFER_BLOB_RAW, 0), nullptr);
        noAlgorithm.SetAlgorithm(COFFER_ALG_AES_128);
        EXPECT_EQ(noAlgorithm.Encrypt(5, 0), nullptr);
    }
}

TEST(Capicom, GenerateHashPadsToEightyFiveBytes)
{
    TempDir folder;
    const struct {
        size_t length;
        bool ok;
    } cases[] = {{0, true}, {3, true}, {85, true}, {86, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.length);
        std::vector<uint8_t> data(c.length, 0xA1);
        ErrorLog errors;
        char *hash = NCAPICOM::EncryptedData::GenerateHash(data.data(), unsigned(data.size()));
        if (!c.ok) {
            EXPECT_EQ(hash, nullptr);
            EXPECT_TRUE(errors.contains("EncryptedData::GenerateHash() error in too big key"));
            continue;
        }
        ASSERT_NE(hash, nullptr);
        std::vector<uint8_t> padded(85, 0x36);
        std::copy(data.begin(), data.end(), padded.begin());
        writeFile(folder.file("pad"), padded);
        const auto digest = run(quote(opensslTool()) + " dgst -sha1 -r " + quote(folder.file("pad")));
        std::string expected = digest.output.substr(0, 40);
        for (char &ch : expected)
            ch = char(std::toupper(static_cast<unsigned char>(ch)));
        EXPECT_EQ(std::string(hash), expected);
        FreeBaseAlloced(hash);
    }
}

TEST(Capicom, KeyAndIVSizesByAlgorithm)
{
    const struct {
        ALG_ID alg;
        unsigned key, iv;
    } cases[] = {{0x6601, 8, 8},   {0x6602, 16, 8},  {0x6603, 24, 8},  {0x6609, 16, 8}, {0x660E, 16, 16},
                 {0x660F, 24, 16}, {0x6610, 32, 16}, {0x6801, 16, 0}, {0x6604, 0, 0},  {0x8004, 0, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.alg);
        EXPECT_EQ(NCAPICOM::GetCAPICOMKeySize(c.alg), c.key);
        EXPECT_EQ(NCAPICOM::GetIVSize(c.alg), c.iv);
    }
}
