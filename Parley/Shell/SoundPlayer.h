#pragma once

// Plays our event sounds (WAV files in the resource folder's Sounds/) with
// the first of pw-play, paplay and aplay that is installed, without waiting
// for it; with none of them, or a sound that is not there, nothing plays.

#include <QString>
#include <QStringList>

#include <functional>

namespace parley::shell {

class SoundPlayer
{
public:
    // Starts a player; answers whether it started.
    using Launcher = std::function<bool(const QString &program, const QStringList &arguments)>;
    // Finds a program on the path; empty when it is not installed.
    using Finder = std::function<QString(const QString &program)>;

    // `soundFolder`: where <name>.wav lie (null: the resource folder's Sounds).
    explicit SoundPlayer(QString soundFolder = {}, Finder finder = {}, Launcher launcher = {});

    static const QStringList &players();
    // The player program found first; empty when none is.
    QString player() const;
    // The file of a sound name; empty when there is none (or the name is not a plain name).
    QString soundFile(const QString &name) const;
    // Answers whether a player was started.
    bool play(const QString &name) const;

private:
    QString mSoundFolder;
    Finder mFinder;
    Launcher mLauncher;
};

} // namespace parley::shell
