#include "PropertyListWriter.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <type_traits>
#include <vector>

namespace parley {

namespace {

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
    qsizetype size() const { return mSize; }
    void truncate(qsizetype size) { mSize = size; }
    void openContainer(int level, const char *tag, qsizetype length)
    {
        indent(level);
        append(tag, length);
    }
    bool writeKey(int level, QStringView key) { return writeString(level, kKey, key); }
    bool writeText(int level, QStringView text) { return writeString(level, kString, text); }
    void writeBool(int level, bool value)
    {
        indent(level);
        if (value)
            append("<true/>\n");
        else
            append("<false/>\n");
    }
    void writeInt(int level, qint64 value) { writeInteger(level, value); }
    bool writeAny(int level, const QVariant &value) { return writeValue(value, level); }
    bool failWith(const QString &what) { return fail(what); }
    bool failed() const { return !mError.isEmpty(); }

private:
    bool fail(const QString &what)
    {
        mError = what;
        return false;
    }

    // The buffer is grown geometrically and written through a plain pointer;
    // QByteArray::append per piece cost more than the pieces themselves.
    char *extend(qsizetype n)
    {
        if (mSize + n > mCapacity || !mBuffer) {
            mCapacity = std::max({mSize + n, 2 * mCapacity, qsizetype(4096)});
            mOut.resize(mCapacity);
            mBuffer = mOut.data();
        }
        char *at = mBuffer + mSize;
        mSize += n;
        return at;
    }

    template <qsizetype N>
    void append(const char (&text)[N])
    {
        append(text, N - 1);
    }
    void append(const char *text, qsizetype size) { std::memcpy(extend(size), text, size_t(size)); }
    void append(char c) { *extend(1) = c; }

    void indent(int level) { std::memset(extend(level), '\t', size_t(level)); }

    // An element's start and end tags, each written in one piece.
    struct Tag {
        std::string_view open;
        std::string_view close;
    };
    static constexpr Tag kKey{"<key>", "</key>\n"};
    static constexpr Tag kString{"<string>", "</string>\n"};
    static constexpr Tag kInteger{"<integer>", "</integer>\n"};
    static constexpr Tag kReal{"<real>", "</real>\n"};
    static constexpr Tag kData{"<data>", "</data>\n"};
    static constexpr Tag kDate{"<date>", "</date>\n"};

    void open(int level, const Tag &tag)
    {
        char *at = extend(level + qsizetype(tag.open.size()));
        std::memset(at, '\t', size_t(level));
        std::memcpy(at + level, tag.open.data(), tag.open.size());
    }

    void close(const Tag &tag) { append(tag.close.data(), qsizetype(tag.close.size())); }

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

