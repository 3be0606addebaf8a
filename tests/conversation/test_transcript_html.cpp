// Message text to transcript HTML: the conversion's cases with their exact
// HTML, hostile text that must stay text, emoticon pictures in text only, and
// the markup of each kind of line.
#include "ConversationTestSupport.h"
#include "MessageLinkifier.h"
#include "TestSupport.h"
#include "TranscriptBlock.h"
#include "TranscriptHtml.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

using parley::test::FixedEmoticons;
using parley::test::foreignMarkup;

namespace {

struct ConvertCase
{
    const char *name;
    QString text;
    QString html;
};

FixedEmoticons emoticons()
{
    FixedEmoticons e;
    e.tokens = {QStringLiteral("/smile/"), QStringLiteral("/wink/"), QStringLiteral("/gone/")};
    e.paths = {{QStringLiteral("/smile/"), QStringLiteral("/e/smile.png")},
               {QStringLiteral("/wink/"), QStringLiteral("/e/wink \"x\".png")}};
    return e;
}

} // namespace

TEST(TranscriptHtml, ConvertsMessagesAsTheClientsAlwaysHave)
{
    const ConvertCase cases[] = {
        {"blanks and a less-than sign", QStringLiteral("a < b"), QStringLiteral("a&nbsp;&lt;&nbsp;b")},
        {"a typed entity stays visible", QStringLiteral("&amp;"), QStringLiteral("&amp;amp;")},
        {"entity names without their semicolon", QStringLiteral("&lt &gt &nbsp"),
         QStringLiteral("&amp;lt&nbsp;&amp;gt&nbsp;&amp;nbsp")},
        {"a lone ampersand passes", QStringLiteral("a & b"), QStringLiteral("a&nbsp;&&nbsp;b")},
        {"every kind of line end", QStringLiteral("one\r\ntwo\rthree\nfour"),
         QStringLiteral("one<br>two<br>three<br>four")},
        {"an address starting with www", QStringLiteral("www.example.com"),
         QStringLiteral("<a href=\"www.example.com\" target=\"_blank\">www.example.com</a>")},
        {"an http address", QStringLiteral("go http://example.com/a?b=c"),
         QStringLiteral("go&nbsp;<a href=\"http://example.com/a?b=c\" target=\"_blank\">http://example.com/a?b=c</a>")},
        {"an e-mail address", QStringLiteral("kim@example.com"),
         QStringLiteral("<a href=\"mailto:kim@example.com\">kim@example.com</a>")},
        {"an e-mail address in capitals is not linked", QStringLiteral("KIM@EXAMPLE.COM"),
         QStringLiteral("KIM@EXAMPLE.COM")},
        {"an e-mail address on a www host is linked once", QStringLiteral("kim@www.example.com"),
         QStringLiteral("<a href=\"mailto:kim@www.example.com\">kim@www.example.com</a>")},
        {"a short text with a link opening is escaped", QStringLiteral("<link href=\"x\">"),
         QStringLiteral("&lt;link&nbsp;href=\"x\"&gt;")},
        {"a service link in a longer text", QStringLiteral("see <link href=\"http://example.com/\">the page</link> now"),
         QStringLiteral("see&nbsp;<a href=\"http://example.com/\" target='_blank'>the&nbsp;page</a>&nbsp;now")},
        {"a bridge link stays a bridge link", QStringLiteral("<link href=\"bridge://G125?http://x.com/\">mail</link>"),
         QStringLiteral("<a href=\"bridge://G125?http://x.com/\" target='_blank'>mail</a>")},
        {"an ampersand in a link target", QStringLiteral("<link href=\"https://x.com/?a=1&b=2\">x</link>"),
         QStringLiteral("<a href=\"https://x.com/?a=1&amp;b=2\" target='_blank'>x</a>")},
        {"a blank after a link is a hard space, not part of the address",
         QStringLiteral("http://example.org/page?x=1&y=2 :)"),
         QStringLiteral("<a href=\"http://example.org/page?x=1&amp;y=2\" target=\"_blank\">"
                        "http://example.org/page?x=1&amp;y=2</a>&nbsp;:)")},
        {"a link that is never closed is text",
         QStringLiteral("abcdefghij<link href=\"http://x.com/\">open"),
         QStringLiteral("abcdefghij&lt;link&nbsp;href=\"<a href=\"http://x.com/\" target=\"_blank\">http://x.com/</a>\"&gt;open")},
    };
    for (const ConvertCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TranscriptHtml::convertMessage(c.text), c.html);
    }
}

