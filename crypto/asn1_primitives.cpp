#include "asn1.h"

#include "asn1_private.h"

#include "CofferText.h"

#include <algorithm>
#include <cstring>

namespace ASN1 {

using detail::copyBytes;

// ---- Boolean ----

Boolean::Boolean(bool value) : Object(0x01), mValue(value) {}

uint32_t Boolean::GetContentLength() const { return 1; }

uint8_t *Boolean::EncodeContent(uint8_t *out) const
{
    *out++ = mValue ? 0xFF : 0x00;
    return out;
}

const uint8_t *Boolean::DecodeContent(const uint8_t *, int, const uint8_t *content, uint32_t contentLength,
                                      ErrorList *)
{
    mValue = content[0] != 0;
    return content + contentLength;
}

void Boolean::PrintContent(const Columns &, FILE *file) const
{
    const unsigned byte = mContent && mContentLength > 0 ? mContent[0] : (mValue ? 0xFF : 0x00);
    std::fprintf(file, ":%02x (%s)\n", byte, mValue ? "true" : "false");
}

// ---- Integer ----

Integer::Integer(int32_t value) : Object(0x02), mValue(value) {}

uint32_t Integer::GetContentLength() const
{
    if (mValue >= -128 && mValue <= 127)
        return 1;
    if (mValue >= -32768 && mValue <= 32767)
        return 2;
    if (mValue >= -8388608 && mValue <= 8388607)
        return 3;
    return 4;
}

uint8_t *Integer::EncodeContent(uint8_t *out) const
{
    const uint32_t n = GetContentLength();
    const auto value = uint32_t(mValue);
    for (uint32_t i = n; i > 0; --i)
        *out++ = uint8_t(value >> (8 * (i - 1)));
    return out;
}

const uint8_t *Integer::DecodeContent(const uint8_t *, int, const uint8_t *content, uint32_t contentLength,
                                      ErrorList *)
{
    // Longer integers (serial numbers, moduli) are kept only as bytes.
    if (contentLength <= 4) {
        uint32_t value = (content[0] & 0x80) ? 0xFFFFFFFFu : 0u;
        for (uint32_t i = 0; i < contentLength; ++i)
            value = (value << 8) | content[i];
        mValue = int32_t(value);
    } else {
        mValue = 0;
    }
    return content + contentLength;
}

void Integer::PrintContent(const Columns &, FILE *file) const
{
    std::fputc(':', file);
    if (mContent) {
        for (uint32_t i = 0; i < mContentLength; ++i)
            std::fprintf(file, "%02x", mContent[i]);
    } else {
        std::vector<uint8_t> bytes(GetContentLength());
        EncodeContent(bytes.data());
        for (uint8_t b : bytes)
            std::fprintf(file, "%02x", b);
    }
    std::fprintf(file, " (%d)\n", mValue);
}

// ---- NullObject ----

NullObject::NullObject() : Object(0x05) {}

const uint8_t *NullObject::DecodeContent(const uint8_t *, int, const uint8_t *content, uint32_t contentLength,
                                         ErrorList *)
{
    return content + contentLength;
}

void NullObject::PrintContent(const Columns &, FILE *file) const
{
    std::fputc('\n', file);
}

// ---- BitString ----

BitString::BitString() : Object(0x03) {}

BitString::BitString(const uint8_t *data, uint32_t bitSize, bool copy) : Object(0x03)
{
    SetValue(data, bitSize, copy);
}

BitString::~BitString()
{
    Clear();
}

void BitString::SetValue(const uint8_t *data, uint32_t bitSize, bool copy)
{
    Clear();
    if (!data || bitSize == 0)
        return;
    const uint32_t bytes = (bitSize + 7) / 8;
    mData = copy ? copyBytes(data, bytes) : data;
    mOwned = copy;
    mBitSize = bitSize;
}

void BitString::Clear()
{
    if (mOwned)
        delete[] mData;
    mData = nullptr;
    mBitSize = 0;
    mOwned = false;
}

uint32_t BitString::GetContentLength() const
{
    if (mBitSize == 0)
        return 0;
    return 1 + (mBitSize + 7) / 8;
}

uint8_t *BitString::EncodeContent(uint8_t *out) const
{
    if (mBitSize == 0)
        return out;
    *out++ = uint8_t((8 - mBitSize % 8) % 8);
    const uint32_t bytes = (mBitSize + 7) / 8;
    std::memcpy(out, mData, bytes);
    return out + bytes;
}

const uint8_t *BitString::DecodeContent(const uint8_t *, int, const uint8_t *content, uint32_t contentLength,
                                        ErrorList *errors)
{
    Clear();
    if (content[0] > 7) {
        ASN1_ERROR("DecodeContent", "unused bit count must be <= 7");
        return nullptr;
    }
    if (contentLength > 1) {
        // Bit counts are 32-bit: a content of 512 MiB or more would not fit.
        if (contentLength - 1 > 0xFFFFFFFFu / 8) {
            ASN1_ERROR("DecodeContent", "bit string is too large");
            return nullptr;
        }
        mBitSize = (contentLength - 1) * 8 - content[0];
        mData = content + 1;
        if (mBitSize == 0)
            mData = nullptr;
    }
    return content + contentLength;
}

void BitString::PrintContent(const Columns &widths, FILE *file) const
{
    std::fputc('\n', file);
    if (mContent) {
        PrintRawBytes(widths, file);
    } else {
        std::vector<uint8_t> bytes(GetContentLength());
        EncodeContent(bytes.data());
        PrintHexDump(widths, bytes.data(), uint32_t(bytes.size()), file);
    }
}

// ---- BinaryObject, OctetString, UnknownObject ----

BinaryObject::BinaryObject(uint8_t type) : Object(type) {}

BinaryObject::BinaryObject(uint8_t type, const uint8_t *data, uint32_t size, bool copy) : Object(type)
{
    SetValue(data, size, copy);
}

BinaryObject::~BinaryObject()
{
    Clear();
}

void BinaryObject::SetValue(const uint8_t *data, uint32_t size, bool copy)
{
    Clear();
    if (!data || size == 0)
        return;
    mData = copy ? copyBytes(data, size) : data;
    mOwned = copy;
    mSize = size;
}

void BinaryObject::Clear()
{
    if (mOwned)
        delete[] mData;
    mData = nullptr;
    mSize = 0;
    mOwned = false;
}

uint8_t *BinaryObject::EncodeContent(uint8_t *out) const
{
    if (mSize > 0)
        std::memcpy(out, mData, mSize);
    return out + mSize;
}

const uint8_t *BinaryObject::DecodeContent(const uint8_t *, int, const uint8_t *content, uint32_t contentLength,
                                           ErrorList *)
{
    SetValue(content, contentLength, false);
    return content + contentLength;
}

void BinaryObject::PrintContent(const Columns &widths, FILE *file) const
{
    std::fputc('\n', file);
    PrintHexDump(widths, mData, mSize, file);
}

OctetString::OctetString() : BinaryObject(0x04) {}
OctetString::OctetString(const uint8_t *data, uint32_t size, bool copy) : BinaryObject(0x04, data, size, copy) {}

UnknownObject::UnknownObject(uint8_t type) : BinaryObject(type) {}
UnknownObject::UnknownObject(uint8_t type, const uint8_t *data, uint32_t size, bool copy)
    : BinaryObject(type, data, size, copy)
{
}

// ---- ObjectID ----

ObjectID::ObjectID() : Object(0x06) {}

ObjectID::ObjectID(const char *dotted) : Object(0x06)
{
    SetValue(dotted);
}

ObjectID::ObjectID(const char16_t *dotted) : Object(0x06)
{
    SetValue(dotted);
}

void ObjectID::SetValue(const char *dotted)
{
    Clear();
    if (!dotted)
        return;
    mText = dotted;
    mFields = ParseID(mText);
}

void ObjectID::SetValue(const char16_t *dotted)
{
    Clear();
    if (!dotted)
        return;
    mText = coffer::utf16ToUtf8(dotted);
    mFields = ParseID(mText);
}

void ObjectID::Clear()
{
    mText.clear();
    mFields.clear();
}

int ObjectID::GetFieldLength(uint64_t value)
{
    int length = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++length;
    }
    return length;
}

