// The service's own escaping and line building, against hand-written wire text.
#include "WireText.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace localservice;

namespace {

struct EscapeCase {
    const char *text;
    const char *wire;
};

const EscapeCase kEscapes[] = {
    {"", "%00"},
    {"plain", "plain"},
    {"50% of a b", "50%25%20of%20a%20b"},
    {"%20", "%2520"},
    {"%00", "%2500"},
    {"%09", "%2509"},
    {"a\tb", "a%09b"},
    {"line\r\nnext", "line%0D%0Anext"},
    {"\xea\xb0\x80 x", "\xea\xb0\x80%20x"}, // non-ASCII travels as it is
};

} // namespace

TEST(WireText, EscapesAndUnescapesEveryCase)
{
    for (const EscapeCase &c : kEscapes) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(wireEscape(text), QString::fromUtf8(c.wire));
        EXPECT_EQ(wireUnescape(QString::fromUtf8(c.wire)), text);
    }
}

TEST(WireText, UnescapeLeavesUnknownAndLowerCaseSequencesAlone)
{
    EXPECT_EQ(wireUnescape(QStringLiteral("%0d%0a")), QStringLiteral("%0d%0a"));
    EXPECT_EQ(wireUnescape(QStringLiteral("100%")), QStringLiteral("100%"));
    EXPECT_EQ(wireUnescape(QStringLiteral("%41")), QStringLiteral("%41"));
}

TEST(WireText, SplitKeepsEmptyFieldsInPlace)
{
    EXPECT_EQ(wireSplit(QStringLiteral("LIST 3  x")),
              (QStringList{QStringLiteral("LIST"), QStringLiteral("3"), QString(),
                           QStringLiteral("x")}));
    EXPECT_EQ(wireSplit(QStringLiteral("PING 5 ")).size(), 3);
}

TEST(WireText, LineEscapesEachParameterAndEndsWithCrLf)
{
    EXPECT_EQ(wireLine(QStringLiteral("GLST"), 7,
                       {QStringLiteral("a b"), QString(), QStringLiteral("50%")}),
              QByteArray("GLST 7 a%20b %00 50%25\r\n"));
    EXPECT_EQ(wireLine(QStringLiteral("PING"), 0), QByteArray("PING 0\r\n"));
    EXPECT_EQ(wireLine(QStringLiteral("LIST"), -3, {QStringLiteral("x")}),
              QByteArray("LIST -3 x\r\n"));
}
