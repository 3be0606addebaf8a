#include "PLRawLines.h"

#include <initializer_list>

namespace parley::PLRawLines {

namespace {

bool isSafeValue(const QString &value)
{
    if (value.isEmpty())
        return false;
    for (QChar c : value) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t')
            || c == QChar(0))
            return false;
    }
    return true;
}

// The word, the tid and the items separated by single spaces, with CR LF;
// null when a value item is unsafe.
QByteArray line(const char *word, qint32 tid, std::initializer_list<QString> values,
                std::initializer_list<QString> numbers = {})
{
    QString text = QLatin1String(word) + QLatin1Char(' ') + QString::number(tid);
    for (const QString &value : values) {
        if (!isSafeValue(value))
            return QByteArray();
        text += QLatin1Char(' ') + value;
    }
    for (const QString &number : numbers)
        text += QLatin1Char(' ') + number;
    return (text + QLatin1String("\r\n")).toUtf8();
}

} // namespace

QByteArray athcRequestLine(qint32 tid, const QString &fromID, const QString &targetID, const QString &cookie,
                           qint32 port)
{
    return line("ATHC", tid, {fromID, targetID, cookie}, {QString::number(port), QStringLiteral("0")});
}

QByteArray athcRelayRequestLine(qint32 tid, const QString &fromID, const QString &targetID, const QString &cookie,
                                const QString &frCookie, qint32 port)
{
    return line("ATHC", tid, {fromID, targetID, cookie, frCookie}, {QString::number(port), QStringLiteral("0")});
}

QByteArray frinLine(qint32 tid, const QString &targetID, const QString &frCookie)
{
    return line("FRIN", tid, {targetID, frCookie});
}

QByteArray refrLine(qint32 tid, const QString &text)
{
    return line("REFR", tid, {text});
}

QByteArray rconLine(qint32 tid, const QString &host, qint32 port)
{
    return line("RCON", tid, {host}, {QString::number(port)});
}

QByteArray pongLine(qint32 tid)
{
    return line("PONG", tid, {});
}

QByteArray fileEndresLine(qint32 tid)
{
    return line("FILE", tid, {}, {QStringLiteral("ENDRES"), QStringLiteral("0")});
}

} // namespace parley::PLRawLines
