#pragma once

// Turns a record handed over by the messenger (a memo or a chat log, keyed by
// attribute names) into the values of the table's columns. Lists are stored as
// their elements' texts joined with ",", dates as milliseconds. Keys that are
// no attribute the messenger may set (the store's own `mid`, the folder
// relation, unknown names) are left out and named in `refused`.

#include "PGHStoreRecords.h"

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace pigeonhole {

struct PGHColumnValues {
    QStringList columns;
    QVariantList values;
    QStringList refused;

    QVariant value(const QString &column) const;
};

class PGHRecordReader
{
public:
    static PGHColumnValues read(PGHBox box, const QVariantMap &record);
    // The text of a value as a text attribute stores it.
    static QString textOf(const QVariant &value);
};

} // namespace pigeonhole
