// The key info and message info records: big-endian, a fixed prefix (version,
// header length), a header and a payload.
#pragma once

#include "coffer_export.h"
#include "coffer_openssl.h"
#include "nblob.h"

#include <cstdint>

struct _COFFER_ALGORITHMS {
    uint16_t count;
    ALG_ID *pAlgIDs;
};

struct _COFFER_KEYHEADER {
    _COFFER_ALGORITHMS algorithms;
    _NBLOB hash;      // 16 bytes when present: the server random or the client hash
    uint16_t certCount;
    _NBLOB *pCerts;   // certCount DER certificates; entries a reader could not fill stay empty
    _NBLOB trailing;  // header bytes after the certificates, kept as they are
};

struct _COFFER_KEYINFO {
    uint32_t version; // 1, 2 or 3
    _COFFER_KEYHEADER header;
    _NBLOB payload;
};

struct _COFFER_MSGHEADER {
    _NBLOB data;
};

struct _COFFER_MSGINFO {
    uint32_t version;
    _COFFER_MSGHEADER header;
    _NBLOB cipherText;
};

// Encoders: with a null buffer they only size the record; with a buffer of
// that size they write it. 0 means the record cannot be written (a field too
// large for its length field, or a total beyond 32 bits).
COFFER_API unsigned int EncodeKeyHeader(const _COFFER_KEYHEADER *pHeader, unsigned char *pOut, unsigned int version);
COFFER_API unsigned int EncodeKeyInfo(const _COFFER_KEYINFO *pKeyInfo, unsigned char *pOut);
COFFER_API unsigned int EncodeMsgHeader(const _COFFER_MSGHEADER *pHeader, unsigned char *pOut);
COFFER_API unsigned int EncodeMsgInfo(const _COFFER_MSGINFO *pMsgInfo, unsigned char *pOut);

// Decoders copy what they read; release the record with the matching Free
// call, also after a failure.
COFFER_API signed char DecodeKeyHeader(_COFFER_KEYHEADER *pHeader, const unsigned char *pData, unsigned int length,
                                       unsigned int version, signed char allowMissingHash);
COFFER_API signed char DecodeKeyInfo(_COFFER_KEYINFO *pKeyInfo, const unsigned char *pData, unsigned int length,
                                     signed char allowMissingHash);
COFFER_API signed char DecodeMsgHeader(_COFFER_MSGHEADER *pHeader, const unsigned char *pData, unsigned int length);
COFFER_API signed char DecodeMsgInfo(_COFFER_MSGINFO *pMsgInfo, const unsigned char *pData, unsigned int length);

COFFER_API void FreeKeyHeader(_COFFER_KEYHEADER *pHeader);
COFFER_API void FreeKeyInfo(_COFFER_KEYINFO *pKeyInfo);
COFFER_API void FreeMsgHeader(_COFFER_MSGHEADER *pHeader);
COFFER_API void FreeMsgInfo(_COFFER_MSGINFO *pMsgInfo);

// Inside the library: the ciphertext of a message info, as a view into pData,
// with the same checks and messages as DecodeMsgInfo.
[[nodiscard]] bool coffer_msg_info_cipher_text(const unsigned char *pData, unsigned int length,
                                               const unsigned char **ppCipherText, unsigned int *pCipherLength);
