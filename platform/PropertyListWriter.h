#pragma once

// Writes a value as an XML property list, tab-indented, dict keys in order;
// refuses what a property list cannot hold, with an error text. Writes UTF-8
// straight into a byte buffer: building a QString and converting it at the
// end cost ~10,000 instructions per group-cache entry.
//
// A document can also be written piece by piece, with no QVariant built for
// it: the bytes are the same as write() gives for the same value, provided
// dictionary keys are given in the order a QVariantMap keeps them (QString
// order). The first failure sticks; finish() reports it.

#include "PropertyList.h"

#include <QStringView>
#include <QVariant>

#include <memory>

namespace parley {

class PropertyListWriter {
public:
    static PropertyList::WriteResult write(const QVariant &value);

    PropertyListWriter();
    ~PropertyListWriter();
    PropertyListWriter(const PropertyListWriter &) = delete;
    PropertyListWriter &operator=(const PropertyListWriter &) = delete;

    // Each answers false once anything failed.
    bool beginArray();
    bool endArray();
    bool beginDict();
    bool endDict();
    bool key(QStringView key);
    bool string(QStringView text);
    bool boolean(bool value);
    bool integer(qint64 value);
    bool value(const QVariant &value);
    // The document, or the first error; one value at the top, every container closed.
    PropertyList::WriteResult finish();

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace parley
