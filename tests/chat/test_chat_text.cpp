// The chat message string both ways, and the one routine that fills our
// localized formats: a name or file name holding "%@" is never read as one.

#include "Chat/ChatMessageString.h"
#include "Chat/ChatText.h"

#include <gtest/gtest.h>

namespace chat::test {
namespace {

using parley::ChatMessageString;
using parley::ChatText;

TEST(ChatMessageStringTest, ComposesFourFieldsWithTabsInTheTextSentAsSpaces)
{
    struct Case {
        const char *text;
        const char *wire;
    } cases[] = {
        {"hello", "Gulim\t255\t\thello"},
        {"a\tb", "Gulim\t255\t\ta b"},       // a TAB would make "b" the text
        {"\t\t\t", "Gulim\t255\t\t   "},
        {"line1\rline2", "Gulim\t255\t\tline1\rline2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const QString wire = ChatMessageString::compose("Gulim", "255", "", QString::fromUtf8(c.text));
        EXPECT_EQ(wire, QString::fromUtf8(c.wire));
        EXPECT_EQ(wire.count('\t'), 3);
        EXPECT_EQ(ChatMessageString::parse(wire).text, QString::fromUtf8(c.text).replace('\t', ' '));
    }
}

TEST(ChatMessageStringTest, ReadsTheLastFieldAsTextAndFontFieldsOnlyWithFourOrMore)
{
    struct Case {
        const char *message;
        const char *name, *color, *style, *text;
    } cases[] = {
        {"Face\t32767\tB\thi", "Face", "32767", "B", "hi"},
        {"no tab at all", "", "", "", "no tab at all"},
        {"a\tb\tc", "", "", "", "c"},            // three fields: no font
        {"a\tb\tc\td\te", "a", "b", "c", "e"},   // five: the last is the text
        {"Face\t1\t\t", "Face", "1", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        const ChatMessageString m = ChatMessageString::parse(QString::fromUtf8(c.message));
        EXPECT_EQ(m.fontName, QString::fromUtf8(c.name));
        EXPECT_EQ(m.fontColor, QString::fromUtf8(c.color));
        EXPECT_EQ(m.fontStyle, QString::fromUtf8(c.style));
        EXPECT_EQ(m.text, QString::fromUtf8(c.text));
    }
}

TEST(ChatTextTest, FillsOnlyTheFormatsMarkersWithTheArgumentsAsTheyStand)
{
    struct Case {
        const char *format;
        QStringList args;
        const char *out;
    } cases[] = {
        {"%@ joined.", {"Kim"}, "Kim joined."},
        {"%@ joined.", {"%@ %d %%"}, "%@ %d %% joined."}, // an argument is never read again
        {"%@ (%d new)", {"Lee", "3"}, "Lee (3 new)"},
        {"100%% of %@", {"x"}, "100% of x"},
        {"%@ and %@", {"one"}, "one and "},              // a missing argument gives nothing
        {"no markers", {"unused"}, "no markers"},
        {"trailing %", {}, "trailing %"},
        {"%s kept", {"a"}, "%s kept"},
        {"%2 before %1, %1 again", {"a", "b"}, "b before a, a again"},
        {"%1 %3", {"a"}, "a "},                          // a number past the arguments gives nothing
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(ChatText::fill(QString::fromUtf8(c.format), c.args), QString::fromUtf8(c.out));
    }
}

TEST(ChatTextTest, HtmlEscapesEveryMarkupCharacterAndStripMarkupReadsItBack)
{
    const QString hostile = QStringLiteral("<img src=x onerror='a'> & \"q\"\r\nline2\nline3");
    const QString html = ChatText::html(hostile);
    EXPECT_EQ(html, QStringLiteral("&lt;img src=x onerror=&#39;a&#39;&gt; &amp; &quot;q&quot;<br>line2<br>line3"));
    EXPECT_FALSE(html.contains('<' + QStringLiteral("img")));
    EXPECT_EQ(ChatText::stripMarkup(QStringLiteral("<b>Hi</b> &lt;you&gt; &amp;lt; <a href='x'>link</a>")),
              QStringLiteral("Hi <you> &lt; link"));
    EXPECT_EQ(ChatText::stripMarkup(QStringLiteral("a < b")), QStringLiteral("a < b"));
}

TEST(ChatTextTest, DatesCarryTheLanguagesMarkerAndTwelveHourTime)
{
    const QDateTime afternoon(QDate(2009, 3, 2), QTime(13, 5, 9));
    const QString withSeconds = ChatText::dateString(afternoon, true);
    const QString without = ChatText::dateString(afternoon, false);
    EXPECT_TRUE(without.startsWith(QStringLiteral("2009-03-02 "))) << without.toStdString();
    EXPECT_TRUE(without.endsWith(QStringLiteral(" 01:05"))) << without.toStdString();
    EXPECT_EQ(withSeconds, without + QStringLiteral(":09"));
    const QString midnight = ChatText::dateString(QDateTime(QDate(2009, 3, 2), QTime(0, 30)), false);
    EXPECT_TRUE(midnight.endsWith(QStringLiteral(" 12:30")));
    EXPECT_NE(midnight.section(' ', 1, 1), without.section(' ', 1, 1)); // AM against PM
}

} // namespace
} // namespace chat::test
