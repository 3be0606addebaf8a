// The codec: token scan, rich text and back, links.
#include "EmoticonFixture.h"

#include "EmoticonManager.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <gtest/gtest.h>

using parley::test::EmoticonFolder;

namespace {

class EmoticonTextTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        sFolder = new EmoticonFolder;
        ASSERT_TRUE(parley::test::writeSmallCatalogue(*sFolder));
        sCatalogue = new EmoticonManager(sFolder->path(), QStringLiteral("ko"));
    }
    static void TearDownTestSuite()
    {
        delete sCatalogue;
        delete sFolder;
    }
    static const EmoticonManager *catalogue() { return sCatalogue; }
    static QString image(const char *name) { return sFolder->filePath(QStringLiteral("images/") + name); }

    static EmoticonFolder *sFolder;
    static EmoticonManager *sCatalogue;
};
EmoticonFolder *EmoticonTextTest::sFolder = nullptr;
EmoticonManager *EmoticonTextTest::sCatalogue = nullptr;

// One run of a document as seen by a reader: text, an image (its file and
// token) or a link (its text and target).
struct TextRun {
    enum Kind { Text, Image, Link } kind;
    QString text;
    QString extra; // image: the file; link: the target
    bool operator==(const TextRun &) const = default;
};

void PrintTo(const TextRun &run, std::ostream *os)
{
    static const char *kinds[] = {"Text", "Image", "Link"};
    *os << kinds[run.kind] << "(" << run.text.toStdString() << (run.extra.isEmpty() ? "" : ", ")
        << run.extra.toStdString() << ")";
}

QList<TextRun> runsOf(const QTextDocument &document)
{
    QList<TextRun> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            runs << TextRun{TextRun::Text, QStringLiteral("\n"), {}};
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                for (int i = 0; i < it.fragment().length(); ++i)
                    runs << TextRun{TextRun::Image, format.stringProperty(EmoticonManager::kTokenProperty),
                                format.toImageFormat().name()};
            } else if (format.isAnchor()) {
                runs << TextRun{TextRun::Link, it.fragment().text(), format.anchorHref()};
            } else {
                runs << TextRun{TextRun::Text, it.fragment().text(), {}};
            }
        }
    }
    return runs;
}

QList<TextRun> runsOf(const QTextDocumentFragment &fragment)
{
    QTextDocument document;
    QTextCursor(&document).insertFragment(fragment);
    return runsOf(document);
}

} // namespace

TEST_F(EmoticonTextTest, TokenScanCutsTheTextAsTheExamplesShow)
{
    const struct {
        const char16_t *text;
        QStringList pieces;
    } cases[] = {
        {u"hi/smile/yo", {"hi", "/smile/", "yo"}},
        {u"/smile/", {"", "/smile/"}},
        {u"a/b/smile/", {"a", "/b", "/smile/"}},
        {u"x//smile/", {"x/", "/smile/"}},
        {u"a//b", {"a/", "/b"}},
        {u"//smile/", {"/", "/smile/"}},
        {u"/nothing/", {"", "/nothing", "/"}},
        {u"no slash at all", {"no slash at all"}},
        {u"", {}},
        {u"/", {"", "/"}},
        {u"/smile//smile/", {"", "/smile/", "", "/smile/"}},
        {u"/smile/ and /\uC6C3\uC74C/!", {"", "/smile/", " and ", "/\uC6C3\uC74C/", "!"}},
        {u"\U0001F600/cup/\U0001F600", {"\U0001F600", "/cup/", "\U0001F600"}},
        {u"a/b//cup/", {"a", "/b/", "/cup/"}},
        {u"http://www.a.test/cup/", {"http:/", "/www.a.test", "/cup/"}},
        {u"/grin/", {"", "/grin/"}}, // a token of another language
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        const QStringList pieces = EmoticonManager::emoticonParsingWithString(text, catalogue());
        EXPECT_EQ(pieces, c.pieces);
        EXPECT_EQ(pieces.join(QString()), text);
    }
}

TEST_F(EmoticonTextTest, TextBecomesImagesAndComesBack)
{
    const struct {
        const char16_t *text;
        int images;
    } cases[] = {
        {u"hi /smile/ there", 1},
        {u"/smile//smile/", 2}, // equal images side by side share one fragment
        {u"line one\nline two /cup/\n", 1},
        {u"a/b/c and /nothing/", 0},
        {u"/ghost/ has no image file", 0},
        {u"/\uC6C3\uC74C/\U0001F600/grin/", 2},
        {u"x//cup/", 1},
        {u"", 0},
        {u"\uFFFC is just a character here", 0},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        QTextCharFormat format;
        format.setFontPointSize(13);
        const auto fragment = EmoticonManager::attributedEmoticonStringWithString(text, format, catalogue());
        ASSERT_TRUE(fragment.has_value());
        QTextDocument document;
        QTextCursor(&document).insertFragment(*fragment);
        int images = 0;
        for (const TextRun &run : runsOf(document)) {
            if (run.kind != TextRun::Image)
                continue;
            ++images;
            EXPECT_EQ(run.extra, catalogue()->emoticonFileNameForEmoticon(run.text)) << run.text.toStdString();
        }
        EXPECT_EQ(images, c.images);
        EXPECT_EQ(EmoticonManager::emoticonStringForAttributeRuns(document, catalogue()), text);
    }
    EXPECT_FALSE(EmoticonManager::attributedEmoticonStringWithString(QString(), {}, catalogue()).has_value());
}

