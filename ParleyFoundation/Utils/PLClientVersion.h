#pragma once

// The client's version: the build's project version, the one value that
// every command naming the client's version sends (PVER, LIN4, LSIN, ENTR,
// WHSP). Each program sets it as its application version at start-up.

#include <QString>

namespace parley {

// The version this build was made as ("0.1.0"); never empty.
QString PLClientVersion();
// Sets QCoreApplication's application version to PLClientVersion(). Every
// program calls it once, right after making its application object.
void PLSetApplicationVersion();

} // namespace parley
