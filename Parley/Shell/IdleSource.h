#pragma once

// Where the seconds since the user's last input come from. A source answers
// through a callback (D-Bus sources answer when their reply comes; the
// others at once); nothing means it cannot tell, and the next source is asked.

#include <functional>
#include <optional>

namespace parley::shell {

class IdleSource
{
public:
    using Answer = std::function<void(std::optional<double> seconds)>;

    virtual ~IdleSource() = default;
    virtual void requestIdleTime(Answer answer) = 0;
};

} // namespace parley::shell
