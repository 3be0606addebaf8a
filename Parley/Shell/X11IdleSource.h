#pragma once

// The X server's screen-saver extension (XScreenSaverQueryInfo), when the
// messenger runs on X11 and the extension's library is installed; loaded at
// run time, so neither is needed to build or to run elsewhere.

#include "IdleSource.h"

namespace parley::shell {

class X11IdleSource final : public IdleSource
{
public:
    void requestIdleTime(Answer answer) override;
};

} // namespace parley::shell
