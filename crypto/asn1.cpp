#include "asn1.h"

#include "CofferText.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace ASN1 {

namespace {

const std::map<uint8_t, const char *> &typeNameMap()
{
    static const std::map<uint8_t, const char *> map = {
        {0x01, "BOOLEAN"},   {0x02, "INTEGER"},         {0x03, "BIT STRING"}, {0x04, "OCTET STRING"},
        {0x05, "NULL"},      {0x06, "OBJECT"},          {0x0C, "UTF8STRING"}, {0x13, "PRINTABLESTRING"},
        {0x14, "T61STRING"}, {0x16, "IA5STRING"},       {0x17, "UTCTIME"},    {0x1E, "BMPSTRING"},
        {0x30, "SEQUENCE"},  {0x31, "SET"},             {0x00, "univ"},       {0x40, "appl"},
        {0x80, "cont"},      {0xC0, "priv"},
    };
    return map;
}

const std::set<uint8_t> &knownUniversalSet()
{
    static const std::set<uint8_t> set = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x0C,
                                          0x13, 0x14, 0x16, 0x17, 0x1E, 0x30, 0x31};
    return set;
}

// Appends "asn1(<line>) <function>: <text>" to the list when there is one.
void addError(ErrorList *errors, int line, const char *function, const char *text)
{
    if (!errors)
        return;
    errors->push_back("asn1(" + std::to_string(line) + ") " + function + ": " + text);
}
#define ASN1_ERROR(function, text) addError(errors, __LINE__, function, text)

uint32_t lengthOctets(uint32_t n)
{
    if (n <= 127)
        return 1;
    if (n < 0x100)
        return 2;
    if (n < 0x10000)
        return 3;
    if (n < 0x1000000)
        return 4;
    return 5;
}

Object *makeObject(uint8_t type)
{
    switch (type) {
    case 0x01: return new Boolean;
    case 0x02: return new Integer;
    case 0x03: return new BitString;
    case 0x04: return new OctetString;
    case 0x05: return new NullObject;
    case 0x06: return new ObjectID;
    case 0x0C: return new UTF8String;
    case 0x13: return new PrintableString;
    case 0x14: return new TeletexString;
    case 0x16: return new IA5String;
    case 0x17: return new UTCTime;
    case 0x1E: return new BMPString;
    case 0x30: return new Sequence;
    case 0x31: return new Set;
    default: break;
    }
    if (isConstructed(type))
        return new Constructed(type);
    return new UnknownObject(type);
}

uint8_t *copyBytes(const uint8_t *data, uint32_t size)
{
    if (!data || size == 0)
        return nullptr;
    auto *copy = new uint8_t[size];
    std::memcpy(copy, data, size);
    return copy;
}

} // namespace

bool isUniversal(uint8_t type) { return (type & 0xC0) == 0x00; }
bool isApplication(uint8_t type) { return (type & 0xC0) == 0x40; }
bool isContextDefined(uint8_t type) { return (type & 0xC0) == 0x80; }
bool isPrivate(uint8_t type) { return (type & 0xC0) == 0xC0; }
bool isPrimitive(uint8_t type) { return (type & 0x20) == 0; }
bool isConstructed(uint8_t type) { return (type & 0x20) != 0; }
bool isKnownUniversal(uint8_t type) { return knownUniversalSet().count(type) != 0; }

const char *GetTypeName(uint8_t type)
{
    const auto &map = typeNameMap();
    auto it = map.find(type);
    if (it == map.end())
        it = map.find(type & 0xC0);
    return it->second;
}

int GetDigit(uint32_t value)
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

// ---- Object ----

Object::Object(uint8_t type) : mType(type) {}

Object::~Object() = default;

uint8_t *Object::EncodeTypeAndLength(uint8_t *out) const
{
    const uint32_t n = GetContentLength();
    *out++ = mType;
    const uint32_t octets = lengthOctets(n);
    if (octets == 1) {
        *out++ = uint8_t(n);
        return out;
    }
    *out++ = uint8_t(0x80 | (octets - 1));
    for (uint32_t i = octets - 1; i > 0; --i)
        *out++ = uint8_t(n >> (8 * (i - 1)));
    return out;
}

uint32_t Object::GetEncodedLength() const
{
    const uint32_t n = GetContentLength();
    return n + 1 + lengthOctets(n);
}

