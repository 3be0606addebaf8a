#pragma once

// A file name that came from a peer is hostile input: it must name one plain
// entry of the download folder and nothing else.

#include <QString>

namespace parley::PLPeerFileName {

inline constexpr int kMaxBytes = 255;

// False for an empty name, "." or "..", a name holding "/", "\\", NUL or a
// control character, or one longer than 255 bytes in UTF-8.
bool isAcceptable(const QString &name);

// The name an acceptable offered name is saved under: a leading dot becomes
// "_." (no hidden start-up files, and never the downloads' own temporary
// names, which start with a dot), and every format character (bidirectional
// overrides and marks, zero-width joiners) becomes "_", so the name reads as
// what it is. Answers at most kMaxBytes bytes.
QString savedName(const QString &name);

// `text` cut at a character boundary to at most `maxBytes` bytes of UTF-8.
QString truncatedToBytes(const QString &text, int maxBytes);

// "archive.tar.gz" is the stem "archive" and the extension ".tar.gz"; a
// leading dot belongs to the stem.
struct Parts
{
    QString stem;
    QString extension;
};
Parts split(const QString &name);
// stem + middle + extension in at most `maxBytes` bytes: the stem is
// shortened first, the extension only when it alone leaves the stem no
// room (one character of the stem stays).
QString fitted(const Parts &parts, const QString &middle, int maxBytes);

} // namespace parley::PLPeerFileName
