#include "coffer_keyinfo_cache.h"
#include "coffer_server.h"
#include "coffer_session_util.h"
#include "crypt_util.h"

#include <openssl/evp.h>

#include <cstdlib>
#include <cstring>

namespace {

const char kUnit[] = "coffer";

} // namespace

_NBLOB *coffer_cached_key_info(const _COFFER_KEYINFO &info, unsigned int blobType, _NBLOB &raw, _NBLOB &base16,
                               _NBLOB &base64)
{
    if (!coffer_is_blob_type(blobType))
        return nullptr;
    if (!raw.data) {
        const unsigned int size = EncodeKeyInfo(&info, nullptr);
        if (size == 0)
            return nullptr;
        AllocBlob(&raw, size);
        if (!raw.data) {
            raw.size = 0;
            return nullptr;
        }
        EncodeKeyInfo(&info, raw.data);
    }
    if (blobType == COFFER_BLOB_RAW)
        return &raw;
    _NBLOB &cache = blobType == COFFER_BLOB_BASE16 ? base16 : base64;
    if (!cache.data) {
        char *text = blobType == COFFER_BLOB_BASE16 ? EncodeBase16(raw.data, raw.size)
                                                    : EncodeBase64(raw.data, raw.size, false);
        if (!text)
            return nullptr;
        cache.data = reinterpret_cast<unsigned char *>(text);
        cache.size = unsigned(std::strlen(text));
    }
    return &cache;
}

void coffer_free_key_info_caches(_NBLOB &raw, _NBLOB &base16, _NBLOB &base64)
{
    FreeBlob(&raw);
    FreeBlob(&base16);
    FreeBlob(&base64);
}

CNServerContext::CNServerContext()
    : m_pRSAKey(nullptr), m_ServerCert(COFFER_NULL_BLOB), m_KeyInfoRaw(COFFER_NULL_BLOB),
      m_KeyInfoBase64(COFFER_NULL_BLOB), m_KeyInfoBase16(COFFER_NULL_BLOB), m_nChainCerts(0),
      m_pChainCerts(static_cast<_NBLOB *>(std::calloc(kMaxChainCerts, sizeof(_NBLOB))))
{
}

CNServerContext::~CNServerContext()
{
    clearAll();
    std::free(m_pChainCerts);
}

void CNServerContext::clearAll()
{
    FreeBlob(&m_ServerCert);
    coffer_free_key_info_caches(m_KeyInfoRaw, m_KeyInfoBase16, m_KeyInfoBase64);
    if (m_pChainCerts) {
        for (unsigned int i = 0; i < kMaxChainCerts; ++i)
            FreeBlob(&m_pChainCerts[i]);
    }
    m_nChainCerts = 0;
    EVP_PKEY_free(m_pRSAKey);
    m_pRSAKey = nullptr;
}

signed char CNServerContext::ReadPvkAndCertFromFile(const char *keyFile, const char *password, const char *certFile,
                                                    const char *chainFile)
{
    clearAll();
    if (!openssl_ReadPEMPrivateKey(keyFile, password, &m_pRSAKey)) {
        COFFER_REPORT(kUnit, "Error occured in reading PEM private key file.");
        return false;
    }
    unsigned char *der = nullptr;
    unsigned int derLength = 0;
    // A file without a whole certificate block reads as success with nothing in it.
    if (!certFile || !ReadPEMCertificate(certFile, &der, &derLength) || !der || derLength == 0) {
        std::free(der);
        COFFER_REPORT(kUnit, "Error occured in reading PEM certificate file.");
        return false;
    }
    AssignBlob(&m_ServerCert, der, derLength);
    if (chainFile) {
        unsigned int count = kMaxChainCerts;
        if (!m_pChainCerts || !ReadPEMCertificates(chainFile, &count, m_pChainCerts) || count > kMaxChainCerts) {
            COFFER_REPORT(kUnit, "Error occured in reading PEM chaine certificates file.");
            return false;
        }
        m_nChainCerts = uint16_t(count);
    }
    return true;
}

signed char CNServerContext::Init()
{
    return CCofferContext::Init(1);
}

_NBLOB *CNServerContext::GetServerKeyInfo(unsigned int blobType)
{
    _COFFER_KEYINFO info = {};
    info.version = 3;
    info.header.algorithms = m_Algorithms;
    // No certificates: without the hash a reader would take the first 16
    // bytes of the certificate list for one, so the record stays readable
    // only with an empty list.
    info.payload = m_ServerCert;
    return coffer_cached_key_info(info, blobType, m_KeyInfoRaw, m_KeyInfoBase16, m_KeyInfoBase64);
}

EVP_PKEY *CNServerContext::GetRSAKey()
{
    return m_pRSAKey;
}

_NBLOB *CNServerContext::GetServerCert()
{
    return &m_ServerCert;
}

_COFFER_CERTIFICATES CNServerContext::GetServerChainCerts()
{
    return {m_nChainCerts, m_pChainCerts};
}
