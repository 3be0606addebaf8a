#pragma once

// The clock of one pop-up notice, advanced by 0.05 every tick of 35 ms: it
// fades in while the clock runs to 2 (40 ticks), holds to 7 (100 ticks),
// fades out to 9 (40 ticks), then closes and parks the clock at -1, where it
// stays.

#include <optional>

namespace parley::shell {

struct ToasterFadeStep {
    float showTime = 0;           // the clock after this tick
    std::optional<double> alpha;  // the window's new opacity, when it changes
    bool close = false;           // the notice closes now (when it closes by itself)
};

class ToasterFade
{
public:
    static constexpr int kTickMilliseconds = 35;
    static constexpr double kStep = 0.05;

    static ToasterFadeStep step(float showTime);
};

} // namespace parley::shell