uint8_t *Object::Encode(uint8_t *out) const
{
    return EncodeContent(EncodeTypeAndLength(out));
}

std::vector<uint8_t> Object::Encode() const
{
    std::vector<uint8_t> out(GetEncodedLength());
    Encode(out.data());
    return out;
}

Object *Object::Decode(const uint8_t *buf, uint32_t *size, ErrorList *errors)
{
    return Decode(buf, 0, buf, size, errors);
}

Object *Object::Decode(const uint8_t *bufStart, int depth, const uint8_t *pos, uint32_t *size,
                       ErrorList *errors)
{
    if (!pos) {
        ASN1_ERROR("Decode", "buf is null");
        return nullptr;
    }
    if (!size) {
        ASN1_ERROR("Decode", "size is null");
        return nullptr;
    }
    const uint32_t avail = *size;
    if (avail < 2) {
        ASN1_ERROR("Decode", "size must be >= 2");
        return nullptr;
    }
    if (depth > kMaxDecodeDepth) {
        ASN1_ERROR("Decode", "nesting is too deep");
        return nullptr;
    }
    const uint8_t type = pos[0];
    uint32_t header = 2;
    uint32_t length = pos[1];
    if (length & 0x80) {
        uint32_t count = length & 0x7F;
        if (count == 0) {
            ASN1_ERROR("Decode", "length byte must be > 0");
            return nullptr;
        }
        if (count > avail - 2) {
            ASN1_ERROR("Decode", "content length byte is larger than remain bytes");
            return nullptr;
        }
        const uint8_t *octets = pos + 2;
        header += count;
        while (count > 0 && *octets == 0) {
            ++octets;
            --count;
        }
        if (count == 0) {
            ASN1_ERROR("Decode", "length byte must be > 0");
            return nullptr;
        }
        if (count > 4) {
            ASN1_ERROR("Decode", "content length is too large (limit to 2^32-1)");
            return nullptr;
        }
        length = 0;
        for (uint32_t i = 0; i < count; ++i)
            length = (length << 8) | octets[i];
    }
    if (length > avail - header) {
        ASN1_ERROR("Decode", "content length is larger than remain bytes");
        return nullptr;
    }
    Object *object = makeObject(type);
    object->mOffset = uint32_t(pos - bufStart);
    object->mDepth = depth;
    object->mHeaderLength = header;
    object->mContentLength = length;
    object->mContent = pos + header;
    if (length > 0 && !object->DecodeContent(bufStart, depth, pos + header, length, errors)) {
        delete object;
        return nullptr;
    }
    *size = header + length;
    return object;
}

void Object::GetMaxLength(Columns &maxima) const
{
    maxima.offset = std::max(maxima.offset, mOffset);
    maxima.depth = std::max(maxima.depth, uint32_t(mDepth));
    maxima.headerLength = std::max(maxima.headerLength, mHeaderLength);
    maxima.contentLength = std::max(maxima.contentLength, mContentLength);
}

void Object::Print(FILE *file) const
{
    Columns maxima;
    GetMaxLength(maxima);
    Columns widths;
    widths.offset = uint32_t(GetDigit(maxima.offset));
    widths.depth = uint32_t(GetDigit(maxima.depth));
    widths.headerLength = uint32_t(GetDigit(maxima.headerLength));
    widths.contentLength = uint32_t(GetDigit(maxima.contentLength));
    Print(widths, file);
}

void Object::Print(const Columns &widths, FILE *file) const
{
    char typeText[64];
    if (isKnownUniversal())
        std::snprintf(typeText, sizeof typeText, "%s", GetTypeName());
    else
        std::snprintf(typeText, sizeof typeText, "%s [ %x ]", ASN1::GetTypeName(mType & 0xC0),
                      unsigned(GetTagNumber()));
    std::fprintf(file, "%*u:d=%*d hl=%*u l=%*u %s: %*s%-16s", int(widths.offset), mOffset,
                 int(widths.depth), mDepth, int(widths.headerLength), mHeaderLength,
                 int(widths.contentLength), mContentLength, isConstructed() ? "cons" : "prim", mDepth,
                 "", typeText);
    PrintContent(widths, file);
}

void Object::PrintContent(const Columns &, FILE *file) const
{
    std::fputc('\n', file);
}

