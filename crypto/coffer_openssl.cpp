#include "coffer_openssl.h"

#include "coffer_cipher.h"
#include "coffer_private.h"
#include "crypt_util.h"
#include "md2.h"

#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/provider.h>
#include <openssl/x509.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

constexpr const char *kUnit = "coffer_openssl";

struct AlgRow {
    ALG_ID id;
    const char *name;
    int nid;
};

// Ciphers in the library's table order; the names are what the records and
// users call them.
constexpr AlgRow arrAlgs[] = {
    {COFFER_ALG_DES, "DES", NID_des_cbc},
    {COFFER_ALG_3DES_112, "3DES_112", NID_des_ede3_cbc},
    {COFFER_ALG_3DES, "3DES", NID_des_ede3_cbc},
    {COFFER_ALG_DESX, "DESX", NID_desx_cbc},
    {COFFER_ALG_RC2, "RC2", NID_rc2_cbc},
    {COFFER_ALG_RC4, "RC4", NID_rc4_40},
    {COFFER_ALG_RC5, "RC5", NID_rc5_cbc},
    {COFFER_ALG_AES_128, "AES_128", NID_aes_128_cbc},
    {COFFER_ALG_AES_192, "AES_192", NID_aes_192_cbc},
    {COFFER_ALG_AES_256, "AES_256", NID_aes_256_cbc},
    {COFFER_ALG_AES, "AES", NID_aes_128_cbc},
};
constexpr size_t kAlgCount = sizeof arrAlgs / sizeof arrAlgs[0];

struct DigestRow {
    ALG_ID id;
    int nid;
};
constexpr DigestRow arrDigests[] = {
    {COFFER_ALG_MD2, NID_md2},
    {COFFER_ALG_MD5, NID_md5},
    {COFFER_ALG_SHA1, NID_sha1},
};

// NID back to ALG_ID: where several ALG_IDs share a cipher, the plain one wins.
constexpr struct {
    int nid;
    ALG_ID id;
} arrNidToAlg[] = {
    {NID_des_cbc, COFFER_ALG_DES},         {NID_des_ede3_cbc, COFFER_ALG_3DES},  {NID_desx_cbc, COFFER_ALG_DESX},
    {NID_rc2_cbc, COFFER_ALG_RC2},         {NID_rc4_40, COFFER_ALG_RC4},         {NID_rc5_cbc, COFFER_ALG_RC5},
    {NID_aes_128_cbc, COFFER_ALG_AES_128}, {NID_aes_192_cbc, COFFER_ALG_AES_192}, {NID_aes_256_cbc, COFFER_ALG_AES_256},
    {NID_md2, COFFER_ALG_MD2},             {NID_md5, COFFER_ALG_MD5},            {NID_sha1, COFFER_ALG_SHA1},
    {NID_sha, COFFER_ALG_SHA1},
};

const AlgRow *findAlg(ALG_ID id)
{
    for (const auto &row : arrAlgs)
        if (row.id == id)
            return &row;
    return nullptr;
}

// Everything fetched once from the private context and kept for the process's
// life: a lookup per message would cost more than encrypting a short one.
struct Backend {
    OSSL_LIB_CTX *ctx = nullptr;
    EVP_CIPHER *ciphers[kAlgCount] = {};
    EVP_MD *md5 = nullptr;
    EVP_MD *sha1 = nullptr;

    Backend()
    {
        ctx = OSSL_LIB_CTX_new();
        if (!ctx)
            return;
        // Single DES, DESX, RC2 and RC4 live in the legacy provider; loading a
        // provider explicitly turns the implicit default off, so load both.
        ERR_set_mark();
        OSSL_PROVIDER_load(ctx, "legacy");
        OSSL_PROVIDER_load(ctx, "default");
        for (size_t i = 0; i < kAlgCount; ++i)
            ciphers[i] = EVP_CIPHER_fetch(ctx, OBJ_nid2sn(arrAlgs[i].nid), nullptr);
        md5 = EVP_MD_fetch(ctx, "MD5", nullptr);
        sha1 = EVP_MD_fetch(ctx, "SHA1", nullptr);
        // Missing algorithms are a fact of this build, not an error to pass on.
        ERR_pop_to_mark();
    }
};

Backend &backend()
{
    static Backend instance;
    return instance;
}

