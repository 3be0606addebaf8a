#include "PLWarningMarkup.h"

#include "Utils/ParleyStringAdditions.h"

#include <QHash>
#include <QRegularExpression>

namespace parley::PLWarningMarkup {

namespace {

QString escaped(QStringView text) { return escapedHTML(text); }

// The value of one attribute of a tag's inside, or null.
QString attribute(const QString &inside, const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"re(([A-Za-z-]+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    for (auto it = pattern.globalMatch(inside); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        for (int group = 2; group <= 4; ++group)
            if (m.capturedStart(group) >= 0)
                return m.captured(group);
    }
    return {};
}

// The tag kept for `<inside>`, or null when it is not one we keep.
QString keptTag(const QString &inside, QHash<QString, int> &open)
{
    static const QRegularExpression shape(QStringLiteral(R"(^(/?)([A-Za-z]+)(\s[^>]*?)?\s*/?$)"));
    const QRegularExpressionMatch m = shape.match(inside);
    if (!m.hasMatch())
        return {};
    const bool closing = !m.captured(1).isEmpty();
    const QString name = m.captured(2).toLower();
    const QString rest = m.captured(3);
    if (name == QLatin1String("br"))
        return closing ? QString() : QStringLiteral("<br>");
    if (name != QLatin1String("b") && name != QLatin1String("i") && name != QLatin1String("u")
        && name != QLatin1String("font") && name != QLatin1String("a"))
        return {};
    if (closing) {
        if (open.value(name) <= 0)
            return {};
        --open[name];
        return QStringLiteral("</") + name + QLatin1Char('>');
    }
    QString tag;
    if (name == QLatin1String("font")) {
        static const QRegularExpression color(QStringLiteral(R"(^(#[0-9A-Fa-f]{3}|#[0-9A-Fa-f]{6}|[A-Za-z]{1,20})$)"));
        const QString value = attribute(rest, QStringLiteral("color"));
        tag = color.match(value).hasMatch() ? QStringLiteral("<font color=\"") + value + QStringLiteral("\">")
                                            : QStringLiteral("<font>");
    } else if (name == QLatin1String("a")) {
        const QString href = attribute(rest, QStringLiteral("href")).trimmed();
        if (!href.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
            && !href.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
            return {};
        tag = QStringLiteral("<a href=\"") + escaped(href) + QStringLiteral("\">");
    } else {
        tag = QLatin1Char('<') + name + QLatin1Char('>');
    }
    ++open[name];
    return tag;
}

} // namespace

QString sanitize(const QString &serverText)
{
    static const QRegularExpression reference(QStringLiteral(R"(&(?:[A-Za-z][A-Za-z0-9]{1,31}|#[0-9]{1,7}|#[xX][0-9A-Fa-f]{1,6});)"));
    QHash<QString, int> open;
    QString out;
    out.reserve(serverText.size());
    for (qsizetype i = 0; i < serverText.size(); ++i) {
        const QChar c = serverText.at(i);
        if (c == QLatin1Char('<')) {
            const qsizetype end = serverText.indexOf(QLatin1Char('>'), i + 1);
            if (end > i) {
                const QString kept = keptTag(serverText.mid(i + 1, end - i - 1), open);
                if (!kept.isNull()) {
                    out += kept;
                    i = end;
                    continue;
                }
            }
        } else if (c == QLatin1Char('&')) {
            const QRegularExpressionMatch m = reference.match(serverText, i, QRegularExpression::NormalMatch,
                                                              QRegularExpression::AnchorAtOffsetMatchOption);
            if (m.hasMatch()) {
                out += m.captured(0);
                i += m.capturedLength(0) - 1;
                continue;
            }
        }
        out += escaped(QStringView(&c, 1));
    }
    // Tags left open end with the warning.
    for (const char *name : {"a", "font", "u", "i", "b"})
        for (int n = open.value(QLatin1String(name)); n > 0; --n)
            out += QStringLiteral("</") + QLatin1String(name) + QLatin1Char('>');
    return out;
}

} // namespace parley::PLWarningMarkup
