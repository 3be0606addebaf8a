#include "ParleyStringAdditions.h"

#include <QUrl>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace parley {

namespace {

struct Replacement {
    QLatin1StringView from;
    QLatin1StringView to;
};

QString replaceInOrder(const QString &text, const Replacement *steps, size_t count)
{
    QString result = text;
    // Most steps find nothing; looking first spares building a matcher and
    // converting both texts for each of them.
    for (size_t i = 0; i < count; ++i) {
        if (result.contains(steps[i].from))
            result.replace(steps[i].from, steps[i].to);
    }
    return result;
}

bool isAscii(QByteArrayView bytes)
{
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    quint64 high = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, sizeof word);
        high |= word;
    }
    for (; i < size; ++i)
        high |= quint64(static_cast<unsigned char>(data[i]));
    return (high & 0x8080808080808080ULL) == 0;
}

std::array<unsigned char, 16> md5Bytes(const char *data, size_t size)
{
    std::array<unsigned char, 16> digest{};
    unsigned int length = 0;
    EVP_Digest(data, size, digest.data(), &length, EVP_md5(), nullptr);
    return digest;
}

QString lowerHex(const unsigned char *bytes, size_t size)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size)).toHex());
}

// "%25" last, so that a percent sign of the text is restored only after every
// other escape has been undone.
const Replacement kDecodingSteps[] = {
    {QLatin1StringView("%20"), QLatin1StringView(" ")},
    {QLatin1StringView("%0D"), QLatin1StringView("\r")},
    {QLatin1StringView("%0A"), QLatin1StringView("\n")},
    {QLatin1StringView("%00"), QLatin1StringView("")},
    {QLatin1StringView("%09"), QLatin1StringView("\t")},
    {QLatin1StringView("%25"), QLatin1StringView("%")},
};

// What the escape starting at p (a '%' followed by at least two characters)
// stands for: -1 for none, 0 for "%00", which stands for nothing.
inline int escapeAt(const QChar *p)
{
    const char16_t first = p[1].unicode();
    const char16_t second = p[2].unicode();
    if (first == u'2')
        return second == u'0' ? ' ' : second == u'5' ? '%' : -1;
    if (first != u'0')
        return -1;
    switch (second) {
    case u'D': return '\r';
    case u'A': return '\n';
    case u'0': return 0;
    case u'9': return '\t';
    default: return -1;
    }
}

// The characters the wire cannot carry as they stand, as bits of a mask over
// the first 64 codes.
constexpr quint64 kParleyEscaped = (quint64(1) << '%') | (quint64(1) << ' ') | (quint64(1) << '\r')
    | (quint64(1) << '\n') | (quint64(1) << '\t');

inline bool isParleyEscaped(char16_t c)
{
    return c < 64 && ((kParleyEscaped >> c) & 1);
}

qsizetype parleyEscapeCount(QStringView text)
{
    qsizetype count = 0;
    for (const QChar c : text)
        count += isParleyEscaped(c.unicode());
    return count;
}

// Writes the text with its `escapes` escaped characters at `out`, which has
// room for it. Each escape is '%' and two characters none of which is escaped
// itself, so that one pass gives what the replacements in order ("%" first)
// give.
void writeParleyEncoded(QStringView text, qsizetype escapes, QChar *out)
{
    if (escapes == 0) {
        std::copy(text.begin(), text.end(), out);
        return;
    }
    for (const QChar c : text) {
        if (!isParleyEscaped(c.unicode())) {
            *out++ = c;
            continue;
        }
        const char *escape = c == QLatin1Char('%') ? "%25"
            : c == QLatin1Char(' ')                ? "%20"
            : c == QLatin1Char('\r')               ? "%0D"
            : c == QLatin1Char('\n')               ? "%0A"
                                                   : "%09";
        *out++ = QLatin1Char(escape[0]);
        *out++ = QLatin1Char(escape[1]);
        *out++ = QLatin1Char(escape[2]);
    }
}

} // namespace

