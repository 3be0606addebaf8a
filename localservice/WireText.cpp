#include "WireText.h"

namespace localservice {

namespace {

struct Escape {
    QChar ch;
    const char *wire;
};

// Decoding order matters: "%25" must come last (see wireUnescape).
constexpr Escape kDecodeOrder[] = {
    {QChar(' '), "%20"}, {QChar('\r'), "%0D"}, {QChar('\n'), "%0A"},
    {QChar(), "%00"},    {QChar('\t'), "%09"}, {QChar('%'), "%25"},
};

} // namespace

QString wireEscape(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("%00");
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '%': out += QLatin1String("%25"); break;
        case ' ': out += QLatin1String("%20"); break;
        case '\r': out += QLatin1String("%0D"); break;
        case '\n': out += QLatin1String("%0A"); break;
        case '\t': out += QLatin1String("%09"); break;
        default: out += c;
        }
    }
    return out;
}

QString wireUnescape(const QString &field)
{
    QString text = field;
    for (const Escape &e : kDecodeOrder) {
        const QLatin1String wire(e.wire);
        text.replace(wire, e.ch.isNull() ? QString() : QString(e.ch));
    }
    return text;
}

QStringList wireSplit(const QString &line)
{
    return line.split(QLatin1Char(' '), Qt::KeepEmptyParts);
}

QByteArray wireLine(const QString &word, qint64 tid, const QStringList &params)
{
    QString line = word + QLatin1Char(' ') + QString::number(tid);
    for (const QString &p : params)
        line += QLatin1Char(' ') + wireEscape(p);
    line += QLatin1String("\r\n");
    return line.toUtf8();
}

} // namespace localservice
