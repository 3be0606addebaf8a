#include "PGHDisplayFormat.h"

namespace pigeonhole {

QString PGHDisplayFormat::date(const QDateTime &date)
{
    return date.isValid() ? date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QString PGHDisplayFormat::size(const QVariant &size)
{
    if (!size.isValid() || size.isNull())
        return QString();
    return QStringLiteral("%1 Kb").arg(size.toString());
}

} // namespace pigeonhole
