#include "coffer_keyinfo_cache.h"
#include "coffer_server.h"
#include "coffer_session_util.h"
#include "crypt_util.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>

#include <cstdlib>
#include <memory>

namespace {

const char kUnit[] = "coffer";
constexpr unsigned int kServerRandomLength = 16;
constexpr unsigned int kCurrentVersion = 3;

struct PkeyCtxFree {
    void operator()(EVP_PKEY_CTX *ctx) const { EVP_PKEY_CTX_free(ctx); }
};

// RSA PKCS#1 v1.5 decryption into a new buffer of modulus size + 1 bytes.
bool rsaDecrypt(EVP_PKEY *key, const unsigned char *data, unsigned int length, unsigned char **ppOut,
                unsigned int *pOutLength)
{
    *ppOut = nullptr;
    *pOutLength = 0;
    if (!key || !data || length == 0)
        return false;
    std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree> ctx(EVP_PKEY_CTX_new_from_pkey(coffer_libctx(), key, nullptr));
    if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) <= 0
        || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) <= 0)
        return false;
    const int modulus = EVP_PKEY_get_size(key);
    if (modulus <= 0)
        return false;
    auto *out = static_cast<unsigned char *>(std::calloc(size_t(modulus) + 1, 1));
    size_t outLength = size_t(modulus);
    if (!out || EVP_PKEY_decrypt(ctx.get(), out, &outLength, data, length) <= 0) {
        if (out)
            OPENSSL_cleanse(out, size_t(modulus));
        std::free(out);
        return false;
    }
    out[outLength] = 0;
    *ppOut = out;
    *pOutLength = unsigned(outLength);
    return true;
}

} // namespace

CNServerSession::CNServerSession(CNServerContext *pContext)
    : CCofferSession(pContext), m_KeyInfoRaw(COFFER_NULL_BLOB), m_KeyInfoBase64(COFFER_NULL_BLOB),
      m_KeyInfoBase16(COFFER_NULL_BLOB)
{
    AllocBlob(&m_ServerRandom, kServerRandomLength);
    if (!m_ServerRandom.data || RAND_bytes_ex(coffer_libctx(), m_ServerRandom.data, kServerRandomLength, 0) != 1) {
        COFFER_REPORT(kUnit, "Cannot generate server random.");
        FreeBlob(&m_ServerRandom);
    }
}

CNServerSession::~CNServerSession()
{
    coffer_free_key_info_caches(m_KeyInfoRaw, m_KeyInfoBase16, m_KeyInfoBase64);
}

CNServerContext *CNServerSession::serverContext()
{
    return static_cast<CNServerContext *>(m_pContext);
}

_NBLOB *CNServerSession::GetServerKeyInfo(unsigned int blobType, unsigned int version)
{
    if (version < 1 || version > kCurrentVersion) {
        COFFER_REPORT(kUnit, "Invalid Coffer Version");
        return nullptr;
    }
    _COFFER_KEYINFO info = {};
    info.version = version;
    info.header.algorithms = *m_pContext->GetAlgorithms();
    info.header.hash = m_ServerRandom;
    const _COFFER_CERTIFICATES chain = serverContext()->GetServerChainCerts();
    info.header.certCount = chain.count;
    info.header.pCerts = chain.pCerts;
    info.payload = *serverContext()->GetServerCert();
    return coffer_cached_key_info(info, blobType, m_KeyInfoRaw, m_KeyInfoBase16, m_KeyInfoBase64);
}

