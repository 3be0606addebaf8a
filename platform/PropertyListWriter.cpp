#include "PropertyListWriter.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string_view>
#include <type_traits>
#include <vector>

namespace parley {

namespace {

// A short piece of markup, padded so that it is copied in one fixed size.
struct Line {
    char bytes[16] = {};
    qsizetype size = 0;
    constexpr Line(std::string_view text)
    {
        for (const char c : text)
            bytes[size++] = c;
    }
};

// Elements known in full (with their line break), each on a line of its own.
constexpr Line kDictOpen{"<dict>\n"};
constexpr Line kDictClose{"</dict>\n"};
constexpr Line kDictEmpty{"<dict/>\n"};
constexpr Line kArrayOpen{"<array>\n"};
constexpr Line kArrayClose{"</array>\n"};
constexpr Line kArrayEmpty{"<array/>\n"};
constexpr Line kTrue{"<true/>\n"};
constexpr Line kFalse{"<false/>\n"};

// An element's start and end tags, each written in one piece.
struct Tag {
    Line open;
    Line close;
};
constexpr Tag kKey{{"<key>"}, {"</key>\n"}};
constexpr Tag kString{{"<string>"}, {"</string>\n"}};
constexpr Tag kInteger{{"<integer>"}, {"</integer>\n"}};
constexpr Tag kReal{{"<real>"}, {"</real>\n"}};
constexpr Tag kData{{"<data>"}, {"</data>\n"}};
constexpr Tag kDate{{"<date>"}, {"</date>\n"}};

class Writer {
public:
    bool run(const QVariant &value)
    {
        prologue();
        if (!writeValue(value, 0))
            return false;
        epilogue();
        return true;
    }

    void prologue()
    {
        append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
               "<plist version=\"1.0\">\n");
    }
    void epilogue() { append("</plist>\n"); }

    QByteArray data()
    {
        mOut.truncate(mSize);
        return mOut;
    }
    QString error() const { return mError; }

    // Pieces of a document for PropertyListWriter's own interface.
    // Offsets count from the document's start, bytes handed on included.
    qsizetype size() const { return mDrained + mSize; }
    void truncate(qsizetype size) { mSize = size - mDrained; }
    qsizetype buffered() const { return mSize; }
    // Hands the bytes before offset `keepFrom` to `sink` and moves the rest
    // to the buffer's start.
    bool handOn(qsizetype keepFrom, const std::function<bool(QByteArrayView)> &sink)
    {
        const qsizetype n = keepFrom - mDrained;
        if (n <= 0)
            return true;
        if (!sink(QByteArrayView(mBuffer, n)))
            return false;
        std::memmove(mBuffer, mBuffer + n, size_t(mSize - n));
        mSize -= n;
        mDrained += n;
        return true;
    }
    void reserve(qsizetype bytes)
    {
        if (bytes > 0 && mSize + bytes + kSlack > mCapacity)
            grow(bytes);
    }
    void line(int level, const Line &piece) { fixed<16>(startLine(level, piece.size), piece.bytes); }
    template <bool IsKey>
    void constant(int level, const PropertyListWriter::Constant<IsKey> &element)
    {
        using Element = PropertyListWriter::Constant<IsKey>;
        fixed<Element::kCapacity>(startLine(level, qsizetype(element.size())), element.bytes());
    }
    // The common cases written with no call: a line at most eight tabs deep
    // in a buffer with room to spare. Nothing is written when they do not
    // apply (nullptr, false), and the general path takes over.
    char *tryLine(int level, qsizetype more)
    {
        if (level > 8 || mSize + level + more + kSlack > mCapacity)
            return nullptr;
        char *at = mBuffer + mSize;
        fixed<8>(at, kTabs);
        mSize += level + more;
        return at + level;
    }
    template <bool IsKey>
    bool tryConstant(int level, const PropertyListWriter::Constant<IsKey> &element)
    {
        using Element = PropertyListWriter::Constant<IsKey>;
        char *at = tryLine(level, qsizetype(element.size()));
        if (at)
            fixed<Element::kCapacity>(at, element.bytes());
        return at;
    }
    bool tryLine(int level, const Line &piece)
    {
        char *at = tryLine(level, piece.size);
        if (at)
            fixed<16>(at, piece.bytes);
        return at;
    }
    // Text of plain ASCII only.
    bool tryText(int level, const Tag &tag, QStringView text)
    {
        const qsizetype n = text.size();
        if (level > 8 || mSize + level + tag.open.size + n + tag.close.size + kSlack > mCapacity)
            return false;
        char *const start = mBuffer + mSize;
        fixed<8>(start, kTabs);
        char *out = start + level;
        fixed<16>(out, tag.open.bytes);
        out += tag.open.size;
        const char16_t *in = text.utf16();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t u = in[i];
            if (u >= 0x80 || !kPlainAscii[u])
                return false;
            out[i] = char(u);
        }
        out += n;
        fixed<16>(out, tag.close.bytes);
        out += tag.close.size;
        mSize = out - mBuffer;
        return true;
    }
    bool writeKey(int level, QStringView key) { return writeString(level, kKey, key); }
    bool writeText(int level, QStringView text) { return writeString(level, kString, text); }
    void writeBool(int level, bool value) { line(level, value ? kTrue : kFalse); }
    void writeInt(int level, qint64 value) { writeInteger(level, value); }
    bool writeAny(int level, const QVariant &value) { return writeValue(value, level); }
    bool failWith(const QString &what) { return fail(what); }
    bool failed() const { return !mError.isEmpty(); }

private:
    [[gnu::cold, gnu::noinline]] bool fail(const QString &what)
    {
        mError = what;
        return false;
    }