TEST(TranscriptHtml, HostileTextStaysText)
{
    const QString cases[] = {
        QStringLiteral("<script>alert(1)</script>"),
        QStringLiteral("<img src=x onerror=alert(1)>"),
        QStringLiteral("abcdefghijklmnopqrst<link href=\"javascript:alert(1)\">click</link>"),
        QStringLiteral("abcdefghijklmnopqrst<link href=\"http://a.com\" onclick=\"x\">y</link>"),
        QStringLiteral("abcdefghijklmnopqrst<link href=\"http://a.com\"><b onmouseover=x>bold</b></link>"),
        QStringLiteral("<link href=\"http://a.com\"><link href=\"http://b.com\">x</link></link>"),
        QStringLiteral("abcdefghijklmnopqrst<link href=http://a.com>x</link>"),
        QStringLiteral("abcdefghijklmnopqrst<link href=\"data:text/html,<p>\">x</link>"),
        QStringLiteral("mail kim@x.com?a=\"onclick=y and http://h.com/\"x\" <a href=\"http://e.com\">e</a>"),
        QStringLiteral("http://x.com/smile/ and /smile/ and /wink/"),
    };
    const FixedEmoticons e = emoticons();
    for (const QString &text : cases) {
        SCOPED_TRACE(text.toStdString());
        const QString html = TranscriptHtml::chatLine(text, QStringLiteral("x\" onmouseover=\"y"),
                                                      QStringLiteral("255"), true, &e);
        EXPECT_EQ(foreignMarkup(html), QString()) << html.toStdString();
    }
}

TEST(TranscriptHtml, OnlyTheOneLinkShapeBecomesALink)
{
    // The first opening's text is shown as typed, the inner link works, and
    // the stray closing is text again.
    EXPECT_EQ(TranscriptHtml::convertMessage(
                  QStringLiteral("<link href=\"http://a.com\"><link href=\"http://b.com\">x</link></link>")),
              QStringLiteral("&lt;link&nbsp;href=\"<a href=\"http://a.com\" target=\"_blank\">http://a.com</a>\"&gt;"
                             "<a href=\"http://b.com\" target='_blank'>x</a>&lt;/link&gt;"));
    // A label is text, whatever it holds.
    EXPECT_EQ(TranscriptHtml::convertMessage(QStringLiteral("<link href=\"http://a.com\"><b>bold</b></link>")),
              QStringLiteral("<a href=\"http://a.com\" target='_blank'>&lt;b&gt;bold&lt;/b&gt;</a>"));
    // Any other target, or attributes beside the target, leave it text.
    for (const QString &text : {QStringLiteral("12345678901234567890<link href=\"javascript:alert(1)\">x</link>"),
                                QStringLiteral("12345678901234567890<link href=\"http://a.com\" id=\"q\">x</link>"),
                                QStringLiteral("12345678901234567890<link href=\"ftp://a.com/\">x</link>")}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(TranscriptHtml::convertMessage(text).contains(QLatin1String("target='_blank'")));
    }
}

