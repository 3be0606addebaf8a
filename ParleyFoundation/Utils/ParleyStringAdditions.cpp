#include "ParleyStringAdditions.h"

#include <QUrl>
#include <openssl/evp.h>

#include <array>
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

} // namespace

QString stringByParleyEncoding(const QString &text)
{
    static const Replacement steps[] = {
        {QLatin1StringView("%"), QLatin1StringView("%25")},
        {QLatin1StringView(" "), QLatin1StringView("%20")},
        {QLatin1StringView("\r"), QLatin1StringView("%0D")},
        {QLatin1StringView("\n"), QLatin1StringView("%0A")},
        {QLatin1StringView("\t"), QLatin1StringView("%09")},
    };
    if (!text.contains(QLatin1Char('%')) && !text.contains(QLatin1Char(' ')) && !text.contains(QLatin1Char('\r'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\t')))
        return text;
    return replaceInOrder(text, steps, std::size(steps));
}

QString stringByParleyDecoding(const QString &wire)
{
    // "%25" last, so that a percent sign of the text is restored only after
    // every other escape has been undone.
    static const Replacement steps[] = {
        {QLatin1StringView("%20"), QLatin1StringView(" ")},
        {QLatin1StringView("%0D"), QLatin1StringView("\r")},
        {QLatin1StringView("%0A"), QLatin1StringView("\n")},
        {QLatin1StringView("%00"), QLatin1StringView("")},
        {QLatin1StringView("%09"), QLatin1StringView("\t")},
        {QLatin1StringView("%25"), QLatin1StringView("%")},
    };
    if (!wire.contains(QLatin1Char('%')))
        return wire;
    return replaceInOrder(wire, steps, std::size(steps));
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
    qsizetype i = 0;
    const qsizetype n = text.size();
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

QString urlEncode(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

QString stringWithData(const QByteArray &bytes, QStringConverter::Encoding encoding)
{
    const qsizetype zero = bytes.indexOf('\0');
    const QByteArray head = zero < 0 ? bytes : bytes.left(zero);
    // A byte-order mark stays part of the text, as any other character would.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(head);
    if (decoder.hasError())
        return QString();
    if (text.isNull())
        text = QLatin1String(""); // an empty line is a valid, empty text
    return text;
}

} // namespace parley