TEST_F(EmoticonTextTest, ImagesKeepTheirTokenAndFileName)
{
    const auto fragment = EmoticonManager::attributedEmoticonStringWithString(
        QString::fromUtf16(u"a/\uC6C3\uC74C/b/smile/"), {}, catalogue());
    ASSERT_TRUE(fragment.has_value());
    EXPECT_EQ(runsOf(*fragment),
              (QList<TextRun>{{TextRun::Text, "a", {}},
                          {TextRun::Image, QString::fromUtf16(u"/\uC6C3\uC74C/"), image("smile.png")},
                          {TextRun::Text, "b", {}},
                          {TextRun::Image, "/smile/", image("smile.png")}}));
}

TEST_F(EmoticonTextTest, ImagesWithoutATokenBecomeTheirFileName)
{
    // Images pasted or loaded from elsewhere carry no token: the current
    // language's token of their file name, else the file name itself.
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("x"));
    for (const char *name : {"/elsewhere/cup.png", "file:///somewhere/else/photo.png", "smile.png"}) {
        QTextImageFormat format;
        format.setName(QLatin1String(name));
        cursor.insertImage(format);
    }
    EXPECT_EQ(EmoticonManager::emoticonStringForAttributeRuns(document, catalogue()),
              QStringLiteral("x/cup/photo.png/smile/"));
}

TEST_F(EmoticonTextTest, WordPartsWithWebAddresses)
{
    const struct {
        const char *word;
        QStringList urls;
    } cases[] = {
        {"http://a.test", {"http://a.test"}},
        {"https://a.test/x/y", {"https://a.test/x/y"}},
        {"www.a.test", {"www.a.test"}},
        {"(www.a.test)", {"(www.a.test)"}},
        {"see/cup/www.a.test", {"www.a.test"}},
        {"http://a.test/cup/b", {"http://a.test"}},
        {"http://a.test/cup/www.b.test", {"http://a.test", "www.b.test"}},
        {"plain/words", {}},
        {"", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(EmoticonManager::urlStringArrayFromEmoticonString(QLatin1String(c.word), catalogue()), c.urls);
    }
}

TEST_F(EmoticonTextTest, WebAddressesBecomeLinks)
{
    const struct {
        const char *text;
        QList<TextRun> runs;
    } cases[] = {
        {"go https://www.a.test now",
         {{TextRun::Text, "go ", {}}, {TextRun::Link, "https://www.a.test", "https://www.a.test"}, {TextRun::Text, " now", {}}}},
        {"www.b.test", {{TextRun::Link, "www.b.test", "http://www.b.test"}}},
        {"http://c.test/path/x?q=1", {{TextRun::Link, "http://c.test/path/x?q=1", "http://c.test/path/x?q=1"}}},
        {"ftp://www.d.test", {{TextRun::Link, "ftp://www.d.test", "ftp://www.d.test"}}},
        {"www.e.test/?u=http://f.test",
         {{TextRun::Link, "www.e.test/?u=http://f.test", "http://www.e.test/?u=http://f.test"}}},
        // Every occurrence of an address is a link, on any line.
        {"www.g.test\nsee www.g.test",
         {{TextRun::Link, "www.g.test", "http://www.g.test"}, {TextRun::Text, "\n", {}}, {TextRun::Text, "see ", {}},
          {TextRun::Link, "www.g.test", "http://www.g.test"}}},
        {"no address here", {{TextRun::Text, "no address here", {}}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(runsOf(EmoticonManager::replaceLinkUrlString(QLatin1String(c.text), {}, catalogue())), c.runs);
    }

    // Links and images together: the token leaves the address.
    const auto fragment =
        EmoticonManager::attributedEmoticonStringWithString(QStringLiteral("http://h.test/cup/ ok"), {}, catalogue());
    ASSERT_TRUE(fragment.has_value());
    EXPECT_EQ(runsOf(*fragment), (QList<TextRun>{{TextRun::Link, "http://h.test", "http://h.test"},
                                             {TextRun::Image, "/cup/", image("cup.png")},
                                             {TextRun::Text, " ok", {}}}));
}

TEST(SharedEmoticonText, OurTokensOfBothLanguagesBecomeOurImages)
{
    const auto fragment = EmoticonManager::attributedEmoticonStringWithString(
        QString::fromUtf16(u"/\uC6C3\uC74C/ /smile/ /^^/"), {});
    ASSERT_TRUE(fragment.has_value());
    QTextDocument document;
    QTextCursor(&document).insertFragment(*fragment);
    QStringList files;
    for (QTextBlock::iterator it = document.begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat())
            files << QFileInfo(it.fragment().charFormat().toImageFormat().name()).fileName();
    }
    EXPECT_EQ(files, (QStringList{"smile.png", "smile.png", "laugh.png"}));
    EXPECT_EQ(EmoticonManager::emoticonStringForAttributeRuns(document), QString::fromUtf16(u"/\uC6C3\uC74C/ /smile/ /^^/"));
}