    // The buffer is grown geometrically and written through a plain pointer;
    // QByteArray::append per piece cost more than the pieces themselves. It
    // always has kSlack bytes to spare past what is asked, so that short
    // pieces are copied in fixed sizes (a few moves, no call) and only the
    // bytes that count are counted as written.
    static constexpr qsizetype kSlack = 64;
    static_assert(kSlack >= qsizetype(PropertyListWriter::ConstantKey::kCapacity) + 8);

    char *extend(qsizetype n)
    {
        if (mSize + n + kSlack > mCapacity) [[unlikely]]
            grow(n);
        char *at = mBuffer + mSize;
        mSize += n;
        return at;
    }

    [[gnu::noinline]] void grow(qsizetype n)
    {
        mCapacity = std::max({mSize + n + kSlack, 2 * mCapacity, qsizetype(4096)});
        mOut.resize(mCapacity);
        mBuffer = mOut.data();
    }

    template <std::size_t N>
    static void fixed(char *to, const char *from)
    {
        std::memcpy(to, from, N);
    }

    template <qsizetype N>
    void append(const char (&text)[N])
    {
        append(text, N - 1);
    }
    void append(const char *text, qsizetype size) { std::memcpy(extend(size), text, size_t(size)); }

    // Tabs for a line's indentation and room for `more` bytes after them,
    // where the line goes on.
    static constexpr char kTabs[8] = {'\t', '\t', '\t', '\t', '\t', '\t', '\t', '\t'};
    static char *putTabs(char *at, int level)
    {
        if (level <= 8) [[likely]]
            fixed<8>(at, kTabs);
        else
            std::memset(at, '\t', size_t(level));
        return at + level;
    }
    char *startLine(int level, qsizetype more) { return putTabs(extend(level + more), level); }

    void open(int level, const Tag &tag) { fixed<16>(startLine(level, tag.open.size), tag.open.bytes); }

    void close(const Tag &tag) { fixed<16>(extend(tag.close.size), tag.close.bytes); }

    void simple(int level, const Tag &tag, QByteArrayView text)
    {
        open(level, tag);
        append(text.data(), text.size());
        close(tag);
    }

    // Room for n more bytes at the end, without counting them as written.
    char *reserveTail(qsizetype n)
    {
        char *at = extend(n);
        mSize -= n;
        return at;
    }

