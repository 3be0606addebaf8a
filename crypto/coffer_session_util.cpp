#include "coffer_session_util.h"

#include "coffer_private.h"

#include <openssl/crypto.h>

#include <cstdlib>
#include <cstring>

using namespace coffer_detail;

CofferInput::~CofferInput() { std::free(m_owned); }

bool CofferInput::decode(const unsigned char *pData, unsigned int length, unsigned int blobType)
{
    const auto *text = reinterpret_cast<const char *>(pData);
    switch (blobType) {
    case COFFER_BLOB_RAW:
        m_data = pData;
        m_size = pData ? length : 0;
        return true;
    case COFFER_BLOB_BASE16:
        m_owned = DecodeBase16(text, length, &m_size);
        m_data = m_owned;
        return true;
    case COFFER_BLOB_BASE64:
        m_owned = DecodeBase64(text, length, &m_size);
        m_data = m_owned;
        return true;
    default:
        return false;
    }
}

bool coffer_is_blob_type(unsigned int blobType) { return blobType <= COFFER_BLOB_BASE64; }

_NBLOB *coffer_blob_in_type(unsigned char *raw, uint32_t size, unsigned int blobType)
{
    auto *blob = static_cast<_NBLOB *>(std::calloc(1, sizeof(_NBLOB)));
    if (!blob || !coffer_is_blob_type(blobType)) {
        std::free(raw);
        std::free(blob);
        return nullptr;
    }
    if (blobType == COFFER_BLOB_RAW) {
        blob->data = raw;
        blob->size = raw ? size : 0;
        return blob;
    }
    char *text = nullptr;
    size_t textLength = 0;
    if (blobType == COFFER_BLOB_BASE16) {
        text = size <= UINT32_MAX / 2 ? EncodeBase16(raw, size) : nullptr;
        textLength = size_t(size) * 2;
    } else {
        const unsigned int encoded = GetBase64EncodeSize(size);
        text = (encoded || !size) ? static_cast<char *>(std::malloc(size_t(encoded) + 1)) : nullptr;
        if (text) {
            textLength = base64EncodeInto(raw, size, false, text);
            text[textLength] = '\0';
        }
    }
    std::free(raw);
    if (!text) {
        std::free(blob);
        return nullptr;
    }
    blob->data = reinterpret_cast<unsigned char *>(text);
    blob->size = uint32_t(textLength);
    return blob;
}

void coffer_wipe_blob(_NBLOB *pBlob)
{
    if (pBlob->data)
        OPENSSL_cleanse(pBlob->data, pBlob->size);
    FreeBlob(pBlob);
}
