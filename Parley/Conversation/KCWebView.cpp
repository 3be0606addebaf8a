#include "KCWebView.h"

#include "AnimiconManager.h"
#include "EmoticonLookup.h"
#include "ImageRegistry.h"
#include "KCDefaultFont.h"
#include "KCResourceDirectory.h"
#include "Log.h"
#include "Utils/KCUtilities.h"
#include "TranscriptBlock.h"
#include "TranscriptDividers.h"
#include "TranscriptHtml.h"
#include "TranscriptLinkResolver.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextFragment>
#include <QTextLayout>

#include <memory>
#include <optional>
#include <vector>

namespace {

// The owner's emoticon answers as the HTML builder asks for them.
class DataSourceEmoticons final : public EmoticonLookup
{
public:
    DataSourceEmoticons(KCWebView *view, KCWebViewDataSource *dataSource, QStringList tokens)
        : mView(view), mDataSource(dataSource), mTokens(std::move(tokens))
    {
    }
    QStringList emoticonTokens() const override { return mTokens; }
    QString imagePathForToken(const QString &token) const override
    {
        return mDataSource->emoticonWebViewEmoticon(mView, token);
    }

private:
    KCWebView *mView;
    KCWebViewDataSource *mDataSource;
    QStringList mTokens;
};

// Runs `build` with the owner's emoticons, or with none.
template<typename Build>
QString withEmoticons(KCWebView *view, KCWebViewDataSource *dataSource, Build build)
{
    if (dataSource) {
        if (std::optional<QStringList> tokens = dataSource->emoticonWebViewArray(view)) {
            const DataSourceEmoticons lookup(view, dataSource, std::move(*tokens));
            return build(&lookup);
        }
    }
    return build(nullptr);
}

// A transcript's scroll bar takes a new range with every line, but once its
// handle is at its smallest and at the bottom, it looks the same after each:
// it is redrawn only when something it shows has changed.
class TranscriptScrollBar final : public QScrollBar
{
public:
    using QScrollBar::QScrollBar;

protected:
    void sliderChange(SliderChange change) override
    {
        if (change != SliderRangeChange && change != SliderValueChange) {
            QScrollBar::sliderChange(change);
            return;
        }
        // A line changes the range and then the value: compared once both are set.
        if (mCheckPending)
            return;
        mCheckPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                mCheckPending = false;
                if (look() != mShown)
                    update();
            },
            Qt::QueuedConnection);
    }
    void paintEvent(QPaintEvent *event) override
    {
        mShown = look();
        QScrollBar::paintEvent(event);
    }

private:
    struct Look
    {
        QRect handle;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look &) const = default;
    };
    Look look() const
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
                value() == minimum(), value() == maximum()};
    }
    std::optional<Look> mShown;
    bool mCheckPending = false;
};

} // namespace

KCWebView::KCWebView(QWidget *parent)
    : QTextBrowser(parent),
      // A name no peer can give a font: it marks where pictures go.
      mPictureMarker(QStringLiteral("parley-picture-%1").arg(QRandomGenerator::global()->generate64(), 16, 16,
                                                               QLatin1Char('0')))
{
    // The kit's face: names and notices ask for the gothic face by name.
    KCSubstituteMessageFaces();
    document()->setDefaultFont(GetDefaultFontOfSize(11));
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    // Blanks are hard spaces: a long line breaks wherever it must.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // No context menu; drags go on to the window, which the owner handles.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    setAccessibleName(parley::KCLocalizedString(QStringLiteral("TranscriptAccessibleName")));
    setVerticalScrollBar(new TranscriptScrollBar(Qt::Vertical, this));
    connect(this, &QTextBrowser::anchorClicked, this, &KCWebView::anchorClicked);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (mKeepBottom)
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { mKeepBottom = false; });
}

