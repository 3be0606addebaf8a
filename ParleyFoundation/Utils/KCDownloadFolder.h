#pragma once

#include <QString>

namespace parley {

// Where received files go unless the user chose a folder: the desktop folder
// of the XDG user folders, or the download folder when the desktop folder
// does not exist.
QString KCDefaultDownloadFolder();

} // namespace parley
