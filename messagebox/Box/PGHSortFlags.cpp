#include "PGHSortFlags.h"

namespace pigeonhole {

PGHSortFlags::PGHSortFlags(QList<std::pair<QString, bool>> initial, QString highlighted)
    : mInitial(std::move(initial))
    , mFlags(mInitial)
    , mHighlighted(std::move(highlighted))
{
}

void PGHSortFlags::reset() { mFlags = mInitial; }

bool PGHSortFlags::ascending(const QString &column) const
{
    for (const auto &[name, up] : mFlags)
        if (name == column)
            return up;
    return true;
}

std::pair<QString, bool> PGHSortFlags::resolve(const QString &column, bool didSort)
{
    if (column.isEmpty())
        return {mHighlighted, ascending(mHighlighted)};
    for (auto &[name, up] : mFlags) {
        if (name != column)
            continue;
        if (column == mHighlighted && didSort)
            up = !up;
        mHighlighted = column;
        return {column, up};
    }
    return {mHighlighted, ascending(mHighlighted)}; // a column we don't sort by
}

} // namespace pigeonhole