TEST(TranscriptHtml, EmoticonsBecomePicturesInTextOnly)
{
    const FixedEmoticons e = emoticons();
    // In a link's address the token stays; in its text it is a picture.
    const QString html = TranscriptHtml::emoticonStringForString(
        TranscriptHtml::convertMessage(QStringLiteral("http://x.com/smile/ /gone/ /wink/")), &e);
    EXPECT_EQ(html, QStringLiteral("<a href=\"http://x.com/smile/\" target=\"_blank\">http://x.com<IMG SRC=\"file:///e/smile.png\"></a>"
                                   "&nbsp;/gone/&nbsp;<IMG SRC=\"file:///e/wink &quot;x&quot;.png\">"));
    EXPECT_EQ(foreignMarkup(html), QString());
    // A token inside an inserted picture's path is not searched again.
    FixedEmoticons nested;
    nested.tokens = {QStringLiteral("/a/"), QStringLiteral("/b/")};
    nested.paths = {{QStringLiteral("/a/"), QStringLiteral("/b/a.png")}, {QStringLiteral("/b/"), QStringLiteral("/x/b.png")}};
    EXPECT_EQ(TranscriptHtml::emoticonStringForString(QStringLiteral("/a/ /b/"), &nested),
              QStringLiteral("<IMG SRC=\"file:///b/a.png\"> <IMG SRC=\"file:///x/b.png\">"));
    // Without an owner's answer the text is unchanged.
    EXPECT_EQ(TranscriptHtml::emoticonStringForString(QStringLiteral("/smile/"), nullptr), QStringLiteral("/smile/"));
}

TEST(TranscriptHtml, ColourStringsBecomeHtmlColours)
{
    const std::pair<const char *, int> cases[] = {
        {"13395507", 0x3366CC}, {"255", 0xFF0000}, {"0", 0},         {"16711680", 0x0000FF},
        {"65280", 0x00FF00},    {"abc", 0},        {"-1", 0xFFFFFF}, {" 255xyz", 0xFF0000},
    };
    for (const auto &[text, colour] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TranscriptHtml::htmlColor(QLatin1String(text)), colour);
    }
}

TEST(TranscriptHtml, LinesHaveTheirMarkup)
{
    const FixedEmoticons e = emoticons();
    EXPECT_EQ(TranscriptHtml::chatLine(QStringLiteral("a b /smile/"), QStringLiteral("Gulim"), QStringLiteral("255"), true, &e),
              QStringLiteral("<TABLE BORDER=0><TR><TD WIDTH=8></TD><TD><FONT FACE=\"Gulim\" COLOR=\"#FF0000\" SIZE=\"3\">"
                             "<a>a&nbsp;b&nbsp;<IMG SRC=\"file:///e/smile.png\"></a></FONT></TD></TR></TABLE>"
                             "<TABLE><TR HEIGHT=3></TR></TABLE>"));
    EXPECT_EQ(TranscriptHtml::chatLine(QStringLiteral("memo"), QStringLiteral("Gulim"), QStringLiteral("0"), false, nullptr),
              QStringLiteral("<FONT FACE=\"Gulim\" COLOR=\"#000000\" SIZE=\"3\"><a>memo</a></FONT>"));
    EXPECT_EQ(TranscriptHtml::systemLine(QStringLiteral("<b>hi</b> %2"), nullptr),
              QStringLiteral("<TABLE BORDER=0><TR HEIGHT=3></TR></TABLE><FONT FACE=\"AppleGothic\" COLOR=\"#3366CC\" SIZE=\"3\">"
                             "<a><b>hi</b> %2</a></FONT><TABLE><TR HEIGHT=10></TR></TABLE>"));
    EXPECT_EQ(TranscriptHtml::warningLine(QStringLiteral("no"), nullptr),
              QStringLiteral("<TABLE BORDER=0><TR HEIGHT=3></TR></TABLE><FONT FACE=\"AppleGothic\" COLOR=\"#FF0000\" SIZE=\"3\">"
                             "<a>no</a></FONT><TABLE><TR HEIGHT=10></TR></TABLE>"));
    EXPECT_EQ(TranscriptHtml::fileInfoLine(QStringLiteral("f"), 0, QStringLiteral("/r"), nullptr),
              QStringLiteral("<TABLE BORDER=0><TR HEIGHT=3></TR></TABLE>&nbsp; &nbsp; &nbsp;<IMG SRC=\"file:///r/fileIcon.png\">"
                             "<FONT FACE=\"AppleGothic\" COLOR=\"#3366CC\" SIZE=\"3\"><a>f</a></FONT><TABLE><TR HEIGHT=2></TR></TABLE>"));
    EXPECT_EQ(TranscriptHtml::divideLine(QStringLiteral("/r")),
              QStringLiteral("<IMG SRC=\"file:///r/fileDivide.png\"><TABLE BORDER=0><TR HEIGHT=5><TD></TD></TR></TABLE>"));
}

