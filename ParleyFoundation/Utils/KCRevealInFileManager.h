#pragma once

// Shows files in the desktop's file manager.

#include <QDBusConnection>
#include <QStringList>

namespace parley {

// Asks the file manager (org.freedesktop.FileManager1 ShowItems, without
// waiting) to show the files that exist. When the request fails (a desktop
// without that service) the first file's folder is opened with the desktop's
// opener instead (the shell hooks' openFolder). When none of the files
// exists, or neither way works, a warning "FileErrorTitle" /
// "FileErrorMessage" goes through the shell hooks. An empty path stops at once: nothing is sent or shown.
void KCRevealSelectedItemsInFinder(const QStringList &paths);
// The same on a given bus (tests use a private one).
void KCRevealSelectedItemsInFinder(const QStringList &paths, const QDBusConnection &bus);

} // namespace parley
