#include "MemoReceivers.h"


QString MemoReceivers::receiverBuddiesString(const QStringList &ids, const BuddyName &buddyName)
{
    QString text;
    for (const QString &id : ids) {
        const QString name = buddyName ? buddyName(id) : QString();
        if (name.isNull()) {
            text += QStringLiteral("<%1>;").arg(id);
        } else {
            // A quote inside the name would end the quoted stretch early and
            // take the ID with it when the field is read back.
            QString shown = name;
            shown.replace(QLatin1Char('"'), QLatin1Char('\''));
            text += QStringLiteral("\"%1\"<%2>;").arg(shown, id);
        }
    }
    return text;
}

QString MemoReceivers::removeNameTag(const QString &text)
{
    QString s = text;
    s.replace(QLatin1Char(' '), QLatin1Char(';'));
    qsizetype open = -1;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) != QLatin1Char('"'))
            continue;
        if (open < 0) {
            open = i;
        } else {
            for (qsizetype j = open; j <= i; ++j)
                s[j] = QLatin1Char(' ');
            open = -1;
        }
    }
    s.remove(QLatin1Char(' '));
    s.replace(QLatin1Char(';'), QLatin1Char(' '));
    return s;
}

QStringList MemoReceivers::tokenizeTargetIDs(const QString &fieldText)
{
    QStringList ids;
    const QStringList pieces = removeNameTag(fieldText).split(QLatin1Char(' '));
    for (QString piece : pieces) {
        piece.remove(QLatin1Char('<'));
        piece.remove(QLatin1Char('>'));
        if (isValidateID(piece) && !ids.contains(piece))
            ids.append(piece);
    }
    return ids;
}

bool MemoReceivers::isValidateID(const QString &text)
{
    return text.contains(QLatin1Char('@')) && text.contains(QLatin1Char('.'));
}

QString MemoReceivers::replaceString(const QString &text, const QString &original, const QString &replacement)
{
    if (original.isEmpty())
        return text;
    const QChar target = original.at(0);
    QString result = text;
    for (qsizetype i = result.size() - 1; i >= 0; --i) {
        if (result.at(i) == target)
            result.replace(i, 1, replacement);
    }
    return result;
}

QStringList MemoReceivers::dragIDList(const QStringList &droppedIDs)
{
    QStringList ids;
    for (const QString &id : droppedIDs) {
        if (!id.isEmpty() && !ids.contains(id))
            ids.append(id);
    }
    return ids;
}

QStringList MemoReceivers::mergeDropped(const QStringList &current, const QStringList &dropped)
{
    QStringList merged = current;
    for (const QString &id : dropped) {
        if (!merged.contains(id))
            merged.append(id);
    }
    return merged;
}
