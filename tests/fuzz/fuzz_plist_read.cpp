// Arbitrary bytes through the property-list reader; whatever it accepts must
// also be writable and read back the same.

#include "FuzzSupport.h"
#include "PropertyList.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace parley;

namespace {
bool hasNaN(const QVariant &v)
{
    if (v.typeId() == QMetaType::Double)
        return std::isnan(v.toDouble());
    if (v.typeId() == QMetaType::QVariantList) {
        for (const QVariant &item : v.toList())
            if (hasNaN(item))
                return true;
    }
    if (v.typeId() == QMetaType::QVariantMap) {
        for (const QVariant &item : v.toMap())
            if (hasNaN(item))
                return true;
    }
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silenceLog();

    const auto read = PropertyList::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!read.ok())
        return 0;
    const auto written = PropertyList::write(read.value);
    if (!written.ok())
        return 0; // e.g. a control character given as a character reference
    const auto again = PropertyList::read(written.data);
    if (!again.ok() || (!hasNaN(read.value) && again.value != read.value))
        std::abort();
    return 0;
}
