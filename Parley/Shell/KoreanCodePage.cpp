#include "KoreanCodePage.h"

#include <QList>
#include <QStringDecoder>

#include <cerrno>
#include <iconv.h>

namespace parley {

namespace {

class Converter
{
public:
    Converter(const char *to, const char *from) : mHandle(iconv_open(to, from)) {}
    ~Converter()
    {
        if (isOpen())
            iconv_close(mHandle);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;
    bool isOpen() const { return mHandle != iconv_t(-1); }

    // Converts one piece; answers false when the piece does not convert.
    bool convert(const QByteArray &in, QByteArray *out)
    {
        iconv(mHandle, nullptr, nullptr, nullptr, nullptr);
        QByteArray buffer(in.size() * 4 + 16, '\0');
        char *inPtr = const_cast<char *>(in.constData());
        size_t inLeft = size_t(in.size());
        char *outPtr = buffer.data();
        size_t outLeft = size_t(buffer.size());
        if (iconv(mHandle, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1))
            return false;
        if (iconv(mHandle, nullptr, nullptr, &outPtr, &outLeft) == size_t(-1))
            return false;
        out->append(buffer.constData(), buffer.size() - qsizetype(outLeft));
        return true;
    }

private:
    iconv_t mHandle;
};

} // namespace

QByteArray KoreanCodePage::encode(const QString &text, const Replacement &replacement)
{
    QByteArray out;
    Converter converter("CP949", "UTF-8");
    // Character by character, so that one the code page lacks costs only itself.
    QByteArray run;
    const auto flush = [&] {
        if (!run.isEmpty() && converter.isOpen() && !converter.convert(run, &out))
            out += '?';
        run.clear();
    };
    const QList<uint> codePoints = text.toUcs4();
    for (const uint codePoint : codePoints) {
        if (codePoint < 0x80) {
            run += char(codePoint);
            continue;
        }
        flush();
        const QByteArray utf8 = QString::fromUcs4(reinterpret_cast<const char32_t *>(&codePoint), 1).toUtf8();
        if (!converter.isOpen() || !converter.convert(utf8, &out))
            out += replacement ? replacement(char32_t(codePoint)) : QByteArray("?");
    }
    flush();
    return out;
}

QString KoreanCodePage::decode(const QByteArray &bytes)
{
    Converter converter("UTF-8", "CP949");
    QString out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const uchar lead = uchar(bytes[i]);
        const qsizetype width = lead >= 0x81 && lead <= 0xFE && i + 1 < bytes.size() ? 2 : 1;
        QByteArray utf8;
        if (converter.isOpen() && converter.convert(bytes.mid(i, width), &utf8)) {
            out += QString::fromUtf8(utf8);
        } else {
            out += QChar(0xFFFD);
        }
        i += width;
    }
    return out;
}

} // namespace parley
