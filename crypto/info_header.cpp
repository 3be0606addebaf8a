#include "info_header.h"

#include "coffer_private.h"
#include "crypt_util.h"

#include <cstdlib>
#include <cstring>

using namespace coffer_detail;

namespace {

constexpr const char *kUnit = "info_header";
constexpr uint32_t kHashLength = 16;

// A blob holding a copy of length bytes (empty for 0).
bool copyInto(_NBLOB *blob, const unsigned char *bytes, uint32_t length)
{
    blob->size = 0;
    blob->data = nullptr;
    if (length == 0)
        return true;
    blob->data = static_cast<unsigned char *>(std::malloc(length));
    if (!blob->data)
        return false;
    std::memcpy(blob->data, bytes, length);
    blob->size = length;
    return true;
}

uint32_t blobSize(const _NBLOB &blob) { return blob.data ? blob.size : 0; }

// Bytes of the header for a version, or 0 when a field cannot be written.
uint64_t keyHeaderSize(const _COFFER_KEYHEADER *h, unsigned int version)
{
    if (h->algorithms.count && !h->algorithms.pAlgIDs)
        return 0;
    uint64_t size = 2 + 4ull * h->algorithms.count;
    if (version >= 2)
        size += h->hash.size;
    if (version >= 3) {
        if (h->certCount && !h->pCerts)
            return 0;
        size += 2;
        for (unsigned int i = 0; i < h->certCount; ++i) {
            if (blobSize(h->pCerts[i]) > 0xFFFF) {
                COFFER_REPORT(kUnit, "Certificate is too large for its 16-bit length field.");
                return 0;
            }
            size += 2 + blobSize(h->pCerts[i]);
        }
    }
    size += blobSize(h->trailing);
    return size;
}

} // namespace

unsigned int EncodeKeyHeader(const _COFFER_KEYHEADER *pHeader, unsigned char *pOut, unsigned int version)
{
    COFFER_ASSERT(pHeader != NULL);
    const uint64_t size = keyHeaderSize(pHeader, version);
    if (size == 0 || size > UINT32_MAX - 8) {
        if (size)
            COFFER_REPORT(kUnit, "Key header is too large.");
        return 0;
    }
    if (!pOut)
        return unsigned(size);
    unsigned char *p = pOut;
    writeBE16(p, pHeader->algorithms.count);
    p += 2;
    for (unsigned int i = 0; i < pHeader->algorithms.count; ++i, p += 4)
        writeBE32(p, pHeader->algorithms.pAlgIDs[i]);
    if (version >= 2 && pHeader->hash.size) {
        // Only a hash of the right length carries meaning; any other is written as zeros.
        if (pHeader->hash.size == kHashLength && pHeader->hash.data)
            std::memcpy(p, pHeader->hash.data, kHashLength);
        else
            std::memset(p, 0, pHeader->hash.size);
        p += pHeader->hash.size;
    }
    if (version >= 3) {
        writeBE16(p, pHeader->certCount);
        p += 2;
        for (unsigned int i = 0; i < pHeader->certCount; ++i) {
            const uint32_t certSize = blobSize(pHeader->pCerts[i]);
            writeBE16(p, uint16_t(certSize));
            if (certSize)
                std::memcpy(p + 2, pHeader->pCerts[i].data, certSize);
            p += 2 + certSize;
        }
    }
    if (blobSize(pHeader->trailing))
        std::memcpy(p, pHeader->trailing.data, pHeader->trailing.size);
    return unsigned(size);
}

unsigned int EncodeKeyInfo(const _COFFER_KEYINFO *pKeyInfo, unsigned char *pOut)
{
    COFFER_ASSERT(pKeyInfo != NULL);
    const unsigned int headerSize = EncodeKeyHeader(&pKeyInfo->header, nullptr, pKeyInfo->version);
    if (headerSize == 0)
        return 0;
    const uint64_t total = 8ull + headerSize + blobSize(pKeyInfo->payload);
    if (total > UINT32_MAX) {
        COFFER_REPORT(kUnit, "Key info is too large.");
        return 0;
    }
    if (!pOut)
        return unsigned(total);
    writeBE32(pOut, pKeyInfo->version);
    writeBE32(pOut + 4, headerSize);
    EncodeKeyHeader(&pKeyInfo->header, pOut + 8, pKeyInfo->version);
    if (blobSize(pKeyInfo->payload))
        std::memcpy(pOut + 8 + headerSize, pKeyInfo->payload.data, pKeyInfo->payload.size);
    return unsigned(total);
}

