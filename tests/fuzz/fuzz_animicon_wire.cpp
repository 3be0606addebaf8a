// Arbitrary text as a received chat message holding an animicon: a decoded
// wire form has IDs of letters and digits, and encoding what was decoded
// reads back the same.

#include "AnimiconWireForm.h"
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    parley::fuzz::silenceLog();
    const QString message = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<AnimiconWireInfo> info = AnimiconWireForm::decode(message);
    if (!info)
        return 0;
    if (info->categoryID.size() != 1 || info->animiconID.size() != 3
        || !AnimiconWireForm::isSafeID(info->categoryID + info->animiconID) || info->name.contains(QLatin1Char('|')))
        __builtin_trap();
    const QString again = AnimiconWireForm::encode(info->categoryID + info->animiconID, info->name);
    const std::optional<AnimiconWireInfo> back = AnimiconWireForm::decode(again);
    if (!back || back->categoryID != info->categoryID || back->animiconID != info->animiconID
        || back->name != info->name)
        __builtin_trap();
    return 0;
}
