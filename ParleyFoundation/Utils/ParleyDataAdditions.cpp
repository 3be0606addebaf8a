#include "ParleyDataAdditions.h"

#include "Log.h"
#include "ParleyStringAdditions.h"

#include <cstring>

namespace parley {

qsizetype parleyHeaderDividerLocation(QByteArrayView buffer)
{
    // The first LF preceded by CR; memchr keeps long lines cheap.
    const char *data = buffer.constData();
    const qsizetype size = buffer.size();
    qsizetype from = 1;
    while (from < size) {
        const void *lf = std::memchr(data + from, '\n', size_t(size - from));
        if (!lf)
            break;
        const qsizetype at = static_cast<const char *>(lf) - data;
        if (data[at - 1] == '\r')
            return at - 1;
        from = at + 1;
    }
    return kParleyNotFound;
}

ParleyHeader extractParleyHeader(QByteArray &buffer)
{
    const qsizetype divider = parleyHeaderDividerLocation(buffer);
    if (divider == kParleyNotFound)
        return {};
    const QByteArray lineBytes = buffer.left(divider);
    buffer.remove(0, divider + 2);
    // The bytes before the first CR LF hold no CR LF pair; a lone CR or LF stays.
    QString text = stringWithData(lineBytes, QStringConverter::Utf8);
    if (text.isNull()) {
        plLogNil(__FILE__, __LINE__);
        return {ParleyHeader::Kind::Dropped, QString()};
    }
    return {ParleyHeader::Kind::Line, text};
}

std::optional<QByteArray> extractParleyBodyWithLength(QByteArray &buffer, quint32 n)
{
    if (quint64(buffer.size()) < n)
        return std::nullopt;
    QByteArray body = buffer.left(qsizetype(n));
    buffer.remove(0, qsizetype(n));
    return body;
}

ParleyRange HTTPHeaderRange(const QByteArray &data)
{
    static const char expected[4] = {'\r', '\n', '\r', '\n'};
    int state = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] == expected[state]) {
            if (++state == 4)
                return {0, i + 1};
        } else {
            // Also a CR in state 1 or 3: it does not start a new match.
            state = 0;
        }
    }
    return {};
}

} // namespace parley
