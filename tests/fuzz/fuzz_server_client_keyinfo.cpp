// Arbitrary bytes as a client's key info reaching the server side. The
// server's key and certificate are made once, in a temporary folder.

#include "coffer_server.h"
#include "crypt_util.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

CNServerContext *makeContext()
{
    char folder[] = "/tmp/coffer-fuzz-XXXXXX";
    if (!mkdtemp(folder))
        std::abort();
    const std::string keyFile = std::string(folder) + "/key.pem";
    const std::string certFile = std::string(folder) + "/cert.pem";
    EVP_PKEY *key = EVP_RSA_gen(1024);
    X509 *cert = X509_new();
    if (!key || !cert)
        std::abort();
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), 0);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
    X509_NAME_add_entry_by_txt(X509_get_subject_name(cert), "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char *>("fuzz.example"), -1, -1, 0);
    X509_set_issuer_name(cert, X509_get_subject_name(cert));
    X509_set_pubkey(cert, key);
    X509_sign(cert, key, EVP_sha256());
    FILE *k = std::fopen(keyFile.c_str(), "w");
    FILE *c = std::fopen(certFile.c_str(), "w");
    if (!k || !c || !PEM_write_PrivateKey(k, key, nullptr, nullptr, 0, nullptr, nullptr) || !PEM_write_X509(c, cert))
        std::abort();
    std::fclose(k);
    std::fclose(c);
    EVP_PKEY_free(key);
    X509_free(cert);
    auto *context = new CNServerContext;
    if (!context->ReadPvkAndCertFromFile(keyFile.c_str(), nullptr, certFile.c_str(), nullptr) || !context->Init())
        std::abort();
    std::remove(keyFile.c_str());
    std::remove(certFile.c_str());
    std::remove(folder);
    return context;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static CNServerContext *context = makeContext();
    if (size == 0)
        return 0;
    // The first byte picks the blob type and the lenient flag.
    const unsigned int type = data[0] % 3;
    const signed char lenient = (data[0] >> 2) & 1;
    // Text input of length 0 means "up to the terminating zero": keep one there.
    const std::string input(reinterpret_cast<const char *>(data + 1), size - 1);
    const auto *bytes = reinterpret_cast<const unsigned char *>(input.c_str());
    CNServerSession session(context);
    if (session.Init(bytes, unsigned(input.size()), type, lenient)) {
        const unsigned char message[] = "ping";
        _NBLOB *sealed = session.EncryptMessage(message, sizeof message, COFFER_BLOB_RAW);
        if (sealed)
            DestroyBlob(sealed);
    }
    session.ImportServerKeyInfo(bytes, unsigned(input.size()), type);
    return 0;
}
