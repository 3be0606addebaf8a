#include "RetrySchedule.h"

namespace parley::shell {

int RetrySchedule::randForRange(int low, int high, const Random &random)
{
    const int span = high - low;
    if (span == 0)
        return low;
    return low + random() % span;
}

int RetrySchedule::delaySeconds(int retryCount, const Random &random)
{
    if (retryCount <= 3)
        return randForRange(2, 6, random);
    if (retryCount <= 5)
        return randForRange(6, 10, random);
    if (retryCount <= 8)
        return randForRange(10, 20, random);
    return 60;
}

} // namespace parley::shell