uint8_t *ObjectID::EncodeField(uint8_t *out, uint64_t value)
{
    const int length = GetFieldLength(value);
    for (int i = length - 1; i >= 0; --i) {
        const auto group = uint8_t((value >> (7 * i)) & 0x7F);
        *out++ = i > 0 ? uint8_t(group | 0x80) : group;
    }
    return out;
}

uint64_t ObjectID::FirstField() const
{
    const uint64_t first = mFields.size() > 0 ? mFields[0] : 0;
    const uint64_t second = mFields.size() > 1 ? mFields[1] : 0;
    return first * 40 + second;
}

uint32_t ObjectID::GetContentLength() const
{
    if (mFields.empty())
        return 0;
    uint32_t length = uint32_t(GetFieldLength(FirstField()));
    for (size_t i = 2; i < mFields.size(); ++i)
        length += uint32_t(GetFieldLength(mFields[i]));
    return length;
}

uint8_t *ObjectID::EncodeContent(uint8_t *out) const
{
    if (mFields.empty())
        return out;
    // The first two arcs share one field; below 128 it is a single byte.
    out = EncodeField(out, FirstField());
    for (size_t i = 2; i < mFields.size(); ++i)
        out = EncodeField(out, mFields[i]);
    return out;
}

const uint8_t *ObjectID::DecodeField(const uint8_t *in, const uint8_t *end, uint64_t &value)
{
    value = 0;
    for (int count = 1; in < end && count <= 5; ++count) {
        const uint8_t byte = *in++;
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80))
            return in;
    }
    return nullptr;
}

