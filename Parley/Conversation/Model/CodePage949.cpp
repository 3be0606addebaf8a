#include "CodePage949.h"

#include "Log.h"

#include <iconv.h>

std::optional<QString> CodePage949::decode(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    const QByteArray text = nul < 0 ? bytes : bytes.left(nul);
    if (text.isEmpty())
        return QString(QLatin1String(""));

    iconv_t converter = iconv_open("UTF-8", "CP949");
    if (converter == iconv_t(-1)) {
        parley::plLog(QStringLiteral("iconv: no CP949 converter"));
        return std::nullopt;
    }
    // One byte of code page 949 is at most three bytes of UTF-8.
    QByteArray out(text.size() * 3, Qt::Uninitialized);
    char *in = const_cast<char *>(text.constData());
    size_t inLeft = size_t(text.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    const size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    // An invalid or cut-off sequence: the text is not what the server meant.
    if (result == size_t(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.truncate(out.size() - qsizetype(outLeft));
    return QString::fromUtf8(out);
}