const EVP_MD *digestFor(ALG_ID id)
{
    switch (id) {
    case COFFER_ALG_MD5:
        return backend().md5;
    case COFFER_ALG_SHA1:
        return backend().sha1;
    default:
        return nullptr;
    }
}

// One-shot digest of up to two pieces into out (EVP_MAX_MD_SIZE bytes).
bool digestPieces(const EVP_MD *md, const unsigned char *a, size_t aLength, const unsigned char *b, size_t bLength,
                  unsigned char *out, unsigned int *outLength, const char *updateMessage)
{
    EVP_MD_CTX *ctx = EVP_MD_CTX_new();
    if (!ctx || !EVP_DigestInit_ex2(ctx, md, nullptr)) {
        COFFER_REPORT(kUnit, "Can not create hash.");
        EVP_MD_CTX_free(ctx);
        return false;
    }
    bool ok = (aLength == 0 || EVP_DigestUpdate(ctx, a, aLength)) && (bLength == 0 || EVP_DigestUpdate(ctx, b, bLength));
    if (!ok)
        COFFER_REPORT(kUnit, updateMessage);
    if (ok && !EVP_DigestFinal_ex(ctx, out, outLength)) {
        COFFER_REPORT(kUnit, "Can not get hash value.");
        ok = false;
    }
    EVP_MD_CTX_free(ctx);
    return ok;
}

unsigned char *copyOut(const unsigned char *bytes, size_t length)
{
    auto *out = static_cast<unsigned char *>(std::malloc(length ? length : 1));
    if (out && length)
        std::memcpy(out, bytes, length);
    return out;
}

} // namespace

const ALG_ID gPreferAlgOrder[7] = {COFFER_ALG_AES_256, COFFER_ALG_AES_192, COFFER_ALG_AES_128, COFFER_ALG_3DES,
                                   COFFER_ALG_3DES_112, COFFER_ALG_DES, COFFER_ALG_RC4};

ossl_lib_ctx_st *coffer_libctx() { return backend().ctx; }

const evp_cipher_st *coffer_cipher(ALG_ID algId)
{
    for (size_t i = 0; i < kAlgCount; ++i)
        if (arrAlgs[i].id == algId)
            return backend().ciphers[i];
    return nullptr;
}

const char *GetAlgNameFromID(ALG_ID algId)
{
    const AlgRow *row = findAlg(algId);
    return row ? row->name : nullptr;
}

ALG_ID GetAlgIDFromName(const char *name)
{
    if (!name)
        return 0;
    for (const auto &row : arrAlgs)
        if (strcasecmp(row.name, name) == 0)
            return row.id;
    return 0;
}

int ALG_MS_2_OPENSSL(ALG_ID algId)
{
    if (const AlgRow *row = findAlg(algId))
        return row->nid;
    for (const auto &row : arrDigests)
        if (row.id == algId)
            return row.nid;
    return 0;
}

ALG_ID ALG_OPENSSL_2_MS(int nid)
{
    for (const auto &row : arrNidToAlg)
        if (row.nid == nid)
            return row.id;
    return 0;
}

signed char openssl_GetSupportedAlgs(const ALG_ID *pAlgs, unsigned int count, ALG_ID **ppOut, unsigned int *pOutCount)
{
    if (!ppOut || !pOutCount || (!pAlgs && count))
        return false;
    auto *out = static_cast<ALG_ID *>(std::malloc(sizeof(ALG_ID) * (count ? count : 1)));
    if (!out)
        return false;
    unsigned int n = 0;
    for (unsigned int i = 0; i < count; ++i)
        if (coffer_cipher(pAlgs[i]))
            out[n++] = pAlgs[i];
    *ppOut = out;
    *pOutCount = n;
    return true;
}

