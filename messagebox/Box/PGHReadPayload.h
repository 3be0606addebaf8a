#pragma once

// The user info of "PLReadMemoDocument" for a memo or a chat log: the stored
// lists split again at ",".

#include "PGHStoreRecords.h"

#include <QVariantMap>

namespace pigeonhole {

class PGHReadPayload
{
public:
    static QVariantMap of(const PGHMemo &memo);
    static QVariantMap of(const PGHChat &chat);
    // A stored list as its elements: "" gives no elements.
    static QStringList split(const QString &joined);
};

} // namespace pigeonhole