signed char CNServerSession::Init(const unsigned char *pData, unsigned int length, unsigned int blobType,
                                  signed char lenient)
{
    CofferInput input;
    if (!input.decode(pData, length, blobType)) {
        COFFER_REPORT(kUnit, "Invalid blob type");
        return false;
    }
    ClearPeerKeyInfo();
    m_pPeerKeyInfo = static_cast<_COFFER_KEYINFO *>(std::calloc(1, sizeof(_COFFER_KEYINFO)));
    if (!m_pPeerKeyInfo || !DecodeKeyInfo(m_pPeerKeyInfo, input.data(), input.size(), lenient ? 1 : 0)) {
        COFFER_REPORT(kUnit, "Can't decode server key infomain.");
        return false;
    }
    const _COFFER_KEYINFO &client = *m_pPeerKeyInfo;
    if (!lenient && client.version < kCurrentVersion) {
        COFFER_REPORT(kUnit, "Client's version is lower than server.");
        return false;
    }
    const ALG_ID algId = client.header.algorithms.count > 0 ? client.header.algorithms.pAlgIDs[0] : 0;
    const EVP_CIPHER *cipher = algId ? coffer_cipher(algId) : nullptr;
    if (!algId || !m_pContext->IsSupportedAlgorithm(algId) || !cipher) {
        COFFER_REPORT(kUnit, "Can't determine client algorithm.");
        return false;
    }

    _NBLOB key = COFFER_NULL_BLOB;
    // The key must cover what the cipher reads; the two-key triple DES reads 16 bytes.
    const unsigned int needed =
        algId == COFFER_ALG_3DES_112 ? 16u : unsigned(EVP_CIPHER_get_key_length(cipher));
    if (!rsaDecrypt(serverContext()->GetRSAKey(), client.payload.data, client.payload.size, &key.data, &key.size)
        || key.size < needed) {
        coffer_wipe_blob(&key);
        COFFER_REPORT(kUnit, "Cannot decrypt session key with server private key.");
        return false;
    }

    if (!lenient && client.version >= 2) {
        unsigned char *hash = nullptr;
        unsigned int hashLength = 0;
        if (!openssl_HashRandomAndSessionKey(m_ServerRandom.size, m_ServerRandom.data, key.size, key.data,
                                             &hashLength, &hash)) {
            coffer_wipe_blob(&key);
            COFFER_REPORT(kUnit, "Cannot create client hash.");
            return false;
        }
        const bool match = hashLength == client.header.hash.size && client.header.hash.data
                           && CRYPTO_memcmp(hash, client.header.hash.data, hashLength) == 0;
        std::free(hash);
        if (!match) {
            coffer_wipe_blob(&key);
            COFFER_REPORT(kUnit, "Server Random and Client Hash do not match.");
            return false;
        }
    }
    coffer_wipe_blob(&m_SessionKey);
    m_SessionKey = key;
    m_AlgID = algId;
    return true;
}

signed char CNServerSession::ImportServerKeyInfo(const unsigned char *pData, unsigned int length,
                                                 unsigned int blobType)
{
    CofferInput input;
    if (blobType != COFFER_BLOB_BASE16 && blobType != COFFER_BLOB_BASE64)
        blobType = COFFER_BLOB_RAW;
    _COFFER_KEYINFO info = {};
    if (!input.decode(pData, length, blobType) || !DecodeKeyInfo(&info, input.data(), input.size(), true)) {
        FreeKeyInfo(&info);
        COFFER_REPORT(kUnit, "Can't decode server key info");
        return false;
    }
    FreeBlob(&m_ServerRandom);
    if (info.header.hash.size)
        CopyBlob(&m_ServerRandom, &info.header.hash);
    FreeKeyInfo(&info);
    return true;
}

_NBLOB *CNServerSession::DecryptUsingPrivateKey(const _NBLOB *pBlob, unsigned int blobType)
{
    if (!pBlob)
        return nullptr;
    CofferInput input;
    if (!input.decode(pBlob->data, pBlob->size, blobType)) {
        COFFER_REPORT(kUnit, "Invalid blob type");
        return nullptr;
    }
    auto *blob = static_cast<_NBLOB *>(std::calloc(1, sizeof(_NBLOB)));
    if (!blob)
        return nullptr;
    if (!rsaDecrypt(serverContext()->GetRSAKey(), input.data(), input.size(), &blob->data, &blob->size)) {
        std::free(blob);
        COFFER_REPORT(kUnit, "Cannot decrypt using private key.");
        return nullptr;
    }
    return blob;
}
