// Certificate verification against a given PEM file of roots, and the
// certificate readers it uses.
#include "coffer_verify.h"

#include "crypt_util.h"

#include <openssl/err.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

const char kUnit[] = "coffer_openssl";

struct StoreFree {
    void operator()(X509_STORE *store) const { X509_STORE_free(store); }
};
struct StoreCtxFree {
    void operator()(X509_STORE_CTX *ctx) const { X509_STORE_CTX_free(ctx); }
};
struct CertFree {
    void operator()(X509 *cert) const { X509_free(cert); }
};
struct StackFree {
    void operator()(STACK_OF(X509) *stack) const { sk_X509_pop_free(stack, X509_free); }
};

void reportWithFile(const char *format, const char *fileName)
{
    char message[1200];
    std::snprintf(message, sizeof message, format, fileName ? fileName : "(null)");
    COFFER_REPORT(kUnit, message);
}

// Up to kCofferMaxChainCerts DER certificates of a PEM file; false when the
// file does not read or holds more.
bool readPemBlobs(const char *fileName, _NBLOB (&blobs)[kCofferMaxChainCerts], unsigned int &count)
{
    count = kCofferMaxChainCerts;
    for (auto &blob : blobs)
        blob = COFFER_NULL_BLOB;
    return fileName && ReadPEMCertificates(fileName, &count, blobs);
}

void freeBlobs(_NBLOB (&blobs)[kCofferMaxChainCerts])
{
    for (auto &blob : blobs)
        FreeBlob(&blob);
}

} // namespace

int verify_callback(int ok, X509_STORE_CTX *pContext)
{
    if (ok) {
        ERR_clear_error();
        return ok;
    }
    X509 *current = pContext ? X509_STORE_CTX_get_current_cert(pContext) : nullptr;
    if (current) {
        char subject[1024];
        X509_NAME_oneline(X509_get_subject_name(current), subject, sizeof subject);
        COFFER_REPORT(kUnit, subject);
    }
    if (pContext) {
        const int error = X509_STORE_CTX_get_error(pContext);
        char message[512];
        std::snprintf(message, sizeof message, "error %d at %d depth lookup: %s", error,
                      X509_STORE_CTX_get_error_depth(pContext), X509_verify_cert_error_string(error));
        COFFER_REPORT(kUnit, message);
    }
    return ok;
}

signed char openssl_ReadCertsFromMemory(unsigned int count, const _NBLOB *pBlobs, CofferCertArray **ppStack)
{
    if (!ppStack)
        return false;
    *ppStack = nullptr;
    std::unique_ptr<STACK_OF(X509), StackFree> stack(sk_X509_new_null());
    if (!stack) {
        COFFER_REPORT(kUnit, "Can not allocate new X509 stack");
        return false;
    }
    for (unsigned int i = 0; i < count; ++i) {
        X509 *cert = nullptr;
        if (!pBlobs || !openssl_ReadCertFromMemory(pBlobs[i].data, pBlobs[i].size, &cert)) {
            COFFER_REPORT(kUnit, "Can not read cert from memory.");
            return false;
        }
        if (!sk_X509_push(stack.get(), cert)) {
            X509_free(cert);
            COFFER_REPORT(kUnit, "Can not push x509 to stack.");
            return false;
        }
    }
    *ppStack = stack.release();
    return true;
}

signed char openssl_InsertCertsIntoStore(const char *fileName, X509_STORE *pStore)
{
    if (!fileName) {
        COFFER_REPORT(kUnit, "Certificate store file name is null");
        return false;
    }
    _NBLOB blobs[kCofferMaxChainCerts];
    unsigned int count = 0;
    if (!pStore || !readPemBlobs(fileName, blobs, count)) {
        freeBlobs(blobs);
        reportWithFile("Can not read certficates from file. %s", fileName);
        return false;
    }
    bool ok = true;
    for (unsigned int i = 0; ok && i < count; ++i) {
        X509 *cert = nullptr;
        ok = openssl_ReadCertFromMemory(blobs[i].data, blobs[i].size, &cert) && X509_STORE_add_cert(pStore, cert) == 1;
        X509_free(cert);
        if (!ok)
            COFFER_REPORT(kUnit, "Can not read certficate from memory.");
    }
    freeBlobs(blobs);
    return ok;
}

