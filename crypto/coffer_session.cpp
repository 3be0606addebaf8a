#include "coffer.h"

#include "coffer_cipher.h"
#include "coffer_private.h"
#include "coffer_session_util.h"
#include "crypt_util.h"
#include "md2.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <cstdlib>
#include <cstring>

using namespace coffer_detail;

namespace {

constexpr const char *kUnit = "coffer";
constexpr uint32_t kMsgInfoVersion = 3;
constexpr uint32_t kMsgPrefix = 8;
constexpr unsigned int kClientRandomLength = 16;

bool hasSessionKey(ALG_ID algId, const _NBLOB &key)
{
    if (algId == 0 || !key.data || key.size == 0) {
        COFFER_REPORT(kUnit, "Session key is not established.");
        return false;
    }
    return true;
}

// Encrypts into a new buffer that starts with prefix free bytes.
unsigned char *encryptWithPrefix(ALG_ID algId, const _NBLOB &key, const unsigned char *data, unsigned int length,
                                 uint32_t prefix, uint32_t *pTotal)
{
    if (!hasSessionKey(algId, key))
        return nullptr;
    const unsigned int capacity = coffer_cipher_capacity(algId, length);
    if (capacity == 0 || capacity > UINT32_MAX - prefix)
        return nullptr;
    auto *buffer = static_cast<unsigned char *>(std::malloc(size_t(prefix) + capacity));
    if (!buffer)
        return nullptr;
    unsigned int written = 0;
    if (!coffer_cipher_into(true, &key, nullptr, algId, data, length, buffer + prefix, &written)) {
        std::free(buffer);
        return nullptr;
    }
    *pTotal = prefix + written;
    return buffer;
}

// The Base64 form of the same record without a buffer for the record: the
// record is encrypted into the tail of the text's own buffer and encoded in
// place towards the front. The text takes 4 characters for each 3 bytes, so
// with the record placed last its writing never reaches a byte not yet read
// (the gap before the record is at least a third of the record). A message
// info header, when asked for, fills the prefix. One allocation per message,
// the one handed back: a second large buffer freed at once had the allocator
// give its pages back and fault them in again on the next message.
_NBLOB *encryptAsBase64(ALG_ID algId, const _NBLOB &key, const unsigned char *data, unsigned int length,
                        uint32_t prefix, bool messageInfo)
{
    if (!hasSessionKey(algId, key))
        return nullptr;
    const unsigned int capacity = coffer_cipher_capacity(algId, length);
    if (capacity == 0 || capacity > UINT32_MAX - prefix)
        return nullptr;
    const uint32_t recordCapacity = prefix + capacity;
    const unsigned int textCapacity = GetBase64EncodeSize(recordCapacity);
    if (textCapacity == 0)
        return nullptr;
    auto *blob = static_cast<_NBLOB *>(std::calloc(1, sizeof(_NBLOB)));
    auto *text = static_cast<unsigned char *>(std::malloc(size_t(textCapacity) + 1));
    if (!blob || !text) {
        std::free(blob);
        std::free(text);
        return nullptr;
    }
    unsigned char *record = text + (textCapacity - recordCapacity);
    unsigned int written = 0;
    if (!coffer_cipher_into(true, &key, nullptr, algId, data, length, record + prefix, &written)) {
        std::free(blob);
        std::free(text);
        return nullptr;
    }
    if (messageInfo) {
        // A message info of the current version with an empty header.
        writeBE32(record, kMsgInfoVersion);
        writeBE32(record + 4, 0);
    }
    const size_t textLength = base64EncodeInto(record, size_t(prefix) + written, false, reinterpret_cast<char *>(text));
    text[textLength] = '\0';
    blob->data = text;
    blob->size = uint32_t(textLength);
    return blob;
}

// Decrypts into a new blob of plain bytes.
_NBLOB *decryptToBlob(ALG_ID algId, const _NBLOB &key, const unsigned char *data, unsigned int length)
{
    if (!hasSessionKey(algId, key))
        return nullptr;
    const unsigned int capacity = coffer_cipher_capacity(algId, length);
    auto *plain = capacity ? static_cast<unsigned char *>(std::malloc(capacity)) : nullptr;
    auto *blob = static_cast<_NBLOB *>(std::calloc(1, sizeof(_NBLOB)));
    unsigned int written = 0;
    if (!plain || !blob || !coffer_cipher_into(false, &key, nullptr, algId, data, length, plain, &written)) {
        if (plain)
            OPENSSL_cleanse(plain, capacity);
        std::free(plain);
        std::free(blob);
        return nullptr;
    }
    blob->data = plain;
    blob->size = written;
    return blob;
}

} // namespace

