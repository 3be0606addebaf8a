#include "KCEmoticonLayout.h"

#include <QTextBoundaryFinder>

namespace {

constexpr qreal kTopInset = 3;

class Layout
{
public:
    Layout(const QRectF &frame, const KCEmoticonLayoutOptions &options, const KCEmoticonLayoutMetrics &metrics)
        : mFrame(frame)
        , mOptions(options)
        , mMetrics(metrics)
        , mLineStart(frame.left() + options.leftMargin)
        , mX(mLineStart)
    {
        mResult.dotWidth = metrics.textWidth(QStringLiteral("."));
    }

    KCEmoticonLayout run(const QStringList &pieces)
    {
        if (mOptions.multiLine)
            multiLine(pieces);
        else
            singleLine(pieces);
        mResult.displaySize = QSizeF(mX + mOptions.leftMargin + 5,
                                     kTopInset + kKCEmoticonLineHeight * (mLine + 1));
        return mResult;
    }

private:
    qreal right() const { return mFrame.right(); }
    qreal lineTop() const { return mFrame.top() + kTopInset + kKCEmoticonLineHeight * mLine; }
    qreal lineBottom() const { return lineTop() + kKCEmoticonLineHeight; }

    void placeText(const QString &text, qreal width)
    {
        if (text.isEmpty())
            return;
        // Characters of one line that follow one another make one item.
        if (!mResult.items.isEmpty()) {
            KCEmoticonLayoutItem &last = mResult.items.last();
            if (last.kind == KCEmoticonLayoutItem::Kind::Text && last.line == mLine) {
                last.text += text;
                last.rect.setWidth(last.rect.width() + width);
                mX += width;
                return;
            }
        }
        mResult.items << KCEmoticonLayoutItem{KCEmoticonLayoutItem::Kind::Text, text,
                                              QRectF(mX, lineTop(), width, kKCEmoticonLineHeight), mLine};
        mX += width;
    }

    void placeImage(const QString &token, const QSizeF &size)
    {
        mResult.items << KCEmoticonLayoutItem{KCEmoticonLayoutItem::Kind::Image, token,
                                              QRectF(QPointF(mX, lineBottom() - size.height()), size), mLine};
        mX += size.width();
    }

    void placeEllipsis()
    {
        const qreal dot = mResult.dotWidth;
        int count = 3;
        while (count > 1 && mX + count * dot > right())
            --count;
        mResult.items << KCEmoticonLayoutItem{KCEmoticonLayoutItem::Kind::Ellipsis, QString(count, QLatin1Char('.')),
                                              QRectF(mX, lineTop(), count * dot, kKCEmoticonLineHeight), mLine};
        mX += count * dot;
        mResult.cut = true;
    }

    bool fitsWithDot(qreal width) const { return mX + width + mResult.dotWidth < right(); }

    void singleLine(const QStringList &pieces)
    {
        for (const QString &piece : pieces) {
            const QSizeF image = mMetrics.imageSize(piece);
            if (!image.isEmpty()) {
                if (!fitsWithDot(image.width())) {
                    placeEllipsis();
                    return;
                }
                placeImage(piece, image);
                continue;
            }
            const qreal width = mMetrics.textWidth(piece);
            if (fitsWithDot(width)) {
                placeText(piece, width);
                continue;
            }
            const QList<qsizetype> bounds = KCCharacterBoundaries(piece);
            qsizetype characters = bounds.size() - 1;
            QString shortened = piece;
            qreal shortenedWidth = width;
            while (characters >= 2 && !fitsWithDot(shortenedWidth)) {
                characters -= 2;
                shortened = piece.left(bounds[characters]);
                shortenedWidth = mMetrics.textWidth(shortened);
            }
            placeText(shortened, shortenedWidth);
            placeEllipsis();
            return;
        }
    }

    // Starts a new line; false when it ends below the frame (the last one).
    bool newLine()
    {
        ++mLine;
        mX = mLineStart;
        return lineBottom() <= mFrame.bottom();
    }

    bool reaches(qreal width) const { return mX + width >= right() && mX > mLineStart; }

