#pragma once

// What the fuzz targets share.

#include "Log.h"

#include <QString>

namespace parley::fuzz {

// Log lines go nowhere: a target feeds damaged input on purpose, and a line
// per complaint would only slow it down. Once per process.
inline void silenceLog()
{
    static const bool silenced = [] {
        setLogSink([](const QString &) {});
        return true;
    }();
    (void)silenced;
}

} // namespace parley::fuzz