const uint8_t *ObjectID::DecodeContent(const uint8_t *, int, const uint8_t *content, uint32_t contentLength,
                                       ErrorList *errors)
{
    Clear();
    const uint8_t *end = content + contentLength;
    const uint8_t *p = content;
    bool first = true;
    while (p < end) {
        uint64_t value = 0;
        const uint8_t *next = DecodeField(p, end, value);
        if (!next) {
            // Five bytes all with the high bit set: longer than a component may be.
            if (end - p > 5) {
                ASN1_ERROR("DecodeContent", "object id's field length is too large (must be <= 5)");
                return nullptr;
            }
            break; // a last component without its closing byte is dropped
        }
        p = next;
        if (value > 0xFFFFFFFFu) {
            ASN1_ERROR("DecodeContent", "object id's field is too large (must be < 2^32)");
            return nullptr;
        }
        if (first) {
            // Arcs below 2 take 40 values of the second arc; arc 2 takes the rest.
            const uint32_t combined = uint32_t(value);
            const uint32_t arc1 = combined < 80 ? combined / 40 : 2;
            mFields.push_back(arc1);
            mFields.push_back(combined - arc1 * 40);
            first = false;
        } else {
            mFields.push_back(uint32_t(value));
        }
    }
    mText = GenerateID(mFields);
    return end;
}

void ObjectID::PrintContent(const Columns &, FILE *file) const
{
    std::fprintf(file, ":%s\n", mText.c_str());
}

std::string ObjectID::GenerateID(const std::vector<uint32_t> &fields)
{
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += '.';
        text += std::to_string(fields[i]);
    }
    return text;
}

std::vector<uint32_t> ObjectID::ParseID(const std::string &dotted)
{
    std::vector<uint32_t> fields;
    uint64_t value = 0;
    bool inField = false;
    for (char c : dotted) {
        if (c >= '0' && c <= '9') {
            // Saturate rather than wrap: an arc of 2^32 or more is not valid anyway.
            value = std::min<uint64_t>(value * 10 + uint64_t(c - '0'), 0xFFFFFFFFu);
            inField = true;
        } else if (c == '.') {
            if (inField)
                fields.push_back(uint32_t(value));
            value = 0;
            inField = false;
        }
    }
    if (inField)
        fields.push_back(uint32_t(value));
    return fields;
}

} // namespace ASN1
