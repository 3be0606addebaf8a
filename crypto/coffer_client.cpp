#include "coffer.h"

#include "coffer_private.h"
#include "coffer_session_util.h"
#include "crypt_util.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char *kUnit = "coffer";
constexpr uint32_t kExportVersion = 3;

// RSA PKCS#1 v1.5 encryption to the certificate's public key into *pOut.
bool encryptToCertificate(X509 *cert, const unsigned char *data, size_t length, _NBLOB *pOut)
{
    EVP_PKEY *key = cert ? X509_get0_pubkey(cert) : nullptr;
    if (!key) {
        COFFER_REPORT(kUnit, "Cannot get pulic key from certification.");
        return false;
    }
    if (EVP_PKEY_get_base_id(key) != EVP_PKEY_RSA) {
        COFFER_REPORT(kUnit, "Cannot get rsa param from public key.");
        return false;
    }
    bool ok = false;
    EVP_PKEY_CTX *ctx = EVP_PKEY_CTX_new_from_pkey(coffer_libctx(), key, nullptr);
    size_t outLength = 0;
    if (ctx && EVP_PKEY_encrypt_init(ctx) > 0 && EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) > 0
        && EVP_PKEY_encrypt(ctx, nullptr, &outLength, data, length) > 0 && outLength <= UINT32_MAX) {
        AllocBlob(pOut, unsigned(outLength));
        if (pOut->data && EVP_PKEY_encrypt(ctx, pOut->data, &outLength, data, length) > 0) {
            pOut->size = unsigned(outLength);
            ok = true;
        } else {
            FreeBlob(pOut);
        }
    }
    EVP_PKEY_CTX_free(ctx);
    if (!ok)
        COFFER_REPORT(kUnit, "Cannot encrypt session key with server public key.");
    return ok;
}

} // namespace

CNClientSession::CNClientSession(CCofferContext *pContext)
    : CCofferSession(pContext)
    , m_pServerCert(nullptr)
    , m_EncSessionKey(COFFER_NULL_BLOB)
    , m_ClientHash(COFFER_NULL_BLOB)
    , m_KeyInfoRaw(COFFER_NULL_BLOB)
    , m_KeyInfoBase64(COFFER_NULL_BLOB)
    , m_KeyInfoBase16(COFFER_NULL_BLOB)
    , m_pHostNameVerifier(nullptr)
    , m_pHostNameVerifierContext(nullptr)
    , m_bIgnoreNextSameCert(false)
    , m_nRememberedCerts(0)
{
    for (auto &slot : m_RememberedCerts)
        slot = COFFER_NULL_BLOB;
}

CNClientSession::~CNClientSession()
{
    X509_free(m_pServerCert);
    FreeBlob(&m_EncSessionKey);
    FreeBlob(&m_ClientHash);
    FreeBlob(&m_KeyInfoRaw);
    FreeBlob(&m_KeyInfoBase64);
    FreeBlob(&m_KeyInfoBase16);
    for (auto &slot : m_RememberedCerts)
        FreeBlob(&slot);
}

void CNClientSession::SetHostNameVerifier(CofferHostNameVerifier verifier, void *context)
{
    m_pHostNameVerifier = verifier;
    m_pHostNameVerifierContext = context;
}

