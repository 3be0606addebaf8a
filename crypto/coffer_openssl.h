// Algorithm numbers (the CryptoAPI ALG_IDs that the records carry), their
// mapping to OpenSSL, and the cipher and digest back end every session uses.
#pragma once

#include "coffer_export.h"
#include "nblob.h"

typedef unsigned int ALG_ID;

enum : ALG_ID {
    COFFER_ALG_DES = 0x6601,
    COFFER_ALG_RC2 = 0x6602,
    COFFER_ALG_3DES = 0x6603,
    COFFER_ALG_DESX = 0x6604,
    COFFER_ALG_3DES_112 = 0x6609,
    COFFER_ALG_RC5 = 0x660D,
    COFFER_ALG_AES_128 = 0x660E,
    COFFER_ALG_AES_192 = 0x660F,
    COFFER_ALG_AES_256 = 0x6610,
    COFFER_ALG_AES = 0x6611,
    COFFER_ALG_RC4 = 0x6801,
    COFFER_ALG_MD2 = 0x8001,
    COFFER_ALG_MD5 = 0x8003,
    COFFER_ALG_SHA1 = 0x8004,
};

// Inside the library: the ALG_IDs a key exchange may use, strongest first.
extern const ALG_ID gPreferAlgOrder[7];
constexpr unsigned int kPreferAlgCount = 7;

COFFER_API const char *GetAlgNameFromID(ALG_ID algId);
COFFER_API ALG_ID GetAlgIDFromName(const char *name);
COFFER_API int ALG_MS_2_OPENSSL(ALG_ID algId);
COFFER_API ALG_ID ALG_OPENSSL_2_MS(int nid);

// New array (free()) of the given ALG_IDs whose cipher this OpenSSL offers, in order.
COFFER_API signed char openssl_GetSupportedAlgs(const ALG_ID *pAlgs, unsigned int count, ALG_ID **ppOut,
                                                unsigned int *pOutCount);

// Symmetric encryption with PKCS#7 padding. The key must hold at least the
// cipher's key length; a null IV is all zeros, a given one at least a block.
// The output is a new buffer (free()).
COFFER_API signed char openssl_MyEncrypt(const _NBLOB *pKey, const _NBLOB *pIV, ALG_ID algId,
                                         const unsigned char *data, unsigned int length, unsigned char **ppOut,
                                         unsigned int *pOutLength);
COFFER_API signed char openssl_MyEncrypt(const _NBLOB *pKey, ALG_ID algId, const unsigned char *data,
                                         unsigned int length, unsigned char **ppOut, unsigned int *pOutLength);
COFFER_API signed char openssl_MyDecrypt(const _NBLOB *pKey, const _NBLOB *pIV, ALG_ID algId,
                                         const unsigned char *data, unsigned int length, unsigned char **ppOut,
                                         unsigned int *pOutLength);
COFFER_API signed char openssl_MyDecrypt(const _NBLOB *pKey, ALG_ID algId, const unsigned char *data,
                                         unsigned int length, unsigned char **ppOut, unsigned int *pOutLength);

COFFER_API signed char openssl_MyHash(ALG_ID algId, const unsigned char *data, unsigned int length,
                                      unsigned char **ppOut, unsigned int *pOutLength);
// MD5 of the random followed by the key (16 bytes, new buffer).
COFFER_API signed char openssl_HashRandomAndSessionKey(unsigned int randomLength, const unsigned char *random,
                                                       unsigned int keyLength, const unsigned char *key,
                                                       unsigned int *pOutLength, unsigned char **ppOut);
// Password-based key material compatible with CryptoAPI's derivation; the
// password is UTF-8 text. Outputs are new buffers, wiped by the library when
// it frees its own copies; callers should wipe theirs (OPENSSL_cleanse).
COFFER_API signed char openssl_CHashSaltPswd(const unsigned char *salt, unsigned int saltLength,
                                             const char *password, unsigned char **ppOut,
                                             unsigned int *pOutLength);
COFFER_API signed char openssl_CHashSaltPswd40(const unsigned char *salt, unsigned int saltLength,
                                               const char *password, unsigned char **ppOut,
                                               unsigned int *pOutLength);
// Key material of at least keyLength bytes (20 or 40); the caller takes the
// first keyLength of them.
COFFER_API signed char openssl_MyDeriveKey(ALG_ID algId, const unsigned char *salt, unsigned int saltLength,
                                           const char *password, unsigned int keyLength, unsigned char **ppOut);

typedef struct x509_st X509;
// Reads one DER certificate into a new OpenSSL certificate.
COFFER_API signed char openssl_ReadCertFromMemory(const unsigned char *pData, unsigned int length, X509 **ppCert);

COFFER_API const char *openssl_GetErrorMessage();
COFFER_API void openssl_init();
// Kept for callers; the library never tears OpenSSL down, since the embedding
// program and other libraries share it.
COFFER_API void openssl_final();

// Inside the library: the private OpenSSL context that has the legacy and
// default providers loaded, and the cipher of an ALG_ID (null when this
// OpenSSL lacks it). The cipher objects live as long as the process.
struct ossl_lib_ctx_st;
struct evp_cipher_st;
ossl_lib_ctx_st *coffer_libctx();
const evp_cipher_st *coffer_cipher(ALG_ID algId);
