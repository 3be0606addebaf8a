#include "asn1.h"

#include "asn1_private.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace ASN1 {

namespace detail {

void addError(ErrorList *errors, int line, const char *function, const char *text)
{
    if (!errors)
        return;
    errors->push_back("asn1(" + std::to_string(line) + ") " + function + ": " + text);
}

uint8_t *copyBytes(const uint8_t *data, uint32_t size)
{
    if (!data || size == 0)
        return nullptr;
    auto *copy = new uint8_t[size];
    std::memcpy(copy, data, size);
    return copy;
}

} // namespace detail

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
