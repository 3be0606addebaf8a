#pragma once

// The sort state of a message list: each column's direction (ascending or
// not) and the highlighted column whose order the list shows. A click on the
// highlighted column reverses it; a click on another column sorts by that
// column in its stored direction.

#include <QList>
#include <QString>

#include <utility>

namespace pigeonhole {

class PGHSortFlags
{
public:
    // The columns with their initial directions; the highlighted column is
    // `highlighted`.
    PGHSortFlags(QList<std::pair<QString, bool>> initial, QString highlighted);

    // Back to the initial directions.
    void reset();
    const QString &highlighted() const { return mHighlighted; }
    void setHighlighted(const QString &column) { mHighlighted = column; }
    bool ascending(const QString &column) const;

    // The key and direction of a query: with no column, the highlighted one in
    // its direction; with a column, that column (now highlighted), its stored
    // direction reversed first when it was already highlighted and `didSort`.
    std::pair<QString, bool> resolve(const QString &column, bool didSort);

private:
    QList<std::pair<QString, bool>> mInitial;
    QList<std::pair<QString, bool>> mFlags;
    QString mHighlighted;
};

} // namespace pigeonhole
