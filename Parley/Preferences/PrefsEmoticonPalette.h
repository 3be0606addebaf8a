#pragma once

// The emoticon palette as the preferences window uses it: shown at a point
// of the screen, it hands back the chosen token once. Installed through
// PrefsServices; until the palette exists a stand-in shows nothing.

#include <QPoint>
#include <QString>

#include <functional>

namespace parley {

class PrefsEmoticonPalette
{
public:
    virtual ~PrefsEmoticonPalette() = default;
    // Shows the palette with its top-left corner at `globalPoint`; `chosen`
    // hears the token the user picks.
    virtual void showEmoticonPalette(const QPoint &globalPoint, std::function<void(const QString &token)> chosen) = 0;
    // Whether the palette window exists now.
    virtual bool isWindowLoaded() const = 0;
    virtual void close() = 0;
};

} // namespace parley
