// The server's side of the key exchange: a context holding the server's RSA
// key, certificate and chain, and a session that publishes the server key
// info, reads the client's answer and recovers the session key.
#pragma once

#include "coffer.h"
#include "coffer_export.h"

#include <cstdint>

typedef struct evp_pkey_st EVP_PKEY;

// A run of DER certificates: a 16-bit count and a pointer to them.
struct _COFFER_CERTIFICATES {
    uint16_t count;
    _NBLOB *pCerts;
};

class COFFER_API CNServerContext : public CCofferContext
{
public:
    static constexpr unsigned int kMaxChainCerts = 10;

    CNServerContext();
    ~CNServerContext() override;

    // Reads the RSA private key (PEM, with its password), the first
    // certificate of certFile and, when chainFile is given, up to 10 chain
    // certificates. Replaces whatever was read before.
    signed char ReadPvkAndCertFromFile(const char *keyFile, const char *password, const char *certFile,
                                       const char *chainFile);
    // The algorithm list (the context's Init with flag 1).
    signed char Init();
    // Version 3 key info with the algorithms, no hash, no chain and the
    // certificate; owned by the context. Null for another blob type.
    _NBLOB *GetServerKeyInfo(unsigned int blobType);

    EVP_PKEY *GetRSAKey();
    _NBLOB *GetServerCert();
    _COFFER_CERTIFICATES GetServerChainCerts();

private:
    void clearAll();

    EVP_PKEY *m_pRSAKey;
    _NBLOB m_ServerCert;
    _NBLOB m_KeyInfoRaw;
    _NBLOB m_KeyInfoBase64;
    _NBLOB m_KeyInfoBase16;
    uint16_t m_nChainCerts;
    _NBLOB *m_pChainCerts;
};

class COFFER_API CNServerSession : public CCofferSession
{
public:
    // Draws the 16-byte server random. The context must outlive Init.
    explicit CNServerSession(CNServerContext *pContext);
    ~CNServerSession() override;

    using CCofferSession::Init;
    // Reads the client key info and recovers the session key; unless lenient,
    // the client must speak version 3 and its hash must match.
    virtual signed char Init(const unsigned char *pData, unsigned int length, unsigned int blobType,
                             signed char lenient);
    // Server key info of version 1, 2 or 3 in the blob type; owned by the
    // session, which keeps the version of the first request.
    _NBLOB *GetServerKeyInfo(unsigned int blobType, unsigned int version);
    // Takes the server random from a server key info.
    signed char ImportServerKeyInfo(const unsigned char *pData, unsigned int length, unsigned int blobType);
    // New blob of the RSA-decrypted bytes, with one zero byte after them.
    _NBLOB *DecryptUsingPrivateKey(const _NBLOB *pBlob, unsigned int blobType);

private:
    CNServerContext *serverContext();

    _NBLOB m_KeyInfoRaw;
    _NBLOB m_KeyInfoBase64;
    _NBLOB m_KeyInfoBase16;
};

// PEM reading of the server's files.
COFFER_API signed char openssl_ReadPEMPrivateKey(const char *fileName, const char *password, EVP_PKEY **ppKey);
COFFER_API EVP_PKEY *openssl_read_rsa(const char *fileName, const char *password);
COFFER_API X509 *openssl_read_cert(const char *fileName);
// Copies at most size bytes of the password (a zero-terminated text given as
// userData) into buffer, without a terminator; 0 without a password.
COFFER_API int password_callback(char *buffer, int size, int rwflag, void *userData);
