#include "capicom.h"

#include "CofferText.h"
#include "asn1.h"
#include "coffer.h"
#include "coffer_session_util.h"
#include "SaltedTripleDes.h"
#include "crypt_util.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace NCAPICOM {

namespace {

const char kUnit[] = "capicom";
#define REPORT(message) COFFER_REPORT(kUnit, message)

const char kOuterOID[] = "1.3.6.1.4.1.311.88.3";
const char kInnerOID[] = "1.3.6.1.4.1.311.88.3.1";
constexpr int32_t kVersion = 0x20000;
constexpr unsigned int kSaltLength = 16;
const char kBadFormat[] = "Invalid ASN.1 CAPICOM.EncryptedData format";

std::u16string fromShorts(const unsigned short *text)
{
    std::u16string out;
    for (; *text; ++text)
        out.push_back(char16_t(*text));
    return out;
}

void toShorts(const std::u16string &text, std::vector<unsigned short> &out)
{
    out.assign(text.begin(), text.end());
    out.push_back(0);
}

bool isAes(ALG_ID algId)
{
    return algId == COFFER_ALG_AES_128 || algId == COFFER_ALG_AES_192 || algId == COFFER_ALG_AES_256;
}

// The child of a constructed object, when it has the given type.
ASN1::Object *childOfType(ASN1::Object *parent, size_t index, uint8_t type)
{
    auto *constructed = dynamic_cast<ASN1::Constructed *>(parent);
    if (!constructed)
        return nullptr;
    ASN1::Object *child = constructed->GetObjectAt(index);
    return child && child->GetType() == type ? child : nullptr;
}

struct Wiped {
    std::vector<unsigned char> bytes;
    ~Wiped() { OPENSSL_cleanse(bytes.data(), bytes.size()); }
};

// Key of keyLength bytes from the password and salt; false after a report.
bool deriveKey(ALG_ID algId, const unsigned char *salt, unsigned int saltLength, const std::string &password,
               unsigned int keyLength, Wiped &key)
{
    unsigned char *material = nullptr;
    if (!openssl_MyDeriveKey(algId, salt, saltLength, password.c_str(), keyLength, &material) || !material)
        return false;
    key.bytes.assign(material, material + keyLength);
    // The material is 20 bytes, or 40 for long keys and AES.
    OPENSSL_cleanse(material, keyLength > 20 || isAes(algId) || algId == COFFER_ALG_3DES ? 40 : 20);
    std::free(material);
    return true;
}

// The whole text of a blob in the given type, or nothing after a report.
bool textResult(const std::vector<uint8_t> &der, unsigned int blobType, bool urlSafe, _NBLOB *blob)
{
    char *text = nullptr;
    if (blobType == COFFER_BLOB_BASE16)
        text = EncodeBase16(der.data(), unsigned(der.size()));
    else
        text = EncodeBase64(der.data(), unsigned(der.size()), urlSafe ? 1 : 0);
    if (!text)
        return false;
    blob->size = uint32_t(std::strlen(text));
    blob->data = reinterpret_cast<unsigned char *>(text);
    return true;
}

} // namespace

unsigned int GetCAPICOMKeySize(ALG_ID algId)
{
    switch (algId) {
    case COFFER_ALG_DES: return 8;
    case COFFER_ALG_RC2: return 16;
    case COFFER_ALG_3DES: return 24;
    case COFFER_ALG_3DES_112: return 16;
    case COFFER_ALG_AES_128: return 16;
    case COFFER_ALG_AES_192: return 24;
    case COFFER_ALG_AES_256: return 32;
    case COFFER_ALG_RC4: return 16;
    default: return 0;
    }
}

unsigned int GetIVSize(ALG_ID algId)
{
    switch (algId) {
    case COFFER_ALG_DES:
    case COFFER_ALG_RC2:
    case COFFER_ALG_3DES:
    case COFFER_ALG_3DES_112: return 8;
    case COFFER_ALG_AES_128:
    case COFFER_ALG_AES_192:
    case COFFER_ALG_AES_256: return 16;
    default: return 0;
    }
}

EncryptedData::EncryptedData(CCofferContext *pContext, const char *charset) : m_pContext(pContext)
{
    if (charset)
        m_Charset = charset;
}

EncryptedData::~EncryptedData()
{
    ClearSecret();
    ClearContent();
}

void EncryptedData::SetSecret(const char *secret)
{
    ClearSecret();
    if (!secret)
        return;
    m_SecretA = secret;
    m_SecretW = coffer::charsetToUtf16(secret, m_Charset ? m_Charset->c_str() : nullptr);
}

