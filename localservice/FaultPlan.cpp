#include "FaultPlan.h"

#include <QRegularExpression>

namespace localservice {

const QStringList &FaultPlan::bodyReplyWords()
{
    static const QStringList words{QStringLiteral("NCPT"), QStringLiteral("LIN4"),
                                   QStringLiteral("CONF")};
    return words;
}

QByteArray FaultPlan::garbageLines()
{
    return QByteArray("\xff\xfe\xfd garbage\r\n"
                      "ZZZZ 1 not a command\r\n"
                      "\r\n"
                      "list 1\r\n"
                      "PVER\r\n");
}

QString FaultPlan::add(const QString &rules)
{
    static const QRegularExpression word(QStringLiteral("^[A-Z0-9]{4}$"));
    FaultPlan next = *this;
    const QStringList parts = rules.split(QLatin1Char(','));
    for (const QString &raw : parts) {
        const QString rule = raw.trimmed();
        if (rule == QLatin1String("trickle")) {
            next.mTrickle = true;
            continue;
        }
        const qsizetype colon = rule.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            return QStringLiteral("fault \"%1\": expected KIND:COMMAND or trickle").arg(rule);
        const QString kind = rule.left(colon);
        const QString command = rule.mid(colon + 1);
        if (!word.match(command).hasMatch())
            return QStringLiteral("fault \"%1\": \"%2\" is not a four-letter command word")
                .arg(rule, command);
        if (kind == QLatin1String("drop"))
            next.mDrop.insert(command);
        else if (kind == QLatin1String("silent"))
            next.mSilent.insert(command);
        else if (kind == QLatin1String("garbage"))
            next.mGarbage.insert(command);
        else if (kind == QLatin1String("oversize")) {
            if (!bodyReplyWords().contains(command))
                return QStringLiteral("fault \"%1\": only the answers to %2 carry a body")
                    .arg(rule, bodyReplyWords().join(QLatin1String(", ")));
            next.mOversize.insert(command);
        } else
            return QStringLiteral("fault \"%1\": unknown kind \"%2\" (drop, silent, garbage, "
                                  "oversize, trickle)")
                .arg(rule, kind);
    }
    *this = next;
    return {};
}

FaultPlan::Action FaultPlan::actionFor(const QString &word) const
{
    if (mDrop.contains(word))
        return Action::Drop;
    if (mSilent.contains(word))
        return Action::Silent;
    if (mGarbage.contains(word))
        return Action::Garbage;
    if (mOversize.contains(word))
        return Action::Oversize;
    return Action::None;
}

bool FaultPlan::isEmpty() const
{
    return !mTrickle && mDrop.isEmpty() && mSilent.isEmpty() && mGarbage.isEmpty()
        && mOversize.isEmpty();
}

} // namespace localservice
