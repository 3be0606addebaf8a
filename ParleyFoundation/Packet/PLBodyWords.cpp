#include "PLBodyWords.h"

#include "Log.h"

namespace parley {

namespace {

bool splitsTheLine(const QString &value)
{
    for (const QChar c : value)
        if (c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            return true;
    return false;
}

} // namespace

PLBodyWords &PLBodyWords::marked(const QString &value, const char *field)
{
    add(value, field, true);
    return *this;
}

PLBodyWords &PLBodyWords::required(const QString &value, const char *field)
{
    add(value, field, false);
    return *this;
}

void PLBodyWords::add(const QString &value, const char *field, bool emptyIsMarked)
{
    if (!mRefusal.isNull())
        return;
    if (value.isEmpty()) {
        if (emptyIsMarked) {
            mWords.append(QStringLiteral("%00"));
            return;
        }
        mRefusal = QStringLiteral("%1 not sent: its field %2 is empty").arg(QLatin1String(mCommand), QLatin1String(field));
        return;
    }
    if (splitsTheLine(value)) {
        mRefusal = QStringLiteral("%1 not sent: its field %2 holds a space, tab or line break")
                       .arg(QLatin1String(mCommand), QLatin1String(field));
        return;
    }
    mWords.append(value);
}

QString PLBodyWords::line() const
{
    if (!mRefusal.isNull()) {
        plLog(mRefusal);
        return QString();
    }
    return mWords.join(QLatin1Char(' '));
}

} // namespace parley
