// Text conversions used inside the library (not exported).
#pragma once

#include <optional>
#include <string>

namespace coffer {

// UTF-8 to UTF-16 and back; invalid sequences become U+FFFD.
std::u16string utf8ToUtf16(const std::string &text);
std::string utf16ToUtf8(const std::u16string &text);

// 8-bit text in a named character set (null or empty: UTF-8) to UTF-16 and
// back, through iconv. Nothing when the conversion fails.
std::optional<std::u16string> charsetToUtf16(const std::string &text, const char *charset);
std::optional<std::string> utf16ToCharset(const std::u16string &text, const char *charset);

// UTF-16 text as little-endian bytes, two per code unit.
std::string utf16LEBytes(const std::u16string &text);

} // namespace coffer
