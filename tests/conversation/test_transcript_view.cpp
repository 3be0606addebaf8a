// The transcript view: lines appended to the end of one document, the bottom
// kept in view, the font size of every line, links handed to the owner after
// their check, and a document that holds no markup of a peer's making.
#include "ConversationTestSupport.h"
#include "ImageRegistry.h"
#include "KCDefaultFont.h"
#include "Conversation/KCWebView.h"
#include "TestSupport.h"
#include "TranscriptLinks.h"

#include <QFontInfo>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <gtest/gtest.h>

namespace {

using parley::test::linkPoint;

class RecordingOwner : public KCWebViewDataSource
{
public:
    std::optional<QStringList> emoticonWebViewArray(KCWebView *) override { return emoticons.tokens; }
    QString emoticonWebViewEmoticon(KCWebView *, const QString &token) override { return emoticons.paths.value(token); }
    void requestWebUrlOpen(KCWebView *, const QUrl &url) override { opened << url.toString(); }
    QString bridgePageUrl(KCWebView *) override { return QStringLiteral("http://portal.test/bridge.html"); }
    QString webTicket(KCWebView *) override { return QStringLiteral("T1"); }

    parley::test::FixedEmoticons emoticons;
    QStringList opened;
};

struct DocumentPart
{
    QString text;
    QString anchorHref;
    QString imageName;
};

QList<DocumentPart> partsOf(const QTextDocument *document)
{
    QList<DocumentPart> parts;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            parts.push_back({it.fragment().text(), format.anchorHref(),
                             format.isImageFormat() ? format.toImageFormat().name() : QString()});
        }
    return parts;
}


class TranscriptView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view.resize(420, 300);
        view.setDataSource(&owner);
        view.show();
    }
    RecordingOwner owner;
    KCWebView view;
};

} // namespace

TEST_F(TranscriptView, ALongTranscriptStillShowsItsLastLine)
{
    const QString words = QStringLiteral("word ").repeated(2000); // 10 kB a line
    qsizetype total = 0;
    for (int line = 0; total < 3 * 1024 * 1024; ++line) {
        const QString text = QStringLiteral("line %1 ").arg(line) + words;
        view.appendChatMessage(text, QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(), true);
        total += text.size();
    }
    view.appendChatMessage(QStringLiteral("the last line"), QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(), true);
    QCoreApplication::processEvents();

    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
    const QTextCursor last = view.document()->find(QStringLiteral("the last line"));
    ASSERT_FALSE(last.isNull());
    EXPECT_TRUE(view.viewport()->rect().contains(view.cursorRect(last)));
}

