// Helpers shared by the library's sources; nothing here is exported.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A caller error (a null record where one is required) stops the process with
// the failed check's own text; input errors never come here.
#define COFFER_ASSERT(cond)                                                              \
    do {                                                                                 \
        if (!(cond)) {                                                                   \
            std::fprintf(stderr, "libcoffer3: assertion failed: %s (%s, %d)\n", #cond, \
                         __FILE__, __LINE__);                                            \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

namespace coffer_detail {

inline uint32_t readBE32(const unsigned char *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline uint16_t readBE16(const unsigned char *p) { return uint16_t((p[0] << 8) | p[1]); }
inline void writeBE32(unsigned char *p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
inline void writeBE16(unsigned char *p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

// Base64 into a caller buffer of at least GetBase64EncodeSize(length) bytes;
// returns the characters written (no terminator).
size_t base64EncodeInto(const unsigned char *data, size_t length, bool urlSafe, char *out);
// Base64 / Base16 decoding into a caller buffer of at least
// GetBase64DecodeSize(length) (Base16: length / 2) bytes; returns bytes written.
size_t base64DecodeInto(const char *text, size_t length, unsigned char *out);
size_t base16DecodeInto(const char *text, size_t length, unsigned char *out);
// Text length where 0 means "up to the terminating zero".
size_t textLength(const char *text, unsigned int length);

} // namespace coffer_detail
