#include "ShellSoundHooks.h"

#include "UrlOpener.h"

#include <QGuiApplication>
#include <QUrl>

namespace parley::shell {

ShellSoundHooks::ShellSoundHooks(SoundPlayer player) : mPlayer(std::move(player)) {}

void ShellSoundHooks::playSound(const QString &name)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    mPlayer.play(name);
}

bool ShellSoundHooks::openFolder(const QString &folder)
{
    return UrlOpener::desktop().openUrl(QUrl::fromLocalFile(folder));
}

} // namespace parley::shell