    // Escapes markup into `out`, which has room for five bytes per UTF-16
    // unit (the most any takes); the end of what was written, or nothing on
    // failure. A carriage return is written as a character reference,
    // because a reader turns a literal one into a line feed. Encodes UTF-8
    // in the same pass.
    [[gnu::noinline]] char *escape(char *out, QStringView text)
    {
        const char16_t *in = text.utf16();
        const char16_t *const end = in + text.size();
        while (in < end) {
            const char16_t u = *in++;
            if (u < 0x80) {
                if (kPlainAscii[u]) {
                    *out++ = char(u);
                    continue;
                }
                switch (u) {
                case '&': out = put(out, "&amp;"); continue;
                case '<': out = put(out, "&lt;"); continue;
                case '>': out = put(out, "&gt;"); continue;
                case '\r': out = put(out, "&#13;"); continue;
                default: return refuseCharacter(u);
                }
            }
            if (u < 0x800) {
                *out++ = char(0xC0 | (u >> 6));
                *out++ = char(0x80 | (u & 0x3F));
                continue;
            }
            if (QChar::isHighSurrogate(u)) {
                if (in >= end || !QChar::isLowSurrogate(*in)) {
                    return loneSurrogate();
                }
                const char32_t c = QChar::surrogateToUcs4(u, *in++);
                *out++ = char(0xF0 | (c >> 18));
                *out++ = char(0x80 | ((c >> 12) & 0x3F));
                *out++ = char(0x80 | ((c >> 6) & 0x3F));
                *out++ = char(0x80 | (c & 0x3F));
                continue;
            }
            if (QChar::isLowSurrogate(u)) {
                return loneSurrogate();
            }
            if (u == 0xFFFE || u == 0xFFFF)
                return refuseCharacter(u);
            *out++ = char(0xE0 | (u >> 12));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        }
        return out;
    }

    template <size_t N>
    static char *put(char *out, const char (&text)[N])
    {
        std::memcpy(out, text, N - 1);
        return out + N - 1;
    }

    // Both answer nothing, for escape().
    [[gnu::cold, gnu::noinline]] char *refuseCharacter(char16_t u)
    {
        fail(QStringLiteral("a string holds the character U+%1, which XML cannot carry")
                 .arg(uint(u), 4, 16, QLatin1Char('0')));
        return nullptr;
    }
    [[gnu::cold, gnu::noinline]] char *loneSurrogate()
    {
        fail(QStringLiteral("a string holds a lone surrogate"));
        return nullptr;
    }

    // ASCII written as it stands: not markup, not a carriage return, not a
    // control character other than tab and line feed.
    static constexpr std::array<bool, 0x80> kPlainAscii = [] {
        std::array<bool, 0x80> plain{};
        for (char16_t u = 0x20; u < 0x80; ++u)
            plain[u] = u != '&' && u != '<' && u != '>';
        plain['\t'] = true;
        plain['\n'] = true;
        return plain;
    }();

    bool writeString(int level, const Tag &tag, QStringView text)
    {
        // Room for the element at its longest, taken at once; the text is
        // escaped straight into it, and only what was written is counted.
        // On failure nothing is.
        char *const start = reserveTail(level + tag.open.size + 5 * text.size() + tag.close.size);
        char *out = putTabs(start, level);
        fixed<16>(out, tag.open.bytes);
        out += tag.open.size;
        // Plain ASCII (most text) is copied as it stands; escape() takes
        // over from the first unit that needs more.
        const char16_t *in = text.utf16();
        const char16_t *const end = in + text.size();
        while (in < end && *in < 0x80 && kPlainAscii[*in])
            *out++ = char(*in++);
        if (in < end) [[unlikely]] {
            out = escape(out, QStringView(in, end));
            if (!out)
                return false;
        }
        fixed<16>(out, tag.close.bytes);
        out += tag.close.size;
        mSize += out - start;
        return true;
    }

