#pragma once

// The folder of our installed resources that must be real files (the emoticon
// images the transcript names by file URL, the message box's bundle, notice
// skins): $PARLEY_RESOURCE_DIR when set (the build tree, tests), else
// "../share/parley" next to the running executable.

#include <QString>

QString KCResourceDirectory();
// A path inside it.
QString KCResourcePath(const QString &relative);
