#pragma once

// Text in the Korean code page 949 (the portal's pages read their forms in
// it), through glibc's iconv, which converts it exactly.

#include <QByteArray>
#include <QString>

#include <functional>

namespace parley {

class KoreanCodePage
{
public:
    // Writes what a character the code page lacks becomes (its code point given).
    using Replacement = std::function<QByteArray(char32_t)>;

    // The text's bytes in code page 949; each character the code page lacks
    // becomes `replacement`'s bytes ("?" when none is given).
    static QByteArray encode(const QString &text, const Replacement &replacement = {});
    // The bytes read as code page 949; a byte sequence it does not know
    // becomes U+FFFD.
    static QString decode(const QByteArray &bytes);
};

} // namespace parley