    template <typename Number>
    void writeInteger(int level, Number number)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        simple(level, kInteger, QByteArrayView(digits, end - digits));
    }

    template <typename Map>
    bool writeDict(const Map &map, int level)
    {
        if (map.isEmpty()) {
            line(level, kDictEmpty);
            return true;
        }
        line(level, kDictOpen);
        if constexpr (std::is_same_v<Map, QVariantMap>) {
            // A map is already in key order.
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                if (!writeString(level + 1, kKey, it.key()) || !writeValue(it.value(), level + 1))
                    return false;
            }
        } else {
            QStringList keys = map.keys();
            keys.sort(); // a hash has no order of its own; files stay stable
            for (const QString &key : keys) {
                if (!writeString(level + 1, kKey, key) || !writeValue(map.value(key), level + 1))
                    return false;
            }
        }
        line(level, kDictClose);
        return true;
    }

    template <typename List>
    bool writeArray(const List &list, int level)
    {
        if (list.isEmpty()) {
            line(level, kArrayEmpty);
            return true;
        }
        line(level, kArrayOpen);
        for (const auto &item : list) {
            bool ok;
            if constexpr (std::is_same_v<List, QStringList>)
                ok = writeString(level + 1, kString, item);
            else
                ok = writeValue(item, level + 1);
            if (!ok)
                return false;
        }
        line(level, kArrayClose);
        return true;
    }

    template <typename T>
    static const T &as(const QVariant &value)
    {
        return *static_cast<const T *>(value.constData());
    }

    bool writeValue(const QVariant &value, int level)
    {
        const int type = value.typeId();
        if (level >= PropertyList::kMaxDepth && (type == QMetaType::QVariantMap || type == QMetaType::QVariantHash ||
                                                 type == QMetaType::QVariantList || type == QMetaType::QStringList))
            return fail(QStringLiteral("nested deeper than %1 levels").arg(PropertyList::kMaxDepth));
        switch (type) {
        case QMetaType::Bool:
            writeBool(level, as<bool>(value));
            return true;
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::SChar:
        case QMetaType::Char:
        case QMetaType::Long:
        case QMetaType::LongLong:
            writeInteger(level, qint64(value.toLongLong()));
            return true;
        case QMetaType::UInt:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::ULong:
        case QMetaType::ULongLong: {
            const quint64 number = value.toULongLong();
            if (number > quint64(std::numeric_limits<qint64>::max()))
                return fail(QStringLiteral("integer %1 is out of range").arg(number));
            writeInteger(level, number);
            return true;
        }
        case QMetaType::Double:
        case QMetaType::Float: {
            const double number = value.toDouble();
            QString text;
            if (std::isnan(number))
                text = QStringLiteral("nan");
            else if (std::isinf(number))
                text = number > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
            else
                text = QString::number(number, 'g', QLocale::FloatingPointShortest);
            simple(level, kReal, text.toLatin1());
            return true;
        }
        case QMetaType::QString:
            return writeString(level, kString, as<QString>(value));
        case QMetaType::QByteArray:
            simple(level, kData, as<QByteArray>(value).toBase64());
            return true;
        case QMetaType::QDateTime: {
            const QDateTime utc = value.toDateTime().toUTC();
            if (!utc.isValid() || utc.date().year() < 0 || utc.date().year() > 9999)
                return fail(QStringLiteral("a date is invalid or out of range"));
            simple(level, kDate, utc.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")).toLatin1());
            return true;
        }
        case QMetaType::QVariantMap:
            return writeDict(as<QVariantMap>(value), level);
        case QMetaType::QVariantHash:
            return writeDict(as<QVariantHash>(value), level);
        case QMetaType::QVariantList:
            return writeArray(as<QVariantList>(value), level);
        case QMetaType::QStringList:
            return writeArray(as<QStringList>(value), level);
        default:
            return fail(value.isValid()
                            ? QStringLiteral("a value of type %1 has no property-list form").arg(value.typeName())
                            : QStringLiteral("a null value has no property-list form"));
        }
    }

    QByteArray mOut;
    char *mBuffer = nullptr;
    qsizetype mSize = 0;
    qsizetype mDrained = 0; // bytes handed on by drain()
    qsizetype mCapacity = 0;
    QString mError;
};

} // namespace

PropertyList::WriteResult PropertyListWriter::write(const QVariant &value)
{
    Writer writer;
    if (!writer.run(value))
        return {QByteArray(), writer.error()};
    return {writer.data(), QString()};
}

