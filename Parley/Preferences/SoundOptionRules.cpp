#include "SoundOptionRules.h"

namespace parley {

SoundBoxes SoundOptionRules::afterOption(bool optionOn)
{
    return {!optionOn, optionOn, !optionOn};
}

SoundBoxes SoundOptionRules::afterUseSound(bool useSoundOn)
{
    // The use-sound box sets the option box to its inverse, whose own rule then applies.
    return afterOption(!useSoundOn);
}

} // namespace parley
