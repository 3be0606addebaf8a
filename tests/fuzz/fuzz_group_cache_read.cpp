// Arbitrary bytes through the group cache's own reader: whatever it reads,
// the full property-list reader must read too, to the same values (types and
// null strings included).

#include "BuddyManagement/PLGroupCacheFastReader.h"
#include "Log.h"
#include "PropertyListReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace parley;

namespace {

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.typeId() != b.typeId())
        return false;
    switch (a.typeId()) {
    case QMetaType::QString: return a.toString().isNull() == b.toString().isNull() && a.toString() == b.toString();
    case QMetaType::QVariantMap: {
        const QVariantMap m = a.toMap(), n = b.toMap();
        if (m.size() != n.size())
            return false;
        for (auto i = m.cbegin(), j = n.cbegin(); i != m.cend(); ++i, ++j) {
            if (i.key() != j.key() || !sameValue(i.value(), j.value()))
                return false;
        }
        return true;
    }
    case QMetaType::QVariantList: {
        const QVariantList l = a.toList(), r = b.toList();
        if (l.size() != r.size())
            return false;
        for (qsizetype i = 0; i < l.size(); ++i) {
            if (!sameValue(l.at(i), r.at(i)))
                return false;
        }
        return true;
    }
    default: return a == b;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool quiet = [] {
        setLogSink([](const QString &) {});
        return true;
    }();
    (void)quiet;

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
