// Blobs: the byte buffers that cross libcoffer3's interface, and the Base16 /
// Base64 coders that turn them into text.
#pragma once

#include "coffer_export.h"

#include <cstdint>

// One byte string on the process heap (malloc). An empty blob is {0, nullptr}.
struct _NBLOB {
    uint32_t size;
    unsigned char *data;
};

// Encodings of data passed in or out of the library.
enum : unsigned int {
    COFFER_BLOB_RAW = 0,
    COFFER_BLOB_BASE16 = 1,
    COFFER_BLOB_BASE64 = 2,
};

COFFER_API extern const _NBLOB COFFER_NULL_BLOB;

// Takes the pointer over; copies nothing.
COFFER_API void AssignBlob(_NBLOB *pBlob, unsigned char *data, unsigned int size);
// Allocates size bytes (not zeroed); the old data is not freed.
COFFER_API void AllocBlob(_NBLOB *pBlob, unsigned int size);
// Frees the data and empties the record; the record itself stays.
COFFER_API void FreeBlob(_NBLOB *pBlob);
// Frees the data and the record: the release call for every blob the library returns.
COFFER_API void DestroyBlob(_NBLOB *pBlob);
// Replaces the destination's bytes with a copy of the source's; returns the size.
COFFER_API unsigned int CopyBlob(_NBLOB *pDstBlob, const _NBLOB *pSrcBlob);
COFFER_API _NBLOB *DupBlob(const _NBLOB *pSrcBlob);
// Three-way compare; null pointers sort first.
COFFER_API int CompareBlob(const _NBLOB *pBlob1, const _NBLOB *pBlob2);
COFFER_API bool operator==(_NBLOB a, _NBLOB b);
COFFER_API bool operator!=(_NBLOB a, _NBLOB b);

// Number of records before the end mark (a record with null data).
COFFER_API unsigned int GetBlobArrayLen(const _NBLOB *pArray);
// Reads an item list (4-byte big-endian length, then the bytes, repeated) into
// a new array (free it with free()) whose entries point into pBlob.
COFFER_API _NBLOB *SplitBlob(const _NBLOB *pBlob, unsigned int *pCount);
// Writes the given blobs (count, then that many const _NBLOB *) as an item list.
COFFER_API _NBLOB *MergeBlob(int count, ...);

// Coders. A text length of 0 means: up to the terminating zero. Results are
// heap buffers released with FreeBaseAlloced; decoded buffers carry one zero
// byte after the counted bytes.
COFFER_API unsigned int GetBase64EncodeSize(unsigned int n);
COFFER_API unsigned int GetBase64DecodeSize(unsigned int n);
COFFER_API unsigned int GetBase16AvailableSize(const char *text, unsigned int length);
COFFER_API unsigned int GetBase64AvailableSize(const char *text, unsigned int length);
COFFER_API unsigned int DetectBlobType(const unsigned char *data, unsigned int length);
COFFER_API char *EncodeBase16(const unsigned char *data, unsigned int length);
COFFER_API unsigned char *DecodeBase16(const char *text, unsigned int length, unsigned int *pOutLength);
COFFER_API char *EncodeBase64(const unsigned char *data, unsigned int length, signed char urlSafe);
COFFER_API unsigned char *DecodeBase64(const char *text, unsigned int length, unsigned int *pOutLength);
COFFER_API void FreeBaseAlloced(void *p);
