#include "SoundPlayer.h"

#include "KCResourceDirectory.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace parley::shell {

SoundPlayer::SoundPlayer(QString soundFolder, Finder finder, Launcher launcher)
    : mSoundFolder(soundFolder.isNull() ? KCResourcePath(QStringLiteral("Sounds")) : std::move(soundFolder)),
      mFinder(finder ? std::move(finder) : [](const QString &program) { return QStandardPaths::findExecutable(program); }),
      mLauncher(launcher ? std::move(launcher) : [](const QString &program, const QStringList &arguments) {
          // Detached: the player ends on its own and nobody waits for it.
          return QProcess::startDetached(program, arguments);
      })
{
}

const QStringList &SoundPlayer::players()
{
    static const QStringList programs{QStringLiteral("pw-play"), QStringLiteral("paplay"), QStringLiteral("aplay")};
    return programs;
}

QString SoundPlayer::player() const
{
    for (const QString &program : players()) {
        const QString path = mFinder(program);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString SoundPlayer::soundFile(const QString &name) const
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]+$"));
    if (!plain.match(name).hasMatch())
        return {};
    const QString path = mSoundFolder + QLatin1Char('/') + name + QStringLiteral(".wav");
    return QFileInfo(path).isFile() ? path : QString();
}

bool SoundPlayer::play(const QString &name) const
{
    const QString file = soundFile(name);
    if (file.isEmpty())
        return false;
    const QString program = player();
    if (program.isEmpty())
        return false;
    QStringList arguments;
    if (QFileInfo(program).fileName() == QLatin1String("aplay"))
        arguments << QStringLiteral("-q");
    arguments << file;
    return mLauncher(program, arguments);
}

} // namespace parley::shell
