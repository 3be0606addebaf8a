#include "TranscriptDividers.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include <utility>
#include <vector>

namespace parley {

namespace {

// The image's own height (5): the line keeps it at any width.
constexpr qreal kDividerHeight = 5;

} // namespace

bool isTranscriptDivider(const QString &imageName) { return imageName.endsWith(QLatin1String("/fileDivide.png")); }

void fitTranscriptDividers(QTextDocument *document, int from, int to)
{
    const qreal page = document->textWidth() > 0 ? document->textWidth() : document->pageSize().width();
    if (!(page > 0))
        return;
    std::vector<std::pair<int, QTextImageFormat>> dividers;
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const QTextBlockFormat paragraph = block.blockFormat();
        // One pixel spare: a picture exactly as wide as the line may wrap.
        const qreal width = page - 2 * document->documentMargin() - paragraph.leftMargin()
                            - paragraph.rightMargin() - paragraph.textIndent() - 1;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            if (!image.isValid() || !isTranscriptDivider(image.name()) || qFuzzyCompare(image.width(), width))
                continue;
            image.setWidth(qMax<qreal>(1, width));
            image.setHeight(kDividerHeight);
            dividers.emplace_back(fragment.position(), image);
        }
    }
    QTextCursor cursor(document);
    for (const auto &[position, image] : dividers) {
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(image);
    }
}

} // namespace parley
