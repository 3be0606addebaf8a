#pragma once

// Lays out a text's pieces (EmoticonManager::emoticonParsingWithString) as a
// label draws them: tokens with an image as that image, everything else as
// text, on one line ending in dots when it does not fit, or over several
// lines. A pure function: the font and the images are reached only through
// the metrics given, so the emoticon label and the buddy-list row cell share
// it and tests drive it with a fixed metric.
//
// Geometry (y grows downwards; `frame` is the rectangle to fill):
// - Lines are 16 high; line k spans top + 3 + 16k to top + 19 + 16k, and
//   starts at frame.left() + leftMargin. Text and images sit on the line's
//   bottom edge (an image is placed with its bottom there).
// - One line: an image, or a whole text piece, is placed when its right edge
//   plus the width of "." stays left of frame.right(); a text piece that does
//   not fit is shortened two characters at a time (whole characters: a
//   surrogate pair or a syllable with combining marks is never split) until
//   it does, placed, and followed by three dots (two, one when fewer fit,
//   never none); an image that does not fit is replaced by the dots. The
//   layout then ends, cut.
// - Several lines: text goes character by character; a line feed starts a
//   new line when allowEnter is set (else it is measured as any character);
//   a character or image that would reach frame.right() moves to a new line
//   first, unless it already starts its line. When a new line would end
//   below the frame, it is the last: what moved there is still placed,
//   nothing after it, and the layout is cut.
// - displaySize: (final x + leftMargin + 5, 19 + 16 x the last line's index),
//   so an empty text gives frame.left() + 2 x leftMargin + 5 by 19.

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

struct KCEmoticonLayoutOptions {
    bool multiLine = false;
    bool allowEnter = true;
    qreal leftMargin = 0;
};

struct KCEmoticonLayoutMetrics {
    // The advance of a text in the label's font.
    std::function<qreal(const QString &text)> textWidth;
    // The size of the piece's image when it is a token with an image that can
    // be drawn; an empty size for every other piece (drawn as text).
    std::function<QSizeF(const QString &piece)> imageSize;
};

struct KCEmoticonLayoutItem {
    enum class Kind { Text, Image, Ellipsis };
    Kind kind = Kind::Text;
    // The text, the image's token, or the dots ("...", "..", ".").
    QString text;
    // Text and dots: the line box from x to x + advance; an image: its own
    // rectangle. A dot of an ellipsis is drawn at rect.left() + i x dotWidth.
    QRectF rect;
    int line = 0;
    bool operator==(const KCEmoticonLayoutItem &) const = default;
};

struct KCEmoticonLayout {
    QList<KCEmoticonLayoutItem> items;
    QSizeF displaySize;
    bool cut = false;   // the text did not fit
    qreal dotWidth = 0; // the width of "." the dots were placed with
};

inline constexpr qreal kKCEmoticonLineHeight = 16;

KCEmoticonLayout KCLayoutEmoticonPieces(const QStringList &pieces, const QRectF &frame,
                                        const KCEmoticonLayoutOptions &options,
                                        const KCEmoticonLayoutMetrics &metrics);

// The boundaries of the text's characters as a reader sees them (grapheme
// clusters): 0, ..., text.size().
QList<qsizetype> KCCharacterBoundaries(const QString &text);
