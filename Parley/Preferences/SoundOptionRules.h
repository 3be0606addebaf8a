#pragma once

// The Notification pane's two sound switches: "use sound" and the option
// box are always each other's inverse, and the six event boxes can be
// changed only while sounds are on.

namespace parley {

struct SoundBoxes {
    bool useSound = false;
    bool option = false;
    bool eventsEnabled = false;
};

class SoundOptionRules
{
public:
    SoundOptionRules() = delete;

    // The boxes after the use-sound box was set to `useSoundOn`.
    static SoundBoxes afterUseSound(bool useSoundOn);
    // The boxes after the option box was set to `optionOn`.
    static SoundBoxes afterOption(bool optionOn);
};

} // namespace parley
