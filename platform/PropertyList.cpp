#include "PropertyList.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QTime>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <type_traits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parley {

namespace {

// ---- text of simple values, shared by both readers --------------------------

std::optional<QVariant> integerFromText(const QString &text)
{
    bool ok = false;
    qint64 number = 0;
    QStringView digits(text);
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
        negative = digits.front() == QLatin1Char('-');
        digits = digits.mid(1);
    }
    const bool hex = digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    if (hex)
        digits = digits.mid(2);
    // Digits only: no inner sign, space or group separator.
    const bool wellFormed = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [hex](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (hex && ((c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                        (c >= QLatin1Char('A') && c <= QLatin1Char('F'))));
    });
    if (wellFormed) {
        const quint64 magnitude = digits.toULongLong(&ok, hex ? 16 : 10);
        constexpr quint64 kMax = quint64(std::numeric_limits<qint64>::max());
        if (ok && !negative && magnitude > kMax)
            ok = false;
        else if (ok && negative && magnitude > kMax + 1)
            ok = false;
        else if (ok)
            number = negative ? qint64(0 - magnitude) : qint64(magnitude);
    }
    if (!ok)
        return std::nullopt;
    return QVariant(qlonglong(number));
}

std::optional<QVariant> realFromText(const QString &text)
{
    const QString lower = text.toLower();
    if (lower == QLatin1String("nan"))
        return QVariant(std::numeric_limits<double>::quiet_NaN());
    if (lower == QLatin1String("inf") || lower == QLatin1String("+inf") || lower == QLatin1String("infinity") ||
        lower == QLatin1String("+infinity"))
        return QVariant(std::numeric_limits<double>::infinity());
    if (lower == QLatin1String("-inf") || lower == QLatin1String("-infinity"))
        return QVariant(-std::numeric_limits<double>::infinity());
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return QVariant(number);
}

std::optional<QVariant> dateFromText(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})Z$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch()) {
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
        if (date.isValid() && time.isValid())
            return QVariant(QDateTime(date, time, Qt::UTC));
    }
    return std::nullopt;
}

std::optional<QVariant> dataFromText(const QString &text)
{
    QByteArray base64;
    base64.reserve(text.size());
    for (QChar c : text) {
        if (c.isSpace())
            continue;
        if (c.unicode() > 0x7f)
            return std::nullopt;
        base64.append(char(c.unicode()));
    }
    auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return QVariant(*decoded);
}

// ---- reading ---------------------------------------------------------------

class Reader {
public:
    explicit Reader(const QByteArray &data) : mXml(data) {}

    PropertyList::ReadResult run()
    {
        PropertyList::ReadResult result;
        std::optional<QVariant> value = readDocument();
        if (!value || !mError.isEmpty()) {
            result.error = mError.isEmpty() ? QStringLiteral("unreadable property list") : mError;
            return result;
        }
        result.value = std::move(*value);
        return result;
    }

private:
    std::nullopt_t fail(const QString &what)
    {
        if (mError.isEmpty())
            mError = QStringLiteral("%1 (line %2, column %3)").arg(what).arg(mXml.lineNumber()).arg(mXml.columnNumber());
        return std::nullopt;
    }

    std::nullopt_t failXml()
    {
        return fail(mXml.hasError() ? QStringLiteral("malformed XML: %1").arg(mXml.errorString())
                                    : QStringLiteral("unexpected end of document"));
    }

    // Moves to the next start or end tag, skipping comments, processing
    // instructions and whitespace. Text anywhere else is an error.
    bool nextTag()
    {
        while (!mXml.atEnd()) {
            switch (mXml.readNext()) {
            case QXmlStreamReader::StartElement:
            case QXmlStreamReader::EndElement:
                return true;
            case QXmlStreamReader::Characters:
                if (!mXml.isWhitespace()) {
                    fail(QStringLiteral("unexpected text"));
                    return false;
                }
                break;
            case QXmlStreamReader::DTD:
                // Internal entities could expand to anything; plists need none.
                if (!mXml.entityDeclarations().isEmpty()) {
                    fail(QStringLiteral("entity declarations are not allowed"));
                    return false;
                }
                break;
            case QXmlStreamReader::EntityReference:
                fail(QStringLiteral("unresolved entity reference"));
                return false;
            case QXmlStreamReader::Invalid:
                failXml();
                return false;
            default:
                break;
            }
        }
        failXml();
        return false;
    }

