#include "PLClientVersion.h"

#include <QCoreApplication>

#ifndef PARLEY_CLIENT_VERSION
#error "PARLEY_CLIENT_VERSION comes from the build (the project version)"
#endif

namespace parley {

QString PLClientVersion() { return QStringLiteral(PARLEY_CLIENT_VERSION); }

void PLSetApplicationVersion() { QCoreApplication::setApplicationVersion(PLClientVersion()); }

} // namespace parley