TEST(TranscriptHtml, FileMessagesShowTheIconOfTheirType)
{
    const std::pair<int, const char *> cases[] = {
        {1, "fileSuccessIcon.png"}, {2, "fileFailIcon.png"}, {0, "fileIcon.png"}, {7, "fileIcon.png"}};
    for (const auto &[type, icon] : cases) {
        SCOPED_TRACE(type);
        EXPECT_EQ(TranscriptHtml::fileMessageLine(QStringLiteral("sent"), type, QStringLiteral("/r"), nullptr),
                  QStringLiteral("<TABLE BORDER=0><TR HEIGHT=3></TR></TABLE><IMG SRC=\"file:///r/%1\">"
                                 "<FONT FACE=\"AppleGothic\" COLOR=\"#3366CC\" SIZE=\"3\"><a>sent</a></FONT>"
                                 "<TABLE><TR HEIGHT=10></TR></TABLE>")
                      .arg(QLatin1String(icon)));
    }
}

TEST(TranscriptHtml, AnimiconLinesEscapeNameAndPath)
{
    const QStringList pieces{QStringLiteral("hi "), QStringLiteral("<ANICO|k012|k_012.bmp|<b>Smile</b>|/ANICO>"),
                             QStringLiteral(" <i>")};
    const QString withImage = TranscriptHtml::animiconLine(pieces, QStringLiteral("/c/k012\".bmp"),
                                                           QStringLiteral("<b>Smile</b>"), QStringLiteral("Gulim"),
                                                           QStringLiteral("0"), nullptr);
    EXPECT_EQ(withImage,
              QStringLiteral("<TABLE BORDER=0><TR><TD WIDTH=8></TD><TD><FONT FACE=\"Gulim\" COLOR=\"#000000\" SIZE=\"3\">"
                             "<a>hi&nbsp;<IMG SRC=\"file:///c/k012&quot;.bmp\">(&lt;b&gt;Smile&lt;/b&gt;)&nbsp;&lt;i&gt;</a>"
                             "</FONT></TD></TR></TABLE><TABLE><TR HEIGHT=3></TR></TABLE>"));
    // Not cached: the wire form shows as text.
    const QString withoutImage = TranscriptHtml::animiconLine(pieces, QString(), QStringLiteral("Smile"),
                                                              QStringLiteral("Gulim"), QStringLiteral("0"), nullptr);
    EXPECT_TRUE(withoutImage.contains(QLatin1String("&lt;ANICO|k012|k_012.bmp|&lt;b&gt;Smile&lt;/b&gt;|/ANICO&gt;")));
    EXPECT_EQ(foreignMarkup(withImage), QString());
    EXPECT_EQ(foreignMarkup(withoutImage), QString());
    EXPECT_EQ(TranscriptHtml::animiconLine({QStringLiteral("a"), QStringLiteral("b")}, QString(), QString(),
                                           QString(), QString(), nullptr),
              QString());
}

TEST(TranscriptHtml, ReplaceNeverSearchesWhatItInserted)
{
    EXPECT_EQ(TranscriptHtml::replaceMessage(QStringLiteral("aaa"), QStringLiteral("a"), QStringLiteral("aa")),
              QStringLiteral("aaaaaa"));
    EXPECT_EQ(TranscriptHtml::replaceMessage(QStringLiteral("Aa"), QStringLiteral("a"), QStringLiteral("b")),
              QStringLiteral("Ab"));
    EXPECT_EQ(TranscriptHtml::replaceMessage(QStringLiteral("ab"), QString(), QStringLiteral("x")), QStringLiteral("ab"));
}