    std::optional<QVariant> readDocument()
    {
        if (!nextTag())
            return std::nullopt;
        if (!mXml.isStartElement() || mXml.name() != QLatin1String("plist"))
            return fail(QStringLiteral("the root element is not plist"));
        if (!nextTag())
            return std::nullopt;
        if (!mXml.isStartElement())
            return fail(QStringLiteral("plist holds no value"));
        std::optional<QVariant> value = readValue(1);
        if (!value)
            return std::nullopt;
        if (!nextTag())
            return std::nullopt;
        if (!mXml.isEndElement())
            return fail(QStringLiteral("plist holds more than one value"));
        // Only comments and whitespace may follow; the reader itself refuses a
        // second root element.
        while (!mXml.atEnd()) {
            const auto token = mXml.readNext();
            if (token == QXmlStreamReader::Invalid)
                return failXml();
            if (token == QXmlStreamReader::Characters && !mXml.isWhitespace())
                return fail(QStringLiteral("unexpected text"));
        }
        if (mXml.hasError())
            return failXml();
        return value;
    }

    // Collects the text of a simple element up to its end tag.
    std::optional<QString> readText()
    {
        QString text;
        while (!mXml.atEnd()) {
            switch (mXml.readNext()) {
            case QXmlStreamReader::Characters:
                text += mXml.text();
                break;
            case QXmlStreamReader::EndElement:
                return text;
            case QXmlStreamReader::StartElement:
                return fail(QStringLiteral("unexpected element <%1> inside a simple value").arg(mXml.name()));
            case QXmlStreamReader::EntityReference:
                return fail(QStringLiteral("unresolved entity reference"));
            case QXmlStreamReader::Invalid:
                return failXml();
            default:
                break;
            }
        }
        return failXml();
    }

    bool expectEmpty()
    {
        std::optional<QString> text = readText();
        if (!text)
            return false;
        if (!text->trimmed().isEmpty()) {
            fail(QStringLiteral("a boolean holds text"));
            return false;
        }
        return true;
    }

    // The current token is the value's start tag.
    std::optional<QVariant> readValue(int depth)
    {
        const QString tag = mXml.name().toString();
        if (tag == QLatin1String("dict"))
            return readDict(depth);
        if (tag == QLatin1String("array"))
            return readArray(depth);
        if (tag == QLatin1String("true") || tag == QLatin1String("false")) {
            if (!expectEmpty())
                return std::nullopt;
            return QVariant(tag == QLatin1String("true"));
        }
        std::optional<QString> text = readText();
        if (!text)
            return std::nullopt;
        if (tag == QLatin1String("string"))
            return QVariant(*text);
        if (tag == QLatin1String("integer"))
            return parseInteger(text->trimmed());
        if (tag == QLatin1String("real"))
            return parseReal(text->trimmed());
        if (tag == QLatin1String("date"))
            return parseDate(text->trimmed());
        if (tag == QLatin1String("data"))
            return parseData(*text);
        if (tag == QLatin1String("key"))
            return fail(QStringLiteral("key outside a dict"));
        return fail(QStringLiteral("unknown element <%1>").arg(tag));
    }

    bool enter(int depth)
    {
        if (depth > PropertyList::kMaxDepth) {
            fail(QStringLiteral("nested deeper than %1 levels").arg(PropertyList::kMaxDepth));
            return false;
        }
        return true;
    }

    std::optional<QVariant> readDict(int depth)
    {
        if (!enter(depth))
            return std::nullopt;
        QVariantMap map;
        for (;;) {
            if (!nextTag())
                return std::nullopt;
            if (mXml.isEndElement())
                return QVariant(map);
            if (mXml.name() != QLatin1String("key"))
                return fail(QStringLiteral("dict entry without a key"));
            std::optional<QString> key = readText();
            if (!key)
                return std::nullopt;
            if (!nextTag())
                return std::nullopt;
            if (!mXml.isStartElement())
                return fail(QStringLiteral("key \"%1\" has no value").arg(*key));
            std::optional<QVariant> value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            if (map.contains(*key))
                return fail(QStringLiteral("duplicate key \"%1\"").arg(*key));
            map.insert(*key, std::move(*value));
        }
    }

