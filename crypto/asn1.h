// A small ASN.1 DER object model: build a tree in code, encode it, decode DER
// into a tree and print the tree as an indented listing.
//
// Supported: single-byte identifier octets (tag numbers below 31), definite
// lengths of up to four length octets, and the universal types below. Any
// other primitive type is kept as raw bytes, any other constructed type as a
// plain Constructed.
#pragma once

#include "coffer_export.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>


namespace ASN1 {

// Decoding failures are appended here, one text per failure.
using ErrorList = std::vector<std::string>;

// Column widths (or maxima) of a printed listing: offset, depth, header
// length, content length.
struct COFFER_API Columns {
    uint32_t offset = 0;
    uint32_t depth = 0;
    uint32_t headerLength = 0;
    uint32_t contentLength = 0;
};

// Deeper nesting than this is refused while decoding, so that hostile input
// cannot exhaust the stack.
inline constexpr int kMaxDecodeDepth = 64;

COFFER_API bool isUniversal(uint8_t type);
COFFER_API bool isApplication(uint8_t type);
COFFER_API bool isContextDefined(uint8_t type);
COFFER_API bool isPrivate(uint8_t type);
COFFER_API bool isPrimitive(uint8_t type);
COFFER_API bool isConstructed(uint8_t type);
COFFER_API bool isKnownUniversal(uint8_t type);
// Name of a type octet: its own entry, else the entry of its class bits.
COFFER_API const char *GetTypeName(uint8_t type);
// Number of decimal digits of a value (1 for 0).
COFFER_API int GetDigit(uint32_t value);

class COFFER_API Object {
public:
    explicit Object(uint8_t type);
    virtual ~Object();
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    virtual uint32_t GetContentLength() const = 0;
    // Writes the content and returns the position after it.
    virtual uint8_t *EncodeContent(uint8_t *out) const = 0;
    // Reads the content (which lies inside the decoded buffer); returns the
    // position after it, or null on failure.
    virtual const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                         uint32_t contentLength, ErrorList *errors) = 0;
    virtual void PrintContent(const Columns &widths, FILE *file) const;
    virtual void PrintRawBytes(const Columns &widths, FILE *file) const;
    virtual void GetMaxLength(Columns &maxima) const;

    uint8_t *EncodeTypeAndLength(uint8_t *out) const;
    uint32_t GetEncodedLength() const;
    // Writes GetEncodedLength() bytes and returns the position after them.
    uint8_t *Encode(uint8_t *out) const;
    std::vector<uint8_t> Encode() const;
    void Print(FILE *file) const;
    void Print(const Columns &widths, FILE *file) const;

    // Decodes one object with its subtree from the start of buf. On return
    // *size holds the bytes consumed. The caller deletes the result.
    static Object *Decode(const uint8_t *buf, uint32_t *size, ErrorList *errors);
    static Object *Decode(const uint8_t *bufStart, int depth, const uint8_t *pos, uint32_t *size,
                          ErrorList *errors);

    uint8_t GetType() const { return mType; }
    uint8_t GetTagNumber() const { return mType & 0x1F; }
    const char *GetTypeName() const { return ASN1::GetTypeName(mType); }
    bool isUniversal() const { return ASN1::isUniversal(mType); }
    bool isApplication() const { return ASN1::isApplication(mType); }
    bool isContextDefined() const { return ASN1::isContextDefined(mType); }
    bool isPrivate() const { return ASN1::isPrivate(mType); }
    bool isPrimitive() const { return ASN1::isPrimitive(mType); }
    bool isConstructed() const { return ASN1::isConstructed(mType); }
    bool isKnownUniversal() const { return ASN1::isKnownUniversal(mType); }

    // Set when the object was decoded.
    uint32_t GetOffset() const { return mOffset; }
    int GetDepth() const { return mDepth; }
    uint32_t GetHeaderLength() const { return mHeaderLength; }
    uint32_t GetDecodedContentLength() const { return mContentLength; }
    const uint8_t *GetContent() const { return mContent; }

protected:
    void PrintHexDump(const Columns &widths, const uint8_t *data, uint32_t size, FILE *file) const;

    uint8_t mType;
    uint32_t mOffset = 0;
    int mDepth = 0;
    uint32_t mHeaderLength = 0;
    uint32_t mContentLength = 0;
    const uint8_t *mContent = nullptr;
};