signed char openssl_ReadCertsFromFile(const char *fileName, CofferCertArray **ppStack)
{
    if (!ppStack)
        return false;
    *ppStack = nullptr;
    _NBLOB blobs[kCofferMaxChainCerts];
    unsigned int count = 0;
    if (!readPemBlobs(fileName, blobs, count)) {
        freeBlobs(blobs);
        reportWithFile("Can not read certficates from file: %s", fileName);
        return false;
    }
    const bool ok = openssl_ReadCertsFromMemory(count, blobs, ppStack);
    freeBlobs(blobs);
    if (!ok)
        COFFER_REPORT(kUnit, "Can not read certficates from memory.");
    return ok;
}

signed char openssl_ReadCertFromFile(const char *fileName, X509 **ppCert)
{
    if (!ppCert)
        return false;
    *ppCert = nullptr;
    unsigned char *der = nullptr;
    unsigned int length = 0;
    if (!fileName || !ReadPEMCertificate(fileName, &der, &length) || !der) {
        std::free(der);
        reportWithFile("Can not read certficate from file: %s", fileName);
        return false;
    }
    const bool ok = openssl_ReadCertFromMemory(der, length, ppCert);
    std::free(der);
    if (!ok)
        COFFER_REPORT(kUnit, "Can not read certficates from memory.");
    return ok;
}

signed char openssl_VerifyHostName(X509 *pCert, CofferHostNameVerifier verifier, void *context)
{
    char commonName[256];
    if (!verifier || !coffer_GetCommonName(pCert, commonName, sizeof commonName))
        return false;
    return verifier(commonName, context) ? 1 : 0;
}

signed char openssl_VerifyCertificate(const _NBLOB *pCert, uint16_t chainCount, const _NBLOB *pChain,
                                      const char *rootsFile, CofferHostNameVerifier verifier, void *context)
{
    std::unique_ptr<X509_STORE, StoreFree> store(X509_STORE_new());
    if (!store) {
        COFFER_REPORT(kUnit, "Can not allocate new X509_STORE.");
        return false;
    }
    X509_STORE_set_verify_cb(store.get(), verify_callback);
    if (!openssl_InsertCertsIntoStore(rootsFile, store.get())) {
        COFFER_REPORT(kUnit, "Can not load root CA certficates file.");
        return false;
    }
    X509 *rawCert = nullptr;
    if (!pCert || !openssl_ReadCertFromMemory(pCert->data, pCert->size, &rawCert)) {
        COFFER_REPORT(kUnit, "Can not load subject certificates file.");
        return false;
    }
    std::unique_ptr<X509, CertFree> cert(rawCert);
    STACK_OF(X509) *rawChain = nullptr;
    if (chainCount > kCofferMaxChainCerts
        || (chainCount > 0 && !openssl_ReadCertsFromMemory(chainCount, pChain, &rawChain))) {
        COFFER_REPORT(kUnit, "Can not load chain CA certificates from memory.");
        return false;
    }
    std::unique_ptr<STACK_OF(X509), StackFree> chain(rawChain);
    std::unique_ptr<X509_STORE_CTX, StoreCtxFree> ctx(X509_STORE_CTX_new_ex(coffer_libctx(), nullptr));
    if (!ctx) {
        COFFER_REPORT(kUnit, "Can not allocate X509_STORE_CTX.");
        return false;
    }
    if (X509_STORE_CTX_init(ctx.get(), store.get(), cert.get(), chain.get()) != 1) {
        COFFER_REPORT(kUnit, "Can not initialize X509_STORE_CTX.");
        return false;
    }
    if (X509_verify_cert(ctx.get()) != 1) {
        ERR_clear_error();
        COFFER_REPORT(kUnit, "Can not verify certificate chain.");
        return false;
    }
    if (!verifier) {
        COFFER_REPORT(kUnit, "Hostname Verifier is null");
        return false;
    }
    if (!openssl_VerifyHostName(cert.get(), verifier, context)) {
        COFFER_REPORT(kUnit, "Invalid Hostname.");
        return false;
    }
    return true;
}
