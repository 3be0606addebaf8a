#include "PLPeerFileName.h"

namespace parley::PLPeerFileName {

bool isAcceptable(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.toUtf8().size() > kMaxBytes)
        return false;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        // Backslash too: the name may be shown or saved on other systems.
        if (u == u'/' || u == u'\\' || u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            return false;
    }
    // Unpaired surrogates would not survive the conversion to a file name.
    return name.isValidUtf16();
}

QString savedName(const QString &name)
{
    QString saved;
    saved.reserve(name.size() + 1);
    if (name.startsWith(QLatin1Char('.')))
        saved.append(QLatin1Char('_'));
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char32_t code = name.at(i).isHighSurrogate() && i + 1 < name.size()
                                  ? QChar::surrogateToUcs4(name.at(i), name.at(i + 1))
                                  : char32_t(name.at(i).unicode());
        const qsizetype width = code > 0xFFFF ? 2 : 1;
        if (QChar::category(code) == QChar::Other_Format)
            saved.append(QLatin1Char('_'));
        else
            saved.append(QStringView(name).sliced(i, width));
        i += width - 1;
    }
    // The prefix may push a name of the largest size over it.
    return saved.toUtf8().size() > kMaxBytes ? fitted(split(saved), QString(), kMaxBytes) : saved;
}

QString truncatedToBytes(const QString &text, int maxBytes)
{
    int bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate();
        const char16_t u = text.at(end).unicode();
        const int width = pair ? 4 : u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
        if (bytes + width > maxBytes)
            break;
        bytes += width;
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

Parts split(const QString &name)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'), 1);
    return dot > 0 ? Parts{name.left(dot), name.mid(dot)} : Parts{name, QString()};
}

QString fitted(const Parts &parts, const QString &middle, int maxBytes)
{
    const int room = maxBytes - int(middle.toUtf8().size());
    const int stemBytes = int(parts.stem.toUtf8().size());
    const int extensionBytes = int(parts.extension.toUtf8().size());
    if (stemBytes + extensionBytes <= room)
        return parts.stem + middle + parts.extension;
    const QString firstOfStem =
        parts.stem.isEmpty() ? QString() : parts.stem.left(parts.stem.at(0).isHighSurrogate() ? 2 : 1);
    const QString extension = extensionBytes + int(firstOfStem.toUtf8().size()) > room
                                  ? truncatedToBytes(parts.extension, room - int(firstOfStem.toUtf8().size()))
                                  : parts.extension;
    const QString stem = truncatedToBytes(parts.stem, room - int(extension.toUtf8().size()));
    return stem + middle + extension;
}

} // namespace parley::PLPeerFileName
