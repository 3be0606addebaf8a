#pragma once

// What the account session asks of the bulk-mail upload manager: a fresh
// upload before each hand-shake. The real manager implements it.

namespace parley {

class PLMailTransferManagerInterface
{
public:
    virtual ~PLMailTransferManagerInterface() = default;
    virtual void reset() = 0;
};

} // namespace parley