class COFFER_API Boolean : public Object {
public:
    explicit Boolean(bool value = false);
    bool GetValue() const { return mValue; }
    void SetValue(bool value) { mValue = value; }
    uint32_t GetContentLength() const override;
    uint8_t *EncodeContent(uint8_t *out) const override;
    const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                 uint32_t contentLength, ErrorList *errors) override;
    void PrintContent(const Columns &widths, FILE *file) const override;

private:
    bool mValue;
};

class COFFER_API Integer : public Object {
public:
    explicit Integer(int32_t value = 0);
    int32_t GetValue() const { return mValue; }
    void SetValue(int32_t value) { mValue = value; }
    uint32_t GetContentLength() const override;
    uint8_t *EncodeContent(uint8_t *out) const override;
    const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                 uint32_t contentLength, ErrorList *errors) override;
    void PrintContent(const Columns &widths, FILE *file) const override;

private:
    int32_t mValue;
};

class COFFER_API NullObject : public Object {
public:
    NullObject();
    uint32_t GetContentLength() const override { return 0; }
    uint8_t *EncodeContent(uint8_t *out) const override { return out; }
    const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                 uint32_t contentLength, ErrorList *errors) override;
    void PrintContent(const Columns &widths, FILE *file) const override;
};

class COFFER_API BitString : public Object {
public:
    BitString();
    // With copy the bytes are duplicated and owned, else only pointed at.
    BitString(const uint8_t *data, uint32_t bitSize, bool copy = true);
    ~BitString() override;
    const uint8_t *GetData() const { return mData; }
    uint32_t GetBitSize() const { return mBitSize; }
    void SetValue(const uint8_t *data, uint32_t bitSize, bool copy = true);
    void Clear();
    uint32_t GetContentLength() const override;
    uint8_t *EncodeContent(uint8_t *out) const override;
    const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                 uint32_t contentLength, ErrorList *errors) override;
    void PrintContent(const Columns &widths, FILE *file) const override;

private:
    const uint8_t *mData = nullptr;
    uint32_t mBitSize = 0;
    bool mOwned = false;
};

class COFFER_API BinaryObject : public Object {
public:
    explicit BinaryObject(uint8_t type);
    BinaryObject(uint8_t type, const uint8_t *data, uint32_t size, bool copy = true);
    ~BinaryObject() override;
    const uint8_t *GetData() const { return mData; }
    uint32_t GetSize() const { return mSize; }
    void SetValue(const uint8_t *data, uint32_t size, bool copy = true);
    void Clear();
    uint32_t GetContentLength() const override { return mSize; }
    uint8_t *EncodeContent(uint8_t *out) const override;
    const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                 uint32_t contentLength, ErrorList *errors) override;
    void PrintContent(const Columns &widths, FILE *file) const override;

private:
    const uint8_t *mData = nullptr;
    uint32_t mSize = 0;
    bool mOwned = false;
};

class COFFER_API OctetString : public BinaryObject {
public:
    OctetString();
    OctetString(const uint8_t *data, uint32_t size, bool copy = true);
};

class COFFER_API UnknownObject : public BinaryObject {
public:
    explicit UnknownObject(uint8_t type);
    UnknownObject(uint8_t type, const uint8_t *data, uint32_t size, bool copy = true);
};

class COFFER_API ObjectID : public Object {
public:
    ObjectID();
    explicit ObjectID(const char *dotted);
    explicit ObjectID(const char16_t *dotted);
    // The dotted text, for example "1.3.6.1.4.1.311.88.3"; empty when unset.
    const char *GetValue() const { return mText.c_str(); }
    const std::vector<uint32_t> &GetFields() const { return mFields; }
    void SetValue(const char *dotted);
    void SetValue(const char16_t *dotted);
    void Clear();
    uint32_t GetContentLength() const override;
    uint8_t *EncodeContent(uint8_t *out) const override;
    const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                 uint32_t contentLength, ErrorList *errors) override;
    void PrintContent(const Columns &widths, FILE *file) const override;

    // Bytes of one base-128 component: 1 to 5 for a 32-bit value.
    static int GetFieldLength(uint64_t value);
    static uint8_t *EncodeField(uint8_t *out, uint64_t value);
    // Reads one base-128 component of at most 5 bytes from [in, end); returns
    // the position after it, or null when it has no closing byte or is longer.
    static const uint8_t *DecodeField(const uint8_t *in, const uint8_t *end, uint64_t &value);
    static std::string GenerateID(const std::vector<uint32_t> &fields);
    static std::vector<uint32_t> ParseID(const std::string &dotted);

