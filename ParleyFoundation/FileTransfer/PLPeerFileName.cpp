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

} // namespace parley::PLPeerFileName