    void multiLine(const QStringList &pieces)
    {
        for (qsizetype p = 0; p < pieces.size(); ++p) {
            const QString &piece = pieces[p];
            const QSizeF image = mMetrics.imageSize(piece);
            if (!image.isEmpty()) {
                const bool inFrame = !reaches(image.width()) || newLine();
                placeImage(piece, image);
                if (!inFrame) {
                    mResult.cut = true;
                    return;
                }
                continue;
            }
            // Text breaks between words where it can (a word that fits on a
            // line of its own moves there whole) and between characters
            // inside a word too long for any line.
            const QList<qsizetype> bounds = KCCharacterBoundaries(piece);
            const QList<qsizetype> breaks = lineBreaks(piece);
            qsizetype nextBreak = 0;
            for (qsizetype c = 0; c + 1 < bounds.size(); ++c) {
                if (nextBreak < breaks.size() && breaks[nextBreak] == bounds[c]) {
                    const qsizetype end = nextBreak + 1 < breaks.size() ? breaks[nextBreak + 1] : piece.size();
                    ++nextBreak;
                    const qreal word = mMetrics.textWidth(visiblePart(piece.mid(bounds[c], end - bounds[c])));
                    if (reaches(word) && mLineStart + word < right() && !newLine()) {
                        placeText(piece.mid(bounds[c], end - bounds[c]).trimmed(), word);
                        mResult.cut = true;
                        return;
                    }
                }
                const QString character = piece.mid(bounds[c], bounds[c + 1] - bounds[c]);
                if (mOptions.allowEnter && character == QLatin1String("\n")) {
                    if (!newLine()) {
                        mResult.cut = c + 2 < bounds.size() || anythingAfter(pieces, p);
                        return;
                    }
                    continue;
                }
                const qreal width = mMetrics.textWidth(character);
                // A blank at the end of a line is not carried to the next.
                if (character == QLatin1String(" ") && reaches(width))
                    continue;
                const bool inFrame = !reaches(width) || newLine();
                placeText(character, width);
                if (!inFrame) {
                    mResult.cut = true;
                    return;
                }
            }
        }
    }

    // Where a line may break inside a text: the starts of its words. A run
    // of Hangul without blanks is one word, as Korean is written with
    // blanks between words; it breaks between syllables only when it is
    // longer than a line.
    static QList<qsizetype> lineBreaks(const QString &text)
    {
        QList<qsizetype> breaks{0};
        QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
        for (qsizetype at = finder.toNextBoundary(); at > 0 && at < text.size(); at = finder.toNextBoundary()) {
            if (!(isHangul(text.at(at - 1)) && isHangul(text.at(at))))
                breaks << at;
        }
        return breaks;
    }

    static bool isHangul(QChar c)
    {
        const char16_t u = c.unicode();
        return (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x1100 && u <= 0x11FF) || (u >= 0x3130 && u <= 0x318F);
    }

    // A word without the blanks and line feed after it, which may hang past
    // the line's end.
    static QString visiblePart(const QString &word)
    {
        qsizetype end = word.size();
        while (end > 0 && word.at(end - 1).isSpace())
            --end;
        return word.left(end);
    }

    static bool anythingAfter(const QStringList &pieces, qsizetype index)
    {
        for (qsizetype i = index + 1; i < pieces.size(); ++i) {
            if (!pieces[i].isEmpty())
                return true;
        }
        return false;
    }

    QRectF mFrame;
    const KCEmoticonLayoutOptions &mOptions;
    const KCEmoticonLayoutMetrics &mMetrics;
    qreal mLineStart;
    qreal mX;
    int mLine = 0;
    KCEmoticonLayout mResult;
};

} // namespace

QList<qsizetype> KCCharacterBoundaries(const QString &text)
{
    QList<qsizetype> bounds{0};
    if (text.isEmpty())
        return bounds;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        bounds << at;
    if (bounds.last() != text.size())
        bounds << text.size();
    return bounds;
}

KCEmoticonLayout KCLayoutEmoticonPieces(const QStringList &pieces, const QRectF &frame,
                                        const KCEmoticonLayoutOptions &options,
                                        const KCEmoticonLayoutMetrics &metrics)
{
    return Layout(frame, options, metrics).run(pieces);
}
