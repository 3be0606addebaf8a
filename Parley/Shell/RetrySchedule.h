#pragma once

// How long the shell waits before signing in again after a lost
// connection: the longer the run of failed attempts, the longer the wait,
// spread by a random number so that many clients do not return at once.
// The random source is the caller's (rand() in the application).

#include <functional>

namespace parley::shell {

class RetrySchedule
{
public:
    using Random = std::function<int()>;

    // Seconds before attempt `retryCount` (1 is the first): 2..5 for the
    // first three, 6..9 for the next two, 10..19 up to the eighth, then 60.
    static int delaySeconds(int retryCount, const Random &random);

    // low plus a random number modulo (high - low). Equal bounds answer low
    // (the span would divide by zero).
    static int randForRange(int low, int high, const Random &random);
};

} // namespace parley::shell
