#include "KCDownloadFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace parley {

QString KCDefaultDownloadFolder()
{
    // Qt reads user-dirs.dirs, so a desktop named in the user's language is found.
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return downloads.isEmpty() ? QDir::homePath() : downloads;
}

} // namespace parley
