#include "ToasterFade.h"

namespace parley::shell {

ToasterFadeStep ToasterFade::step(float showTime)
{
    ToasterFadeStep result;
    if (showTime == -1.0f) {
        result.showTime = -1.0f; // finished: nothing more happens
        return result;
    }
    // Added in double precision, kept as float.
    const float t = float(double(showTime) + kStep);
    result.showTime = t;
    if (t >= 0 && t <= 2)
        result.alpha = t * 0.5;
    else if (t > 2 && t <= 7)
        ;
    else if (t > 7 && t <= 9)
        result.alpha = (9 - t) * 0.5;
    else {
        result.close = true;
        result.showTime = -1.0f;
    }
    return result;
}

} // namespace parley::shell