    // Escapes markup; a carriage return is written as a character reference,
    // because a reader turns a literal one into a line feed. Encodes UTF-8
    // in the same pass; no UTF-16 unit takes more than five bytes.
    bool escape(QStringView text)
    {
        const char16_t *in = text.utf16();
        const char16_t *const end = in + text.size();
        char *const start = reserveTail(5 * text.size());
        char *out = start;
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
                if (in >= end || !QChar::isLowSurrogate(*in))
                    return fail(QStringLiteral("a string holds a lone surrogate"));
                const char32_t c = QChar::surrogateToUcs4(u, *in++);
                *out++ = char(0xF0 | (c >> 18));
                *out++ = char(0x80 | ((c >> 12) & 0x3F));
                *out++ = char(0x80 | ((c >> 6) & 0x3F));
                *out++ = char(0x80 | (c & 0x3F));
                continue;
            }
            if (QChar::isLowSurrogate(u))
                return fail(QStringLiteral("a string holds a lone surrogate"));
            if (u == 0xFFFE || u == 0xFFFF)
                return refuseCharacter(u);
            *out++ = char(0xE0 | (u >> 12));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        }
        mSize += out - start;
        return true;
    }

    template <size_t N>
    static char *put(char *out, const char (&text)[N])
    {
        std::memcpy(out, text, N - 1);
        return out + N - 1;
    }

    bool refuseCharacter(char16_t u)
    {
        return fail(QStringLiteral("a string holds the character U+%1, which XML cannot carry")
                        .arg(uint(u), 4, 16, QLatin1Char('0')));
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
        // Escaped straight into the output; on failure the output is dropped.
        open(level, tag);
        if (!escape(text))
            return false;
        close(tag);
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
            indent(level);
            append("<dict/>\n");
            return true;
        }
        indent(level);
        append("<dict>\n");
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
        indent(level);
        append("</dict>\n");
        return true;
    }

    template <typename List>
    bool writeArray(const List &list, int level)
    {
        if (list.isEmpty()) {
            indent(level);
            append("<array/>\n");
            return true;
        }
        indent(level);
        append("<array>\n");
        for (const auto &item : list) {
            bool ok;
            if constexpr (std::is_same_v<List, QStringList>)
                ok = writeString(level + 1, kString, item);
            else
                ok = writeValue(item, level + 1);
            if (!ok)
                return false;
        }
        indent(level);
        append("</array>\n");
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
            indent(level);
            if (as<bool>(value))
                append("<true/>\n");
            else
                append("<false/>\n");
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
    struct Open {
        bool dict;
        qsizetype start; // where the container's start tag begins
        qsizetype items = 0;
    };
    std::vector<Open> open;
    int roots = 0; // values written outside any container
    int level() const { return int(open.size()); }
    // A value is written where a dictionary expects its key, or the reverse.
    bool misplaced(bool isKey) const
    {
        if (open.empty())
            return isKey;
        const Open &top = open.back();
        return top.dict ? isKey != (top.items % 2 == 0) : isKey;
    }
    bool begin(bool isKey)
    {
        if (failed())
            return false;
        if (misplaced(isKey))
            return failWith(QStringLiteral("a key or value out of place"));
        if (!open.empty())
            ++open.back().items;
        else if (roots++ > 0)
            return failWith(QStringLiteral("a second value outside any container"));
        return true;
    }
    bool beginContainer(bool dict)
    {
        if (!begin(false))
            return false;
        if (level() >= PropertyList::kMaxDepth)
            return failWith(QStringLiteral("nested deeper than %1 levels").arg(PropertyList::kMaxDepth));
        open.push_back({dict, size()});
        if (dict)
            openContainer(level() - 1, "<dict>\n", 7);
        else
            openContainer(level() - 1, "<array>\n", 8);
        return true;
    }
    bool endContainer(bool dict)
    {
        if (failed())
            return false;
        if (open.empty() || open.back().dict != dict || (dict && open.back().items % 2 != 0))
            return failWith(QStringLiteral("a container closed out of place"));
        const Open top = open.back();
        open.pop_back();
        // An empty container is written as one empty-element tag, as write() does.
        if (top.items == 0) {
            truncate(top.start);
            if (dict)
                openContainer(level(), "<dict/>\n", 8);
            else
                openContainer(level(), "<array/>\n", 9);
        } else if (dict) {
            openContainer(level(), "</dict>\n", 8);
        } else {
            openContainer(level(), "</array>\n", 9);
        }
        return true;
    }
};

PropertyListWriter::PropertyListWriter() : d(std::make_unique<State>())
{
    d->prologue();
}

PropertyListWriter::~PropertyListWriter() = default;

bool PropertyListWriter::beginArray() { return d->beginContainer(false); }
bool PropertyListWriter::endArray() { return d->endContainer(false); }
bool PropertyListWriter::beginDict() { return d->beginContainer(true); }
bool PropertyListWriter::endDict() { return d->endContainer(true); }

bool PropertyListWriter::key(QStringView key) { return d->begin(true) && d->writeKey(d->level(), key); }

bool PropertyListWriter::string(QStringView text) { return d->begin(false) && d->writeText(d->level(), text); }

bool PropertyListWriter::boolean(bool value)
{
    if (!d->begin(false))
        return false;
    d->writeBool(d->level(), value);
    return true;
}

bool PropertyListWriter::integer(qint64 value)
{
    if (!d->begin(false))
        return false;
    d->writeInt(d->level(), value);
    return true;
}

bool PropertyListWriter::value(const QVariant &value)
{
    return d->begin(false) && d->writeAny(d->level(), value);
}

PropertyList::WriteResult PropertyListWriter::finish()
{
    if (!d->failed() && (!d->open.empty() || d->roots != 1))
        d->failWith(QStringLiteral("a container left open or no value written"));
    if (d->failed())
        return {QByteArray(), d->error()};
    d->epilogue();
    return {d->data(), QString()};
}

} // namespace parley