// A new line repaints only itself and the scroll bar only when it looks
// otherwise: what the window holds after each line is still the transcript
// drawn afresh, while the lines fill the view and once they scroll it.
TEST_F(TranscriptView, TheWindowShowsTheWholeTranscriptAfterEachLine)
{
    QImage smile(14, 14, QImage::Format_ARGB32);
    smile.fill(Qt::magenta);
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("smile.png"));
    ASSERT_TRUE(smile.save(picture));
    owner.emoticons.tokens = {QStringLiteral("/smile/")};
    owner.emoticons.paths = {{QStringLiteral("/smile/"), picture}};
    const auto shownAsDrawnAfresh = [this] {
        const QImage shown = view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        return shown == view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    QCoreApplication::processEvents();
    for (int n = 0; n < 36; ++n) {
        if (n % 5 == 4)
            view.appendSystemMessage(QStringLiteral("notice %1").arg(n));
        else if (n % 7 == 6)
            view.appendFileMessage(QStringLiteral("report-%1.pdf").arg(n), 1); // and its divide line
        else
            view.appendChatMessage(QStringLiteral("line %1 /smile/ www.example.com/%1\nand a second row").arg(n),
                                   QStringLiteral("Gulim"), 11, QStringLiteral("255"), QString(), true);
        QCoreApplication::processEvents();
        ASSERT_TRUE(shownAsDrawnAfresh()) << "after line " << n;
    }
    EXPECT_GT(view.verticalScrollBar()->maximum(), 0) << "the lines came to scroll the view";

    // Scrolled back by the user, the view jumps to the new line at the bottom.
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCoreApplication::processEvents();
    ASSERT_LT(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    view.appendChatMessage(QStringLiteral("a later line"), QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(),
                           true);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    EXPECT_TRUE(shownAsDrawnAfresh()) << "after the later line";
}

TEST_F(TranscriptView, AppliedFontSizeReachesEarlierAndLaterLines)
{
    view.appendChatMessage(QStringLiteral("earlier"), QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(), true);
    const QTextCursor earlier = view.document()->find(QStringLiteral("earlier"));
    const int heightBefore = view.cursorRect(earlier).height();

    view.applyFontSize(28);
    view.appendChatMessage(QStringLiteral("later"), QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(), true);
    view.appendSystemMessage(QStringLiteral("system"));

    for (const char *text : {"earlier", "later", "system"}) {
        SCOPED_TRACE(text);
        QTextCursor cursor = view.document()->find(QLatin1String(text));
        ASSERT_FALSE(cursor.isNull());
        EXPECT_EQ(cursor.charFormat().font().pixelSize(), 28);
    }
    EXPECT_GT(view.cursorRect(view.document()->find(QStringLiteral("earlier"))).height(), heightBefore);
}

TEST_F(TranscriptView, EachLineIsAParagraphWithItsIndentAndGaps)
{
    view.appendSystemMessage(QStringLiteral("system"));
    view.appendChatMessage(QStringLiteral("one\ntwo"), QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(), true);
    view.appendFileMessage(QStringLiteral("file"), 0);
    ASSERT_EQ(view.document()->blockCount(), 4);
    struct Expected
    {
        const char *text;
        qreal indent, before, after;
    } const lines[] = {{"system", 0, 3, 10}, {"one\u2028two", 8, 0, 3}, {"\uFFFCfile", 0, 3, 10}, {"\uFFFC", 0, 0, 5}};
    QTextBlock block = view.document()->begin();
    for (const Expected &line : lines) {
        SCOPED_TRACE(line.text);
        EXPECT_EQ(block.text(), QString::fromUtf8(line.text));
        EXPECT_EQ(block.blockFormat().leftMargin(), line.indent);
        EXPECT_EQ(block.blockFormat().topMargin(), line.before);
        EXPECT_EQ(block.blockFormat().bottomMargin(), line.after);
        block = block.next();
    }
}

TEST_F(TranscriptView, ClickedLinksGoToTheOwnerChecked)
{
    view.appendChatMessage(QStringLiteral("see www.example.com"), QStringLiteral("Gulim"), 11, QStringLiteral("0"),
                           QString(), true);
    view.appendChatMessage(QStringLiteral("<link href=\"bridge://G125?http://mail.com/\">your mail</link>"),
                           QStringLiteral("Gulim"), 11, QStringLiteral("0"), QString(), true);
    view.appendChatMessage(QStringLiteral("mail kim@example.com"), QStringLiteral("Gulim"), 11, QStringLiteral("0"),
                           QString(), true);
    QCoreApplication::processEvents();

    for (const char *href : {"www.example.com", "bridge://G125?http://mail.com/", "mailto:kim@example.com"}) {
        const QPoint at = linkPoint(view, QLatin1String(href));
        ASSERT_FALSE(at.isNull()) << href;
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
    }
    EXPECT_EQ(owner.opened, QStringList({QStringLiteral("http://www.example.com"),
                                         QStringLiteral("http://portal.test/bridge.html?t=T1&code=G125&r_url=http://mail.com/"),
                                         QStringLiteral("mailto:kim@example.com")}));

    // A link that is refused reaches no one.
    view.activateLink(QStringLiteral("javascript:alert(1)"));
    EXPECT_EQ(owner.opened.size(), 3);
}

TEST_F(TranscriptView, PeerMarkupStaysTextInTheDocument)
{
    owner.emoticons.tokens = {QStringLiteral("/smile/")};
    owner.emoticons.paths = {{QStringLiteral("/smile/"), QStringLiteral("/e/smile.png")}};
    const QString hostile[] = {
        QStringLiteral("<script>alert(1)</script>"),
        QStringLiteral("<img src=\"file:///etc/passwd\" onerror=x>"),
        QStringLiteral("abcdefghijklmnopqrst<link href=\"javascript:alert(1)\">click</link>"),
        QStringLiteral("<link href=\"http://a.com\"><a href=\"javascript:x\">in</a></link>"),
        QStringLiteral("http://x.com/smile/"),
    };
    for (const QString &text : hostile)
        view.appendChatMessage(text, QStringLiteral("F\"><img src=x>"), 11, QStringLiteral("0"), QString(), true);

    const QString plain = view.document()->toPlainText();
    EXPECT_TRUE(plain.contains(QStringLiteral("<script>alert(1)</script>")));
    EXPECT_TRUE(plain.contains(QStringLiteral("<img src=\"file:///etc/passwd\" onerror=x>")));
    EXPECT_TRUE(plain.contains(QStringLiteral("<link href=\"javascript:alert(1)\">click</link>")));
    for (const DocumentPart &part : partsOf(view.document())) {
        SCOPED_TRACE(part.text.toStdString());
        if (!part.anchorHref.isEmpty()) {
            EXPECT_TRUE(part.anchorHref == QLatin1String("http://a.com") || part.anchorHref == QLatin1String("http://x.com/smile/"))
                << part.anchorHref.toStdString();
        }
        if (!part.imageName.isEmpty()) {
            EXPECT_EQ(part.imageName, QStringLiteral("file:///e/smile.png"));
        }
    }
}

TEST_F(TranscriptView, FileLinesDrawOurIcons)
{
    QImage icon(12, 12, QImage::Format_ARGB32);
    icon.fill(Qt::green);
    ImageRegistry::registerImage(QStringLiteral("fileSuccessIcon"), icon);
    view.appendFileMessage(QStringLiteral("report.pdf"), 1);
    QStringList images;
    for (const DocumentPart &part : partsOf(view.document()))
        if (!part.imageName.isEmpty())
            images << QUrl(part.imageName).fileName();
    EXPECT_EQ(images, QStringList({QStringLiteral("fileSuccessIcon.png"), QStringLiteral("fileDivide.png")}));
    const QTextCursor cursor = view.document()->find(QStringLiteral("report.pdf"));
    ASSERT_FALSE(cursor.isNull());
    // The icon comes from our images when the resource folder has no such file.
    const QVariant loaded = view.loadResource(QTextDocument::ImageResource,
                                              QUrl::fromLocalFile(QStringLiteral("/nonexistent/fileSuccessIcon.png")));
    EXPECT_EQ(loaded.value<QImage>().pixelColor(3, 3), QColor(Qt::green));
    ImageRegistry::registerImage(QStringLiteral("fileSuccessIcon"), QImage());
}

// The divide line under a file line is drawn 360 wide; in a narrower
// transcript it takes the page's width, and follows the view's width, so that
// no horizontal scroll bar appears.
TEST_F(TranscriptView, TheDivideLineTakesTheTranscriptsWidth)
{
    const auto dividerWidth = [this] {
        for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
                if (image.isValid() && QUrl(image.name()).fileName() == QLatin1String("fileDivide.png"))
                    return image.width();
            }
        return qreal(-1);
    };
    for (const int width : {310, 250, 500}) {
        SCOPED_TRACE(width);
        view.resize(width, 300);
        if (dividerWidth() < 0)
            view.appendFileMessage(QStringLiteral("report.pdf"), 1);
        QCoreApplication::processEvents();
        const qreal page = view.viewport()->width() - 2 * view.document()->documentMargin();
        EXPECT_GT(dividerWidth(), page - 8);
        EXPECT_LE(dividerWidth(), page);
        EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    }
}

// Name lines and notices name the gothic face the original platform had;
// they are drawn in the kit's face, as is text that names none.
TEST_F(TranscriptView, LinesAndNoticesDrawInTheKitsFace)
{
    const QString kitFamily = QFontInfo(GetDefaultFontOfSize(11)).family();
    view.appendSystemMessage(QStringLiteral("a notice"));
    view.appendChatMessage(QStringLiteral("Carol says:"), QStringLiteral("AppleGothic"), 11, QStringLiteral("4473924"),
                           QString(), false);
    EXPECT_EQ(QFontInfo(view.document()->defaultFont()).family(), kitFamily);
    int texts = 0;
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().trimmed().isEmpty())
                continue;
            ++texts;
            SCOPED_TRACE(it.fragment().text().toStdString());
            EXPECT_EQ(QFontInfo(it.fragment().charFormat().font()).family(), kitFamily);
        }
    EXPECT_GE(texts, 2);
}