signed char DecodeKeyHeader(_COFFER_KEYHEADER *pHeader, const unsigned char *pData, unsigned int length,
                            unsigned int version, signed char allowMissingHash)
{
    COFFER_ASSERT(pHeader != NULL);
    if (length <= 1 || !pData) {
        COFFER_REPORT(kUnit, "Header size is to small");
        return false;
    }
    const unsigned char *p = pData;
    uint32_t remaining = length;
    const uint16_t algCount = readBE16(p);
    p += 2;
    remaining -= 2;
    if (remaining < 4u * algCount) {
        COFFER_REPORT(kUnit, "Algorithm size it to big");
        return false;
    }
    if (algCount) {
        pHeader->algorithms.pAlgIDs = static_cast<ALG_ID *>(std::malloc(sizeof(ALG_ID) * algCount));
        if (!pHeader->algorithms.pAlgIDs)
            return false;
        pHeader->algorithms.count = algCount;
        for (unsigned int i = 0; i < algCount; ++i, p += 4)
            pHeader->algorithms.pAlgIDs[i] = readBE32(p);
        remaining -= 4u * algCount;
    }
    if (version >= 2) {
        if (remaining >= kHashLength) {
            if (!copyInto(&pHeader->hash, p, kHashLength)) {
                FreeKeyHeader(pHeader);
                return false;
            }
            p += kHashLength;
            remaining -= kHashLength;
        } else if (!allowMissingHash) {
            COFFER_REPORT(kUnit, "Header do not continas hash values.");
            FreeKeyHeader(pHeader);
            return false;
        }
    }
    if (version >= 3 && remaining >= 2) {
        const uint16_t certCount = readBE16(p);
        p += 2;
        remaining -= 2;
        if (certCount) {
            pHeader->pCerts = static_cast<_NBLOB *>(std::calloc(certCount, sizeof(_NBLOB)));
            if (!pHeader->pCerts) {
                FreeKeyHeader(pHeader);
                return false;
            }
            pHeader->certCount = certCount;
        }
        for (unsigned int i = 0; i < certCount && remaining >= 2; ++i) {
            const uint16_t certLength = readBE16(p);
            p += 2;
            remaining -= 2;
            // A length past the end ends the list; what follows it is kept as trailing bytes.
            if (certLength > remaining)
                break;
            if (!copyInto(&pHeader->pCerts[i], p, certLength)) {
                FreeKeyHeader(pHeader);
                return false;
            }
            p += certLength;
            remaining -= certLength;
        }
    }
    if (!copyInto(&pHeader->trailing, p, remaining)) {
        FreeKeyHeader(pHeader);
        return false;
    }
    return true;
}

signed char DecodeKeyInfo(_COFFER_KEYINFO *pKeyInfo, const unsigned char *pData, unsigned int length,
                          signed char allowMissingHash)
{
    COFFER_ASSERT(pKeyInfo != NULL);
    std::memset(pKeyInfo, 0, sizeof *pKeyInfo);
    if (length <= 7 || !pData) {
        COFFER_REPORT(kUnit, "Key Info size is to small");
        return false;
    }
    pKeyInfo->version = readBE32(pData);
    const uint32_t headerLength = readBE32(pData + 4);
    if (headerLength > length - 8) {
        COFFER_REPORT(kUnit, "Header data is too small.");
        FreeKeyInfo(pKeyInfo);
        return false;
    }
    if (!DecodeKeyHeader(&pKeyInfo->header, pData + 8, headerLength, pKeyInfo->version, allowMissingHash)) {
        COFFER_REPORT(kUnit, "Can't decode key header.");
        FreeKeyInfo(pKeyInfo);
        return false;
    }
    if (!copyInto(&pKeyInfo->payload, pData + 8 + headerLength, length - 8 - headerLength)) {
        FreeKeyInfo(pKeyInfo);
        return false;
    }
    return true;
}

unsigned int EncodeMsgHeader(const _COFFER_MSGHEADER *pHeader, unsigned char *pOut)
{
    COFFER_ASSERT(pHeader != NULL);
    const uint32_t size = blobSize(pHeader->data);
    if (pOut && size)
        std::memcpy(pOut, pHeader->data.data, size);
    return size;
}