struct PropertyListWriter::State : Writer {
    // What the innermost open container takes next; outside any, one value;
    // nothing once anything failed.
    enum Expect : quint8 { RootValue, ArrayValue, DictKey, DictValue, Failed };
    struct Open {
        bool dict;
        qsizetype start; // where the container's start tag begins
    };
    Open open[PropertyList::kMaxDepth];
    int depth = 0; // containers open
    Expect expect = RootValue;
    int roots = 0; // values written outside any container

    // The common case of each piece is tried first, inline and with one
    // check of the state; the general path below handles everything,
    // including every error.
    bool fastKey() { return expect == DictKey; }
    bool fastValue() { return expect == DictValue || expect == ArrayValue; }
    void valueWritten()
    {
        if (expect == DictValue)
            expect = DictKey;
    }
    bool tryBeginContainer(bool dict)
    {
        if (!fastValue() || depth >= PropertyList::kMaxDepth)
            return false;
        const qsizetype start = size();
        if (!tryLine(depth, dict ? kDictOpen : kArrayOpen))
            return false;
        valueWritten();
        open[depth++] = {dict, start};
        expect = dict ? DictKey : ArrayValue;
        return true;
    }
    bool tryEndContainer(bool dict)
    {
        // A state of DictKey or ArrayValue means a container is open.
        if (expect != (dict ? DictKey : ArrayValue))
            return false;
        const Line &openTag = dict ? kDictOpen : kArrayOpen;
        if (size() == open[depth - 1].start + (depth - 1) + openTag.size)
            return false; // empty
        if (!tryLine(depth - 1, dict ? kDictClose : kArrayClose))
            return false;
        closed();
        return true;
    }
    void closed()
    {
        --depth;
        expect = depth == 0 ? RootValue : open[depth - 1].dict ? DictKey : ArrayValue;
    }

    // The general path.
    bool settle(bool ok)
    {
        if (failed())
            expect = Failed;
        return ok;
    }
    // Misuse by the caller; kept out of the way of the common path.
    [[gnu::cold, gnu::noinline]] bool misuse(const char *what) { return failWith(QString::fromLatin1(what)); }
    bool outOfPlace() { return misuse("a key or value out of place"); }
    bool begin(bool isKey)
    {
        if (failed())
            return false;
        switch (expect) {
        case DictKey:
            if (!isKey)
                return outOfPlace();
            expect = DictValue;
            return true;
        case DictValue:
            if (isKey)
                return outOfPlace();
            expect = DictKey;
            return true;
        case ArrayValue:
            return !isKey || outOfPlace();
        case RootValue:
            if (isKey)
                return outOfPlace();
            if (roots++ > 0)
                return misuse("a second value outside any container");
            return true;
        case Failed:
            break;
        }
        return false;
    }
    [[gnu::cold, gnu::noinline]] bool tooDeep()
    {
        return failWith(QStringLiteral("nested deeper than %1 levels").arg(PropertyList::kMaxDepth));
    }
    [[gnu::noinline]] bool beginContainer(bool dict)
    {
        if (!begin(false))
            return settle(false);
        if (depth >= PropertyList::kMaxDepth) [[unlikely]]
            return settle(tooDeep());
        open[depth] = {dict, size()};
        line(depth++, dict ? kDictOpen : kArrayOpen);
        expect = dict ? DictKey : ArrayValue;
        return true;
    }
    [[gnu::noinline]] bool endContainer(bool dict)
    {
        if (failed())
            return false;
        if (expect != (dict ? DictKey : ArrayValue))
            return settle(misuse("a container closed out of place"));
        const qsizetype start = open[depth - 1].start;
        closed();
        // An empty container (nothing written after its start tag) is
        // written as one empty-element tag, as write() does.
        const Line &openTag = dict ? kDictOpen : kArrayOpen;
        if (size() == start + depth + openTag.size) {
            truncate(start);
            line(depth, dict ? kDictEmpty : kArrayEmpty);
        } else {
            line(depth, dict ? kDictClose : kArrayClose);
        }
        return true;
    }
    template <bool IsKey>
    [[gnu::noinline]] bool writeConstant(const PropertyListWriter::Constant<IsKey> &element)
    {
        if (!begin(IsKey))
            return settle(false);
        constant(depth, element);
        return true;
    }
    [[gnu::noinline]] bool writeKeyText(QStringView key) { return settle(begin(true) && writeKey(depth, key)); }
    [[gnu::noinline]] bool writeStringText(QStringView text) { return settle(begin(false) && writeText(depth, text)); }
    [[gnu::noinline]] bool writeBoolean(bool value)
    {
        if (!begin(false))
            return settle(false);
        writeBool(depth, value);
        return true;
    }
    [[gnu::noinline]] bool writeInteger(qint64 value)
    {
        if (!begin(false))
            return settle(false);
        writeInt(depth, value);
        return true;
    }
    [[gnu::noinline]] bool writeValue(const QVariant &value) { return settle(begin(false) && writeAny(depth, value)); }

