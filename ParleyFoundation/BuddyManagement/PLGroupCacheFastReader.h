#pragma once

// Reads the group cache (GroupCache.nch) straight into its lines when the
// file has exactly the layout the cache writes: the "Cache" entry first, then
// group and buddy lines whose texts every property-list reader takes as they
// stand. Building a dictionary of QVariants per line cost ~5,500 instructions
// a line at every sign-in whose cache is current. Anything else (another
// layout, an escape or a rare character in a text, damage) gives nothing, and
// the caller reads the file as a property list; for what it does read, the
// values are those the property list gives.

#include "PLGroupInfo.h"

#include <QByteArray>
#include <QVariantMap>

#include <optional>
#include <vector>

namespace parley {

class PLGroupCacheFastReader {
public:
    struct Contents {
        QVariantMap cacheEntry; // the first entry, as the property list gives it
        std::vector<PLGroupInfo> lines;
    };
    static std::optional<Contents> read(const QByteArray &document);
};

} // namespace parley
