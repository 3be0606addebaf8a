// The label's layout with a fixed metric: every character 7 wide, "." 3
// wide, and the token /e/ an image 16 x 16 (/w/ 20 x 10).
#include "KCEmoticonLayout.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using Kind = KCEmoticonLayoutItem::Kind;

const KCEmoticonLayoutMetrics kMetrics{
    [](const QString &text) {
        if (text == QLatin1String("."))
            return qreal(3);
        return qreal(7 * (KCCharacterBoundaries(text).size() - 1));
    },
    [](const QString &piece) {
        if (piece == QLatin1String("/e/"))
            return QSizeF(16, 16);
        if (piece == QLatin1String("/w/"))
            return QSizeF(20, 10);
        return QSizeF();
    }};

struct Item {
    Kind kind;
    const char16_t *text;
    QRectF rect;
    int line;
};

struct Case {
    const char *name;
    QStringList pieces;
    QRectF frame;
    KCEmoticonLayoutOptions options;
    QList<Item> items;
    QSizeF displaySize;
    bool cut;
};

void PrintTo(const KCEmoticonLayoutItem &item, std::ostream *os)
{
    static const char *kinds[] = {"Text", "Image", "Ellipsis"};
    *os << kinds[int(item.kind)] << "(\"" << item.text.toStdString() << "\" " << item.rect.x() << ","
        << item.rect.y() << " " << item.rect.width() << "x" << item.rect.height() << " line " << item.line << ")";
}

void check(const Case &c)
{
    SCOPED_TRACE(c.name);
    const KCEmoticonLayout layout = KCLayoutEmoticonPieces(c.pieces, c.frame, c.options, kMetrics);
    QList<KCEmoticonLayoutItem> expected;
    for (const Item &item : c.items)
        expected << KCEmoticonLayoutItem{item.kind, QString::fromUtf16(item.text), item.rect, item.line};
    EXPECT_EQ(layout.items, expected);
    EXPECT_EQ(layout.displaySize, c.displaySize);
    EXPECT_EQ(layout.cut, c.cut);
    EXPECT_EQ(layout.dotWidth, 3);
}

const KCEmoticonLayoutOptions kOneLine{false, true, 0};
const KCEmoticonLayoutOptions kLines{true, true, 7};
const KCEmoticonLayoutOptions kLinesNoEnter{true, false, 7};

} // namespace

