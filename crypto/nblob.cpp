#include "nblob.h"

#include "coffer_private.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

using namespace coffer_detail;

const _NBLOB COFFER_NULL_BLOB = {0, nullptr};

void AssignBlob(_NBLOB *pBlob, unsigned char *data, unsigned int size)
{
    COFFER_ASSERT(pBlob != NULL);
    pBlob->data = data;
    pBlob->size = size;
}

void AllocBlob(_NBLOB *pBlob, unsigned int size)
{
    COFFER_ASSERT(pBlob != NULL);
    pBlob->data = size ? static_cast<unsigned char *>(std::malloc(size)) : nullptr;
    // A failed allocation must not leave a size that promises bytes.
    pBlob->size = pBlob->data ? size : 0;
}

void FreeBlob(_NBLOB *pBlob)
{
    COFFER_ASSERT(pBlob != NULL);
    std::free(pBlob->data);
    pBlob->data = nullptr;
    pBlob->size = 0;
}

void DestroyBlob(_NBLOB *pBlob)
{
    COFFER_ASSERT(pBlob != NULL);
    std::free(pBlob->data);
    std::free(pBlob);
}

unsigned int CopyBlob(_NBLOB *pDstBlob, const _NBLOB *pSrcBlob)
{
    COFFER_ASSERT(pDstBlob != NULL);
    COFFER_ASSERT(pSrcBlob != NULL);
    if (pDstBlob == pSrcBlob)
        return pDstBlob->size;
    // Copy before freeing, so a destination that shares the source's bytes survives.
    unsigned char *copy = nullptr;
    uint32_t size = 0;
    if (pSrcBlob->size && pSrcBlob->data) {
        copy = static_cast<unsigned char *>(std::malloc(pSrcBlob->size));
        if (copy) {
            std::memcpy(copy, pSrcBlob->data, pSrcBlob->size);
            size = pSrcBlob->size;
        }
    }
    std::free(pDstBlob->data);
    pDstBlob->data = copy;
    pDstBlob->size = size;
    return size;
}

_NBLOB *DupBlob(const _NBLOB *pSrcBlob)
{
    COFFER_ASSERT(pSrcBlob != NULL);
    auto *blob = static_cast<_NBLOB *>(std::calloc(1, sizeof(_NBLOB)));
    if (blob)
        CopyBlob(blob, pSrcBlob);
    return blob;
}

int CompareBlob(const _NBLOB *pBlob1, const _NBLOB *pBlob2)
{
    if (!pBlob1 && !pBlob2)
        return 0;
    if (!pBlob1)
        return -1;
    if (!pBlob2)
        return 1;
    const uint32_t common = pBlob1->size < pBlob2->size ? pBlob1->size : pBlob2->size;
    for (uint32_t i = 0; i < common; ++i) {
        if (pBlob1->data[i] != pBlob2->data[i])
            return int(pBlob1->data[i]) - int(pBlob2->data[i]);
    }
    if (pBlob1->size == pBlob2->size)
        return 0;
    return pBlob1->size < pBlob2->size ? -1 : 1;
}

bool operator==(_NBLOB a, _NBLOB b)
{
    if (a.size != b.size)
        return false;
    if (a.data == b.data)
        return true;
    if (!a.data || !b.data)
        return false;
    return std::memcmp(a.data, b.data, a.size) == 0;
}

bool operator!=(_NBLOB a, _NBLOB b) { return !(a == b); }

unsigned int GetBlobArrayLen(const _NBLOB *pArray)
{
    unsigned int count = 0;
    if (!pArray)
        return 0;
    while (pArray[count].data)
        ++count;
    return count;
}

_NBLOB *SplitBlob(const _NBLOB *pBlob, unsigned int *pCount)
{
    if (!pBlob || pBlob->size == 0 || !pBlob->data)
        return nullptr;
    const uint32_t total = pBlob->size;
    // First pass: count the whole items; a length that runs past the end stops the walk.
    unsigned int count = 0;
    uint32_t pos = 0;
    while (total - pos >= 4) {
        const uint32_t len = readBE32(pBlob->data + pos);
        if (len > total - pos - 4)
            break;
        pos += 4 + len;
        ++count;
    }
    auto *array = static_cast<_NBLOB *>(std::calloc(size_t(count) + 1, sizeof(_NBLOB)));
    if (!array)
        return nullptr;
    pos = 0;
    for (unsigned int i = 0; i < count; ++i) {
        const uint32_t len = readBE32(pBlob->data + pos);
        array[i].size = len;
        array[i].data = pBlob->data + pos + 4;
        pos += 4 + len;
    }
    if (pCount)
        *pCount = count;
    return array;
}

_NBLOB *MergeBlob(int count, ...)
{
    uint64_t total = 0;
    va_list args;
    va_start(args, count);
    for (int i = 0; i < count; ++i) {
        const _NBLOB *blob = va_arg(args, const _NBLOB *);
        total += 4 + (blob && blob->data ? blob->size : 0);
    }
    va_end(args);
    // The item list is itself a blob: refuse what its 32-bit size cannot count.
    if (total > UINT32_MAX)
        return nullptr;

    auto *merged = static_cast<_NBLOB *>(std::calloc(1, sizeof(_NBLOB)));
    if (!merged)
        return nullptr;
    if (total) {
        merged->data = static_cast<unsigned char *>(std::calloc(size_t(total), 1));
        if (!merged->data) {
            std::free(merged);
            return nullptr;
        }
        merged->size = uint32_t(total);
    }
    unsigned char *p = merged->data;
    va_start(args, count);
    for (int i = 0; i < count; ++i) {
        const _NBLOB *blob = va_arg(args, const _NBLOB *);
        const uint32_t size = blob && blob->data ? blob->size : 0;
        writeBE32(p, size);
        if (size)
            std::memcpy(p + 4, blob->data, size);
        p += 4 + size;
    }
    va_end(args);
    return merged;
}