signed char CNClientSession::Init(const unsigned char *pData, unsigned int length, unsigned int blobType, signed char)
{
    CofferInput input;
    if (!input.decode(pData, length, blobType)) {
        COFFER_REPORT(kUnit, "Invalid blob type");
        return false;
    }

    ClearPeerKeyInfo();
    m_pPeerKeyInfo = static_cast<_COFFER_KEYINFO *>(std::calloc(1, sizeof(_COFFER_KEYINFO)));
    if (!m_pPeerKeyInfo || !DecodeKeyInfo(m_pPeerKeyInfo, input.data(), input.size(), false)) {
        COFFER_REPORT(kUnit, "Can't decode server key infomain.");
        return false;
    }
    const _COFFER_KEYHEADER &header = m_pPeerKeyInfo->header;
    if (header.hash.size && CopyBlob(&m_ServerRandom, &header.hash) != header.hash.size)
        return false;

    // The server's order decides, not ours.
    ALG_ID chosen = 0;
    for (unsigned int i = 0; i < header.algorithms.count && !chosen; ++i)
        if (m_pContext->IsSupportedAlgorithm(header.algorithms.pAlgIDs[i]))
            chosen = header.algorithms.pAlgIDs[i];
    if (!chosen) {
        COFFER_REPORT(kUnit, "No ecnryption algorithm is supported.");
        return false;
    }

    X509_free(m_pServerCert);
    m_pServerCert = nullptr;
    if (!openssl_ReadCertFromMemory(m_pPeerKeyInfo->payload.data, m_pPeerKeyInfo->payload.size, &m_pServerCert)) {
        COFFER_REPORT(kUnit, "Cannot read cert from memory.");
        return false;
    }

    const EVP_CIPHER *cipher = coffer_cipher(chosen);
    if (!cipher) {
        COFFER_REPORT(kUnit, "Cannot get session key cipher algorithm.");
        return false;
    }
    _NBLOB key = COFFER_NULL_BLOB;
    AllocBlob(&key, unsigned(EVP_CIPHER_get_key_length(cipher)));
    if (!key.data || RAND_bytes_ex(coffer_libctx(), key.data, key.size, 0) != 1) {
        COFFER_REPORT(kUnit, "Cannot generate random session key.");
        coffer_wipe_blob(&key);
        return false;
    }

    _NBLOB encrypted = COFFER_NULL_BLOB;
    if (!encryptToCertificate(m_pServerCert, key.data, key.size, &encrypted)) {
        coffer_wipe_blob(&key);
        return false;
    }

    _NBLOB clientHash = COFFER_NULL_BLOB;
    if (m_pPeerKeyInfo->version > 1
        && !openssl_HashRandomAndSessionKey(header.hash.size, header.hash.data, key.size, key.data, &clientHash.size,
                                            &clientHash.data)) {
        COFFER_REPORT(kUnit, "Cannot create client hash.");
        coffer_wipe_blob(&key);
        FreeBlob(&encrypted);
        return false;
    }

    coffer_wipe_blob(&m_SessionKey);
    m_SessionKey = key;
    m_AlgID = chosen;
    FreeBlob(&m_EncSessionKey);
    m_EncSessionKey = encrypted;
    FreeBlob(&m_ClientHash);
    m_ClientHash = clientHash;
    return true;
}

_NBLOB *CNClientSession::EncryptUsingPublicKey(const _NBLOB *pBlob, unsigned int blobType)
{
    if (!pBlob)
        return nullptr;
    _NBLOB encrypted = COFFER_NULL_BLOB;
    if (!encryptToCertificate(m_pServerCert, pBlob->data, pBlob->data ? pBlob->size : 0, &encrypted))
        return nullptr;
    // Any type other than Base16 or Base64 gives the raw bytes.
    const unsigned int type = blobType == COFFER_BLOB_BASE16 || blobType == COFFER_BLOB_BASE64 ? blobType
                                                                                               : COFFER_BLOB_RAW;
    return coffer_blob_in_type(encrypted.data, encrypted.size, type);
}

_NBLOB *CNClientSession::ExportSessionKey(unsigned int blobType)
{
    if (!coffer_is_blob_type(blobType))
        return nullptr;
    if (!m_KeyInfoRaw.data) {
        if (m_AlgID == 0 || !m_EncSessionKey.data) {
            COFFER_REPORT(kUnit, "Session key is not established.");
            return nullptr;
        }
        ALG_ID algId = m_AlgID;
        _COFFER_KEYINFO info = {};
        info.version = kExportVersion;
        info.header.algorithms = {1, &algId};
        info.header.hash = m_ClientHash;
        info.payload = m_EncSessionKey;
        const unsigned int size = EncodeKeyInfo(&info, nullptr);
        if (size == 0)
            return nullptr;
        AllocBlob(&m_KeyInfoRaw, size);
        if (!m_KeyInfoRaw.data)
            return nullptr;
        EncodeKeyInfo(&info, m_KeyInfoRaw.data);
    }
    if (blobType == COFFER_BLOB_RAW)
        return &m_KeyInfoRaw;
    _NBLOB &cache = blobType == COFFER_BLOB_BASE16 ? m_KeyInfoBase16 : m_KeyInfoBase64;
    if (!cache.data) {
        char *text = blobType == COFFER_BLOB_BASE16 ? EncodeBase16(m_KeyInfoRaw.data, m_KeyInfoRaw.size)
                                                    : EncodeBase64(m_KeyInfoRaw.data, m_KeyInfoRaw.size, false);
        if (!text)
            return nullptr;
        cache.data = reinterpret_cast<unsigned char *>(text);
        cache.size = unsigned(std::strlen(text));
    }
    return &cache;
}
