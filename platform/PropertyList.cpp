#include "PropertyList.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
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
            return fail(QStringLiteral("bad integer \"%1\"").arg(text.left(40)));
        return QVariant(qlonglong(number));
    }

    std::optional<QVariant> parseReal(const QString &text)
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
            return fail(QStringLiteral("bad real \"%1\"").arg(text.left(40)));
        return QVariant(number);
    }

    std::optional<QVariant> parseDate(const QString &text)
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
        return fail(QStringLiteral("bad date \"%1\"").arg(text.left(40)));
    }

    std::optional<QVariant> parseData(const QString &text)
    {
        QByteArray base64;
        base64.reserve(text.size());
        for (QChar c : text) {
            if (c.isSpace())
                continue;
            if (c.unicode() > 0x7f)
                return fail(QStringLiteral("bad base64 data"));
            base64.append(char(c.unicode()));
        }
        auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return fail(QStringLiteral("bad base64 data"));
        return QVariant(*decoded);
    }

    QXmlStreamReader mXml;
    QString mError;
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
