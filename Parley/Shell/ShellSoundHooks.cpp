#include "ShellSoundHooks.h"

#include <QGuiApplication>

namespace parley::shell {

ShellSoundHooks::ShellSoundHooks(SoundPlayer player) : mPlayer(std::move(player)) {}

void ShellSoundHooks::playSound(const QString &name)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    mPlayer.play(name);
}

} // namespace parley::shell