CCofferSession::CCofferSession(CCofferContext *pContext)
    : m_pContext(pContext)
    , m_AlgID(0)
    , m_ServerRandom(COFFER_NULL_BLOB)
    , m_pPeerKeyInfo(nullptr)
    , m_SessionKey(COFFER_NULL_BLOB)
{
    COFFER_ASSERT(pContext != 0);
}

CCofferSession::~CCofferSession()
{
    FreeBlob(&m_ServerRandom);
    ClearPeerKeyInfo();
    coffer_wipe_blob(&m_SessionKey);
}

signed char CCofferSession::Init(const unsigned char *, unsigned int, unsigned int) { return true; }

CCofferContext *CCofferSession::GetContext() { return m_pContext; }

ALG_ID CCofferSession::GetAlgID() { return m_AlgID; }

unsigned int CCofferSession::GetPeerVersion() { return m_pPeerKeyInfo ? m_pPeerKeyInfo->version : 0; }

void CCofferSession::ClearPeerKeyInfo()
{
    if (!m_pPeerKeyInfo)
        return;
    FreeKeyInfo(m_pPeerKeyInfo);
    std::free(m_pPeerKeyInfo);
    m_pPeerKeyInfo = nullptr;
}

_NBLOB *CCofferSession::EncryptMessage(const unsigned char *pData, unsigned int length, unsigned int blobType)
{
    if (!coffer_is_blob_type(blobType)) {
        COFFER_REPORT(kUnit, "Invalid blob type");
        return nullptr;
    }
    if (blobType == COFFER_BLOB_BASE64) {
        _NBLOB *text = encryptAsBase64(m_AlgID, m_SessionKey, pData, length, kMsgPrefix, true);
        if (!text)
            COFFER_REPORT(kUnit, "Can't encrypt message");
        return text;
    }
    uint32_t total = 0;
    unsigned char *record = encryptWithPrefix(m_AlgID, m_SessionKey, pData, length, kMsgPrefix, &total);
    if (!record) {
        COFFER_REPORT(kUnit, "Can't encrypt message");
        return nullptr;
    }
    // A message info of the current version with an empty header.
    writeBE32(record, kMsgInfoVersion);
    writeBE32(record + 4, 0);
    return coffer_blob_in_type(record, total, blobType);
}

_NBLOB *CCofferSession::DecryptMessage(const unsigned char *pData, unsigned int length, unsigned int blobType)
{
    if (!pData) {
        COFFER_REPORT(kUnit, "Encrypted message is null");
        return nullptr;
    }
    CofferInput input;
    if (!input.decode(pData, length, blobType)) {
        COFFER_REPORT(kUnit, "Invalid blob type");
        return nullptr;
    }
    const unsigned char *cipherText = nullptr;
    unsigned int cipherLength = 0;
    if (!coffer_msg_info_cipher_text(input.data(), input.size(), &cipherText, &cipherLength)) {
        COFFER_REPORT(kUnit, "Can't decode encrypted message infomation.");
        return nullptr;
    }
    _NBLOB *plain = decryptToBlob(m_AlgID, m_SessionKey, cipherText, cipherLength);
    if (!plain)
        COFFER_REPORT(kUnit, "Can't decrypt message data.");
    return plain;
}

