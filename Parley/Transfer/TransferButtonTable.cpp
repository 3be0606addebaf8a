#include "TransferButtonTable.h"

namespace parley {

std::optional<TransferButtons> TransferButtons::forType(int type)
{
    constexpr TransferButtonState hidden{false, false};
    constexpr TransferButtonState shown{true, true};
    constexpr TransferButtonState disabled{true, false};
    switch (type) {
    //                     accept  reject  open      mail
    case 0: return TransferButtons{hidden, hidden, hidden, hidden};
    case 1: return TransferButtons{shown, shown, disabled, shown};
    case 2: return TransferButtons{hidden, shown, disabled, hidden};
    case 3: return TransferButtons{hidden, shown, shown, shown};
    case 4: return TransferButtons{hidden, shown, shown, hidden};
    case 5: return TransferButtons{shown, shown, hidden, disabled};
    case 6: return TransferButtons{hidden, hidden, shown, hidden};
    default: return std::nullopt;
    }
}

} // namespace parley
