// The server's warnings keep only their simple markup; everything else in
// them is text.

#include "ChatManagement/PLWarningMarkup.h"

#include <gtest/gtest.h>

namespace {

TEST(WarningMarkupTest, KeepsSimpleTagsAndEscapesEverythingElse)
{
    struct Case {
        const char *in;
        const char *out;
    } cases[] = {
        {"plain", "plain"},
        {"<b>bold</b> <I>it</I> <u>u</u><br><BR/>", "<b>bold</b> <i>it</i> <u>u</u><br><br>"},
        {"<font color='#ff0000'>red</font>", "<font color=\"#ff0000\">red</font>"},
        {"<font color=\"red\" size=7 style=x>x</font>", "<font color=\"red\">x</font>"},
        {"<font color=\"red;background:url(x)\">x</font>", "<font>x</font>"},
        {"<a href=\"https://parley.test/r?a=1&b=2\" target=_blank>go</a>",
         "<a href=\"https://parley.test/r?a=1&amp;b=2\">go</a>"},
        {"<a href='javascript:alert(1)'>x</a>", "&lt;a href=&#39;javascript:alert(1)&#39;&gt;x&lt;/a&gt;"},
        {"<a href=\"http://x\" onclick=\"e()\">x</a>", "<a href=\"http://x\">x</a>"},
        {"<img src=x onerror=alert(1)>", "&lt;img src=x onerror=alert(1)&gt;"},
        {"<script>bad()</script>", "&lt;script&gt;bad()&lt;/script&gt;"},
        {"</b>unopened", "&lt;/b&gt;unopened"},
        {"<b>left open", "<b>left open</b>"},
        {"a < b > c & d \"q\"", "a &lt; b &gt; c &amp; d &quot;q&quot;"},
        {"&amp; &lt; &#39; &#x41; &nbsp;", "&amp; &lt; &#39; &#x41; &nbsp;"},
        {"<b onmouseover=x>b</b>", "<b>b</b>"},
        {"<<b>>", "&lt;<b>&gt;</b>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(parley::PLWarningMarkup::sanitize(QString::fromUtf8(c.in)).toStdString(), std::string(c.out));
    }
}

} // namespace
