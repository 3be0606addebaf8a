#pragma once

// The title line of a memo: its first line when that is short, else about
// twenty characters of it taken word by word, plain words cut at exactly
// twenty and emoticon tokens kept whole.

#include <QString>

class EmoticonManager;

namespace parley {

namespace MemoTitle {

QString titleFromMessage(const QString &message, const EmoticonManager *catalogue = nullptr);

} // namespace MemoTitle

} // namespace parley