QString stringByParleyEncoding(const QString &text)
{
    const qsizetype escapes = parleyEscapeCount(text);
    if (escapes == 0)
        return text;
    QString result(text.size() + 2 * escapes, Qt::Uninitialized);
    writeParleyEncoded(text, escapes, result.data());
    return result;
}

void appendParleyEncoded(QString &out, QStringView text)
{
    const qsizetype escapes = parleyEscapeCount(text);
    const qsizetype at = out.size();
    out.resize(at + text.size() + 2 * escapes);
    writeParleyEncoded(text, escapes, out.data() + at);
}

QString stringByParleyDecoding(const QString &wire)
{
    if (!wire.contains(QLatin1Char('%')))
        return wire;
    return stringByParleyDecoding(QStringView(wire));
}

QString stringByParleyDecoding(QStringView wire)
{
    const qsizetype firstPercent = std::find(wire.begin(), wire.end(), u'%') - wire.begin();
    if (firstPercent == wire.size())
        return wire.toString();
    // One pass gives what the replacements in order give: escapes never
    // overlap, and undoing one makes no new one, except that dropping a "%00"
    // joins its neighbours. A '%' just before it may then start a "%09" or
    // "%25" that the later replacements undo; such texts take the slow way.
    const QChar *in = wire.data();
    const qsizetype size = wire.size();
    if (size == 3 && firstPercent == 0 && escapeAt(in) == 0)
        return QString(QLatin1String("")); // the usual empty field, without a buffer
    QString result(size, Qt::Uninitialized);
    QChar *out = result.data();
    std::copy(in, in + firstPercent, out);
    qsizetype written = firstPercent;
    for (qsizetype i = firstPercent; i < size;) {
        if (in[i] == QLatin1Char('%') && i + 2 < size) {
            const int decoded = escapeAt(in + i);
            if (decoded > 0) {
                out[written++] = QChar(decoded);
                i += 3;
                continue;
            }
            if (decoded == 0) {
                if ((i >= 1 && in[i - 1] == QLatin1Char('%')) || (i >= 2 && in[i - 2] == QLatin1Char('%')))
                    return replaceInOrder(wire.toString(), kDecodingSteps, std::size(kDecodingSteps));
                i += 3;
                continue;
            }
        }
        out[written++] = in[i++];
    }
    result.truncate(written);
    return result;
}

QString trimSpacesAndTabs(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

qint32 plIntValue(QStringView text)
{
    const qsizetype n = text.size();
    // Most numbers on the wire are a few plain digits: no sign, no space and
    // no overflow to watch for.
    if (n > 0 && n <= 9) {
        qint32 plain = 0;
        qsizetype digits = 0;
        for (; digits < n; ++digits) {
            const unsigned digit = unsigned(text[digits].unicode()) - '0';
            if (digit > 9)
                break;
            plain = plain * 10 + qint32(digit);
        }
        if (digits == n)
            return plain;
    }
    qsizetype i = 0;
    while (i < n && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > limit)
            value = limit;
    }
    if (negative)
        return qint32(-value);
    return value > std::numeric_limits<qint32>::max() ? std::numeric_limits<qint32>::max() : qint32(value);
}

QString md5String(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const auto digest = md5Bytes(utf8.constData(), size_t(utf8.size()));
    return lowerHex(digest.data(), digest.size());
}

QString PCIDString(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const auto h1 = md5Bytes(utf8.constData(), size_t(utf8.size()));
    const auto h2 = md5Bytes(reinterpret_cast<const char *>(h1.data()), h1.size());
    std::array<unsigned char, 16> mixed{};
    for (size_t i = 0; i < mixed.size(); ++i) {
        unsigned v = unsigned(h1[i]) + unsigned(h2[i]);
        if (v > 255)
            v -= 255; // 255, not 256: a sum of 256 gives 1
        mixed[i] = static_cast<unsigned char>(v);
    }
    return lowerHex(mixed.data(), mixed.size());
}