bool coffer_cipher_into(bool encrypt, const _NBLOB *pKey, const _NBLOB *pIV, ALG_ID algId, const unsigned char *data,
                        unsigned int length, unsigned char *out, unsigned int *pOutLength)
{
    const EVP_CIPHER *cipher = coffer_cipher(algId);
    if (!cipher) {
        COFFER_REPORT(kUnit, findAlg(algId) ? "Cipher algorithm is not supported by this OpenSSL."
                                            : "Unknown cipher algorithm.");
        return false;
    }
    if (length == 0 || !data) {
        COFFER_REPORT(kUnit, encrypt ? "The size of data to be encryptd is zero" : "The size of data to be decryptd is zero");
        return false;
    }
    const int keyLength = EVP_CIPHER_get_key_length(cipher);
    const int ivLength = EVP_CIPHER_get_iv_length(cipher);
    // The two-key triple DES takes K1 K2 and repeats K1 as the third key.
    const bool twoKey = algId == COFFER_ALG_3DES_112;
    const uint32_t needed = twoKey ? 16 : uint32_t(keyLength);
    if (!pKey || !pKey->data || pKey->size < needed || keyLength > EVP_MAX_KEY_LENGTH) {
        COFFER_REPORT(kUnit, "Key is shorter than the cipher's key length.");
        return false;
    }
    if (pIV && pIV->data && pIV->size < uint32_t(ivLength)) {
        COFFER_REPORT(kUnit, "IV is shorter than the cipher's block length.");
        return false;
    }
    if (length > uint32_t(INT_MAX - 2 * EVP_MAX_BLOCK_LENGTH)) {
        COFFER_REPORT(kUnit, encrypt ? "Cannot update encryption." : "Cannot update decryption.");
        return false;
    }

    unsigned char key[EVP_MAX_KEY_LENGTH];
    if (twoKey) {
        std::memcpy(key, pKey->data, 16);
        std::memcpy(key + 16, pKey->data, 8);
    } else {
        std::memcpy(key, pKey->data, size_t(keyLength));
    }
    unsigned char zeroIV[EVP_MAX_IV_LENGTH] = {};
    const unsigned char *iv = ivLength == 0 ? nullptr : (pIV && pIV->data ? pIV->data : zeroIV);

    bool ok = false;
    int n = 0, final = 0;
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    if (!ctx || !EVP_CipherInit_ex2(ctx, cipher, key, iv, encrypt ? 1 : 0, nullptr))
        COFFER_REPORT(kUnit, encrypt ? "Cannot initialize encryption." : "Cannot initialize decryption.");
    else if (!EVP_CipherUpdate(ctx, out, &n, data, int(length)))
        COFFER_REPORT(kUnit, encrypt ? "Cannot update encryption." : "Cannot update decryption.");
    else if (!EVP_CipherFinal_ex(ctx, out + n, &final))
        COFFER_REPORT(kUnit, encrypt ? "Cannot finalize encryption." : "Cannot finalize decryption.");
    else
        ok = true;
    EVP_CIPHER_CTX_free(ctx);
    OPENSSL_cleanse(key, sizeof key);
    if (ok)
        *pOutLength = unsigned(n + final);
    return ok;
}

unsigned int coffer_cipher_capacity(ALG_ID algId, unsigned int length)
{
    const EVP_CIPHER *cipher = coffer_cipher(algId);
    const unsigned int block = cipher ? unsigned(EVP_CIPHER_get_block_size(cipher)) : EVP_MAX_BLOCK_LENGTH;
    return length > UINT_MAX - block ? 0 : length + block;
}

namespace {

signed char cipherToNewBuffer(bool encrypt, const _NBLOB *pKey, const _NBLOB *pIV, ALG_ID algId,
                              const unsigned char *data, unsigned int length, unsigned char **ppOut,
                              unsigned int *pOutLength)
{
    if (!ppOut || !pOutLength)
        return false;
    const unsigned int capacity = coffer_cipher_capacity(algId, length);
    auto *out = capacity ? static_cast<unsigned char *>(std::malloc(capacity)) : nullptr;
    if (!out) {
        COFFER_REPORT(kUnit, encrypt ? "Cannot initialize encryption." : "Cannot initialize decryption.");
        return false;
    }
    unsigned int written = 0;
    if (!coffer_cipher_into(encrypt, pKey, pIV, algId, data, length, out, &written)) {
        OPENSSL_cleanse(out, capacity);
        std::free(out);
        return false;
    }
    *ppOut = out;
    *pOutLength = written;
    return true;
}

} // namespace

signed char openssl_MyEncrypt(const _NBLOB *pKey, const _NBLOB *pIV, ALG_ID algId, const unsigned char *data,
                              unsigned int length, unsigned char **ppOut, unsigned int *pOutLength)
{
    return cipherToNewBuffer(true, pKey, pIV, algId, data, length, ppOut, pOutLength);
}

signed char openssl_MyEncrypt(const _NBLOB *pKey, ALG_ID algId, const unsigned char *data, unsigned int length,
                              unsigned char **ppOut, unsigned int *pOutLength)
{
    return cipherToNewBuffer(true, pKey, nullptr, algId, data, length, ppOut, pOutLength);
}

