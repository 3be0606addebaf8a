// Password-sealed text in the DER layout of CAPICOM's EncryptedData, so that
// values can be exchanged with services built on that component.
#pragma once

#include "coffer_export.h"
#include "coffer_openssl.h"
#include "nblob.h"

#include <optional>
#include <string>
#include <vector>

class CCofferContext;

namespace NCAPICOM {

// Key and IV bytes that CAPICOM uses with an ALG_ID; 0 for an ALG_ID it does not know.
COFFER_API unsigned int GetCAPICOMKeySize(ALG_ID algId);
COFFER_API unsigned int GetIVSize(ALG_ID algId);

class COFFER_API EncryptedData {
public:
    // The context only supplies a default algorithm and may be null when one
    // is set. The character set names the 8-bit text forms (null: UTF-8).
    EncryptedData(CCofferContext *pContext, const char *charset);
    ~EncryptedData();
    EncryptedData(const EncryptedData &) = delete;
    EncryptedData &operator=(const EncryptedData &) = delete;

    // Null clears.
    void SetSecret(const char *secret);
    void SetSecret(const unsigned short *secret);
    void SetContent(const char *content);
    void SetContent(const unsigned short *content);
    // The 8-bit forms are made from the UTF-16 forms when missing; null when unset.
    const char *GetSecret() { return GetSecretA(); }
    const char *GetSecretA();
    const unsigned short *GetSecretW();
    const char *GetContent() { return GetContentA(); }
    const char *GetContentA();
    const unsigned short *GetContentW();
    void ClearSecret();
    void ClearContent();
    void SetAlgorithm(ALG_ID algId) { m_AlgID = algId; }
    ALG_ID GetAlgorithm() const { return m_AlgID; }

    // New blob with the DER structure raw, as Base16 or as Base64 text
    // (URL-safe without padding when asked); null on failure.
    _NBLOB *Encrypt(unsigned int blobType, signed char urlSafe);
    // Replaces the content with the decrypted text. For Base16 and Base64 a
    // length of 0xFFFFFFFF means: up to the terminating zero.
    signed char Decrypt(const unsigned char *pData, unsigned int length, unsigned int blobType);
    signed char Decrypt(const char *text, unsigned int blobType);
    signed char Decrypt(const unsigned short *text, unsigned int blobType);

    // Upper-case Base16 SHA-1 of the bytes over an 85-byte 0x36 pad (release
    // with FreeBaseAlloced); null for 86 bytes or more.
    static char *GenerateHash(const unsigned char *pData, unsigned int length);

private:
    std::optional<std::u16string> contentUnicode() const;
    std::optional<std::u16string> secretUnicode() const;

    CCofferContext *m_pContext;
    std::optional<std::string> m_Charset;
    std::optional<std::u16string> m_ContentW;
    std::optional<std::string> m_ContentA;
    std::optional<std::u16string> m_SecretW;
    std::optional<std::string> m_SecretA;
    ALG_ID m_AlgID = 0;
    // The UTF-16 forms as handed out, zero-terminated.
    std::vector<unsigned short> m_ContentWOut;
    std::vector<unsigned short> m_SecretWOut;
};

} // namespace NCAPICOM
