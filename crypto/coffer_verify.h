// Server certificate verification: the trust evaluation on the system's CA
// certificates (the macosx_* operations keep their names and run on OpenSSL),
// a second path on a given file of roots, and the reversed-string helpers
// with which a host-name verifier compares name suffixes.
#pragma once

#include "coffer.h"
#include "coffer_export.h"
#include "nblob.h"

#include <cstdint>

typedef struct x509_store_st X509_STORE;
typedef struct x509_store_ctx_st X509_STORE_CTX;
typedef struct X509_VERIFY_PARAM_st X509_VERIFY_PARAM;
typedef struct stack_st_X509 CofferCertArray;

// Trust result codes written by the verification.
enum : int32_t {
    COFFER_TRUST_INVALID = 0,     // the evaluation could not run
    COFFER_TRUST_PROCEED = 1,     // trusted through an anchor configured explicitly
    COFFER_TRUST_CONFIRM = 2,
    COFFER_TRUST_DENY = 3,
    COFFER_TRUST_UNSPECIFIED = 4, // trusted through the system's CA certificates
    COFFER_TRUST_RECOVERABLE = 5, // expired, not yet valid, unknown issuer, self-signed, untrusted
    COFFER_TRUST_FATAL = 6,       // bad signature, undecodable, invalid CA, path length, critical extension
    COFFER_TRUST_OTHER_ERROR = 7, // an internal failure
    COFFER_TRUST_NAME_REFUSED = -2,
};

// A server certificate is checked with at most this many chain certificates.
inline constexpr unsigned int kCofferMaxChainCerts = 10;

// Evaluates the chain against the system's CA certificates (which honour
// SSL_CERT_FILE and SSL_CERT_DIR), the chain certificates serving as
// untrusted intermediates, then hands the common name to the verifier.
// Writes the trust result code on every path.
COFFER_API signed char macosx_VerifyCertificate(const _NBLOB *pCert, uint16_t chainCount, const _NBLOB *pChain,
                                                int32_t *pCode, CofferHostNameVerifier verifier, void *context);
// New stack of the server certificate and its chain (free with
// sk_X509_pop_free(stack, X509_free)); null on failure.
COFFER_API CofferCertArray *macosx_GetCertArray(const _NBLOB *pCert, uint16_t chainCount, const _NBLOB *pChain);
COFFER_API X509 *macosx_SecCertificateCreateWithData(const _NBLOB *pDer);
// Verification parameters of the basic X.509 policy (free with X509_VERIFY_PARAM_free).
COFFER_API X509_VERIFY_PARAM *macosx_SecPolicyCreateBasicX509();

// Verifies the chain against the roots of a PEM file, then the host name.
COFFER_API signed char openssl_VerifyCertificate(const _NBLOB *pCert, uint16_t chainCount, const _NBLOB *pChain,
                                                 const char *rootsFile, CofferHostNameVerifier verifier,
                                                 void *context);
COFFER_API signed char openssl_VerifyHostName(X509 *pCert, CofferHostNameVerifier verifier, void *context);
COFFER_API signed char openssl_ReadCertsFromMemory(unsigned int count, const _NBLOB *pBlobs,
                                                   CofferCertArray **ppStack);
COFFER_API signed char openssl_InsertCertsIntoStore(const char *fileName, X509_STORE *pStore);
COFFER_API signed char openssl_ReadCertsFromFile(const char *fileName, CofferCertArray **ppStack);
COFFER_API signed char openssl_ReadCertFromFile(const char *fileName, X509 **ppCert);
COFFER_API int verify_callback(int ok, X509_STORE_CTX *pContext);

// The certificate's common name as UTF-8 into buffer (256 bytes); false when
// there is none, it holds a zero byte or it is longer than 255 bytes.
COFFER_API signed char coffer_GetCommonName(X509 *pCert, char *buffer, unsigned int bufferSize);

// Writes source reversed and zero-terminated into destination (which may be source).
COFFER_API char *streverse(const char *source, char *destination);
// Compares the last n characters of a and b; 0 when equal.
COFFER_API int strevncmp(const char *a, const char *b, int n);
