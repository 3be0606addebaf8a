// Arbitrary text through the Base16 or Base64 decoder (chosen at build time),
// with the invariants every decoded buffer must keep.
#include "nblob.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    unsigned int length = 0;
#if defined(FUZZ_BASE16)
    unsigned char *out = DecodeBase16(text.c_str(), unsigned(size), &length);
    if (!out || length > size / 2 || length != GetBase16AvailableSize(text.c_str(), unsigned(size)) / 2)
        std::abort();
    char *again = EncodeBase16(out, length);
#else
    unsigned char *out = DecodeBase64(text.c_str(), unsigned(size), &length);
    if (!out || length > GetBase64DecodeSize(unsigned(size)))
        std::abort();
    char *again = EncodeBase64(out, length, size % 2 == 1);
#endif
    if (out[length] != 0 || !again)
        std::abort();
    (void)DetectBlobType(data, unsigned(size));
    FreeBaseAlloced(again);
    FreeBaseAlloced(out);
    return 0;
}
