#pragma once

// The transcript of a conversation (a chat window's lines, a memo's body) as
// HTML in a text browser without a script engine. Each line is one fragment
// (TranscriptHtml) appended at the end of the document as a paragraph of its
// own (TranscriptBlock), and the view then shows its bottom; nothing already
// shown is parsed or repainted again, and only the paragraph before the new
// one is laid out again. Links are never followed by the view: a click is
// checked and completed (TranscriptLinkResolver) and handed to the owner.

#include "KCWebViewDataSource.h"
#include "TranscriptSink.h"

#include <QStringList>
#include <QTextBrowser>

class EmoticonLookup;
class QTextCursor;

class KCWebView : public QTextBrowser, public TranscriptSink
{
    Q_OBJECT
public:
    explicit KCWebView(QWidget *parent = nullptr);
    ~KCWebView() override;

    void setDataSource(KCWebViewDataSource *dataSource) { mDataSource = dataSource; }
    KCWebViewDataSource *dataSource() const { return mDataSource; }

    // A chat line (plain text; the size and style do not change the markup):
    // indented as a message, or bare for a memo's body.
    void appendChatMessage(const QString &text, const QString &fontName, double fontSize, const QString &fontColor,
                           const QString &fontStyle, bool isMessage) override;
    // System, warning and file lines take HTML: escape any peer text put into
    // it (TranscriptHtml::escapeHtml). File types: 1 success, 2 failure.
    void appendSystemMessage(const QString &html) override;
    void appendWarningMessage(const QString &html) override;
    void appendFileMessage(const QString &html, int fileType) override; // then a divide line
    void appendFileInfo(const QString &html, int fileType) override;
    // An animicon line: the wire form and the three pieces of the message
    // (text before, wire form, text after), all plain text. The item's cached
    // image shows with its name; an image not yet cached shows the text and
    // is fetched for later lines. Another number of pieces appends nothing.
    void appendAnimiconMessage(const QString &animiconMessage, const QStringList &messageArray,
                               const QString &fontName, const QString &fontColor, const QString &fontStyle) override;
    void appendDivideLine() override;
    // Every line, those shown and those to come, in text of this many pixels.
    void applyFontSize(double size) override;
    double appliedFontSize() const { return mFontPixelSize; }

    // Message text to HTML (TranscriptHtml::convertMessage).
    static QString convertMessage(const QString &text);
    // Emoticon tokens in an HTML fragment's text made pictures, as the owner says.
    QString emoticonStringForString(const QString &html) const;
    static QString replaceMessage(const QString &text, const QString &source, const QString &toText);

    // What a click on a link with this target does: the owner is asked to
    // open the completed address, unless the link is refused.
    void activateLink(const QString &href);

    // Pictures: files, or our own images when the file is not there.
    QVariant loadResource(int type, const QUrl &name) override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void appendFragment(const QString &html);
    void finishAppend(QTextCursor &cursor, int start);
    void placePictures(int from, int to, const QStringList &pictures);
    void scrollToBottom();
    void anchorClicked(const QUrl &url);

    const QString mPictureMarker;
    KCWebViewDataSource *mDataSource = nullptr; // not owned
    double mFontPixelSize = 0;
    // Set by an append: the bottom stays in view, also when the layout
    // reports the document's new height later, until the user scrolls.
    bool mKeepBottom = false;
    bool mHasLines = false;
    QString mReleasedHref; // the link under a mouse release, as written
};