TEST(KCEmoticonLayout, OneLine)
{
    const Case cases[] = {
        {"fits", {"abc"}, {0, 0, 100, 20}, kOneLine, {{Kind::Text, u"abc", {0, 3, 21, 16}, 0}}, {26, 19}, false},
        {"empty text", {}, {10, 0, 100, 20}, {false, true, 7}, {}, {10 + 2 * 7 + 5, 19}, false},
        {"empty pieces draw nothing", {"", "ab", ""}, {0, 0, 100, 20}, kOneLine,
         {{Kind::Text, u"ab", {0, 3, 14, 16}, 0}}, {19, 19}, false},
        {"images sit on the line's bottom", {"hi", "/e/", "yo", "/w/"}, {0, 0, 100, 20}, kOneLine,
         {{Kind::Text, u"hi", {0, 3, 14, 16}, 0},
          {Kind::Image, u"/e/", {14, 3, 16, 16}, 0},
          {Kind::Text, u"yo", {30, 3, 14, 16}, 0},
          {Kind::Image, u"/w/", {44, 9, 20, 10}, 0}},
         {69, 19}, false},
        {"three dots", {"abcdefghijkl"}, {0, 0, 80, 20}, kOneLine,
         {{Kind::Text, u"abcdefghij", {0, 3, 70, 16}, 0}, {Kind::Ellipsis, u"...", {70, 3, 9, 16}, 0}}, {84, 19},
         true},
        {"fewer dots when three do not fit", {"abcdefghij"}, {0, 0, 60, 20}, kOneLine,
         {{Kind::Text, u"abcdefgh", {0, 3, 56, 16}, 0}, {Kind::Ellipsis, u".", {56, 3, 3, 16}, 0}}, {64, 19}, true},
        {"the dot's room must stay below the edge", {"abc"}, {0, 0, 24, 20}, kOneLine,
         {{Kind::Text, u"a", {0, 3, 7, 16}, 0}, {Kind::Ellipsis, u"...", {7, 3, 9, 16}, 0}}, {21, 19}, true},
        {"pieces after the cut are dropped", {"ab", "/e/", "abcdefgh", "/e/"}, {0, 0, 60, 20}, kOneLine,
         {{Kind::Text, u"ab", {0, 3, 14, 16}, 0},
          {Kind::Image, u"/e/", {14, 3, 16, 16}, 0},
          {Kind::Text, u"ab", {30, 3, 14, 16}, 0},
          {Kind::Ellipsis, u"...", {44, 3, 9, 16}, 0}},
         {58, 19}, true},
        {"an image that does not fit becomes the dots", {"abcdefghij", "/e/"}, {0, 0, 80, 20}, kOneLine,
         {{Kind::Text, u"abcdefghij", {0, 3, 70, 16}, 0}, {Kind::Ellipsis, u"...", {70, 3, 9, 16}, 0}}, {84, 19},
         true},
        {"whole characters only: surrogate pairs", {QString::fromUtf16(u"a\U0001F600\U0001F600\U0001F600")}, {0, 0, 25, 20}, kOneLine,
         {{Kind::Text, u"a\U0001F600", {0, 3, 14, 16}, 0}, {Kind::Ellipsis, u"...", {14, 3, 9, 16}, 0}}, {28, 19},
         true},
        {"whole characters only: combining marks", {QString::fromUtf16(u"xe\u0301e\u0301e\u0301")}, {0, 0, 25, 20}, kOneLine,
         {{Kind::Text, u"xe\u0301", {0, 3, 14, 16}, 0}, {Kind::Ellipsis, u"...", {14, 3, 9, 16}, 0}}, {28, 19},
         true},
        {"one character left is drawn as it is", {"abc"}, {0, 0, 9, 20}, kOneLine,
         {{Kind::Text, u"a", {0, 3, 7, 16}, 0}, {Kind::Ellipsis, u".", {7, 3, 3, 16}, 0}}, {15, 19}, true},
        {"a line feed is text on one line", {"a\nb"}, {0, 0, 100, 20}, kOneLine,
         {{Kind::Text, u"a\nb", {0, 3, 21, 16}, 0}}, {26, 19}, false},
    };
    for (const Case &c : cases)
        check(c);
}