void EncryptedData::SetSecret(const unsigned short *secret)
{
    ClearSecret();
    if (secret)
        m_SecretW = fromShorts(secret);
}

void EncryptedData::SetContent(const char *content)
{
    ClearContent();
    if (content)
        m_ContentA = content;
}

void EncryptedData::SetContent(const unsigned short *content)
{
    ClearContent();
    if (content)
        m_ContentW = fromShorts(content);
}

const char *EncryptedData::GetSecretA()
{
    if (!m_SecretA && m_SecretW)
        m_SecretA = coffer::utf16ToCharset(*m_SecretW, m_Charset ? m_Charset->c_str() : nullptr);
    return m_SecretA ? m_SecretA->c_str() : nullptr;
}

const unsigned short *EncryptedData::GetSecretW()
{
    const auto text = secretUnicode();
    if (!text)
        return nullptr;
    toShorts(*text, m_SecretWOut);
    return m_SecretWOut.data();
}

const char *EncryptedData::GetContentA()
{
    if (!m_ContentA && m_ContentW)
        m_ContentA = coffer::utf16ToCharset(*m_ContentW, m_Charset ? m_Charset->c_str() : nullptr);
    return m_ContentA ? m_ContentA->c_str() : nullptr;
}

const unsigned short *EncryptedData::GetContentW()
{
    const auto text = contentUnicode();
    if (!text)
        return nullptr;
    toShorts(*text, m_ContentWOut);
    return m_ContentWOut.data();
}

void EncryptedData::ClearSecret()
{
    if (m_SecretA)
        OPENSSL_cleanse(m_SecretA->data(), m_SecretA->size());
    if (m_SecretW)
        OPENSSL_cleanse(m_SecretW->data(), m_SecretW->size() * sizeof(char16_t));
    if (!m_SecretWOut.empty())
        OPENSSL_cleanse(m_SecretWOut.data(), m_SecretWOut.size() * sizeof(unsigned short));
    m_SecretA.reset();
    m_SecretW.reset();
    m_SecretWOut.clear();
}

void EncryptedData::ClearContent()
{
    m_ContentA.reset();
    m_ContentW.reset();
    m_ContentWOut.clear();
}

std::optional<std::u16string> EncryptedData::contentUnicode() const
{
    if (m_ContentW)
        return m_ContentW;
    if (m_ContentA)
        return coffer::charsetToUtf16(*m_ContentA, m_Charset ? m_Charset->c_str() : nullptr);
    return std::nullopt;
}

std::optional<std::u16string> EncryptedData::secretUnicode() const
{
    if (m_SecretW)
        return m_SecretW;
    if (m_SecretA)
        return coffer::charsetToUtf16(*m_SecretA, m_Charset ? m_Charset->c_str() : nullptr);
    return std::nullopt;
}