    std::optional<QVariant> readArray(int depth)
    {
        if (!enter(depth))
            return std::nullopt;
        QVariantList list;
        for (;;) {
            if (!nextTag())
                return std::nullopt;
            if (mXml.isEndElement())
                return QVariant(list);
            std::optional<QVariant> value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            list.append(std::move(*value));
        }
    }

    std::optional<QVariant> parseInteger(const QString &text)
    {
        std::optional<QVariant> value = integerFromText(text);
        if (!value)
            return fail(QStringLiteral("bad integer \"%1\"").arg(text.left(40)));
        return value;
    }

    std::optional<QVariant> parseReal(const QString &text)
    {
        std::optional<QVariant> value = realFromText(text);
        if (!value)
            return fail(QStringLiteral("bad real \"%1\"").arg(text.left(40)));
        return value;
    }

    std::optional<QVariant> parseDate(const QString &text)
    {
        std::optional<QVariant> value = dateFromText(text);
        if (!value)
            return fail(QStringLiteral("bad date \"%1\"").arg(text.left(40)));
        return value;
    }

    std::optional<QVariant> parseData(const QString &text)
    {
        std::optional<QVariant> value = dataFromText(text);
        if (!value)
            return fail(QStringLiteral("bad base64 data"));
        return value;
    }

    QXmlStreamReader mXml;
    QString mError;
};

// ---- reading, the fast path ------------------------------------------------

