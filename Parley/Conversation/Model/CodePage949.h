#pragma once

// Text in the Korean code page 949, which the animicon catalogue's files are
// written in, through glibc's iconv (Qt has no codec for it).

#include <QByteArray>
#include <QString>

#include <optional>

class CodePage949
{
public:
    // The bytes up to the first NUL as text; nothing when any byte sequence is
    // not code page 949.
    static std::optional<QString> decode(const QByteArray &bytes);
};
