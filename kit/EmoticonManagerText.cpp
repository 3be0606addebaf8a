// The codec half of EmoticonManager: token scan, links, and the conversions
// between plain text with tokens and rich-text fragments.
#include "EmoticonManager.h"

#include <QFileInfo>
#include <QPalette>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>

namespace {

const EmoticonManager &catalogueOr(const EmoticonManager *catalogue)
{
    return catalogue ? *catalogue : EmoticonManager::sharedManager();
}

// The word cut at its tokens: each token alone, the text between two tokens
// kept whole (so an address with slashes in it stays one part).
QStringList partsOfWord(const QString &word, const EmoticonManager &catalogue)
{
    QStringList parts;
    QString between;
    for (const QString &piece : EmoticonManager::emoticonParsingWithString(word, &catalogue)) {
        if (catalogue.isEmoticon(piece)) {
            if (!between.isEmpty())
                parts << between;
            between.clear();
            parts << piece;
        } else {
            between += piece;
        }
    }
    if (!between.isEmpty())
        parts << between;
    return parts;
}

bool holdsWebAddress(const QString &part)
{
    return part.contains(QLatin1String("http://")) || part.contains(QLatin1String("https://"))
        || part.contains(QLatin1String("www."));
}

// The part as a link target: "http://" goes in front only when the part does
// not begin with a scheme of its own ("https://a.test" stays as it is).
QString linkTarget(const QString &part)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(part).hasMatch())
        return part;
    return QStringLiteral("http://") + part;
}

// A run of the text: plain (href < 0), a link, or an emoticon image.
struct Segment {
    QString text;
    int href = -1;
    QString imagePath; // set for an image; `text` is then its token
};

QList<Segment> linkSegments(const QString &text, const EmoticonManager &catalogue, QStringList *hrefs)
{
    QList<int> hrefAt(text.size(), -1);
    QSet<QString> seen;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        for (const QString &word : line.split(QLatin1Char(' '))) {
            if (!holdsWebAddress(word))
                continue;
            for (const QString &part : partsOfWord(word, catalogue)) {
                if (catalogue.isEmoticon(part) || !holdsWebAddress(part) || seen.contains(part))
                    continue;
                seen.insert(part);
                const int index = int(hrefs->size());
                *hrefs << linkTarget(part);
                for (qsizetype at = text.indexOf(part); at >= 0; at = text.indexOf(part, at + part.size()))
                    std::fill(hrefAt.begin() + at, hrefAt.begin() + at + part.size(), index);
            }
        }
    }
    QList<Segment> segments;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = start + 1;
        while (end < text.size() && hrefAt[end] == hrefAt[start])
            ++end;
        segments << Segment{text.mid(start, end - start), hrefAt[start], {}};
        start = end;
    }
    return segments;
}

// Each known token, in catalogue order, replaced in the text runs by its
// image; a token whose image cannot be read stays text.
QList<Segment> replaceTokens(QList<Segment> segments, const QString &text, const EmoticonManager &catalogue)
{
    if (!text.contains(QLatin1Char('/')))
        return segments;
    QSet<QString> done;
    for (const QString &token : catalogue.emoticonArray()) {
        if (token.isEmpty() || done.contains(token) || !text.contains(token))
            continue;
        done.insert(token);
        const QString path = catalogue.emoticonFileNameForEmoticon(token);
        if (path.isNull() || !catalogue.emoticonImageSize(token).isValid())
            continue;
        QList<Segment> next;
        for (const Segment &segment : std::as_const(segments)) {
            if (!segment.imagePath.isNull() || !segment.text.contains(token)) {
                next << segment;
                continue;
            }
            qsizetype from = 0;
            for (qsizetype at = segment.text.indexOf(token); at >= 0; at = segment.text.indexOf(token, from)) {
                if (at > from)
                    next << Segment{segment.text.mid(from, at - from), segment.href, {}};
                next << Segment{token, -1, path};
                from = at + token.size();
            }
            if (from < segment.text.size())
                next << Segment{segment.text.mid(from), segment.href, {}};
        }
        segments = std::move(next);
    }
    return segments;
}

