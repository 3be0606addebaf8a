#include "KCParleyCellLayout.h"

#include <cmath>

namespace parley {

namespace {

// The spacing of the row: icon to text 3, text to the end 8; the memo button
// ends 2 before the home button, which ends 10 before the row's end.
constexpr int kIconTextGap = 3;
constexpr int kTextEndMargin = 8;
constexpr int kButtonGap = 2;
constexpr int kRightMargin = 10;

int centred(int top, int height, int inner) { return top + (height - inner) / 2; }

// As many of three dots as fit after `from` (at least one).
int dotsThatFit(qreal from, qreal x0, qreal W, int d)
{
    for (int n = 3; n > 1; --n) {
        if (from + n * d - x0 < W)
            return n;
    }
    return 1;
}

void appendDots(KCLineLayout &layout, qreal from, int count, int d)
{
    for (int i = 0; i < count; ++i)
        layout.ops.append({KCLineOp::Dot, from + i * d, -1, QStringLiteral(".")});
    layout.endX = from + count * d;
    layout.cut = true;
}

// Two characters off the end; a character made of two units goes whole.
void chopTwo(QString &text)
{
    text.chop(2);
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
}

} // namespace

KCParleyCellGeometry KCParleyCellLayout(const QRect &cell, const KCParleyCellImageSizes &sizes, int leftMargin,
                                        bool showButtons)
{
    const int x = cell.x();
    const int y = cell.y();
    const int w = cell.width();
    const int h = cell.height();
    KCParleyCellGeometry g;
    g.iconRect = QRect(x + leftMargin, centred(y, h, sizes.icon.height()), sizes.icon.width(), sizes.icon.height());
    const int textWidth = w - sizes.icon.width() - kTextEndMargin
                        - (sizes.talk.width() + sizes.orchard.width() + kRightMargin + kButtonGap);
    g.textRect = QRect(x + leftMargin + sizes.icon.width() + kIconTextGap, y, std::max(0, textWidth), h);
    g.orchardX = x + w - sizes.orchard.width() - kRightMargin;
    g.talkX = g.orchardX - kButtonGap - sizes.talk.width();
    if (showButtons) {
        g.talkRect = QRect(g.talkX, y, sizes.talk.width(), h);
        g.orchardRect = QRect(g.orchardX, y, sizes.orchard.width(), h);
    }
    return g;
}

KCLineLayout KCLayoutEmoticonLine(const QList<KCLinePiece> &pieces, qreal x0, qreal W,
                                  const std::function<qreal(const QString &)> &textWidth, int dotWidth)
{
    KCLineLayout layout;
    const int d = dotWidth;
    qreal p = x0;
    layout.endX = x0;
    for (int i = 0; i < pieces.size(); ++i) {
        const KCLinePiece &piece = pieces.at(i);
        if (piece.isImage()) {
            const int imageWidth = piece.imageSize.width();
            if (std::trunc(p + imageWidth) + d - x0 < W) {
                layout.ops.append({KCLineOp::Image, p, i, piece.text});
                p += imageWidth;
                layout.endX = p;
                continue;
            }
            appendDots(layout, p, dotsThatFit(p, x0, W, d), d);
            return layout;
        }
        QString text = piece.text;
        qreal t = textWidth(text);
        bool shortened = false;
        while (p + t + d - x0 >= W && text.size() > 1) {
            chopTwo(text);
            t = textWidth(text);
            shortened = true;
        }
        layout.ops.append({KCLineOp::Text, p, i, text});
        if (!shortened) {
            p += t;
            layout.endX = p;
            continue;
        }
        appendDots(layout, p + t, dotsThatFit(p + t, x0, W, d), d);
        return layout;
    }
    return layout;
}

} // namespace parley