TEST(KCEmoticonLayout, SeveralLines)
{
    const Case cases[] = {
        {"wraps before the edge", {"abcdef"}, {0, 0, 40, 60}, kLines,
         {{Kind::Text, u"abcd", {7, 3, 28, 16}, 0}, {Kind::Text, u"ef", {7, 19, 14, 16}, 1}}, {33, 35}, false},
        {"the line below the frame is the last", {"abcdef"}, {0, 0, 40, 30}, kLines,
         {{Kind::Text, u"abcd", {7, 3, 28, 16}, 0}, {Kind::Text, u"e", {7, 19, 7, 16}, 1}}, {26, 35}, true},
        {"images wrap and sit on their line", {"abcd", "/e/", "x"}, {0, 0, 40, 60}, kLines,
         {{Kind::Text, u"abcd", {7, 3, 28, 16}, 0},
          {Kind::Image, u"/e/", {7, 19, 16, 16}, 1},
          {Kind::Text, u"x", {23, 19, 7, 16}, 1}},
         {42, 35}, false},
        {"an image moved below the frame is the last thing", {"abcd", "/e/", "x"}, {0, 0, 40, 20}, kLines,
         {{Kind::Text, u"abcd", {7, 3, 28, 16}, 0}, {Kind::Image, u"/e/", {7, 19, 16, 16}, 1}}, {35, 35}, true},
        {"a line feed starts a line", {"ab\ncd"}, {0, 0, 100, 60}, kLines,
         {{Kind::Text, u"ab", {7, 3, 14, 16}, 0}, {Kind::Text, u"cd", {7, 19, 14, 16}, 1}}, {33, 35}, false},
        {"a line feed without allowEnter is a character", {"ab\ncd"}, {0, 0, 100, 60}, kLinesNoEnter,
         {{Kind::Text, u"ab\ncd", {7, 3, 35, 16}, 0}}, {54, 19}, false},
        {"a final line feed past the frame loses nothing", {"ab\n"}, {0, 0, 100, 19}, kLines,
         {{Kind::Text, u"ab", {7, 3, 14, 16}, 0}}, {19, 35}, false},
        {"a line feed past the frame with more to come", {"ab\n", "cd"}, {0, 0, 100, 19}, kLines,
         {{Kind::Text, u"ab", {7, 3, 14, 16}, 0}}, {19, 35}, true},
        {"a character wider than the line stays on its line", {"ab"}, {0, 0, 10, 60}, kLines,
         {{Kind::Text, u"a", {7, 3, 7, 16}, 0}, {Kind::Text, u"b", {7, 19, 7, 16}, 1}}, {26, 35}, false},
        {"pairs and marks move whole", {QString::fromUtf16(u"abc\U0001F600e\u0301")}, {0, 0, 30, 60}, kLines,
         {{Kind::Text, u"abc", {7, 3, 21, 16}, 0}, {Kind::Text, u"\U0001F600e\u0301", {7, 19, 14, 16}, 1}}, {33, 35},
         false},
        {"a word that fits a line moves there whole", {"ab cdef"}, {0, 0, 40, 60}, kLines,
         {{Kind::Text, u"ab ", {7, 3, 21, 16}, 0}, {Kind::Text, u"cdef", {7, 19, 28, 16}, 1}}, {47, 35}, false},
        {"a blank at a line's end is not carried over", {"abcd efgh"}, {0, 0, 40, 60}, kLines,
         {{Kind::Text, u"abcd", {7, 3, 28, 16}, 0}, {Kind::Text, u"efgh", {7, 19, 28, 16}, 1}}, {47, 35}, false},
        {"a word moved below the frame is the last thing", {"ab cdef gh"}, {0, 0, 40, 20}, kLines,
         {{Kind::Text, u"ab ", {7, 3, 21, 16}, 0}, {Kind::Text, u"cdef", {7, 19, 28, 16}, 1}}, {47, 35}, true},
        {"Hangul breaks between syllables", {QString::fromUtf16(u"\uAC00\uB098\uB2E4\uB77C\uB9C8")},
         {0, 0, 40, 60}, kLines,
         {{Kind::Text, u"\uAC00\uB098\uB2E4\uB77C", {7, 3, 28, 16}, 0}, {Kind::Text, u"\uB9C8", {7, 19, 7, 16}, 1}},
         {26, 35}, false},
        {"a Hangul run that fits a line moves there whole", {QString::fromUtf16(u"ab \uAC00\uB098\uB2E4")},
         {0, 0, 40, 60}, kLines,
         {{Kind::Text, u"ab ", {7, 3, 21, 16}, 0}, {Kind::Text, u"\uAC00\uB098\uB2E4", {7, 19, 21, 16}, 1}},
         {40, 35}, false},
        {"Hangul words break at their blanks", {QString::fromUtf16(u"\uAC00\uB098 \uB2E4\uB77C\uB9C8")},
         {0, 0, 40, 60}, kLines,
         {{Kind::Text, u"\uAC00\uB098 ", {7, 3, 21, 16}, 0},
          {Kind::Text, u"\uB2E4\uB77C\uB9C8", {7, 19, 21, 16}, 1}},
         {40, 35}, false},
        {"empty text", {}, {0, 0, 40, 60}, kLines, {}, {19, 19}, false},
    };
    for (const Case &c : cases)
        check(c);
}