QTextDocumentFragment fragmentOf(const QList<Segment> &segments, const QStringList &hrefs,
                                 const QTextCharFormat &attributes)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    for (const Segment &segment : segments) {
        if (!segment.imagePath.isNull()) {
            QTextImageFormat image;
            image.merge(attributes);
            image.setName(segment.imagePath);
            image.setProperty(EmoticonManager::kTokenProperty, segment.text);
            cursor.insertImage(image);
        } else if (segment.href >= 0) {
            QTextCharFormat link = attributes;
            link.setAnchor(true);
            link.setAnchorHref(hrefs.at(segment.href));
            link.setFontUnderline(true);
            link.setForeground(QPalette().color(QPalette::Link));
            cursor.insertText(segment.text, link);
        } else {
            cursor.insertText(segment.text, attributes);
        }
    }
    return QTextDocumentFragment(&document);
}

} // namespace

QStringList EmoticonManager::emoticonParsingWithString(const QString &text, const EmoticonManager *catalogue)
{
    const EmoticonManager &emoticons = catalogueOr(catalogue);
    QStringList pieces;
    qsizetype cut = 0;
    qsizetype lastPieceStart = 0;
    bool open = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('/'))
            continue;
        if (!open) {
            pieces << text.mid(cut, i - cut);
            lastPieceStart = cut;
            cut = i;
            open = true;
            continue;
        }
        const QStringView candidate = QStringView(text).mid(cut, i - cut + 1);
        if (candidate == QLatin1String("//")) {
            // The first slash joins the text before it; this one opens the
            // next candidate.
            pieces.last() = text.mid(lastPieceStart, i - lastPieceStart);
            cut = i;
        } else if (emoticons.isEmoticon(candidate.toString())) {
            pieces << candidate.toString();
            cut = i + 1;
            open = false;
        } else {
            pieces << text.mid(cut, i - cut);
            lastPieceStart = cut;
            cut = i;
        }
    }
    if (cut < text.size())
        pieces << text.mid(cut);
    return pieces;
}

QString EmoticonManager::emoticonStringForAttributeRuns(const QTextDocument &document,
                                                        const EmoticonManager *catalogue,
                                                        const QString *otherPicture)
{
    const EmoticonManager &emoticons = catalogueOr(catalogue);
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            text += QLatin1Char('\n');
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat()) {
                QString run = fragment.text();
                run.replace(QChar::LineSeparator, QLatin1Char('\n'));
                text += run;
                continue;
            }
            // One image per character: equal images next to one another
            // share a fragment.
            const QTextImageFormat image = format.toImageFormat();
            QString token = image.stringProperty(kTokenProperty);
            if (token.isEmpty())
                token = emoticons.emoticonNameForFileName(QFileInfo(image.name()).fileName());
            if (otherPicture && !emoticons.isEmoticon(token))
                token = *otherPicture;
            for (qsizetype i = 0; i < fragment.length(); ++i)
                text += token;
        }
    }
    return text;
}

std::optional<QTextDocumentFragment>
EmoticonManager::attributedEmoticonStringWithString(const QString &text, const QTextCharFormat &attributes,
                                                    const EmoticonManager *catalogue)
{
    if (text.isNull())
        return std::nullopt;
    const EmoticonManager &emoticons = catalogueOr(catalogue);
    QStringList hrefs;
    QList<Segment> segments = linkSegments(text, emoticons, &hrefs);
    segments = replaceTokens(std::move(segments), text, emoticons);
    return fragmentOf(segments, hrefs, attributes);
}

QTextDocumentFragment EmoticonManager::emoticonFragmentWithString(const QString &text,
                                                                  const QTextCharFormat &attributes,
                                                                  const EmoticonManager *catalogue)
{
    const QList<Segment> plain{Segment{text, -1, {}}};
    return fragmentOf(text.isEmpty() ? QList<Segment>() : replaceTokens(plain, text, catalogueOr(catalogue)), {},
                      attributes);
}

QTextDocumentFragment EmoticonManager::replaceLinkUrlString(const QString &text, const QTextCharFormat &attributes,
                                                            const EmoticonManager *catalogue)
{
    QStringList hrefs;
    return fragmentOf(linkSegments(text, catalogueOr(catalogue), &hrefs), hrefs, attributes);
}

QStringList EmoticonManager::urlStringArrayFromEmoticonString(const QString &word, const EmoticonManager *catalogue)
{
    const EmoticonManager &emoticons = catalogueOr(catalogue);
    QStringList urls;
    for (const QString &part : partsOfWord(word, emoticons)) {
        if (!emoticons.isEmoticon(part) && holdsWebAddress(part))
            urls << part;
    }
    return urls;
}
