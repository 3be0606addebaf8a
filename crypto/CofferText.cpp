#include "CofferText.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <vector>

namespace coffer {

std::u16string utf8ToUtf16(const std::string &text)
{
    std::u16string out;
    out.reserve(text.size());
    const auto *s = reinterpret_cast<const unsigned char *>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        uint32_t cp = 0xFFFD;
        size_t extra = 0;
        uint32_t min = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F, extra = 1, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F, extra = 2, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07, extra = 3, min = 0x10000;
        } else {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        size_t j = 1;
        for (; j <= extra; ++j) {
            if (i + j >= n || (s[i + j] & 0xC0) != 0x80)
                break;
            cp = (cp << 6) | (s[i + j] & 0x3F);
        }
        if (j <= extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
            i += j; // skip the lead byte and the continuation bytes read
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

std::string utf16ToUtf8(const std::u16string &text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00
            && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | (cp >> 6)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

namespace {

std::optional<std::string> iconvConvert(const char *from, const char *to, const std::string &in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return std::nullopt;
    std::string out;
    std::vector<char> chunk(4096);
    char *inPtr = const_cast<char *>(in.data());
    size_t inLeft = in.size();
    bool ok = true;
    while (inLeft > 0) {
        char *outPtr = chunk.data();
        size_t outLeft = chunk.size();
        const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(chunk.data(), chunk.size() - outLeft);
        if (rc == size_t(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    return out;
}

bool isUtf8(const char *charset)
{
    return !charset || !*charset;
}

} // namespace

std::string utf16LEBytes(const std::u16string &text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t u : text) {
        out.push_back(char(u & 0xFF));
        out.push_back(char(u >> 8));
    }
    return out;
}

std::optional<std::u16string> charsetToUtf16(const std::string &text, const char *charset)
{
    if (isUtf8(charset))
        return utf8ToUtf16(text);
    const auto bytes = iconvConvert(charset, "UTF-16LE", text);
    if (!bytes || bytes->size() % 2 != 0)
        return std::nullopt;
    std::u16string out(bytes->size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = char16_t(uint8_t((*bytes)[2 * i]) | (uint8_t((*bytes)[2 * i + 1]) << 8));
    return out;
}

std::optional<std::string> utf16ToCharset(const std::u16string &text, const char *charset)
{
    if (isUtf8(charset))
        return utf16ToUtf8(text);
    return iconvConvert("UTF-16LE", charset, utf16LEBytes(text));
}

} // namespace coffer
