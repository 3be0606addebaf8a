// PEM files of the server side: the RSA private key and certificates.
#include "coffer_server.h"

#include "crypt_util.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstdio>
#include <cstring>

namespace {

const char kUnit[] = "coffer_openssl";

void reportFile(const char *format, const char *fileName)
{
    char message[1100];
    std::snprintf(message, sizeof message, format, fileName ? fileName : "(null)");
    COFFER_REPORT(kUnit, message);
}

// Reads the first RSA private key of the file; null when there is none.
EVP_PKEY *readRsaKey(FILE *file, const char *password)
{
    EVP_PKEY *key = PEM_read_PrivateKey_ex(file, nullptr, password_callback, const_cast<char *>(password),
                                           coffer_libctx(), nullptr);
    if (key && !EVP_PKEY_is_a(key, "RSA")) {
        EVP_PKEY_free(key);
        return nullptr;
    }
    return key;
}

} // namespace

int password_callback(char *buffer, int size, int, void *userData)
{
    const char *password = static_cast<const char *>(userData);
    if (!password || !buffer || size <= 0)
        return 0;
    const size_t length = std::min(std::strlen(password), size_t(size));
    std::memcpy(buffer, password, length);
    return int(length);
}

signed char openssl_ReadPEMPrivateKey(const char *fileName, const char *password, EVP_PKEY **ppKey)
{
    if (!ppKey)
        return false;
    *ppKey = nullptr;
    FILE *file = fileName ? std::fopen(fileName, "r") : nullptr;
    if (!file) {
        reportFile("Error in opening file : %s\n", fileName);
        return false;
    }
    *ppKey = readRsaKey(file, password);
    std::fclose(file);
    if (!*ppKey) {
        reportFile("Error in opening file : %s\n", fileName);
        return false;
    }
    return true;
}

EVP_PKEY *openssl_read_rsa(const char *fileName, const char *password)
{
    FILE *file = fileName ? std::fopen(fileName, "r") : nullptr;
    if (!file) {
        reportFile("Error in opening file : %s\n", fileName);
        return nullptr;
    }
    EVP_PKEY *key = readRsaKey(file, password);
    std::fclose(file);
    if (!key)
        COFFER_REPORT(kUnit, "Can not read Private Key File.");
    return key;
}

X509 *openssl_read_cert(const char *fileName)
{
    FILE *file = fileName ? std::fopen(fileName, "r") : nullptr;
    if (!file) {
        reportFile("Error in opening file : %s\n", fileName);
        return nullptr;
    }
    X509 *cert = PEM_read_X509(file, nullptr, nullptr, nullptr);
    std::fclose(file);
    if (!cert)
        COFFER_REPORT(kUnit, "Can not read X509 Certification File.");
    return cert;
}
