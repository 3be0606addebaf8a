#pragma once

// A file name that came from a peer is hostile input: it must name one plain
// entry of the download folder and nothing else.

#include <QString>

namespace parley::PLPeerFileName {

inline constexpr int kMaxBytes = 255;

// False for an empty name, "." or "..", a name holding "/", "\\", NUL or a
// control character, or one longer than 255 bytes in UTF-8.
bool isAcceptable(const QString &name);

} // namespace parley::PLPeerFileName
