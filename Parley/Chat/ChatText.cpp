#include "ChatText.h"

#include "Utils/KCUtilities.h"

#include <QLocale>

namespace parley {

QString ChatText::fill(const QString &format, const QStringList &arguments)
{
    QString out;
    out.reserve(format.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        const QChar marker = format.at(i + 1);
        if (marker == QLatin1Char('@') || marker == QLatin1Char('d')) {
            if (next < arguments.size())
                out += arguments.at(next);
            ++next;
            ++i;
        } else if (marker >= QLatin1Char('1') && marker <= QLatin1Char('9')) {
            // Texts the notices share are Qt formats ("%1"): numbered, not in order.
            const qsizetype index = marker.unicode() - '1';
            if (index < arguments.size())
                out += arguments.at(index);
            ++i;
        } else if (marker == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString ChatText::localized(const char *key, const QStringList &arguments)
{
    return fill(KCLocalizedString(QLatin1String(key)), arguments);
}

QString ChatText::html(const QString &plain)
{
    QString out;
    out.reserve(plain.size() + plain.size() / 8);
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain.at(i);
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        case '\r':
            if (i + 1 < plain.size() && plain.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("<br>");
            break;
        case '\n': out += QLatin1String("<br>"); break;
        default: out += c;
        }
    }
    return out;
}

QString ChatText::stripMarkup(const QString &html)
{
    QString text;
    text.reserve(html.size());
    for (qsizetype i = 0; i < html.size(); ++i) {
        if (html.at(i) == QLatin1Char('<')) {
            const qsizetype end = html.indexOf(QLatin1Char('>'), i + 1);
            if (end >= 0) {
                i = end;
                continue;
            }
        }
        text += html.at(i);
    }
    // &amp; last, so that "&amp;lt;" reads back as "&lt;".
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

QString ChatText::dateString(const QDateTime &date, bool withSeconds)
{
    const QLocale locale(KCCurrentLanguage());
    const QTime time = date.time();
    const QString marker = time.hour() < 12 ? locale.amText() : locale.pmText();
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    QString text = date.date().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') + marker + QLatin1Char(' ')
        + QStringLiteral("%1:%2").arg(hour12, 2, 10, QLatin1Char('0')).arg(time.minute(), 2, 10, QLatin1Char('0'));
    if (withSeconds)
        text += QStringLiteral(":%1").arg(time.second(), 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace parley
