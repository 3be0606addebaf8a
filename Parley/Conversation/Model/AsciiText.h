#pragma once

#include <QStringView>

// Whether a text is one or more ASCII letters and digits: what an ID from the
// network or a peer must be before it goes into a path or a URL.
inline bool isAsciiLettersAndDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z')))
            return false;
    }
    return true;
}