unsigned int EncodeMsgInfo(const _COFFER_MSGINFO *pMsgInfo, unsigned char *pOut)
{
    COFFER_ASSERT(pMsgInfo != NULL);
    const uint32_t headerSize = EncodeMsgHeader(&pMsgInfo->header, nullptr);
    const uint64_t total = 8ull + headerSize + blobSize(pMsgInfo->cipherText);
    if (total > UINT32_MAX) {
        COFFER_REPORT(kUnit, "Msg info is too large.");
        return 0;
    }
    if (!pOut)
        return unsigned(total);
    writeBE32(pOut, pMsgInfo->version);
    writeBE32(pOut + 4, headerSize);
    EncodeMsgHeader(&pMsgInfo->header, pOut + 8);
    if (blobSize(pMsgInfo->cipherText))
        std::memcpy(pOut + 8 + headerSize, pMsgInfo->cipherText.data, pMsgInfo->cipherText.size);
    return unsigned(total);
}

signed char DecodeMsgHeader(_COFFER_MSGHEADER *pHeader, const unsigned char *pData, unsigned int length)
{
    COFFER_ASSERT(pHeader != NULL);
    return copyInto(&pHeader->data, pData, pData ? length : 0);
}

bool coffer_msg_info_cipher_text(const unsigned char *pData, unsigned int length, const unsigned char **ppCipherText,
                                 unsigned int *pCipherLength)
{
    if (length <= 7 || !pData) {
        COFFER_REPORT(kUnit, "Msg Info size is to small");
        return false;
    }
    const uint32_t headerLength = readBE32(pData + 4);
    if (headerLength > length - 8) {
        COFFER_REPORT(kUnit, "Header data is too small.");
        return false;
    }
    *ppCipherText = pData + 8 + headerLength;
    *pCipherLength = length - 8 - headerLength;
    return true;
}

signed char DecodeMsgInfo(_COFFER_MSGINFO *pMsgInfo, const unsigned char *pData, unsigned int length)
{
    COFFER_ASSERT(pMsgInfo != NULL);
    std::memset(pMsgInfo, 0, sizeof *pMsgInfo);
    const unsigned char *cipherText = nullptr;
    unsigned int cipherLength = 0;
    if (!coffer_msg_info_cipher_text(pData, length, &cipherText, &cipherLength))
        return false;
    pMsgInfo->version = readBE32(pData);
    if (!DecodeMsgHeader(&pMsgInfo->header, pData + 8, readBE32(pData + 4))
        || !copyInto(&pMsgInfo->cipherText, cipherText, cipherLength)) {
        FreeMsgInfo(pMsgInfo);
        return false;
    }
    return true;
}

void FreeKeyHeader(_COFFER_KEYHEADER *pHeader)
{
    COFFER_ASSERT(pHeader != NULL);
    std::free(pHeader->algorithms.pAlgIDs);
    pHeader->algorithms.pAlgIDs = nullptr;
    pHeader->algorithms.count = 0;
    FreeBlob(&pHeader->hash);
    if (pHeader->pCerts) {
        for (unsigned int i = 0; i < pHeader->certCount; ++i)
            FreeBlob(&pHeader->pCerts[i]);
        std::free(pHeader->pCerts);
    }
    pHeader->pCerts = nullptr;
    pHeader->certCount = 0;
    FreeBlob(&pHeader->trailing);
}

void FreeKeyInfo(_COFFER_KEYINFO *pKeyInfo)
{
    COFFER_ASSERT(pKeyInfo != NULL);
    FreeKeyHeader(&pKeyInfo->header);
    FreeBlob(&pKeyInfo->payload);
    pKeyInfo->version = 0;
}

void FreeMsgHeader(_COFFER_MSGHEADER *pHeader)
{
    COFFER_ASSERT(pHeader != NULL);
    FreeBlob(&pHeader->data);
}

void FreeMsgInfo(_COFFER_MSGINFO *pMsgInfo)
{
    COFFER_ASSERT(pMsgInfo != NULL);
    FreeMsgHeader(&pMsgInfo->header);
    FreeBlob(&pMsgInfo->cipherText);
    pMsgInfo->version = 0;
}
