// Helpers of the session classes: input in a blob type, results in a blob
// type, and wiping key material.
#pragma once

#include "nblob.h"

#include <cstdint>

// Input bytes after decoding by blob type: a view of raw input, or a decoded
// buffer owned here.
class CofferInput
{
public:
    CofferInput() = default;
    ~CofferInput();
    CofferInput(const CofferInput &) = delete;
    CofferInput &operator=(const CofferInput &) = delete;

    // False for a blob type other than raw, Base16 or Base64.
    [[nodiscard]] bool decode(const unsigned char *pData, unsigned int length, unsigned int blobType);
    const unsigned char *data() const { return m_data; }
    unsigned int size() const { return m_size; }

private:
    const unsigned char *m_data = nullptr;
    unsigned int m_size = 0;
    unsigned char *m_owned = nullptr;
};

// A new blob record holding raw bytes in the given type; takes raw over (a
// heap buffer). Text results carry a terminating zero after their counted size.
_NBLOB *coffer_blob_in_type(unsigned char *raw, uint32_t size, unsigned int blobType);
bool coffer_is_blob_type(unsigned int blobType);
// Wipes and frees a blob's bytes.
void coffer_wipe_blob(_NBLOB *pBlob);