_NBLOB *CCofferSession::EncryptSimple(const unsigned char *pData, unsigned int length, unsigned int blobType)
{
    if (!coffer_is_blob_type(blobType)) {
        COFFER_REPORT(kUnit, "Invalid blob type");
        return nullptr;
    }
    if (blobType == COFFER_BLOB_BASE64) {
        _NBLOB *text = encryptAsBase64(m_AlgID, m_SessionKey, pData, length, 0, false);
        if (!text)
            COFFER_REPORT(kUnit, "Can't encrypt message");
        return text;
    }
    uint32_t total = 0;
    unsigned char *cipherText = encryptWithPrefix(m_AlgID, m_SessionKey, pData, length, 0, &total);
    if (!cipherText) {
        COFFER_REPORT(kUnit, "Can't encrypt message");
        return nullptr;
    }
    return coffer_blob_in_type(cipherText, total, blobType);
}

_NBLOB *CCofferSession::DecryptSimple(const unsigned char *pData, unsigned int length, unsigned int blobType)
{
    if (!pData) {
        COFFER_REPORT(kUnit, "Encrypted message is null");
        return nullptr;
    }
    CofferInput input;
    if (!input.decode(pData, length, blobType)) {
        COFFER_REPORT(kUnit, "Invalid blob type");
        return nullptr;
    }
    _NBLOB *plain = decryptToBlob(m_AlgID, m_SessionKey, input.data(), input.size());
    if (!plain)
        COFFER_REPORT(kUnit, "Can't decrypt message data.");
    return plain;
}

signed char CCofferSession::ImportPlainKey(ALG_ID algId, const unsigned char *pKey, unsigned int length,
                                           unsigned int blobType)
{
    CofferInput input;
    if (!input.decode(pKey, length, blobType)) {
        COFFER_REPORT(kUnit, "Unsupported blob type");
        return false;
    }
    _NBLOB key = COFFER_NULL_BLOB;
    if (input.size()) {
        AllocBlob(&key, input.size());
        if (!key.data)
            return false;
        std::memcpy(key.data, input.data(), input.size());
    }
    if (blobType != COFFER_BLOB_RAW)
        OPENSSL_cleanse(const_cast<unsigned char *>(input.data()), input.size());
    coffer_wipe_blob(&m_SessionKey);
    m_SessionKey = key;
    m_AlgID = algId;
    return true;
}

_NBLOB *CCofferSession::ExportPlainKey(unsigned int blobType)
{
    if (!coffer_is_blob_type(blobType))
        return nullptr;
    unsigned char *copy = nullptr;
    if (m_SessionKey.size) {
        copy = static_cast<unsigned char *>(std::malloc(m_SessionKey.size));
        if (!copy)
            return nullptr;
        std::memcpy(copy, m_SessionKey.data, m_SessionKey.size);
    }
    return coffer_blob_in_type(copy, m_SessionKey.size, blobType);
}

