#include "asn1.h"

#include "asn1_private.h"

#include "CofferText.h"

#include <cstring>

namespace ASN1 {

// ---- String ----

String::String(uint8_t type) : Object(type) {}

String::~String() = default;

void String::SetString(const char *text, int length)
{
    mUnicode.reset();
    mUtf8.reset();
    if (!text || length == 0)
        return;
    mUtf8 = length < 0 ? std::string(text) : std::string(text, size_t(length));
}

void String::SetString(const char16_t *text, int length)
{
    mUnicode.reset();
    mUtf8.reset();
    if (!text || length == 0)
        return;
    mUnicode = length < 0 ? std::u16string(text) : std::u16string(text, size_t(length));
}

void String::Convert()
{
    if (mUtf8)
        mUnicode = coffer::utf8ToUtf16(*mUtf8);
    else if (mUnicode)
        mUtf8 = coffer::utf16ToUtf8(*mUnicode);
}

const char16_t *String::GetUnicodeString()
{
    if (!mUnicode && mUtf8)
        mUnicode = coffer::utf8ToUtf16(*mUtf8);
    return mUnicode ? mUnicode->c_str() : nullptr;
}

const char *String::GetUTF8String()
{
    if (!mUtf8 && mUnicode)
        mUtf8 = coffer::utf16ToUtf8(*mUnicode);
    return mUtf8 ? mUtf8->c_str() : nullptr;
}

// ---- BMPString ----

BMPString::BMPString() : String(0x1E) {}

BMPString::BMPString(const char *text) : String(0x1E)
{
    SetString(text);
}

BMPString::BMPString(const char16_t *text) : String(0x1E)
{
    SetString(text);
}

std::u16string BMPString::UnicodeText() const
{
    if (mUnicode)
        return *mUnicode;
    if (mUtf8)
        return coffer::utf8ToUtf16(*mUtf8);
    return {};
}

uint32_t BMPString::GetContentLength() const
{
    return uint32_t(UnicodeText().size() * 2);
}

uint8_t *BMPString::EncodeContent(uint8_t *out) const
{
    for (char16_t unit : UnicodeText()) {
        *out++ = uint8_t(unit >> 8);
        *out++ = uint8_t(unit & 0xFF);
    }
    return out;
}

const uint8_t *BMPString::DecodeContent(const uint8_t *, int, const uint8_t *content, uint32_t contentLength,
                                        ErrorList *)
{
    std::u16string text(contentLength / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t((content[2 * i] << 8) | content[2 * i + 1]);
    mUtf8.reset();
    mUnicode = std::move(text);
    return content + contentLength;
}

void BMPString::PrintContent(const Columns &widths, FILE *file) const
{
    std::fputc('\n', file);
    std::vector<uint8_t> bytes(GetContentLength());
    EncodeContent(bytes.data());
    PrintHexDump(widths, bytes.data(), uint32_t(bytes.size()), file);
}

// ---- MultibyteString and its types ----

MultibyteString::MultibyteString(uint8_t type) : String(type) {}

MultibyteString::MultibyteString(uint8_t type, const char *text) : String(type)
{
    SetString(text);
}

MultibyteString::MultibyteString(uint8_t type, const char16_t *text) : String(type)
{
    SetString(text);
}

std::string MultibyteString::Utf8Text() const
{
    if (mUtf8)
        return *mUtf8;
    if (mUnicode)
        return coffer::utf16ToUtf8(*mUnicode);
    return {};
}

uint32_t MultibyteString::GetContentLength() const
{
    return uint32_t(Utf8Text().size());
}

uint8_t *MultibyteString::EncodeContent(uint8_t *out) const
{
    const std::string text = Utf8Text();
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

const uint8_t *MultibyteString::DecodeContent(const uint8_t *, int, const uint8_t *content,
                                              uint32_t contentLength, ErrorList *)
{
    mUnicode.reset();
    mUtf8 = std::string(reinterpret_cast<const char *>(content), contentLength);
    return content + contentLength;
}

void MultibyteString::PrintContent(const Columns &, FILE *file) const
{
    const std::string text = Utf8Text();
    std::fputc(':', file);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fputc('\n', file);
}

#define COFFER_ASN1_MULTIBYTE_STRING_IMPL(Name, type)                                              \
    Name::Name() : MultibyteString(type) {}                                                        \
    Name::Name(const char *text) : MultibyteString(type, text) {}                                  \
    Name::Name(const char16_t *text) : MultibyteString(type, text) {}
COFFER_ASN1_MULTIBYTE_STRING_IMPL(UTF8String, 0x0C)
COFFER_ASN1_MULTIBYTE_STRING_IMPL(PrintableString, 0x13)
COFFER_ASN1_MULTIBYTE_STRING_IMPL(TeletexString, 0x14)
COFFER_ASN1_MULTIBYTE_STRING_IMPL(IA5String, 0x16)
COFFER_ASN1_MULTIBYTE_STRING_IMPL(UTCTime, 0x17)
#undef COFFER_ASN1_MULTIBYTE_STRING_IMPL

} // namespace ASN1
