// Arbitrary bytes through the group cache's own reader: whatever it reads,
// the full property-list reader must read too, to the same values (types and
// null strings included).

#include "../common/SameValue.h"
#include "BuddyManagement/PLGroupCacheFastReader.h"
#include "FuzzSupport.h"
#include "PropertyListReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace parley;
using parley::test::sameValue;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silenceLog();

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<PLGroupCacheFastReader::Contents> contents = PLGroupCacheFastReader::read(bytes);
    if (!contents)
        return 0;
    QVariantList entries{contents->cacheEntry};
    for (const PLGroupInfo &line : contents->lines)
        entries.append(line.toVariantMap());
    const PropertyList::ReadResult full = PropertyListReader::read(bytes);
    if (!full.ok() || !sameValue(QVariant(entries), full.value))
        std::abort();
    return 0;
}