_NBLOB *CCofferSession::GetCertHash(const _NBLOB *pClientRandom, const char *text)
{
    if (!m_ServerRandom.data || m_ServerRandom.size == 0) {
        COFFER_REPORT(kUnit, "Server random is zero, maybe session wasn't initialized or opponent is lower version.");
        return nullptr;
    }
    if (!pClientRandom || !pClientRandom->data || pClientRandom->size == 0) {
        COFFER_REPORT(kUnit, "Client random is zero.");
        return nullptr;
    }
    const size_t textLength = text ? std::strlen(text) : 0;
    const uint64_t dataLength = uint64_t(pClientRandom->size) + m_ServerRandom.size + textLength;
    if (dataLength > UINT32_MAX) {
        COFFER_REPORT(kUnit, "Can't get cert hash");
        return nullptr;
    }
    auto *data = static_cast<unsigned char *>(std::malloc(size_t(dataLength)));
    _NBLOB *hash = static_cast<_NBLOB *>(std::calloc(1, sizeof(_NBLOB)));
    if (hash)
        AllocBlob(hash, kMd2DigestLength + 16 + 20);
    bool ok = data && hash && hash->data;
    if (ok) {
        unsigned char *p = data;
        std::memcpy(p, pClientRandom->data, pClientRandom->size);
        p += pClientRandom->size;
        std::memcpy(p, m_ServerRandom.data, m_ServerRandom.size);
        p += m_ServerRandom.size;
        if (textLength)
            std::memcpy(p, text, textLength);

        // MD2, MD5 and SHA-1 of the same data, joined in that order.
        unsigned char *out = hash->data;
        for (ALG_ID digest : {COFFER_ALG_MD2, COFFER_ALG_MD5, COFFER_ALG_SHA1}) {
            unsigned char *value = nullptr;
            unsigned int valueLength = 0;
            ok = ok && openssl_MyHash(digest, data, unsigned(dataLength), &value, &valueLength);
            if (value) {
                std::memcpy(out, value, valueLength);
                out += valueLength;
                std::free(value);
            }
        }
        ok = ok && out == hash->data + hash->size;
    }
    std::free(data);
    if (!ok) {
        COFFER_REPORT(kUnit, "Can't get cert hash");
        if (hash)
            DestroyBlob(hash);
        return nullptr;
    }
    return hash;
}

_NBLOB *CCofferSession::GenerateCertMessage(const char *text)
{
    unsigned char random[kClientRandomLength];
    if (RAND_bytes_ex(coffer_libctx(), random, sizeof random, 0) != 1) {
        COFFER_REPORT(kUnit, "Can't generate random bytes.");
        return nullptr;
    }
    _NBLOB clientRandom = {sizeof random, random};
    _NBLOB *hash = GetCertHash(&clientRandom, text);
    if (!hash) {
        COFFER_REPORT(kUnit, "Can not generate cert hash.");
        OPENSSL_cleanse(random, sizeof random);
        return nullptr;
    }
    _NBLOB *encrypted = EncryptMessage(random, sizeof random, COFFER_BLOB_RAW);
    OPENSSL_cleanse(random, sizeof random);
    if (!encrypted) {
        COFFER_REPORT(kUnit, "Can not encrypt client random.");
        DestroyBlob(hash);
        return nullptr;
    }
    _NBLOB *merged = MergeBlob(2, encrypted, hash);
    DestroyBlob(encrypted);
    DestroyBlob(hash);
    if (!merged)
        return nullptr;
    unsigned char *raw = merged->data;
    const uint32_t size = merged->size;
    std::free(merged);
    return coffer_blob_in_type(raw, size, COFFER_BLOB_BASE64);
}

signed char CCofferSession::VerifyCertMessage(const unsigned char *pData, unsigned int length, const char *text)
{
    if (!pData || length == 0) {
        COFFER_REPORT(kUnit, "Cert Message is zero.");
        return false;
    }
    _NBLOB decoded = COFFER_NULL_BLOB;
    decoded.data = DecodeBase64(reinterpret_cast<const char *>(pData), length, &decoded.size);
    unsigned int count = 0;
    _NBLOB *items = SplitBlob(&decoded, &count);
    bool ok = false;
    if (!items || count < 2) {
        COFFER_REPORT(kUnit, "Cert Message doesn't have 2 block");
    } else {
        _NBLOB *clientRandom = DecryptMessage(items[0].data, items[0].size, COFFER_BLOB_RAW);
        if (!clientRandom || clientRandom->size == 0) {
            COFFER_REPORT(kUnit, "Can't decrypt client random.");
        } else {
            _NBLOB *hash = GetCertHash(clientRandom, text);
            ok = hash && *hash == items[1];
            if (hash)
                DestroyBlob(hash);
        }
        if (clientRandom) {
            coffer_wipe_blob(clientRandom);
            std::free(clientRandom);
        }
    }
    std::free(items);
    FreeBlob(&decoded);
    return ok;
}
