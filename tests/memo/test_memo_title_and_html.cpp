// A memo's title line, and the related-memo pane's HTML: names escaped,
// short dates shown as they are, the text through the memo conversion.
#include "EmoticonManager.h"
#include "Memo/MemoTitle.h"
#include "RelatedMemoHtml.h"
#include "RelatedMemoReply.h"
#include "Utils/KCUtilities.h"

#include <QHash>

#include <gtest/gtest.h>

namespace {

using parley::MemoTitle::titleFromMessage;

struct TitleCase {
    const char *name;
    QString message;
    QString title;
};

class Title : public ::testing::TestWithParam<TitleCase> {};

TEST_P(Title, FromMessage)
{
    EXPECT_EQ(titleFromMessage(GetParam().message), GetParam().title) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Memo, Title,
    ::testing::Values(
        TitleCase{"empty", QString(), QString()},
        TitleCase{"nineteen characters stay", QStringLiteral("1234567890123456789"), QStringLiteral("1234567890123456789")},
        TitleCase{"only the first line", QStringLiteral("short line\nand a second line that is long"),
                  QStringLiteral("short line")},
        TitleCase{"a CR before the LF stays", QStringLiteral("hi\r\nthere"), QStringLiteral("hi\r")},
        TitleCase{"plain words cut at twenty", QStringLiteral("aaaaaaaaaa bbbbbbbbbb cccc"),
                  QStringLiteral("aaaaaaaaaa bbbbbbbbb")},
        TitleCase{"short words keep their blank", QStringLiteral("one two three four five six"),
                  QStringLiteral("one two three four f")},
        // The token is never cut, and may carry the title past twenty; the
        // blank that ends the run before it counts as an empty word.
        TitleCase{"an emoticon stays whole", QStringLiteral(u"aaaaaaaaaaaaaaaa /웃음/ tail words here"),
                  QStringLiteral(u"aaaaaaaaaaaaaaaa  /웃음/ ")},
        TitleCase{"an unknown token is cut like a word", QStringLiteral("aaaaaaaaaaaaaaaa /nothing/ tail"),
                  QStringLiteral("aaaaaaaaaaaaaaaa  /n")}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

class FixedNames final : public MemoNames
{
public:
    QString nameForID(const QString &id) const override { return names.value(id, id); }
    QString myLoginID() const override { return QStringLiteral("me@p.test"); }
    QString myName() const override { return QStringLiteral("Me"); }
    QHash<QString, QString> names{{QStringLiteral("b@p.test"), QStringLiteral("<b>Bob</b> & co")},
                                  {QStringLiteral("me@p.test"), QStringLiteral("Me")}};
};

RelatedMemoEntry entry(const char *direction, const char *date, const char *text)
{
    RelatedMemoEntry e;
    e.direction = QLatin1String(direction);
    e.senderID = QStringLiteral("b@p.test");
    e.receiverIDs = QStringLiteral("me@p.test;x@p.test");
    e.date = QLatin1String(date);
    e.text = QLatin1String(text);
    return e;
}

TEST(RelatedMemoHtml, HeadingsEscapeNamesAndKeepShortDates)
{
    const FixedNames names;
    const RelatedMemoHtml html(names, {"qrc:/in.png", "qrc:/out.png", "qrc:/line.png"},
                               [](const QString &t) { return QStringLiteral("[") + t + QStringLiteral("]"); },
                               QStringLiteral("Face"));
    EXPECT_EQ(html.heading(entry("R", "20240301094507", "")),
              QStringLiteral("&lt;b&gt;Bob&lt;/b&gt; &amp; co (2024-03-01 09:45:07)<P>Me, x@p.test, "));
    EXPECT_EQ(html.heading(entry("R", "202403", "")), QStringLiteral("&lt;b&gt;Bob&lt;/b&gt; &amp; co (202403)<P>Me, x@p.test, "));
    EXPECT_EQ(html.receiverNames(QString()), QString());
}

TEST(RelatedMemoHtml, EachMemoHasItsIconHeadingAndConvertedText)
{
    const FixedNames names;
    const RelatedMemoHtml html(names, {"qrc:/in.png", "qrc:/out.png", "qrc:/line.png"},
                               [](const QString &t) { return QStringLiteral("[") + t + QStringLiteral("]"); },
                               QStringLiteral("Face"));
    const QString out = html.html({entry("S", "20240301094507", "hello%20there"), entry("R", "", "%25x")});
    EXPECT_EQ(out.count(QStringLiteral("<TABLE BORDER=0>")), 2);
    // One separator, between the two.
    EXPECT_EQ(out.count(QStringLiteral("qrc:/line.png")), 1);
    EXPECT_LT(out.indexOf(QStringLiteral("qrc:/out.png")), out.indexOf(QStringLiteral("qrc:/line.png")));
    EXPECT_GT(out.indexOf(QStringLiteral("qrc:/in.png")), out.indexOf(QStringLiteral("qrc:/line.png")));
    EXPECT_TRUE(out.contains(QStringLiteral("<a>[hello there]</a>")));
    EXPECT_TRUE(out.contains(QStringLiteral("<a>[%x]</a>")));
    EXPECT_TRUE(out.contains(QStringLiteral("COLOR=\"#878787\"")));
    EXPECT_TRUE(out.contains(QStringLiteral("COLOR=\"#000000\"")));
    EXPECT_FALSE(out.contains(QStringLiteral("<b>Bob")));
    EXPECT_EQ(html.html({}), QString());
}

} // namespace
