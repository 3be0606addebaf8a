#include "PropertyListFastReader.h"

#include "PropertyList.h"
#include "PropertyListValueText.h"

#include <QString>

#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>

namespace parley {

namespace {

// ASCII that text holds as it stands: not markup, not '>', not a carriage
// return, not a control character other than tab and line feed, not DEL.
constexpr std::array<bool, 256> kPlainByte = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7F; ++c)
        plain[size_t(c)] = c != '<' && c != '&' && c != '>';
    plain['\t'] = true;
    plain['\n'] = true;
    return plain;
}();

// Characters that XML allows and every reader takes alike; the rest are
// left to the full reader.
bool surelyAllowed(char32_t u)
{
    if (u < 0xA0)
        return u == '\t' || u == '\n' || u == '\r' || (u >= 0x20 && u < 0x7F);
    if (u >= 0xD800 && u <= 0xDFFF)
        return false;
    // Non-characters, and the byte order mark, which the full reader
    // drops from text.
    if ((u >= 0xFDD0 && u <= 0xFDEF) || u == 0xFEFF || (u >= 0xFFF0 && u <= 0xFFFF))
        return false;
    return (u & 0xFFFE) != 0xFFFE;
}

// The length of the well-formed UTF-8 sequence at `at` of a character that
// is surely allowed; 0 for anything else.
int utf8CharacterLength(const char *at, const char *end)
{
    const uchar lead = uchar(*at);
    int length = 0;
    char32_t u = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        u = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        u = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        u = lead & 0x07;
    } else {
        return 0;
    }
    if (end - at < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        const uchar next = uchar(at[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        u = (u << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((length == 3 && u < 0x800) || (length == 4 && (u < 0x10000 || u > 0x10FFFF)))
        return 0;
    return surelyAllowed(u) ? length : 0;
}

class FastReader {
public:
    explicit FastReader(const QByteArray &data) : mAt(data.constData()), mEnd(data.constData() + data.size()) {}

    std::optional<QVariant> run()
    {
        skip("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        skipWhitespace();
        skip("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">");
        skipWhitespace();
        if (!skip("<plist version=\"1.0\">") && !skip("<plist>"))
            return std::nullopt;
        skipWhitespace();
        std::optional<QVariant> value = readValue(1);
        if (!value)
            return std::nullopt;
        skipWhitespace();
        if (!skip("</plist>"))
            return std::nullopt;
        skipWhitespace();
        if (mAt != mEnd)
            return std::nullopt;
        return value;
    }

private:
    template <size_t N>
    bool skip(const char (&text)[N])
    {
        if (size_t(mEnd - mAt) < N - 1 || std::memcmp(mAt, text, N - 1) != 0)
            return false;
        mAt += N - 1;
        return true;
    }

    void skipWhitespace()
    {
        while (mAt < mEnd && (*mAt == ' ' || *mAt == '\t' || *mAt == '\n'))
            ++mAt;
    }

    // At '<': the element's name, and whether it is an empty element.
    bool readStartTag(std::string_view *name, bool *empty)
    {
        if (mAt >= mEnd || *mAt != '<')
            return false;
        const char *start = ++mAt;
        while (mAt < mEnd && *mAt >= 'a' && *mAt <= 'z')
            ++mAt;
        *name = std::string_view(start, size_t(mAt - start));
        if (skip("/>")) {
            *empty = true;
            return true;
        }
        *empty = false;
        return skip(">");
    }

    bool readEndTag(std::string_view name)
    {
        if (!skip("</") || size_t(mEnd - mAt) < name.size() + 1 || std::memcmp(mAt, name.data(), name.size()) != 0 ||
            mAt[name.size()] != '>')
            return false;
        mAt += name.size() + 1;
        return true;
    }

    std::optional<QVariant> readValue(int depth)
    {
        std::string_view name;
        bool empty = false;
        if (!readStartTag(&name, &empty))
            return std::nullopt;
        if (name == "dict" || name == "array") {
            if (depth > PropertyList::kMaxDepth)
                return std::nullopt;
            if (empty)
                return name == "dict" ? QVariant(QVariantMap()) : QVariant(QVariantList());
            return name == "dict" ? readDict(depth) : readArray(depth);
        }
        if (name == "true" || name == "false") {
            if (!empty) {
                skipWhitespace();
                if (!readEndTag(name))
                    return std::nullopt;
            }
            return QVariant(name == "true");
        }
        QString text;
        if (!empty && (!readText(&text) || !readEndTag(name)))
            return std::nullopt;
        if (name == "string")
            return QVariant(text);
        if (name == "integer")
            return PropertyListValueText::integer(text.trimmed());
        if (name == "real")
            return PropertyListValueText::real(text.trimmed());
        if (name == "date")
            return PropertyListValueText::date(text.trimmed());
        if (name == "data")
            return PropertyListValueText::data(text);
        return std::nullopt;
    }

    std::optional<QVariant> readDict(int depth)
    {
        // Built as the map a QVariantMap wraps: keys come in order (as
        // written), so each goes in at the end with one comparison.
        std::map<QString, QVariant> map;
        for (;;) {
            skipWhitespace();
            if (readEndTag("dict"))
                return QVariant(QVariantMap(std::move(map)));
            std::string_view name;
            bool empty = false;
            if (!readStartTag(&name, &empty) || name != "key")
                return std::nullopt;
            QString key;
            if (!empty && (!readText(&key) || !readEndTag("key")))
                return std::nullopt;
            skipWhitespace();
            std::optional<QVariant> value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            const size_t before = map.size();
            map.emplace_hint(map.cend(), std::move(key), std::move(*value));
            if (map.size() == before)
                return std::nullopt; // a duplicate key
        }
    }

    std::optional<QVariant> readArray(int depth)
    {
        QVariantList list;
        for (;;) {
            skipWhitespace();
            if (readEndTag("array"))
                return QVariant(list);
            std::optional<QVariant> value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            list.append(std::move(*value));
        }
    }

    // Text up to the next '<', entities resolved. Left null when there is
    // none, as the full reader leaves it. Keys and many values repeat in
    // every entry of a cache, so short ones are decoded once and then shared.
    bool readText(QString *text)
    {
        const char *run = mAt;
        for (;;) {
            mAt += PropertyListFastReader::plainTextLength(mAt, mEnd);
            if (mAt >= mEnd)
                return false;
            const uchar c = uchar(*mAt);
            if (c == '<' || c == '&') {
                if (mAt > run) {
                    if (c == '<' && text->isNull()) {
                        *text = interned(run, mAt - run);
                        return true;
                    }
                    const QString piece = QString::fromUtf8(run, mAt - run);
                    if (text->isNull())
                        *text = piece;
                    else
                        text->append(piece);
                }
                if (c == '<')
                    return true;
                char32_t u = 0;
                if (!readReference(&u))
                    return false;
                text->append(QStringView(QChar::fromUcs4(u)));
                run = mAt;
                continue;
            }
            return false;
        }
    }

    // A short text's last decoding is kept in a slot chosen by its bytes;
    // a text that differs takes the slot over.
    struct Interned {
        char bytes[24];
        qsizetype size = -1;
        QString text;
    };
    static constexpr size_t kInternedSlots = 512;
    static constexpr qsizetype kInternedMaxSize = qsizetype(sizeof(Interned::bytes));

    QString interned(const char *utf8, qsizetype size)
    {
        if (size > kInternedMaxSize)
            return QString::fromUtf8(utf8, size);
        quint32 hash = 2166136261u; // FNV-1a
        for (qsizetype i = 0; i < size; ++i)
            hash = (hash ^ uchar(utf8[i])) * 16777619u;
        if (!mInterned)
            mInterned = std::make_unique<Interned[]>(kInternedSlots);
        Interned &slot = mInterned[(hash ^ (hash >> 16)) % kInternedSlots];
        if (slot.size == size && std::memcmp(slot.bytes, utf8, size_t(size)) == 0)
            return slot.text;
        slot.text = QString::fromUtf8(utf8, size);
        std::memcpy(slot.bytes, utf8, size_t(size));
        slot.size = size;
        return slot.text;
    }

    // At '&': a predefined entity or a character reference.
    bool readReference(char32_t *u)
    {
        if (skip("&amp;")) {
            *u = '&';
        } else if (skip("&lt;")) {
            *u = '<';
        } else if (skip("&gt;")) {
            *u = '>';
        } else if (skip("&quot;")) {
            *u = '"';
        } else if (skip("&apos;")) {
            *u = '\'';
        } else if (skip("&#x")) {
            return readNumber(16, u);
        } else if (skip("&#")) {
            return readNumber(10, u);
        } else {
            return false;
        }
        return true;
    }

    bool readNumber(int base, char32_t *u)
    {
        char32_t value = 0;
        int digits = 0;
        for (; mAt < mEnd && *mAt != ';'; ++mAt, ++digits) {
            const char c = *mAt;
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0 || digits >= 7)
                return false;
            value = value * char32_t(base) + char32_t(digit);
        }
        if (digits == 0 || !skip(";") || !surelyAllowed(value))
            return false;
        *u = value;
        return true;
    }

    const char *mAt;
    const char *const mEnd;
    std::unique_ptr<Interned[]> mInterned;
};

} // namespace

std::optional<QVariant> PropertyListFastReader::read(const QByteArray &xml) { return FastReader(xml).run(); }

qsizetype PropertyListFastReader::plainTextLength(const char *at, const char *end)
{
    const char *const start = at;
    for (;;) {
        while (at < end && kPlainByte[uchar(*at)])
            ++at;
        if (at >= end || uchar(*at) < 0x80)
            return at - start;
        const int length = utf8CharacterLength(at, end);
        if (length == 0)
            return at - start;
        at += length;
    }
}

} // namespace parley
