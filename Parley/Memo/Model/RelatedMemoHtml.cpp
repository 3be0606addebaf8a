#include "RelatedMemoHtml.h"

#include "ReceivedMemo.h"
#include "Utils/ParleyStringAdditions.h"

namespace {

QString attribute(const QString &text) { return text.toHtmlEscaped(); }

} // namespace

QString RelatedMemoHtml::font(const QString &html, int color) const
{
    return QStringLiteral("<FONT FACE=\"%1\" COLOR=\"#%2\" SIZE=\"3\"><a>%3</a></FONT>")
        .arg(attribute(mFontFace), QStringLiteral("%1").arg(color, 6, 16, QLatin1Char('0')).toUpper(), html);
}

QString RelatedMemoHtml::separator() const
{
    return QStringLiteral("<center><IMG SRC=\"%1\" width=\"80%\" height=\"1\"></center>").arg(attribute(mImages.line));
}

QString RelatedMemoHtml::receiverNames(const QString &joinedIDs) const
{
    QString names;
    for (const QString &id : joinedIDs.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString name = mNames.nameForID(id);
        if (name.isNull() && id == mNames.myLoginID())
            name = mNames.myName();
        if (!name.isNull())
            names += name + QStringLiteral(", ");
    }
    return names;
}

QString RelatedMemoHtml::heading(const RelatedMemoEntry &entry) const
{
    // Names and the date are the server's text.
    return QStringLiteral("%1 (%2)<P>%3")
        .arg(mNames.nameForID(entry.senderID).toHtmlEscaped(), ReceivedMemo::formatStamp(entry.date).toHtmlEscaped(),
             receiverNames(entry.receiverIDs).toHtmlEscaped());
}

QString RelatedMemoHtml::html(const QList<RelatedMemoEntry> &entries) const
{
    QString out;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const RelatedMemoEntry &entry = entries.at(i);
        if (i > 0)
            out += separator();
        const QString icon =
            QStringLiteral("<IMG SRC=\"%1\">").arg(attribute(entry.isSent() ? mImages.sent : mImages.received));
        const QString body = mConvert ? mConvert(parley::stringByParleyDecoding(entry.text))
                                      : parley::stringByParleyDecoding(entry.text).toHtmlEscaped();
        out += QStringLiteral("<TABLE BORDER=0><TR><TD WIDTH=8>%1</TD><TD>%2</TD></TR><TR><TD WIDTH=8></TD><TD>%3</TD>"
                              "</TR></TABLE><TABLE><TR HEIGHT=3></TR></TABLE>")
                   .arg(icon, font(heading(entry), 0x878787), font(body, 0x000000));
    }
    return out;
}