    bool drain(const std::function<bool(QByteArrayView)> &sink)
    {
        if (failed())
            return false;
        qsizetype keepFrom = size();
        // Only the innermost open container can be empty: an outer one holds
        // at least the inner one's start tag. Closing an empty one rewrites
        // its start tag, which must still be here then.
        if (depth > 0) {
            const Line &openTag = open[depth - 1].dict ? kDictOpen : kArrayOpen;
            if (size() == open[depth - 1].start + (depth - 1) + openTag.size)
                keepFrom = open[depth - 1].start;
        }
        if (!handOn(keepFrom, sink))
            return settle(failWith(QStringLiteral("the document could not be handed on")));
        return true;
    }
};

PropertyListWriter::PropertyListWriter() : d(std::make_unique<State>())
{
    d->prologue();
}

PropertyListWriter::~PropertyListWriter() = default;

bool PropertyListWriter::beginArray() { return d->tryBeginContainer(false) || d->beginContainer(false); }
bool PropertyListWriter::endArray() { return d->tryEndContainer(false) || d->endContainer(false); }
bool PropertyListWriter::beginDict() { return d->tryBeginContainer(true) || d->beginContainer(true); }
bool PropertyListWriter::endDict() { return d->tryEndContainer(true) || d->endContainer(true); }

void PropertyListWriter::reserve(qsizetype bytes) { d->reserve(bytes); }

bool PropertyListWriter::key(QStringView key)
{
    State &s = *d;
    if (s.fastKey() && s.tryText(s.depth, kKey, key)) {
        s.expect = State::DictValue;
        return true;
    }
    return s.writeKeyText(key);
}

bool PropertyListWriter::key(const ConstantKey &key)
{
    State &s = *d;
    if (s.fastKey() && s.tryConstant(s.depth, key)) {
        s.expect = State::DictValue;
        return true;
    }
    return s.writeConstant(key);
}

bool PropertyListWriter::string(QStringView text)
{
    State &s = *d;
    if (s.fastValue() && s.tryText(s.depth, kString, text)) {
        s.valueWritten();
        return true;
    }
    return s.writeStringText(text);
}

bool PropertyListWriter::string(const ConstantString &text)
{
    State &s = *d;
    if (s.fastValue() && s.tryConstant(s.depth, text)) {
        s.valueWritten();
        return true;
    }
    return s.writeConstant(text);
}

bool PropertyListWriter::boolean(bool value)
{
    State &s = *d;
    if (s.fastValue() && s.tryLine(s.depth, value ? kTrue : kFalse)) {
        s.valueWritten();
        return true;
    }
    return s.writeBoolean(value);
}

bool PropertyListWriter::integer(qint64 value) { return d->writeInteger(value); }

bool PropertyListWriter::value(const QVariant &value) { return d->writeValue(value); }

bool PropertyListWriter::drainTo(const std::function<bool(QByteArrayView)> &sink, qsizetype atLeast)
{
    return d->buffered() < atLeast ? !d->failed() : d->drain(sink);
}

PropertyList::WriteResult PropertyListWriter::finish()
{
    if (!d->failed() && (d->depth != 0 || d->roots != 1))
        d->failWith(QStringLiteral("a container left open or no value written"));
    if (d->failed())
        return {QByteArray(), d->error()};
    d->epilogue();
    return {d->data(), QString()};
}

} // namespace parley
