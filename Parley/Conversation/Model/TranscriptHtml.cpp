#include "TranscriptHtml.h"

#include "EmoticonLookup.h"
#include "MessageLinkifier.h"
#include "Utils/ParleyStringAdditions.h"

#include <QRegularExpression>

#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr char kLinkOpen[] = "<link href=";
constexpr char kLinkClose[] = "</link>";
// A text holding a service link is cut into segments only beyond this length.
constexpr qsizetype kShortestLinkedText = 18;

// The one shape a service link is taken in; its target must be a web or a
// bridge address. Anything else in a link segment is shown as typed.
bool linkSegmentHtml(const QString &segment, QString *html)
{
    static const QRegularExpression shape(QStringLiteral(R"RE(\A<link href="([^"<>]*)">(.*)</link>\z)RE"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression target(QStringLiteral(R"(\A(https?|bridge)://\S)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(segment);
    if (!match.hasMatch() || !target.match(match.captured(1)).hasMatch())
        return false;
    *html = QStringLiteral("<a href=\"") + TranscriptHtml::escapeHtml(match.captured(1))
            + QStringLiteral("\" target='_blank'>") + TranscriptHtml::escapeText(match.captured(2))
            + QStringLiteral("</a>");
    return true;
}

// Links are found on the raw text; then the text between them is escaped
// (entities, line breaks, hard spaces), and each link's target and text.
QString plainSegmentHtml(const QString &text)
{
    const QList<MessageLink> links = MessageLinkifier::findLinks(text);
    if (links.isEmpty())
        return TranscriptHtml::escapeText(text);
    QString out;
    out.reserve(text.size() * 2 + links.size() * 48);
    qsizetype from = 0;
    for (const MessageLink &link : links) {
        out += TranscriptHtml::escapeText(text.mid(from, link.start - from));
        const QString shown = TranscriptHtml::escapeHtml(text.mid(link.start, link.length));
        if (link.mail)
            out += QStringLiteral("<a href=\"mailto:") + shown + QStringLiteral("\">");
        else
            out += QStringLiteral("<a href=\"") + shown + QStringLiteral("\" target=\"_blank\">");
        out += shown + QStringLiteral("</a>");
        from = link.start + link.length;
    }
    out += TranscriptHtml::escapeText(text.mid(from));
    return out;
}

bool startsAt(const QByteArray &bytes, qsizetype at, const char *marker, qsizetype length)
{
    return bytes.size() - at >= length && std::memcmp(bytes.constData() + at, marker, size_t(length)) == 0;
}

// Cuts a text into plain and link segments on its UTF-8 bytes: a link runs
// from "<link href=" through the next "</link>"; a second opening before the
// close turns the first one's text into plain text, and a close without an
// opening is plain text.
std::vector<std::pair<bool, QString>> segments(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    const qsizetype openLength = qsizetype(sizeof kLinkOpen - 1);
    const qsizetype closeLength = qsizetype(sizeof kLinkClose - 1);
    std::vector<std::pair<bool, QString>> out;
    qsizetype segmentStart = 0;
    bool linkOpen = false;
    qsizetype at = 0;
    while (bytes.size() - at >= closeLength) {
        if (startsAt(bytes, at, kLinkOpen, openLength)) {
            if (at > segmentStart)
                out.emplace_back(false, QString::fromUtf8(bytes.constData() + segmentStart, at - segmentStart));
            segmentStart = at;
            linkOpen = true;
            at += openLength;
        } else if (linkOpen && startsAt(bytes, at, kLinkClose, closeLength)) {
            at += closeLength;
            out.emplace_back(true, QString::fromUtf8(bytes.constData() + segmentStart, at - segmentStart));
            segmentStart = at;
            linkOpen = false;
        } else {
            ++at;
        }
    }
    if (segmentStart < bytes.size())
        out.emplace_back(linkOpen,
                         QString::fromUtf8(bytes.constData() + segmentStart, bytes.size() - segmentStart));
    return out;
}

// A fragment cut into markup (tags, which are never searched for tokens) and text.
struct Run
{
    QString text;
    bool markup = false;
};

std::vector<Run> runsOf(const QString &html)
{
    std::vector<Run> runs;
    qsizetype from = 0;
    while (from < html.size()) {
        const qsizetype open = html.indexOf(QLatin1Char('<'), from);
        if (open < 0) {
            runs.push_back({html.mid(from), false});
            break;
        }
        if (open > from)
            runs.push_back({html.mid(from, open - from), false});
        qsizetype close = html.indexOf(QLatin1Char('>'), open);
        close = close < 0 ? html.size() : close + 1;
        runs.push_back({html.mid(open, close - open), true});
        from = close;
    }
    return runs;
}

// The format with "%1" and "%2" filled by concatenation, so that nothing
// inserted is searched for the next placeholder.
QString wrapped(const char *format, const QString &first, const QString &second = QString())
{
    const QString text = QString::fromLatin1(format);
    QString out;
    out.reserve(text.size() + first.size() + second.size());
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(QLatin1Char('%')); at >= 0; at = text.indexOf(QLatin1Char('%'), from)) {
        out += QStringView(text).mid(from, at - from);
        out += text.at(at + 1) == QLatin1Char('1') ? first : second;
        from = at + 2;
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace

QString TranscriptHtml::replaceMessage(const QString &text, const QString &source, const QString &toText)
{
    if (source.isEmpty())
        return text;
    return QString(text).replace(source, toText, Qt::CaseSensitive);
}

QString TranscriptHtml::escapeText(const QString &text)
{
    // Entity names typed as text stay text; then the markup characters, the
    // line ends and the blanks.
    static const std::pair<const char *, const char *> kSteps[] = {
        {"&amp", "&amp;amp"}, {"&lt", "&amp;lt"}, {"&gt", "&amp;gt"}, {"&nbsp", "&amp;nbsp"},
        {"<", "&lt;"},        {">", "&gt;"},      {"\r\n", "\n"},     {"\r", "\n"},
        {"\n", "<br>"},       {" ", "&nbsp;"},
    };
    QString out = text;
    for (const auto &[source, replacement] : kSteps)
        out = replaceMessage(out, QLatin1String(source), QLatin1String(replacement));
    return out;
}

QString TranscriptHtml::escapeHtml(const QString &text) { return text.toHtmlEscaped(); }

QString TranscriptHtml::convertMessage(const QString &text)
{
    if (!(text.size() > kShortestLinkedText && text.contains(QLatin1String(kLinkOpen))))
        return plainSegmentHtml(text);
    QString out;
    for (const auto &[link, segment] : segments(text)) {
        QString html;
        out += link && linkSegmentHtml(segment, &html) ? html : plainSegmentHtml(segment);
    }
    return out;
}

QString TranscriptHtml::emoticonStringForString(const QString &html, const EmoticonLookup *lookup)
{
    // Every token is a name between two slashes.
    if (!lookup || html.count(QLatin1Char('/')) < 2)
        return html;
    const QStringList tokens = lookup->emoticonTokens();
    if (tokens.isEmpty())
        return html;

    std::vector<Run> runs = runsOf(html);
    bool changed = false;
    for (const QString &token : tokens) {
        if (token.isEmpty())
            continue;
        QString picture;
        bool looked = false;
        std::vector<Run> next;
        next.reserve(runs.size());
        for (Run &run : runs) {
            qsizetype hit = run.markup ? -1 : run.text.indexOf(token);
            if (hit >= 0 && !looked) {
                looked = true;
                const QString path = lookup->imagePathForToken(token);
                if (!path.isEmpty())
                    picture = imageSrcHtmlForPath(path);
            }
            if (hit < 0 || picture.isEmpty()) {
                next.push_back(std::move(run));
                continue;
            }
            qsizetype from = 0;
            for (; hit >= 0; hit = run.text.indexOf(token, from)) {
                if (hit > from)
                    next.push_back({run.text.mid(from, hit - from), false});
                next.push_back({picture, true});
                from = hit + token.size();
            }
            if (from < run.text.size())
                next.push_back({run.text.mid(from), false});
            changed = true;
        }
        runs = std::move(next);
    }
    if (!changed)
        return html;
    QString out;
    out.reserve(html.size() + 64);
    for (const Run &run : runs)
        out += run.text;
    return out;
}

int TranscriptHtml::htmlColor(const QString &colorString)
{
    const qint32 value = parley::plIntValue(colorString);
    return ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
}

QString TranscriptHtml::fontMarkup(const QString &html, const QString &fontName, const QString &colorString)
{
    return QStringLiteral("<FONT FACE=\"%1\" COLOR=\"#%2\" SIZE=\"3\"><a>")
               .arg(escapeHtml(fontName),
                    QStringLiteral("%1").arg(htmlColor(colorString), 6, 16, QLatin1Char('0')).toUpper())
           + html + QStringLiteral("</a></FONT>");
}

QString TranscriptHtml::chatLine(const QString &text, const QString &fontName, const QString &colorString,
                                 bool isMessage, const EmoticonLookup *lookup)
{
    const QString markup = fontMarkup(emoticonStringForString(convertMessage(text), lookup), fontName, colorString);
    if (!isMessage)
        return markup;
    return wrapped("<TABLE BORDER=0><TR><TD WIDTH=8></TD><TD>%1</TD></TR></TABLE><TABLE><TR HEIGHT=3></TR></TABLE>",
                   markup);
}

QString TranscriptHtml::systemLine(const QString &html, const EmoticonLookup *lookup)
{
    return wrapped("<TABLE BORDER=0><TR HEIGHT=3></TR></TABLE>%1<TABLE><TR HEIGHT=10></TR></TABLE>",
                   fontMarkup(emoticonStringForString(html, lookup), QLatin1String(kSystemFontName),
                              QLatin1String(kSystemColor)));
}

QString TranscriptHtml::warningLine(const QString &html, const EmoticonLookup *lookup)
{
    return wrapped("<TABLE BORDER=0><TR HEIGHT=3></TR></TABLE>%1<TABLE><TR HEIGHT=10></TR></TABLE>",
                   fontMarkup(emoticonStringForString(html, lookup), QLatin1String(kSystemFontName),
                              QLatin1String(kWarningColor)));
}

QString TranscriptHtml::fileMessageLine(const QString &html, int fileType, const QString &resourceFolder,
                                        const EmoticonLookup *lookup)
{
    return wrapped("<TABLE BORDER=0><TR HEIGHT=3></TR></TABLE>%1%2<TABLE><TR HEIGHT=10></TR></TABLE>",
                   fileImageTag(fileType, resourceFolder),
                   fontMarkup(emoticonStringForString(html, lookup), QLatin1String(kSystemFontName),
                              QLatin1String(kSystemColor)));
}

QString TranscriptHtml::fileInfoLine(const QString &html, int fileType, const QString &resourceFolder,
                                     const EmoticonLookup *lookup)
{
    return wrapped("<TABLE BORDER=0><TR HEIGHT=3></TR></TABLE>&nbsp; &nbsp; &nbsp;%1%2<TABLE><TR HEIGHT=2></TR></TABLE>",
                   fileImageTag(fileType, resourceFolder),
                   fontMarkup(emoticonStringForString(html, lookup), QLatin1String(kSystemFontName),
                              QLatin1String(kSystemColor)));
}

QString TranscriptHtml::divideLine(const QString &resourceFolder)
{
    return imageSrcHtmlForPath(resourceFolder + QStringLiteral("/fileDivide.png"))
           + QStringLiteral("<TABLE BORDER=0><TR HEIGHT=5><TD></TD></TR></TABLE>");
}

QString TranscriptHtml::animiconLine(const QStringList &pieces, const QString &imageFile, const QString &name,
                                     const QString &fontName, const QString &colorString,
                                     const EmoticonLookup *lookup)
{
    if (pieces.size() != 3)
        return {};
    QString joined;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i == 1 && !imageFile.isEmpty())
            joined += imageSrcHtmlForPath(imageFile) + QLatin1Char('(') + escapeHtml(name) + QLatin1Char(')');
        else
            joined += convertMessage(pieces[i]);
    }
    return wrapped("<TABLE BORDER=0><TR><TD WIDTH=8></TD><TD>%1</TD></TR></TABLE><TABLE><TR HEIGHT=3></TR></TABLE>",
                   fontMarkup(emoticonStringForString(joined, lookup), fontName, colorString));
}

QString TranscriptHtml::imageSrcHtmlForPath(const QString &path)
{
    return QStringLiteral("<IMG SRC=\"file://") + escapeHtml(path) + QStringLiteral("\">");
}

QString TranscriptHtml::fileImageTag(int fileType, const QString &resourceFolder)
{
    const char *name = fileType == 1 ? "fileSuccessIcon.png" : fileType == 2 ? "fileFailIcon.png" : "fileIcon.png";
    return imageSrcHtmlForPath(resourceFolder + QLatin1Char('/') + QLatin1String(name));
}