private:
    uint64_t FirstField() const;

    std::string mText;
    std::vector<uint32_t> mFields;
};

class COFFER_API String : public Object {
public:
    ~String() override;
    // A length of -1 copies up to the terminating zero, a positive length
    // that many units; 0 leaves both texts empty.
    void SetString(const char *text, int length = -1);
    void SetString(const char16_t *text, int length = -1);
    // Makes the UTF-16 text from the UTF-8 text when there is one, else the
    // other way round.
    void Convert();
    const char16_t *GetUnicodeString();
    const char *GetUTF8String();

protected:
    explicit String(uint8_t type);
    std::optional<std::u16string> mUnicode;
    std::optional<std::string> mUtf8;
};

class COFFER_API BMPString : public String {
public:
    BMPString();
    explicit BMPString(const char *text);
    explicit BMPString(const char16_t *text);
    uint32_t GetContentLength() const override;
    uint8_t *EncodeContent(uint8_t *out) const override;
    const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                 uint32_t contentLength, ErrorList *errors) override;
    void PrintContent(const Columns &widths, FILE *file) const override;

private:
    std::u16string UnicodeText() const;
};

// Strings carried as their UTF-8 bytes; the character set of the specific
// type is not checked.
class COFFER_API MultibyteString : public String {
public:
    uint32_t GetContentLength() const override;
    uint8_t *EncodeContent(uint8_t *out) const override;
    const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                 uint32_t contentLength, ErrorList *errors) override;
    void PrintContent(const Columns &widths, FILE *file) const override;

protected:
    explicit MultibyteString(uint8_t type);
    MultibyteString(uint8_t type, const char *text);
    MultibyteString(uint8_t type, const char16_t *text);

private:
    std::string Utf8Text() const;
};

#define COFFER_ASN1_MULTIBYTE_STRING(Name)                                                         \
    class COFFER_API Name : public MultibyteString {                                          \
    public:                                                                                        \
        Name();                                                                                    \
        explicit Name(const char *text);                                                           \
        explicit Name(const char16_t *text);                                                       \
    };
COFFER_ASN1_MULTIBYTE_STRING(UTCTime)
COFFER_ASN1_MULTIBYTE_STRING(TeletexString)
COFFER_ASN1_MULTIBYTE_STRING(PrintableString)
COFFER_ASN1_MULTIBYTE_STRING(IA5String)
COFFER_ASN1_MULTIBYTE_STRING(UTF8String)
#undef COFFER_ASN1_MULTIBYTE_STRING

class COFFER_API Constructed : public Object {
public:
    explicit Constructed(uint8_t type);
    ~Constructed() override;
    void AddObject(Object *child, bool owned = true);
    // Null past the end.
    Object *GetObjectAt(size_t index) const;
    size_t GetSize() const { return mChildren.size(); }
    // Destroys the owned children and empties the list.
    void ClearAll();
    uint32_t GetContentLength() const override;
    uint8_t *EncodeContent(uint8_t *out) const override;
    const uint8_t *DecodeContent(const uint8_t *bufStart, int depth, const uint8_t *content,
                                 uint32_t contentLength, ErrorList *errors) override;
    void PrintContent(const Columns &widths, FILE *file) const override;
    void GetMaxLength(Columns &maxima) const override;

private:
    std::vector<std::pair<Object *, bool>> mChildren;
};

class COFFER_API Set : public Constructed {
public:
    Set();
};

class COFFER_API Sequence : public Constructed {
public:
    Sequence();
};

// A constructed context-specific object ([0] by default) holding one child.
class COFFER_API ContextDefinedObject : public Constructed {
public:
    explicit ContextDefinedObject(uint8_t type = 0xA0);
    ContextDefinedObject(Object *child, bool owned, uint8_t type = 0xA0);
    void SetValue(Object *child, bool owned);
};

// SEQUENCE { OBJECT identifier, [0] value }. The value is not owned.
class COFFER_API NamedObject : public Sequence {
public:
    NamedObject(const char *identifier, Object *value);
    NamedObject(const char16_t *identifier, Object *value);
    ~NamedObject() override;
    void SetValue(const char *identifier, Object *value);
    void SetValue(const char16_t *identifier, Object *value);

private:
    ObjectID *mID;
    ContextDefinedObject *mValue;
};

} // namespace ASN1