QString base64Encode(const QString &text)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const QByteArray in = text.toUtf8();
    const auto *p = reinterpret_cast<const unsigned char *>(in.constData());
    const qsizetype n = in.size();
    QByteArray out;
    out.reserve(n / 3 * 4 + n / 54 + 4);
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3) {
        const unsigned v = (unsigned(p[i]) << 16) | (unsigned(p[i + 1]) << 8) | p[i + 2];
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += alphabet[v & 63];
        if ((i + 3) % 54 == 0)
            out += '\n';
    }
    const qsizetype rest = n - i;
    if (rest == 1) {
        const unsigned v = unsigned(p[i]) << 16;
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += "==";
    } else if (rest == 2) {
        const unsigned v = (unsigned(p[i]) << 16) | (unsigned(p[i + 1]) << 8);
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += '=';
    }
    return QString::fromLatin1(out);
}

QString tkEncode3A(const QString &password)
{
    const QByteArray p = password.toUtf8();
    constexpr int kRoom = 23;
    if (p.size() > kRoom)
        return QString();
    const int n = int(p.size());
    std::array<unsigned char, kRoom + 1> result{};
    result[0] = static_cast<unsigned char>(n ^ kTkEncodeMask);
    unsigned c = 0;
    for (int i = 0; i < n; ++i) {
        c = (static_cast<unsigned char>(p[i]) ^ kTkEncodeMask) & 0xFF;
        result[i + 1] = static_cast<unsigned char>(((c << 4) & 0xF0) | ((c >> 4) & 0x0F));
    }
    const unsigned hi = c & 0xF0;
    const unsigned lo = c & 0x0F;
    for (int k = n + 1; k <= kRoom; ++k) {
        const int r = k % 8;
        const unsigned v = ((hi >> (8 - r)) | (lo << r)) & 0xFF;
        result[k] = static_cast<unsigned char>(v ? v : 1);
    }
    return lowerHex(result.data(), result.size());
}

QString escapedHTML(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

QString urlEncode(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString stringWithData(const QByteArray &bytes, QStringConverter::Encoding encoding)
{
    return stringWithData(QByteArrayView(bytes), encoding);
}

QString stringWithData(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    const void *zero = bytes.isEmpty() ? nullptr : std::memchr(bytes.data(), '\0', size_t(bytes.size()));
    const QByteArrayView head = zero ? bytes.first(static_cast<const char *>(zero) - bytes.data()) : bytes;
    if (head.isEmpty())
        return QString(QLatin1String("")); // an empty line is a valid, empty text
    // Plain ASCII, most protocol lines, reads the same in UTF-8 and Latin-1,
    // and Latin-1 needs no decoder.
    if (encoding == QStringConverter::Utf8 && isAscii(head))
        return QString::fromLatin1(head.data(), head.size());
    // A byte-order mark stays part of the text, as any other character would.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(head);
    if (decoder.hasError())
        return QString();
    if (text.isNull())
        text = QLatin1String("");
    return text;
}

namespace {

// Widens bytes 1 to 127 into `out`; false at the first other byte (what
// follows is then undefined).
bool widenPlainAscii(QByteArrayView bytes, char16_t *out)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= size; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        // A set high bit, or a zero byte, stops the plain copy.
        if (_mm_movemask_epi8(chunk) | _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, zero)))
            return false;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(chunk, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(chunk, zero));
    }
#endif
    for (; i < size; ++i) {
        if (in[i] == 0 || in[i] > 0x7F)
            return false;
        out[i] = in[i];
    }
    return true;
}

} // namespace

void stringWithDataInto(QByteArrayView bytes, QStringConverter::Encoding encoding, QString &into)
{
    if (into.isDetached() && !bytes.isEmpty() && encoding == QStringConverter::Utf8) {
        into.resize(bytes.size());
        if (widenPlainAscii(bytes, reinterpret_cast<char16_t *>(into.data())))
            return;
    }
    into = stringWithData(bytes, encoding);
}

} // namespace parley
