#pragma once

// The messenger's hooks for the core's utilities: event sounds through the
// sound player, warnings as kit alerts. The application controller installs
// it and removes it before it goes. Without a display (offscreen) nothing
// plays, since nobody is there to hear it.

#include "KCAlertShellHooks.h"
#include "SoundPlayer.h"

namespace parley::shell {

class ShellSoundHooks final : public KCAlertShellHooks
{
public:
    explicit ShellSoundHooks(SoundPlayer player = SoundPlayer());

    void playSound(const QString &name) override;
    bool openFolder(const QString &folder) override;
    const SoundPlayer &player() const { return mPlayer; }

private:
    SoundPlayer mPlayer;
};

} // namespace parley::shell