// Reads the plain layout that this writer and Python's plistlib produce
// straight from the bytes: QXmlStreamReader cost ~1,500 instructions a token,
// most of a sign-in that reads a 5,000-entry group cache. Anything outside
// that layout (comments, CDATA, processing instructions, attributes, a DTD
// other than the usual one, entities other than the predefined ones and
// character references, a literal carriage return or '>', rare characters,
// and every error) makes it give up; the full reader then reads the document
// from the start and gives the answer and the error texts.
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
            return integerFromText(text.trimmed());
        if (name == "real")
            return realFromText(text.trimmed());
        if (name == "date")
            return dateFromText(text.trimmed());
        if (name == "data")
            return dataFromText(text);
        return std::nullopt;
    }

    std::optional<QVariant> readDict(int depth)
    {
        QVariantMap map;
        for (;;) {
            skipWhitespace();
            if (readEndTag("dict"))
                return QVariant(map);
            std::string_view name;
            bool empty = false;
            if (!readStartTag(&name, &empty) || name != "key")
                return std::nullopt;
            QString key;
            if (!empty && (!readText(&key, true) || !readEndTag("key")))
                return std::nullopt;
            skipWhitespace();
            std::optional<QVariant> value = readValue(depth + 1);
            if (!value)
                return std::nullopt;
            const qsizetype before = map.size();
            auto it = map.insert(map.cend(), key, QVariant());
            if (map.size() == before)
                return std::nullopt; // a duplicate key
            *it = std::move(*value);
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
    // none, as the full reader leaves it. Keys repeat in every entry of a
    // cache, so each distinct one is decoded once and then shared.
    bool readText(QString *text, bool isKey = false)
    {
        const char *run = mAt;
        for (;;) {
            while (mAt < mEnd && kPlainByte[uchar(*mAt)])
                ++mAt;
            if (mAt >= mEnd)
                return false;
            const uchar c = uchar(*mAt);
            if (c == '<' || c == '&') {
                if (mAt > run) {
                    if (isKey && c == '<' && text->isNull()) {
                        *text = internedKey(run, mAt - run);
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
            if (c < 0x80)
                return false;
            if (!skipUtf8Character())
                return false;
        }
    }

    QString internedKey(const char *utf8, qsizetype size)
    {
        const QByteArray bytes = QByteArray::fromRawData(utf8, size);
        if (auto it = mKeys.constFind(bytes); it != mKeys.cend())
            return *it;
        QString key = QString::fromUtf8(utf8, size);
        if (mKeys.size() < 256)
            mKeys.insert(QByteArray(utf8, size), key);
        return key;
    }

    // ASCII that text holds as it stands: not markup, not '>', not a carriage
    // return, not a control character other than tab and line feed, not DEL.
    static constexpr std::array<bool, 256> kPlainByte = [] {
        std::array<bool, 256> plain{};
        for (int c = 0x20; c < 0x7F; ++c)
            plain[size_t(c)] = c != '<' && c != '&' && c != '>';
        plain['\t'] = true;
        plain['\n'] = true;
        return plain;
    }();

    // A well-formed UTF-8 sequence of a character that is surely allowed.
    bool skipUtf8Character()
    {
        const uchar lead = uchar(*mAt);
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
            return false;
        }
        if (mEnd - mAt < length)
            return false;
        for (int i = 1; i < length; ++i) {
            const uchar next = uchar(mAt[i]);
            if ((next & 0xC0) != 0x80)
                return false;
            u = (u << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((length == 3 && u < 0x800) || (length == 4 && (u < 0x10000 || u > 0x10FFFF)))
            return false;
        if (!surelyAllowed(u))
            return false;
        mAt += length;
        return true;
    }

    // Characters that XML allows and every reader takes alike; the rest are
    // left to the full reader.
    static bool surelyAllowed(char32_t u)
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
    QHash<QByteArray, QString> mKeys;
};

// ---- writing ---------------------------------------------------------------

// Writes UTF-8 straight into a byte buffer: building a QString and
// converting it at the end cost ~10,000 instructions per group-cache entry.
class Writer {
public:
    bool run(const QVariant &value)
    {
        append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
               "<plist version=\"1.0\">\n");
        if (!writeValue(value, 0))
            return false;
        append("</plist>\n");
        return true;
    }

    QByteArray data()
    {
        mOut.truncate(mSize);
        return mOut;
    }
    QString error() const { return mError; }

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

PropertyList::ReadResult PropertyList::read(const QByteArray &xml)
{
    if (xml.size() > kMaxBytes)
        return {QVariant(), QStringLiteral("property list larger than %1 bytes").arg(kMaxBytes)};
    if (std::optional<QVariant> value = FastReader(xml).run())
        return {std::move(*value), QString()};
    return Reader(xml).run();
}

PropertyList::ReadResult PropertyList::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QVariant(), QStringLiteral("cannot open %1: %2").arg(path, file.errorString())};
    // Read one byte past the limit, so that a file that lies about its size
    // (or grows meanwhile) is caught too.
    const QByteArray data = file.read(kMaxBytes + 1);
    if (data.size() > kMaxBytes)
        return {QVariant(), QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(kMaxBytes)};
    ReadResult result = read(data);
    if (!result.ok())
        result.error = QStringLiteral("%1: %2").arg(path, result.error);
    return result;
}

PropertyList::WriteResult PropertyList::write(const QVariant &value)
{
    Writer writer;
    if (!writer.run(value))
        return {QByteArray(), writer.error()};
    return {writer.data(), QString()};
}

QString PropertyList::writeFile(const QString &path, const QVariant &value,
                                std::optional<QFileDevice::Permissions> permissions)
{
    const WriteResult written = write(value);
    if (!written.ok())
        return written.error;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    if (permissions && !file.setPermissions(*permissions)) {
        file.cancelWriting();
        return QStringLiteral("cannot set the permissions of %1: %2").arg(path, file.errorString());
    }
    if (file.write(written.data) != written.data.size()) {
        file.cancelWriting();
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    }
    if (!file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return QString();
}

} // namespace parley

namespace parley {

namespace {

QString systemError(const QString &path, int error)
{
    return QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *at = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        left -= n;
    }
    return true;
}

} // namespace

QString PropertyList::writeCacheFile(const QString &path, const QVariant &value)
{
    const WriteResult written = write(value);
    if (!written.ok())
        return written.error;
    const QByteArray target = QFile::encodeName(path);
    // A name of its own in the same folder, so that the rename stays on one
    // file system and two writers never share a temporary file.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary = target + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return systemError(path, errno);
    }
    if (fd < 0)
        return systemError(path, EEXIST);
    struct stat old {};
    bool ok = true;
    if (::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && writeAll(fd, written.data);
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.constData(), target.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.constData());
        return systemError(path, error ? error : EIO);
    }
    return QString();
}

} // namespace parley