_NBLOB *EncryptedData::Encrypt(unsigned int blobType, signed char urlSafe)
{
    const auto content = contentUnicode();
    if (!content) {
        REPORT("Content is null");
        return nullptr;
    }
    if (!coffer_is_blob_type(blobType)) {
        REPORT("Invalid blob type");
        return nullptr;
    }
    ALG_ID algId = m_AlgID;
    if (algId == 0 && m_pContext) {
        const _COFFER_ALGORITHMS *algs = m_pContext->GetAlgorithms();
        if (algs && algs->count > 0 && algs->pAlgIDs)
            algId = algs->pAlgIDs[0];
    }
    const unsigned int keyLength = GetCAPICOMKeySize(algId);
    if (keyLength == 0) {
        REPORT("EncryptedData::Encrypt() error in unsupported algorithm");
        return nullptr;
    }
    unsigned char salt[kSaltLength];
    std::vector<unsigned char> iv(GetIVSize(algId), 0);
    if (!coffer::randomBytes(salt, sizeof salt) || (!isAes(algId) && !coffer::randomBytes(iv.data(), iv.size()))) {
        REPORT("EncryptedData::Encrypt() error in deriving key");
        return nullptr;
    }
    // The password is hashed as UTF-16LE; its UTF-8 form carries exactly that text.
    const std::string password = coffer::utf16ToUtf8(secretUnicode().value_or(std::u16string()));
    Wiped key;
    if (!deriveKey(algId, salt, sizeof salt, password, keyLength, key)) {
        REPORT("EncryptedData::Encrypt() error in deriving key");
        return nullptr;
    }
    const std::string plain = coffer::utf16LEBytes(*content);
    _NBLOB keyBlob = {uint32_t(key.bytes.size()), key.bytes.data()};
    _NBLOB ivBlob = {uint32_t(iv.size()), iv.data()};
    unsigned char *cipherText = nullptr;
    unsigned int cipherLength = 0;
    if (!openssl_MyEncrypt(&keyBlob, iv.empty() ? nullptr : &ivBlob, algId,
                           reinterpret_cast<const unsigned char *>(plain.data()), unsigned(plain.size()),
                           &cipherText, &cipherLength)) {
        REPORT("EncryptedData::Encrypt() error in encrypting content");
        return nullptr;
    }

    auto *fields = new ASN1::Sequence;
    fields->AddObject(new ASN1::Integer(kVersion));
    fields->AddObject(new ASN1::Integer(int32_t(algId)));
    fields->AddObject(new ASN1::Integer(int32_t(keyLength * 8)));
    fields->AddObject(new ASN1::OctetString(iv.data(), uint32_t(iv.size())));
    fields->AddObject(new ASN1::OctetString(salt, sizeof salt));
    fields->AddObject(new ASN1::OctetString(cipherText, cipherLength));
    std::free(cipherText);
    auto *inner = new ASN1::Sequence;
    inner->AddObject(new ASN1::ObjectID(kInnerOID));
    inner->AddObject(new ASN1::ContextDefinedObject(fields, true));
    ASN1::Sequence root;
    root.AddObject(new ASN1::ObjectID(kOuterOID));
    root.AddObject(new ASN1::ContextDefinedObject(inner, true));
    const std::vector<uint8_t> der = root.Encode();

    auto *blob = static_cast<_NBLOB *>(std::calloc(1, sizeof(_NBLOB)));
    if (!blob)
        return nullptr;
    if (blobType == COFFER_BLOB_RAW) {
        blob->data = static_cast<unsigned char *>(std::malloc(der.size()));
        if (!blob->data) {
            std::free(blob);
            return nullptr;
        }
        std::memcpy(blob->data, der.data(), der.size());
        blob->size = uint32_t(der.size());
    } else if (!textResult(der, blobType, urlSafe != 0, blob)) {
        std::free(blob);
        return nullptr;
    }
    return blob;
}

signed char EncryptedData::Decrypt(const unsigned char *pData, unsigned int length, unsigned int blobType)
{
    if (!pData) {
        REPORT("Content is null");
        return false;
    }
    std::vector<uint8_t> der;
    if (blobType == COFFER_BLOB_BASE16 || blobType == COFFER_BLOB_BASE64) {
        const char *text = reinterpret_cast<const char *>(pData);
        const size_t textLength = length == 0xFFFFFFFFu ? std::strlen(text) : length;
        if (textLength == 0 || textLength >= 0xFFFFFFFFu) {
            REPORT(kBadFormat);
            return false;
        }
        unsigned int decodedLength = 0;
        unsigned char *decoded = blobType == COFFER_BLOB_BASE16
                                     ? DecodeBase16(text, unsigned(textLength), &decodedLength)
                                     : DecodeBase64(text, unsigned(textLength), &decodedLength);
        if (!decoded) {
            REPORT(kBadFormat);
            return false;
        }
        der.assign(decoded, decoded + decodedLength);
        FreeBaseAlloced(decoded);
    } else if (blobType == COFFER_BLOB_RAW) {
        if (length == 0 || length == 0xFFFFFFFFu) {
            REPORT("RAW Data size must be specified and greater than 0");
            return false;
        }
        der.assign(pData, pData + length);
    } else {
        REPORT("Invalid blob type");
        return false;
    }

    ASN1::ErrorList errors;
    uint32_t size = uint32_t(der.size());
    std::unique_ptr<ASN1::Object> root(der.empty() ? nullptr : ASN1::Object::Decode(der.data(), &size, &errors));
    if (!root) {
        if (!errors.empty())
            REPORT(errors.front().c_str());
        REPORT(kBadFormat);
        return false;
    }
    // SEQUENCE { OID, [0] SEQUENCE { OID, [0] SEQUENCE { INTEGER x3, OCTET STRING x3 } } }
    ASN1::Object *outer = root->GetType() == 0x30 ? childOfType(root.get(), 1, 0xA0) : nullptr;
    ASN1::Object *inner = outer ? childOfType(outer, 0, 0x30) : nullptr;
    ASN1::Object *innerCont = inner ? childOfType(inner, 1, 0xA0) : nullptr;
    auto *fields = innerCont ? dynamic_cast<ASN1::Constructed *>(childOfType(innerCont, 0, 0x30)) : nullptr;
    if (!fields || fields->GetSize() < 6) {
        REPORT(kBadFormat);
        return false;
    }
    auto *algField = dynamic_cast<ASN1::Integer *>(childOfType(fields, 1, 0x02));
    auto *bitsField = dynamic_cast<ASN1::Integer *>(childOfType(fields, 2, 0x02));
    auto *ivField = dynamic_cast<ASN1::OctetString *>(childOfType(fields, 3, 0x04));
    auto *saltField = dynamic_cast<ASN1::OctetString *>(childOfType(fields, 4, 0x04));
    auto *cipherField = dynamic_cast<ASN1::OctetString *>(childOfType(fields, 5, 0x04));
    if (!childOfType(fields, 0, 0x02) || !algField || !bitsField || !ivField || !saltField || !cipherField) {
        REPORT(kBadFormat);
        return false;
    }
    const auto algId = ALG_ID(uint32_t(algField->GetValue()));
    const unsigned int keyLength = GetCAPICOMKeySize(algId);
    // Sizes come from the input: they must be the algorithm's own before use.
    if (keyLength == 0 || bitsField->GetValue() != int32_t(keyLength * 8)) {
        REPORT("EncryptedData::Decrypt() error in key length for the algorithm");
        return false;
    }
    if (ivField->GetSize() != GetIVSize(algId)) {
        REPORT("EncryptedData::Decrypt() error in IV length for the algorithm");
        return false;
    }
    m_AlgID = algId;
    const std::string password = coffer::utf16ToUtf8(secretUnicode().value_or(std::u16string()));
    Wiped key;
    if (!deriveKey(algId, saltField->GetData(), saltField->GetSize(), password, keyLength, key)) {
        REPORT("EncryptedData::Decrypt() error in deriving key");
        return false;
    }
    _NBLOB keyBlob = {uint32_t(key.bytes.size()), key.bytes.data()};
    _NBLOB ivBlob = {ivField->GetSize(), const_cast<unsigned char *>(ivField->GetData())};
    unsigned char *plain = nullptr;
    unsigned int plainLength = 0;
    if (!openssl_MyDecrypt(&keyBlob, ivBlob.size ? &ivBlob : nullptr, algId, cipherField->GetData(),
                           cipherField->GetSize(), &plain, &plainLength)) {
        REPORT("EncryptedData::Decrypt() error in decrypting content");
        return false;
    }
    std::u16string content((plainLength + 1) / 2, u'\0');
    for (unsigned int i = 0; i < plainLength; ++i)
        content[i / 2] = char16_t(content[i / 2] | (plain[i] << (8 * (i % 2))));
    OPENSSL_cleanse(plain, plainLength);
    std::free(plain);
    // Like a C string, the text ends at its first zero unit.
    const size_t end = content.find(u'\0');
    if (end != std::u16string::npos)
        content.resize(end);
    ClearContent();
    m_ContentW = std::move(content);
    return true;
}

