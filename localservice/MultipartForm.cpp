#include "MultipartForm.h"

namespace localservice {

QByteArray MultipartForm::boundaryOf(const QByteArray &contentType)
{
    for (const QByteArray &piece : contentType.split(';')) {
        const QByteArray item = piece.trimmed();
        if (item.startsWith("boundary="))
            return item.mid(9);
    }
    return QByteArray();
}

namespace {
// The quoted value of `key="..."` in a header line.
QString quotedValue(const QByteArray &header, const QByteArray &key)
{
    const QByteArray marker = key + "=\"";
    const qsizetype start = header.indexOf(marker);
    if (start < 0)
        return QString();
    const qsizetype from = start + marker.size();
    const qsizetype end = header.indexOf('"', from);
    return end < 0 ? QString() : QString::fromUtf8(header.mid(from, end - from));
}
} // namespace

std::optional<QList<FormPart>> MultipartForm::parse(const QByteArray &body, const QByteArray &boundary)
{
    if (boundary.isEmpty())
        return std::nullopt;
    const QByteArray delimiter = "--" + boundary;
    qsizetype pos = body.indexOf(delimiter);
    if (pos != 0)
        return std::nullopt;
    QList<FormPart> parts;
    while (true) {
        pos += delimiter.size();
        if (body.mid(pos, 2) == "--")
            return parts; // the closing delimiter
        if (body.mid(pos, 2) != "\r\n")
            return std::nullopt;
        pos += 2;
        const qsizetype headersEnd = body.indexOf("\r\n\r\n", pos);
        if (headersEnd < 0)
            return std::nullopt;
        const QByteArray headers = body.mid(pos, headersEnd - pos);
        const qsizetype dataStart = headersEnd + 4;
        const qsizetype next = body.indexOf("\r\n" + delimiter, dataStart);
        if (next < 0)
            return std::nullopt;
        FormPart part;
        part.name = quotedValue(headers, "name");
        part.fileName = quotedValue(headers, "filename");
        part.data = body.mid(dataStart, next - dataStart);
        parts.append(part);
        pos = next + 2;
    }
}

} // namespace localservice
