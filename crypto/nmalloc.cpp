#include "nmalloc.h"

#include "crypt_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

std::map<void *, memory> &nmalloc_memory_map()
{
    static std::map<void *, memory> map;
    return map;
}

void *record(const char *file, int line, const char *function, size_t size, void *block)
{
    if (block) {
        memory entry;
        entry.file = file ? file : "";
        entry.line = line;
        entry.function = function;
        entry.size = unsigned(size);
        entry.address = block;
        nmalloc_memory_map()[block] = entry;
    }
    return block;
}

} // namespace

void memory::print_not_free() const
{
    std::fprintf(stderr, "not freed : %p(%d) in %s(%d):%s\n", address, int(size), file.c_str(), line,
                 function.c_str());
}

void memory::print_alloc() const {}

void memory::print_free() const {}

void *nmalloc(const char *file, int line, size_t size)
{
    return record(file, line, "malloc", size, std::malloc(size));
}

void *ncalloc(const char *file, int line, size_t count, size_t size)
{
    return record(file, line, "calloc", count * size, std::calloc(count, size));
}

void *nrealloc(const char *file, int line, void *block, size_t size)
{
    if (block && nmalloc_memory_map().erase(block) == 0)
        std::fprintf(stderr, "realloc   : invalid address %p in %s(%d)\n", block, file ? file : "", line);
    return record(file, line, "realloc", size, std::realloc(block, size));
}

void nfree(const char *file, int line, void *block)
{
    if (nmalloc_memory_map().erase(block) == 0)
        std::fprintf(stderr, "free      : invalid address %p in %s(%d)\n", block, file ? file : "", line);
}

char *nstrdup(const char *file, int line, const char *text)
{
    if (!text)
        return nullptr;
    char *copy = ::strdup(text);
    return static_cast<char *>(record(file, line, "strdup", copy ? std::strlen(copy) + 1 : 0, copy));
}

char *nstrndup(const char *file, int line, const char *text, size_t n)
{
    if (!text)
        return nullptr;
    char *copy = ::strndup(text, n);
    return static_cast<char *>(record(file, line, "strndup", copy ? std::strlen(copy) + 1 : 0, copy));
}

unsigned short *n_wcsdup(const char *file, int line, const unsigned short *text)
{
    unsigned short *copy = _coffer_wcsdup(text);
    return static_cast<unsigned short *>(
        record(file, line, "_wcsdup", copy ? _coffer_wcslen(copy) + 1 : 0, copy));
}

void show_malloc_status()
{
    std::fprintf(stderr, "========== CURRENT NOT FREED MEMORY ===========\n");
    for (const auto &[address, entry] : nmalloc_memory_map())
        entry.print_not_free();
    std::fprintf(stderr, "===============================================\n");
}
