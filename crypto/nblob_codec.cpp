// Base16 and Base64 coders. Decoders skip every character outside their
// alphabet; Base64 decoding takes the standard and the URL-safe alphabet at once.
#include "nblob.h"

#include "coffer_private.h"

#include <array>
#include <cstdlib>
#include <cstring>

using namespace coffer_detail;

namespace {

constexpr char kBase16Digits[] = "0123456789ABCDEF";
constexpr char kBase64Standard[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kBase64UrlSafe[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr uint8_t kInvalid = 0xFF;

constexpr std::array<uint8_t, 256> makeBase64Values()
{
    std::array<uint8_t, 256> table{};
    for (auto &v : table)
        v = kInvalid;
    for (int i = 0; i < 64; ++i) {
        table[uint8_t(kBase64Standard[i])] = uint8_t(i);
        table[uint8_t(kBase64UrlSafe[i])] = uint8_t(i);
    }
    return table;
}

constexpr std::array<uint8_t, 256> makeBase16Values()
{
    std::array<uint8_t, 256> table{};
    for (auto &v : table)
        v = kInvalid;
    for (int i = 0; i < 10; ++i)
        table['0' + i] = uint8_t(i);
    for (int i = 0; i < 6; ++i) {
        table['A' + i] = uint8_t(10 + i);
        table['a' + i] = uint8_t(10 + i);
    }
    return table;
}

constexpr auto kBase64Values = makeBase64Values();

// The value of a character already shifted to its place in a group of four;
// kGroupInvalid marks a character outside both alphabets.
constexpr uint32_t kGroupInvalid = 0x01000000;
constexpr std::array<uint32_t, 256> makeShiftedValues(int shift)
{
    std::array<uint32_t, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = kBase64Values[c] == kInvalid ? kGroupInvalid : uint32_t(kBase64Values[c]) << shift;
    return table;
}
constexpr auto kGroup0 = makeShiftedValues(18);
constexpr auto kGroup1 = makeShiftedValues(12);
constexpr auto kGroup2 = makeShiftedValues(6);
constexpr auto kGroup3 = makeShiftedValues(0);
constexpr auto kBase16Values = makeBase16Values();

// Two characters for each 12-bit value, so three bytes become four
// characters with two lookups.
using PairTable = std::array<std::array<char, 2>, 4096>;
constexpr PairTable makePairs(const char *alphabet)
{
    PairTable table{};
    for (int v = 0; v < 4096; ++v)
        table[v] = {alphabet[v >> 6], alphabet[v & 63]};
    return table;
}
constexpr PairTable kStandardPairs = makePairs(kBase64Standard);
constexpr PairTable kUrlSafePairs = makePairs(kBase64UrlSafe);

bool isSkippedSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

namespace coffer_detail {

size_t textLength(const char *text, unsigned int length)
{
    if (!text)
        return 0;
    return length ? length : std::strlen(text);
}

size_t base64EncodeInto(const unsigned char *data, size_t length, bool urlSafe, char *out)
{
    const char *alphabet = urlSafe ? kBase64UrlSafe : kBase64Standard;
    size_t o = 0;
    size_t i = 0;
    const PairTable &pairs = urlSafe ? kUrlSafePairs : kStandardPairs;
    for (; i + 3 <= length; i += 3) {
        const uint32_t v = (uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8) | data[i + 2];
        std::memcpy(out + o, pairs[v >> 12].data(), 2);
        std::memcpy(out + o + 2, pairs[v & 0xFFF].data(), 2);
        o += 4;
    }
    const size_t rest = length - i;
    if (rest == 1) {
        const uint32_t v = uint32_t(data[i]) << 16;
        out[o++] = alphabet[v >> 18];
        out[o++] = alphabet[(v >> 12) & 63];
        if (!urlSafe) {
            out[o++] = '=';
            out[o++] = '=';
        }
    } else if (rest == 2) {
        const uint32_t v = (uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8);
        out[o++] = alphabet[v >> 18];
        out[o++] = alphabet[(v >> 12) & 63];
        out[o++] = alphabet[(v >> 6) & 63];
        if (!urlSafe)
            out[o++] = '=';
    }
    return o;
}

size_t base64DecodeInto(const char *text, size_t length, unsigned char *out)
{
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    size_t i = 0;
    size_t o = 0;
    uint32_t acc = 0;
    int pending = 0;
    while (i < length) {
        // Runs of whole groups of four valid characters take the short way.
        if (pending == 0) {
            while (length - i >= 4) {
                const uint32_t v = kGroup0[s[i]] | kGroup1[s[i + 1]] | kGroup2[s[i + 2]] | kGroup3[s[i + 3]];
                if (v & kGroupInvalid)
                    break;
                out[o] = uint8_t(v >> 16);
                out[o + 1] = uint8_t(v >> 8);
                out[o + 2] = uint8_t(v);
                o += 3;
                i += 4;
            }
            if (i >= length)
                break;
        }
        const uint8_t v = kBase64Values[s[i++]];
        if (v == kInvalid)
            continue;
        acc = (acc << 6) | v;
        if (++pending == 4) {
            out[o] = uint8_t(acc >> 16);
            out[o + 1] = uint8_t(acc >> 8);
            out[o + 2] = uint8_t(acc);
            o += 3;
            acc = 0;
            pending = 0;
        }
    }
    if (pending == 2) {
        out[o++] = uint8_t(acc >> 4);
    } else if (pending == 3) {
        out[o++] = uint8_t(acc >> 10);
        out[o++] = uint8_t(acc >> 2);
    }
    return o;
}

size_t base16DecodeInto(const char *text, size_t length, unsigned char *out)
{
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    size_t o = 0;
    int high = -1;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t v = kBase16Values[s[i]];
        if (v == kInvalid)
            continue;
        if (high < 0) {
            high = v;
        } else {
            out[o++] = uint8_t((high << 4) | v);
            high = -1;
        }
    }
    return o;
}

} // namespace coffer_detail

unsigned int GetBase64EncodeSize(unsigned int n)
{
    const uint64_t size = (uint64_t(n) * 8 + 23) / 24 * 4;
    // 0 stands for "too large to encode": no text of that length can be counted.
    return size >= UINT32_MAX ? 0 : unsigned(size);
}

unsigned int GetBase64DecodeSize(unsigned int n) { return unsigned((uint64_t(n) * 6 + 23) / 24 * 3); }

unsigned int GetBase16AvailableSize(const char *text, unsigned int length)
{
    const size_t len = textLength(text, length);
    unsigned int count = 0;
    for (size_t i = 0; i < len; ++i)
        count += kBase16Values[uint8_t(text[i])] != kInvalid;
    return count;
}

unsigned int GetBase64AvailableSize(const char *text, unsigned int length)
{
    const size_t len = textLength(text, length);
    unsigned int count = 0;
    for (size_t i = 0; i < len; ++i)
        count += kBase64Values[uint8_t(text[i])] != kInvalid;
    return count;
}

unsigned int DetectBlobType(const unsigned char *data, unsigned int length)
{
    unsigned int type = COFFER_BLOB_BASE16;
    if (!data)
        return type;
    for (unsigned int i = 0; i < length; ++i) {
        const unsigned char c = data[i];
        if (isSkippedSpace(c))
            continue;
        if (type == COFFER_BLOB_BASE16) {
            if (kBase16Values[c] != kInvalid)
                continue;
            if (kBase64Values[c] == kInvalid)
                return COFFER_BLOB_RAW;
            type = COFFER_BLOB_BASE64;
        } else if (kBase64Values[c] == kInvalid && c != '=') {
            return COFFER_BLOB_RAW;
        }
    }
    return type;
}

char *EncodeBase16(const unsigned char *data, unsigned int length)
{
    if (!data && length)
        return nullptr;
    auto *text = static_cast<char *>(std::malloc(size_t(length) * 2 + 1));
    if (!text)
        return nullptr;
    for (unsigned int i = 0; i < length; ++i) {
        text[2 * size_t(i)] = kBase16Digits[data[i] >> 4];
        text[2 * size_t(i) + 1] = kBase16Digits[data[i] & 15];
    }
    text[size_t(length) * 2] = '\0';
    return text;
}

unsigned char *DecodeBase16(const char *text, unsigned int length, unsigned int *pOutLength)
{
    if (pOutLength)
        *pOutLength = 0;
    if (!text)
        return nullptr;
    const size_t len = textLength(text, length);
    if (len > UINT32_MAX)
        return nullptr;
    const size_t bytes = GetBase16AvailableSize(text, unsigned(len)) / 2;
    auto *out = static_cast<unsigned char *>(std::malloc(bytes + 1));
    if (!out)
        return nullptr;
    const size_t written = base16DecodeInto(text, len, out);
    out[written] = 0;
    if (pOutLength)
        *pOutLength = unsigned(written);
    return out;
}

char *EncodeBase64(const unsigned char *data, unsigned int length, signed char urlSafe)
{
    if (!data && length)
        return nullptr;
    const unsigned int size = GetBase64EncodeSize(length);
    if (size == 0 && length)
        return nullptr;
    auto *text = static_cast<char *>(std::calloc(size_t(size) + 1, 1));
    if (!text)
        return nullptr;
    base64EncodeInto(data, length, urlSafe != 0, text);
    return text;
}

unsigned char *DecodeBase64(const char *text, unsigned int length, unsigned int *pOutLength)
{
    if (pOutLength)
        *pOutLength = 0;
    if (!text)
        return nullptr;
    const size_t len = textLength(text, length);
    if (len > UINT32_MAX)
        return nullptr;
    // Sized from the text length: never less than the valid characters need,
    // and it spares a counting pass over large messages.
    auto *out = static_cast<unsigned char *>(std::malloc(size_t(GetBase64DecodeSize(unsigned(len))) + 1));
    if (!out)
        return nullptr;
    const size_t written = base64DecodeInto(text, len, out);
    out[written] = 0;
    if (pOutLength)
        *pOutLength = unsigned(written);
    return out;
}

void FreeBaseAlloced(void *p) { std::free(p); }