void KCWebView::scrollToBottom()
{
    mKeepBottom = true;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

KCWebView::~KCWebView() = default;

void KCWebView::appendFragment(const QString &html)
{
    if (html.isEmpty())
        return;
    // One paragraph per line, its layout tables read as indent and gaps.
    const TranscriptBlock block = TranscriptBlock::fromFragment(html, mPictureMarker);
    QTextBlockFormat format;
    format.setLeftMargin(block.indent);
    format.setTopMargin(block.spaceBefore);
    format.setBottomMargin(block.spaceAfter);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    if (mHasLines)
        cursor.insertBlock(format, QTextCharFormat());
    mHasLines = true;
    const int start = cursor.position();
    cursor.insertHtml(block.html);
    // Set again: HTML into the first, empty paragraph brings its own format.
    cursor.setBlockFormat(format);
    placePictures(start, cursor.position(), block.pictures);
    finishAppend(cursor, start);
    scrollToBottom();
}

void KCWebView::finishAppend(QTextCursor &cursor, int start)
{
    // Laying out a new paragraph, the document lays out the one before it
    // again too and asks for both to be repainted, though the one before has
    // not changed: that request is held back and only the new one repainted.
    // Hidden, nothing is painted, and the scroll bars are set when shown.
    if (!viewport()->isVisible()) {
        cursor.endEditBlock();
        return;
    }
    // The newest paragraph keeps its shaped text from layout to painting;
    // the one before gives it up as it is laid out again.
    if (const QTextBlock previous = document()->findBlock(start).previous(); previous.isValid())
        previous.layout()->setCacheEnabled(false);
    document()->lastBlock().layout()->setCacheEnabled(true);
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    {
        const QSignalBlocker quiet(layout);
        cursor.endEditBlock();
    }
    emit layout->documentSizeChanged(layout->documentSize()); // the scroll bars follow
    QRectF added;
    for (QTextBlock block = document()->findBlock(start); block.isValid(); block = block.next())
        added |= layout->blockBoundingRect(block);
    viewport()->update(
        added.toAlignedRect().translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
}

void KCWebView::placePictures(int from, int to, const QStringList &pictures)
{
    if (pictures.isEmpty())
        return;
    struct Placeholder
    {
        int position;
        QTextCharFormat format;
    };
    std::vector<Placeholder> placeholders;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QStringList families = fragment.charFormat().fontFamilies().toStringList();
            if (families.value(0) != mPictureMarker)
                continue;
            for (int i = 0; i < fragment.length(); ++i)
                placeholders.push_back({fragment.position() + i, fragment.charFormat()});
        }
    }
    QTextCursor cursor(document());
    for (std::size_t i = 0; i < placeholders.size() && i < std::size_t(pictures.size()); ++i) {
        QTextImageFormat image;
        image.merge(placeholders[i].format); // the link it sits in, its colour
        image.clearProperty(QTextFormat::FontFamilies);
        image.setName(pictures[qsizetype(i)]);
        cursor.setPosition(placeholders[i].position);
        cursor.setPosition(placeholders[i].position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(image);
    }
}

void KCWebView::appendChatMessage(const QString &text, const QString &fontName, double fontSize,
                                  const QString &fontColor, const QString &fontStyle, bool isMessage)
{
    (void)fontSize;
    (void)fontStyle;
    appendFragment(withEmoticons(this, mDataSource, [&](const EmoticonLookup *lookup) {
        return TranscriptHtml::chatLine(text, fontName, fontColor, isMessage, lookup);
    }));
}

void KCWebView::appendSystemMessage(const QString &html)
{
    appendFragment(withEmoticons(this, mDataSource, [&](const EmoticonLookup *lookup) {
        return TranscriptHtml::systemLine(html, lookup);
    }));
}

void KCWebView::appendWarningMessage(const QString &html)
{
    appendFragment(withEmoticons(this, mDataSource, [&](const EmoticonLookup *lookup) {
        return TranscriptHtml::warningLine(html, lookup);
    }));
}

void KCWebView::appendFileMessage(const QString &html, int fileType)
{
    appendFragment(withEmoticons(this, mDataSource, [&](const EmoticonLookup *lookup) {
        return TranscriptHtml::fileMessageLine(html, fileType, KCResourceDirectory(), lookup);
    }));
    appendDivideLine();
}

void KCWebView::appendFileInfo(const QString &html, int fileType)
{
    appendFragment(withEmoticons(this, mDataSource, [&](const EmoticonLookup *lookup) {
        return TranscriptHtml::fileInfoLine(html, fileType, KCResourceDirectory(), lookup);
    }));
}

void KCWebView::appendAnimiconMessage(const QString &animiconMessage, const QStringList &messageArray,
                                      const QString &fontName, const QString &fontColor, const QString &fontStyle)
{
    (void)fontStyle;
    if (messageArray.size() != 3)
        return;
    AnimiconManager &animicons = AnimiconManager::sharedManager();
    QString imageFile;
    QString name;
    QString categoryID;
    QString animiconID;
    if (const std::optional<QVariantMap> info = animicons.animiconInfoFromAnimiconMessage(animiconMessage)) {
        categoryID = info->value(QStringLiteral("categoryID")).toString();
        animiconID = info->value(QStringLiteral("animiconID")).toString();
        name = info->value(QStringLiteral("animiconName")).toString();
        imageFile = animicons.cachedImageFileForCategory(categoryID, animiconID);
    }
    if (!imageFile.isEmpty() || name.isEmpty()) {
        appendFragment(withEmoticons(this, mDataSource, [&](const EmoticonLookup *lookup) {
            return TranscriptHtml::animiconLine(messageArray, imageFile, name, fontName, fontColor, lookup);
        }));
        return;
    }
    // Not cached yet: the line shows the animicon's name, never its wire
    // text, and gets the picture in front of the name once it is fetched.
    const QString shownName = QLatin1Char('(') + name + QLatin1Char(')');
    QStringList pieces = messageArray;
    pieces[1] = shownName;
    const int lineStart = document()->characterCount() - 1;
    appendFragment(withEmoticons(this, mDataSource, [&](const EmoticonLookup *lookup) {
        return TranscriptHtml::animiconLine(pieces, QString(), name, fontName, fontColor, lookup);
    }));
    QTextCursor found = document()->find(shownName, lineStart);
    if (found.isNull())
        return;
    // A cursor follows the document's edits, so later lines don't move it.
    auto at = std::make_shared<QTextCursor>(document());
    at->setPosition(found.selectionStart());
    animicons.animiconImageFileForCategory(categoryID, animiconID, this, [this, at, shownName](const QString &file) {
        if (file.isEmpty() || at->position() + int(shownName.size()) >= document()->characterCount())
            return;
        QTextCursor check(*at);
        check.setPosition(at->position() + int(shownName.size()), QTextCursor::KeepAnchor);
        if (check.selectedText() != shownName)
            return; // the transcript was cleared meanwhile
        QTextCursor name(*at);
        name.setPosition(at->position() + 1);
        QTextImageFormat image;
        image.merge(name.charFormat());
        image.setName(QStringLiteral("file://") + file);
        const bool atBottom = verticalScrollBar()->value() == verticalScrollBar()->maximum();
        at->insertImage(image);
        if (atBottom)
            scrollToBottom();
    });
}

void KCWebView::appendDivideLine()
{
    const int start = document()->characterCount() - 1;
    appendFragment(TranscriptHtml::divideLine(KCResourceDirectory()));
    parley::fitTranscriptDividers(document(), start, document()->characterCount());
}

void KCWebView::resizeEvent(QResizeEvent *event)
{
    QTextBrowser::resizeEvent(event);
    // The page follows the view's width: so do the divide lines.
    parley::fitTranscriptDividers(document(), 0, document()->characterCount());
}

void KCWebView::applyFontSize(double size)
{
    if (!(size > 0))
        return;
    mFontPixelSize = size;
    // Every line's text is sized relative to the document's font (its markup's
    // size 3 is that font's size): the whole transcript, and every line to
    // come, follows it, and no line's formats change.
    QFont font = document()->defaultFont();
    font.setPixelSize(qRound(size));
    document()->setDefaultFont(font);
    scrollToBottom();
}

QString KCWebView::convertMessage(const QString &text) { return TranscriptHtml::convertMessage(text); }

QString KCWebView::emoticonStringForString(const QString &html) const
{
    KCWebView *self = const_cast<KCWebView *>(this);
    return withEmoticons(self, mDataSource, [&](const EmoticonLookup *lookup) {
        return TranscriptHtml::emoticonStringForString(html, lookup);
    });
}

QString KCWebView::replaceMessage(const QString &text, const QString &source, const QString &toText)
{
    return TranscriptHtml::replaceMessage(text, source, toText);
}

void KCWebView::activateLink(const QString &href)
{
    if (!mDataSource || href.isEmpty())
        return;
    const QString address =
        TranscriptLinkResolver::resolve(href, mDataSource->bridgePageUrl(this), mDataSource->webTicket(this));
    if (address.isEmpty()) {
        parley::plLog(QStringLiteral("transcript: link refused: %1").arg(href));
        return;
    }
    mDataSource->requestWebUrlOpen(this, QUrl(address, QUrl::StrictMode));
}

void KCWebView::anchorClicked(const QUrl &url)
{
    // The target as the page holds it: QUrl would change its case and escapes.
    QString href = mReleasedHref;
    if (href.isEmpty())
        href = textCursor().charFormat().anchorHref();
    if (href.isEmpty())
        href = url.toString();
    activateLink(href);
}

QVariant KCWebView::loadResource(int type, const QUrl &name)
{
    // Our own pictures (file icons, the divide line) when they are not files.
    if (type == QTextDocument::ImageResource && name.isLocalFile() && !QFileInfo::exists(name.toLocalFile())) {
        const QImage image = ImageRegistry::image(QFileInfo(name.toLocalFile()).fileName());
        if (!image.isNull())
            return image;
    }
    return QTextBrowser::loadResource(type, name);
}

void KCWebView::mousePressEvent(QMouseEvent *event)
{
    // Text may be selected but not dragged out: a press inside the selection
    // starts a new one.
    QTextCursor cursor = textCursor();
    if (event->button() == Qt::LeftButton && cursor.hasSelection()) {
        const int at = cursorForPosition(event->position().toPoint()).position();
        if (at >= cursor.selectionStart() && at < cursor.selectionEnd()) {
            cursor.clearSelection();
            setTextCursor(cursor);
        }
    }
    QTextBrowser::mousePressEvent(event);
}

void KCWebView::mouseReleaseEvent(QMouseEvent *event)
{
    mReleasedHref = anchorAt(event->position().toPoint());
    QTextBrowser::mouseReleaseEvent(event);
    mReleasedHref.clear();
}
