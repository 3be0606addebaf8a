#pragma once

// The full property-list reader, on QXmlStreamReader: takes any well-formed
// XML property list and gives the error texts for the rest.

#include "PropertyList.h"

#include <QByteArray>

namespace parley {

class PropertyListReader {
public:
    static PropertyList::ReadResult read(const QByteArray &xml);
};

} // namespace parley
