// Arbitrary bytes as an item list, a key info and a message info; whatever
// decodes must encode and decode again to the same record.
#include "info_header.h"
#include "nblob.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

[[maybe_unused]] void splitAndMerge(const uint8_t *data, size_t size)
{
    _NBLOB blob = {uint32_t(size), const_cast<unsigned char *>(data)};
    unsigned int count = 0;
    _NBLOB *items = SplitBlob(&blob, &count);
    if (!items)
        return;
    size_t used = 0;
    for (unsigned int i = 0; i < count; ++i) {
        if (items[i].data < data || items[i].data + items[i].size > data + size)
            std::abort();
        used += 4 + items[i].size;
    }
    if (GetBlobArrayLen(items) != count || used > size)
        std::abort();
    // The whole items merged again are the same bytes as the list's start.
    if (count >= 2) {
        _NBLOB *merged = MergeBlob(2, &items[0], &items[1]);
        if (!merged || std::memcmp(merged->data, data, merged->size) != 0)
            std::abort();
        DestroyBlob(merged);
    }
    std::free(items);
}

[[maybe_unused]] void keyInfo(const uint8_t *data, size_t size, signed char allowMissingHash)
{
    _COFFER_KEYINFO info;
    if (DecodeKeyInfo(&info, data, unsigned(size), allowMissingHash)) {
        std::vector<unsigned char> out(EncodeKeyInfo(&info, nullptr));
        if (out.empty())
            std::abort();
        EncodeKeyInfo(&info, out.data());
        _COFFER_KEYINFO again;
        if (!DecodeKeyInfo(&again, out.data(), unsigned(out.size()), true) || again.version != info.version
            || again.header.algorithms.count != info.header.algorithms.count || !(again.payload == info.payload))
            std::abort();
        FreeKeyInfo(&again);
    }
    FreeKeyInfo(&info);
}

[[maybe_unused]] void msgInfo(const uint8_t *data, size_t size)
{
    _COFFER_MSGINFO info;
    if (DecodeMsgInfo(&info, data, unsigned(size))) {
        std::vector<unsigned char> out(EncodeMsgInfo(&info, nullptr));
        EncodeMsgInfo(&info, out.data());
        if (out.size() != size || std::memcmp(out.data() + 4, data + 4, size - 4) != 0)
            std::abort();
    }
    FreeMsgInfo(&info);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
#if defined(FUZZ_SPLIT)
    splitAndMerge(data, size);
#elif defined(FUZZ_KEYINFO)
    keyInfo(data, size, false);
    keyInfo(data, size, true);
#else
    msgInfo(data, size);
#endif
    return 0;
}
