#pragma once

// A memo's length limit: 4000 bytes of UTF-16, counted on the text form
// (emoticons as their tokens), so 2000 units. A text over the limit is cut to
// its first 2000 units, one less when the 2000th would be the first half of a
// surrogate pair (a lone half would reach the peer as a broken character).

#include <QString>

class MemoTextLimit
{
public:
    static constexpr int kMaxBytes = 4000;
    static constexpr int kMaxUnits = kMaxBytes / 2;

    static qsizetype usedBytes(const QString &textForm) { return textForm.size() * 2; }
    // "used/limit", the compose window's counter.
    static QString counterText(const QString &textForm);
    static bool isOverflow(const QString &textForm) { return textForm.size() * 2 > kMaxBytes; }
    static QString cutToLimit(const QString &textForm);
};
