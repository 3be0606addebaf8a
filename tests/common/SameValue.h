#pragma once

// Value equality for property-list readers compared with each other: equal
// down to the type of every value and the nullness of every string and key
// (QVariant's own == takes a null string for an empty one). Header-only, so
// that fuzz targets can use it without the test main.

#include <QByteArray>
#include <QMetaType>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <cmath>
#include <cstring>

namespace parley::test {

inline bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.typeId() != b.typeId())
        return false;
    switch (a.typeId()) {
    case QMetaType::QString:
        return a.toString().isNull() == b.toString().isNull() && a.toString() == b.toString();
    case QMetaType::Double: {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return std::memcmp(&x, &y, sizeof x) == 0 || (std::isnan(x) && std::isnan(y));
    }
    case QMetaType::QVariantMap: {
        const QVariantMap m = a.toMap();
        const QVariantMap n = b.toMap();
        if (m.size() != n.size())
            return false;
        for (auto i = m.cbegin(), j = n.cbegin(); i != m.cend(); ++i, ++j) {
            if (i.key() != j.key() || i.key().isNull() != j.key().isNull() || !sameValue(i.value(), j.value()))
                return false;
        }
        return true;
    }
    case QMetaType::QVariantList: {
        const QVariantList l = a.toList();
        const QVariantList r = b.toList();
        if (l.size() != r.size())
            return false;
        for (qsizetype i = 0; i < l.size(); ++i) {
            if (!sameValue(l.at(i), r.at(i)))
                return false;
        }
        return true;
    }
    case QMetaType::QByteArray:
        return a.toByteArray() == b.toByteArray();
    default:
        return a == b;
    }
}

} // namespace parley::test
