// Allocation functions that record every live block with the caller's file,
// line and function, so a debug build can list what was never freed. For
// single-threaded debug use only: the record is process-wide and unguarded.
#pragma once

#include "coffer_export.h"

#include <cstddef>
#include <string>

struct COFFER_API memory {
    std::string file;
    int line = 0;
    std::string function; // "malloc", "calloc", "realloc", "strdup", "strndup" or "_wcsdup"
    unsigned int size = 0; // bytes, or characters with the terminator for string copies
    void *address = nullptr;

    void print_not_free() const;
    void print_alloc() const;
    void print_free() const;
};

COFFER_API void *nmalloc(const char *file, int line, size_t size);
COFFER_API void *ncalloc(const char *file, int line, size_t count, size_t size);
COFFER_API void *nrealloc(const char *file, int line, void *block, size_t size);
// Forgets the block; the block itself stays allocated, since callers free it
// themselves after this call.
COFFER_API void nfree(const char *file, int line, void *block);
COFFER_API char *nstrdup(const char *file, int line, const char *text);
COFFER_API char *nstrndup(const char *file, int line, const char *text, size_t n);
COFFER_API unsigned short *n_wcsdup(const char *file, int line, const unsigned short *text);
COFFER_API void show_malloc_status();