void Object::PrintRawBytes(const Columns &widths, FILE *file) const
{
    PrintHexDump(widths, mContent, mContent ? mContentLength : 0, file);
}

void Object::PrintHexDump(const Columns &widths, const uint8_t *data, uint32_t size, FILE *file) const
{
    for (uint32_t line = 0; line < size; line += 16) {
        std::fprintf(file, "%*s%04x - ", int(widths.offset), "", line);
        for (uint32_t i = 0; i < 16; ++i) {
            if (line + i < size)
                std::fprintf(file, "%02x%c", data[line + i], i == 7 ? '-' : ' ');
            else
                std::fputs("   ", file);
        }
        std::fputc(' ', file);
        for (uint32_t i = 0; i < 16 && line + i < size; ++i) {
            const uint8_t c = data[line + i];
            std::fputc(c >= 32 && c <= 126 ? c : '.', file);
        }
        std::fputc('\n', file);
    }
}

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

// ---- Constructed, Set, Sequence ----

Constructed::Constructed(uint8_t type) : Object(type) {}

Constructed::~Constructed()
{
    ClearAll();
}

void Constructed::AddObject(Object *child, bool owned)
{
    if (child)
        mChildren.emplace_back(child, owned);
}

Object *Constructed::GetObjectAt(size_t index) const
{
    return index < mChildren.size() ? mChildren[index].first : nullptr;
}

void Constructed::ClearAll()
{
    for (auto &[child, owned] : mChildren) {
        if (owned)
            delete child;
    }
    mChildren.clear();
}

uint32_t Constructed::GetContentLength() const
{
    uint32_t length = 0;
    for (const auto &entry : mChildren)
        length += entry.first->GetEncodedLength();
    return length;
}

uint8_t *Constructed::EncodeContent(uint8_t *out) const
{
    for (const auto &entry : mChildren)
        out = entry.first->Encode(out);
    return out;
}

const uint8_t *Constructed::DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                          uint32_t contentLength, ErrorList *errors)
{
    const uint8_t *pos = content;
    uint32_t remain = contentLength;
    while (remain > 0) {
        uint32_t size = remain;
        Object *child = Object::Decode(bufStart, depth + 1, pos, &size, errors);
        if (!child) {
            ASN1_ERROR("DecodeContent", "can't create Constructed object");
            return nullptr;
        }
        AddObject(child, true);
        pos += size;
        remain -= size;
    }
    return pos;
}

void Constructed::PrintContent(const Columns &widths, FILE *file) const
{
    std::fputc('\n', file);
    for (const auto &entry : mChildren)
        entry.first->Print(widths, file);
}

void Constructed::GetMaxLength(Columns &maxima) const
{
    Object::GetMaxLength(maxima);
    for (const auto &entry : mChildren)
        entry.first->GetMaxLength(maxima);
}

Set::Set() : Constructed(0x31) {}

Sequence::Sequence() : Constructed(0x30) {}

// ---- ContextDefinedObject, NamedObject ----

ContextDefinedObject::ContextDefinedObject(uint8_t type) : Constructed(type) {}

ContextDefinedObject::ContextDefinedObject(Object *child, bool owned, uint8_t type) : Constructed(type)
{
    SetValue(child, owned);
}

void ContextDefinedObject::SetValue(Object *child, bool owned)
{
    ClearAll();
    AddObject(child, owned);
}

NamedObject::NamedObject(const char *identifier, Object *value)
    : mID(new ObjectID(identifier)), mValue(new ContextDefinedObject(value, false))
{
    AddObject(mID, false);
    AddObject(mValue, false);
}

NamedObject::NamedObject(const char16_t *identifier, Object *value)
    : mID(new ObjectID(identifier)), mValue(new ContextDefinedObject(value, false))
{
    AddObject(mID, false);
    AddObject(mValue, false);
}

NamedObject::~NamedObject()
{
    ClearAll();
    delete mID;
    delete mValue;
}

void NamedObject::SetValue(const char *identifier, Object *value)
{
    mID->SetValue(identifier);
    mValue->SetValue(value, false);
}

void NamedObject::SetValue(const char16_t *identifier, Object *value)
{
    mID->SetValue(identifier);
    mValue->SetValue(value, false);
}

} // namespace ASN1
