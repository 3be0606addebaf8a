#pragma once

// How dates and sizes read in the lists and detail panes.

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace pigeonhole {

class PGHDisplayFormat
{
public:
    // Local time, "yyyy-MM-dd HH:mm"; empty for no date.
    static QString date(const QDateTime &date);
    // "<size> Kb"; empty for no size.
    static QString size(const QVariant &size);
};

} // namespace pigeonhole
