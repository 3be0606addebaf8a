// The key exchange: the algorithm context, the session base with message
// encryption, and the client side of the exchange.
#pragma once

#include "coffer_export.h"
#include "coffer_openssl.h"
#include "info_header.h"
#include "nblob.h"

#include <cstdint>
#include <set>

typedef struct x509_st X509;

// The algorithms this library and its OpenSSL can use, in preference order.
class COFFER_API CCofferContext
{
public:
    CCofferContext();
    virtual ~CCofferContext();
    CCofferContext(const CCofferContext &) = delete;
    CCofferContext &operator=(const CCofferContext &) = delete;

    // Fills the supported list; the flag changes nothing (callers pass 0 or 1).
    signed char Init(signed char flag);
    _COFFER_ALGORITHMS *GetAlgorithms();
    signed char IsSupportedAlgorithm(ALG_ID algId);
    // Base64 text of the supported ALG_IDs, 4 big-endian bytes each.
    _NBLOB *GetAlgorithmList();
    // The first preferred ALG_ID that is in pAlgs and supported here; 0 when none.
    ALG_ID GetMostStrongAlgorithm(const _COFFER_ALGORITHMS *pAlgs);
    static void ClearAll();

protected:
    _COFFER_ALGORITHMS m_Algorithms;
    ALG_ID *m_pSupportedAlgs;
    uint32_t m_nSupportedAlgs;
    std::set<ALG_ID> m_AlgSet;
};

// One side of a key exchange and, once the key is agreed, message encryption
// under it. Message calls use only the session's own fields, so they keep
// working after the context is gone.
class COFFER_API CCofferSession
{
public:
    explicit CCofferSession(CCofferContext *pContext);
    virtual ~CCofferSession();
    CCofferSession(const CCofferSession &) = delete;
    CCofferSession &operator=(const CCofferSession &) = delete;

    // Does nothing; each side's four-argument Init does the work.
    virtual signed char Init(const unsigned char *pData, unsigned int length, unsigned int blobType);

    CCofferContext *GetContext();
    ALG_ID GetAlgID();
    unsigned int GetPeerVersion();
    void ClearPeerKeyInfo();

    // New blobs (release with DestroyBlob); blobType is the encoding of the
    // result (encrypting) or of the input (decrypting).
    _NBLOB *EncryptMessage(const unsigned char *pData, unsigned int length, unsigned int blobType);
    _NBLOB *DecryptMessage(const unsigned char *pData, unsigned int length, unsigned int blobType);
    _NBLOB *EncryptSimple(const unsigned char *pData, unsigned int length, unsigned int blobType);
    _NBLOB *DecryptSimple(const unsigned char *pData, unsigned int length, unsigned int blobType);

    signed char ImportPlainKey(ALG_ID algId, const unsigned char *pKey, unsigned int length, unsigned int blobType);
    _NBLOB *ExportPlainKey(unsigned int blobType);

    // MD2, MD5 and SHA-1 of client random, server random and text (52 bytes).
    _NBLOB *GetCertHash(const _NBLOB *pClientRandom, const char *text);
    _NBLOB *GenerateCertMessage(const char *text);
    signed char VerifyCertMessage(const unsigned char *pData, unsigned int length, const char *text);

protected:
    CCofferContext *m_pContext;
    ALG_ID m_AlgID;
    _NBLOB m_ServerRandom;
    _COFFER_KEYINFO *m_pPeerKeyInfo;
    _NBLOB m_SessionKey;
};

typedef signed char (*CofferHostNameVerifier)(const char *hostName, void *context);

// The client side: reads the server's key info, draws the session key and
// encrypts it to the server certificate.
class COFFER_API CNClientSession : public CCofferSession
{
public:
    explicit CNClientSession(CCofferContext *pContext);
    ~CNClientSession() override;

    using CCofferSession::Init;
    // The flag is not used (callers pass whether the session is a chat room).
    virtual signed char Init(const unsigned char *pData, unsigned int length, unsigned int blobType, signed char flag);
    void SetHostNameVerifier(CofferHostNameVerifier verifier, void *context);
    // The bytes RSA-encrypted (PKCS#1 v1.5) to the server certificate's key.
    _NBLOB *EncryptUsingPublicKey(const _NBLOB *pBlob, unsigned int blobType);
    // The client key info in the given encoding; owned by the session.
    _NBLOB *ExportSessionKey(unsigned int blobType);
    // Server certificate checks (coffer_verify.cpp). The code is an int32_t.
    signed char VerifyServerCertificate(void *pResultCode);
    struct stack_st_X509 *GetCertificateCFArray();
    void IgnoreNextSameCertError();

protected:
    static constexpr int kMaxRememberedCerts = 11;

    X509 *m_pServerCert;
    _NBLOB m_EncSessionKey;
    _NBLOB m_ClientHash;
    _NBLOB m_KeyInfoRaw;
    _NBLOB m_KeyInfoBase64;
    _NBLOB m_KeyInfoBase16;
    CofferHostNameVerifier m_pHostNameVerifier;
    void *m_pHostNameVerifierContext;
    // Certificates the user chose to accept: the server's, then its chain.
    bool m_bIgnoreNextSameCert;
    int32_t m_nRememberedCerts;
    _NBLOB m_RememberedCerts[kMaxRememberedCerts];
};
