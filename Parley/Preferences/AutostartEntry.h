#pragma once

// Starting the messenger when the user logs in: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/parley.desktop, whose Exec key names the
// program by its path quoted as the Desktop Entry rules say, so that a path
// with blanks, quotes or dollar signs still starts it.

#include <QString>

namespace parley {

class AutostartEntry
{
public:
    AutostartEntry() = delete;

    // The entry's path in the user's configuration folder.
    static QString path();
    // The entry's text for a program path.
    static QString desktopFileText(const QString &executable);
    // One argument of an Exec key: quoted when it holds a reserved
    // character, with the string escapes of the file applied.
    static QString execArgument(const QString &argument);

    // Writes the entry (atomically); answers whether it was written.
    static bool install(const QString &executable);
    // Deletes the entry, and nothing else; true when it is gone.
    static bool remove();
    // The setting "autoStart" applied: the entry for this program written
    // when on, removed when off. A failure is not reported (the setting
    // itself is kept).
    static void apply(bool autoStart);
};

} // namespace parley
