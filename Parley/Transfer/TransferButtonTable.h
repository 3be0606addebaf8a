#pragma once

// Which of a transfer row's four buttons show, and which of those can be
// pressed, for each button type:
//   0 none (mail requested or running, a download cancelled or refused)
//   1 an offered download       2 a transfer in progress
//   3 an offered upload, or a download saved under another name
//   4 a cancelled mail upload   5 a mail download that could not be requested
//   6 finished

#include <optional>

namespace parley {

struct TransferButtonState
{
    bool visible = false;
    bool enabled = false;
    bool operator==(const TransferButtonState &) const = default;
};

struct TransferButtons
{
    TransferButtonState accept, reject, open, mail;
    bool operator==(const TransferButtons &) const = default;

    // Nothing for a type outside 0 to 6 (the buttons stay as they are).
    static std::optional<TransferButtons> forType(int type);
};

} // namespace parley
