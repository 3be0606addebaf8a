#pragma once

// Writes a value as an XML property list, tab-indented, dict keys in order;
// refuses what a property list cannot hold, with an error text. Writes UTF-8
// straight into a byte buffer: building a QString and converting it at the
// end cost ~10,000 instructions per group-cache entry.

#include "PropertyList.h"

#include <QVariant>

namespace parley {

class PropertyListWriter {
public:
    static PropertyList::WriteResult write(const QVariant &value);
};

} // namespace parley