namespace {

// The links of converted text: each anchor's target and text, unescaped.
QStringList linksOf(const QString &html)
{
    static const QRegularExpression anchor(QStringLiteral(R"RE(<a href="([^"]*)"[^>]*>(.*?)</a>)RE"));
    const auto unescaped = [](QString text) {
        return text.replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
    };
    QStringList links;
    for (auto it = anchor.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString target = unescaped(match.captured(1));
        const QString shown = unescaped(match.captured(2));
        // The text is the address as typed; the target adds only "mailto:".
        links << (target == shown || target == QStringLiteral("mailto:") + shown ? target
                                                                                 : target + QStringLiteral(" | ") + shown);
    }
    return links;
}

} // namespace

TEST(MessageLinkifier, AddressesRunToTheirEndWithoutADomainList)
{
    const std::pair<QString, QStringList> cases[] = {
        {QStringLiteral("http://example.org/page?x=1&y=2 :)"), {QStringLiteral("http://example.org/page?x=1&y=2")}},
        {QStringLiteral("https://parley.dev/docs"), {QStringLiteral("https://parley.dev/docs")}},
        {QStringLiteral("memo: http://intranet.example/x?a=1"), {QStringLiteral("http://intranet.example/x?a=1")}},
        {QStringLiteral("port http://127.0.0.1:8080/a/b."), {QStringLiteral("http://127.0.0.1:8080/a/b")}},
        {QStringLiteral("(see http://en.wikipedia.org/wiki/Foo_(bar))"),
         {QStringLiteral("http://en.wikipedia.org/wiki/Foo_(bar)")}},
        {QStringLiteral("[http://x.org/a] and [http://x.org/[b]]"),
         {QStringLiteral("http://x.org/a"), QStringLiteral("http://x.org/[b]")}},
        {QStringLiteral("http://x.org/a,b?c=d!?"), {QStringLiteral("http://x.org/a,b?c=d")}},
        {QStringLiteral("'http://x.org/q' \"https://x.org/r\";"),
         {QStringLiteral("http://x.org/q"), QStringLiteral("https://x.org/r")}},
        {QStringLiteral("주소는http://example.com/경로입니다"), {QStringLiteral("http://example.com/")}},
        {QStringLiteral("https://example.com/search?q=abc한국"), {QStringLiteral("https://example.com/search?q=abc")}},
        {QStringLiteral("www.example.co.kr/path?q=1&r=2#top, 그리고"),
         {QStringLiteral("www.example.co.kr/path?q=1&r=2#top")}},
        {QStringLiteral("<http://x.org/a>"), {QStringLiteral("http://x.org/a")}},
        {QStringLiteral("ftp://files.example/pub/ and https://EXAMPLE.COM/A"),
         {QStringLiteral("https://EXAMPLE.COM/A")}},
        {QStringLiteral("x?a=1&amp;b=2 http://x.org/?q=a&amp;b"), {QStringLiteral("http://x.org/?q=a&amp;b")}},
        {QStringLiteral("mail kim@parley.dev, or www.parley.test."),
         {QStringLiteral("mailto:kim@parley.dev"), QStringLiteral("www.parley.test")}},
        {QStringLiteral("kim@www.example.com"), {QStringLiteral("mailto:kim@www.example.com")}},
        {QStringLiteral("http://kim@example.com/inbox"), {QStringLiteral("http://kim@example.com/inbox")}},
        {QStringLiteral("a~/example.com/notes b"), {QStringLiteral("~/example.com/notes")}},
        {QStringLiteral("http:// www. https://?! xhttp://a.com wwww.a.com"), {}},
    };
    for (const auto &[text, links] : cases) {
        SCOPED_TRACE(text.toStdString());
        const QString html = TranscriptHtml::convertMessage(text);
        EXPECT_EQ(linksOf(html), links) << html.toStdString();
        EXPECT_EQ(foreignMarkup(html), QString());
    }
}

TEST(MessageLinkifier, APassThatRunsOutOfTimeFindsNothing)
{
    QString text = QStringLiteral("kim@example.com www.example.com ");
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("a/b.c-");
    ASSERT_TRUE(MessageLinkifier::matches(MessageLinkifier::Pass::Path, text).has_value());

    const int limit = MessageLinkifier::timeLimit();
    MessageLinkifier::setTimeLimit(1);
    EXPECT_FALSE(MessageLinkifier::matches(MessageLinkifier::Pass::Path, text).has_value());
    // The text stays; the links found without a pattern stay links.
    const QString html = TranscriptHtml::convertMessage(text);
    EXPECT_TRUE(html.contains(QLatin1String("<a href=\"www.example.com\" target=\"_blank\">")));
    EXPECT_TRUE(html.endsWith(QLatin1String("a/b.c-a/b.c-")));
    MessageLinkifier::setTimeLimit(limit);
}

TEST(TranscriptBlock, LayoutTablesBecomeIndentAndGaps)
{
    struct Case
    {
        const char *name;
        QString fragment;
        int indent, before, after;
        QString html;
    } const cases[] = {
        {"a chat line", TranscriptHtml::chatLine(QStringLiteral("hi"), QStringLiteral("F"), QStringLiteral("0"), true, nullptr),
         8, 0, 3, QStringLiteral("<FONT FACE=\"F\" COLOR=\"#000000\" SIZE=\"3\"><a>hi</a></FONT>")},
        {"a memo's body", TranscriptHtml::chatLine(QStringLiteral("hi"), QStringLiteral("F"), QStringLiteral("0"), false, nullptr),
         0, 0, 0, QStringLiteral("<FONT FACE=\"F\" COLOR=\"#000000\" SIZE=\"3\"><a>hi</a></FONT>")},
        {"a system line", TranscriptHtml::systemLine(QStringLiteral("s"), nullptr), 0, 3, 10,
         QStringLiteral("<FONT FACE=\"AppleGothic\" COLOR=\"#3366CC\" SIZE=\"3\"><a>s</a></FONT>")},
        {"a file line", TranscriptHtml::fileInfoLine(QStringLiteral("f"), 1, QStringLiteral("/r"), nullptr), 0, 3, 2,
         QStringLiteral("&nbsp; &nbsp; &nbsp;<IMG SRC=\"file:///r/fileSuccessIcon.png\">"
                        "<FONT FACE=\"AppleGothic\" COLOR=\"#3366CC\" SIZE=\"3\"><a>f</a></FONT>")},
        {"the divide line", TranscriptHtml::divideLine(QStringLiteral("/r")), 0, 0, 5,
         QStringLiteral("<IMG SRC=\"file:///r/fileDivide.png\">")},
        {"text that only looks like a wrapper", QStringLiteral("&lt;TABLE BORDER=0&gt;x"), 0, 0, 0,
         QStringLiteral("&lt;TABLE BORDER=0&gt;x")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TranscriptBlock block = TranscriptBlock::fromFragment(c.fragment);
        EXPECT_TRUE(block.pictures.isEmpty());
        EXPECT_EQ(block.indent, c.indent);
        EXPECT_EQ(block.spaceBefore, c.before);
        EXPECT_EQ(block.spaceAfter, c.after);
        EXPECT_EQ(block.html, c.html);
    }
}

TEST(TranscriptBlock, PicturesAreTakenOutInOrder)
{
    const TranscriptBlock block = TranscriptBlock::fromFragment(
        QStringLiteral("<a>x<IMG SRC=\"file:///e/a &amp; &quot;b&quot;.png\"><IMG SRC=\"file:///e/c.png\"> &lt;IMG SRC=\"file:///no\"&gt;</a>"),
        QStringLiteral("M"));
    EXPECT_EQ(block.pictures, QStringList({QStringLiteral("file:///e/a & \"b\".png"), QStringLiteral("file:///e/c.png")}));
    const QString placeholder = QStringLiteral("<span style=\"font-family:'M'\">&#xFFFC;</span>");
    EXPECT_EQ(block.html, QStringLiteral("<a>x") + placeholder + placeholder
                              + QStringLiteral(" &lt;IMG SRC=\"file:///no\"&gt;</a>"));
}