signed char openssl_MyDecrypt(const _NBLOB *pKey, const _NBLOB *pIV, ALG_ID algId, const unsigned char *data,
                              unsigned int length, unsigned char **ppOut, unsigned int *pOutLength)
{
    return cipherToNewBuffer(false, pKey, pIV, algId, data, length, ppOut, pOutLength);
}

signed char openssl_MyDecrypt(const _NBLOB *pKey, ALG_ID algId, const unsigned char *data, unsigned int length,
                              unsigned char **ppOut, unsigned int *pOutLength)
{
    return cipherToNewBuffer(false, pKey, nullptr, algId, data, length, ppOut, pOutLength);
}

signed char openssl_MyHash(ALG_ID algId, const unsigned char *data, unsigned int length, unsigned char **ppOut,
                           unsigned int *pOutLength)
{
    if (!ppOut || !pOutLength || (!data && length))
        return false;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (algId == COFFER_ALG_MD2) {
        coffer_md2(data, length, digest);
        digestLength = kMd2DigestLength;
    } else {
        const EVP_MD *md = digestFor(algId);
        if (!md) {
            COFFER_REPORT(kUnit, "Can not find hash algorithm.");
            return false;
        }
        if (!digestPieces(md, data, length, nullptr, 0, digest, &digestLength, "Can not hash data."))
            return false;
    }
    *ppOut = copyOut(digest, digestLength);
    *pOutLength = *ppOut ? digestLength : 0;
    return *ppOut != nullptr;
}