signed char EncryptedData::Decrypt(const char *text, unsigned int blobType)
{
    if (blobType != COFFER_BLOB_BASE16 && blobType != COFFER_BLOB_BASE64) {
        REPORT("Unicode string's encoding type must be one of BASE16 or BASE64");
        return false;
    }
    return Decrypt(reinterpret_cast<const unsigned char *>(text), 0xFFFFFFFFu, blobType);
}

signed char EncryptedData::Decrypt(const unsigned short *text, unsigned int blobType)
{
    if (blobType != COFFER_BLOB_BASE16 && blobType != COFFER_BLOB_BASE64) {
        REPORT("Unicode string's encoding type must be one of BASE16 or BASE64");
        return false;
    }
    if (!text) {
        REPORT("Content is null");
        return false;
    }
    const auto narrow = coffer::utf16ToCharset(fromShorts(text), m_Charset ? m_Charset->c_str() : nullptr);
    if (!narrow) {
        REPORT(kBadFormat);
        return false;
    }
    return Decrypt(narrow->c_str(), blobType);
}

char *EncryptedData::GenerateHash(const unsigned char *pData, unsigned int length)
{
    constexpr unsigned int kPadLength = 85;
    if (length > kPadLength) {
        REPORT("EncryptedData::GenerateHash() error in too big key");
        return nullptr;
    }
    unsigned char pad[kPadLength];
    std::memset(pad, 0x36, sizeof pad);
    if (length > 0 && pData)
        std::memcpy(pad, pData, length);
    unsigned char digest[20];
    size_t digestLength = 0;
    const bool ok = EVP_Q_digest(coffer_libctx(), "SHA1", nullptr, pad, sizeof pad, digest, &digestLength) == 1;
    OPENSSL_cleanse(pad, sizeof pad);
    if (!ok) {
        REPORT("EncryptedData::GenerateHash() error in generate key");
        return nullptr;
    }
    return EncodeBase16(digest, sizeof digest);
}

} // namespace NCAPICOM
