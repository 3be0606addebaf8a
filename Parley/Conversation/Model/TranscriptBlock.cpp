#include "TranscriptBlock.h"

#include <QRegularExpression>

TranscriptBlock TranscriptBlock::fromFragment(const QString &fragment, const QString &pictureMarker)
{
    static const QRegularExpression spacerAbove(QStringLiteral(R"RE(\A<TABLE BORDER=0><TR HEIGHT=(\d{1,3})></TR></TABLE>)RE"));
    static const QRegularExpression indentOpen(QStringLiteral(R"RE(\A<TABLE BORDER=0><TR><TD WIDTH=(\d{1,3})></TD><TD>)RE"));
    static const QRegularExpression spacerBelow(QStringLiteral(
        R"RE((?:<TABLE><TR HEIGHT=(\d{1,3})></TR></TABLE>|<TABLE BORDER=0><TR HEIGHT=(\d{1,3})><TD></TD></TR></TABLE>)\z)RE"));
    static const QLatin1String indentClose("</TD></TR></TABLE>");

    TranscriptBlock block;
    QString html = fragment;
    if (const QRegularExpressionMatch match = spacerAbove.match(html); match.hasMatch()) {
        block.spaceBefore = match.captured(1).toInt();
        html.remove(0, match.capturedLength(0));
    }
    if (const QRegularExpressionMatch match = spacerBelow.match(html); match.hasMatch()) {
        block.spaceAfter = (match.capturedLength(1) > 0 ? match.captured(1) : match.captured(2)).toInt();
        html.chop(match.capturedLength(0));
    }
    if (const QRegularExpressionMatch match = indentOpen.match(html); match.hasMatch() && html.endsWith(indentClose)) {
        block.indent = match.captured(1).toInt();
        html = html.mid(match.capturedLength(0), html.size() - match.capturedLength(0) - indentClose.size());
    }
    if (!pictureMarker.isEmpty()) {
        // Only the transcript writes "<IMG": text in a fragment is escaped.
        static const QRegularExpression picture(QStringLiteral(R"RE(<IMG SRC="(file://[^"<>]*)">)RE"));
        const QString placeholder = QStringLiteral("<span style=\"font-family:'%1'\">&#xFFFC;</span>").arg(pictureMarker);
        QString out;
        qsizetype from = 0;
        for (auto it = picture.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            out += QStringView(html).mid(from, match.capturedStart(0) - from);
            out += placeholder;
            QString name = match.captured(1);
            name.replace(QLatin1String("&quot;"), QLatin1String("\""))
                .replace(QLatin1String("&lt;"), QLatin1String("<"))
                .replace(QLatin1String("&gt;"), QLatin1String(">"))
                .replace(QLatin1String("&amp;"), QLatin1String("&"));
            block.pictures << name;
            from = match.capturedEnd(0);
        }
        out += QStringView(html).mid(from);
        html = out;
    }
    block.html = html;
    return block;
}