signed char openssl_HashRandomAndSessionKey(unsigned int randomLength, const unsigned char *random,
                                            unsigned int keyLength, const unsigned char *key, unsigned int *pOutLength,
                                            unsigned char **ppOut)
{
    if (!pOutLength || !ppOut || (!random && randomLength) || (!key && keyLength))
        return false;
    const EVP_MD *md = digestFor(COFFER_ALG_MD5);
    if (!md) {
        COFFER_REPORT(kUnit, "Can not find hash algorithm.");
        return false;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (!digestPieces(md, random, randomLength, key, keyLength, digest, &digestLength, "Can not hash data."))
        return false;
    *ppOut = copyOut(digest, digestLength);
    *pOutLength = *ppOut ? digestLength : 0;
    return *ppOut != nullptr;
}

namespace {

constexpr unsigned int kSha1Length = 20;

// H = SHA-1(password as UTF-16LE, no terminator || salt) into h.
bool saltPasswordHash(const unsigned char *salt, unsigned int saltLength, const char *password,
                      unsigned char h[kSha1Length])
{
    const EVP_MD *md = digestFor(COFFER_ALG_SHA1);
    if (!md) {
        COFFER_REPORT(kUnit, "Can not find hash algorithm.");
        return false;
    }
    if (!password || (!salt && saltLength)) {
        COFFER_REPORT(kUnit, "Can't hash password for salt and password");
        return false;
    }
    unsigned short *wide = UTF8toUTF16(password);
    if (!wide) {
        COFFER_REPORT(kUnit, "Can't hash password for salt and password");
        return false;
    }
    const size_t wideBytes = _coffer_wcslen(wide) * 2;
    bool ok = false;
    EVP_MD_CTX *ctx = EVP_MD_CTX_new();
    unsigned int length = 0;
    if (!ctx || !EVP_DigestInit_ex2(ctx, md, nullptr))
        COFFER_REPORT(kUnit, "Can not create hash.");
    else if (wideBytes && !EVP_DigestUpdate(ctx, wide, wideBytes))
        COFFER_REPORT(kUnit, "Can't hash password for salt and password");
    else if (saltLength && !EVP_DigestUpdate(ctx, salt, saltLength))
        COFFER_REPORT(kUnit, "Can't hash salt for salt and password");
    else if (!EVP_DigestFinal_ex(ctx, h, &length))
        COFFER_REPORT(kUnit, "Can't get hash value for salt and password");
    else
        ok = true;
    EVP_MD_CTX_free(ctx);
    OPENSSL_cleanse(wide, wideBytes);
    std::free(wide);
    return ok;
}

bool saltPasswordHash40(const unsigned char *salt, unsigned int saltLength, const char *password,
                        unsigned char out[2 * kSha1Length])
{
    unsigned char h[kSha1Length];
    if (!saltPasswordHash(salt, saltLength, password, h)) {
        COFFER_REPORT(kUnit, "Can't get salt and password hash");
        return false;
    }
    unsigned char inner[64], outer[64];
    std::memset(inner, 0x36, sizeof inner);
    std::memset(outer, 0x5C, sizeof outer);
    for (unsigned int i = 0; i < kSha1Length; ++i) {
        inner[i] ^= h[i];
        outer[i] ^= h[i];
    }
    const EVP_MD *md = digestFor(COFFER_ALG_SHA1);
    unsigned int length = 0;
    bool ok = false;
    if (!digestPieces(md, inner, sizeof inner, nullptr, 0, out, &length, "Can not hash data."))
        COFFER_REPORT(kUnit, "Can't get second hash for first buffer");
    else if (!digestPieces(md, outer, sizeof outer, nullptr, 0, out + kSha1Length, &length, "Can not hash data."))
        COFFER_REPORT(kUnit, "Can't get second hash for second buffer");
    else
        ok = true;
    OPENSSL_cleanse(h, sizeof h);
    OPENSSL_cleanse(inner, sizeof inner);
    OPENSSL_cleanse(outer, sizeof outer);
    return ok;
}

} // namespace

signed char openssl_CHashSaltPswd(const unsigned char *salt, unsigned int saltLength, const char *password,
                                  unsigned char **ppOut, unsigned int *pOutLength)
{
    if (!ppOut || !pOutLength)
        return false;
    unsigned char h[kSha1Length];
    if (!saltPasswordHash(salt, saltLength, password, h))
        return false;
    *ppOut = copyOut(h, sizeof h);
    *pOutLength = *ppOut ? kSha1Length : 0;
    OPENSSL_cleanse(h, sizeof h);
    return *ppOut != nullptr;
}

signed char openssl_CHashSaltPswd40(const unsigned char *salt, unsigned int saltLength, const char *password,
                                    unsigned char **ppOut, unsigned int *pOutLength)
{
    if (!ppOut || !pOutLength)
        return false;
    unsigned char material[2 * kSha1Length];
    if (!saltPasswordHash40(salt, saltLength, password, material))
        return false;
    *ppOut = copyOut(material, sizeof material);
    *pOutLength = *ppOut ? 2 * kSha1Length : 0;
    OPENSSL_cleanse(material, sizeof material);
    return *ppOut != nullptr;
}

signed char openssl_MyDeriveKey(ALG_ID algId, const unsigned char *salt, unsigned int saltLength, const char *password,
                                unsigned int keyLength, unsigned char **ppOut)
{
    if (!ppOut)
        return false;
    if (keyLength > 2 * kSha1Length) {
        COFFER_REPORT(kUnit, "Key length is too large for derived key material.");
        return false;
    }
    const bool longForm = keyLength > kSha1Length || algId == COFFER_ALG_AES_256 || algId == COFFER_ALG_AES_192
        || algId == COFFER_ALG_AES_128 || algId == COFFER_ALG_AES || algId == COFFER_ALG_3DES;
    unsigned int length = 0;
    return longForm ? openssl_CHashSaltPswd40(salt, saltLength, password, ppOut, &length)
                    : openssl_CHashSaltPswd(salt, saltLength, password, ppOut, &length);
}

signed char openssl_ReadCertFromMemory(const unsigned char *pData, unsigned int length, X509 **ppCert)
{
    if (!ppCert)
        return false;
    *ppCert = nullptr;
    BIO *bio = pData && length <= unsigned(INT_MAX) ? BIO_new_mem_buf(pData, int(length)) : nullptr;
    X509 *cert = bio ? d2i_X509_bio(bio, nullptr) : nullptr;
    BIO_free(bio);
    if (!cert) {
        COFFER_REPORT(kUnit, "Can not read cert from bio.");
        return false;
    }
    *ppCert = cert;
    return true;
}

const char *openssl_GetErrorMessage()
{
    static char text[1024];
    text[0] = '\0';
    BIO *bio = BIO_new(BIO_s_mem());
    if (!bio)
        return text;
    ERR_print_errors(bio);
    const int n = BIO_read(bio, text, sizeof text - 1);
    text[n > 0 ? n : 0] = '\0';
    BIO_free(bio);
    return text;
}

void openssl_init() { (void)backend(); }

void openssl_final() {}
