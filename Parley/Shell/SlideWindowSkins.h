#pragma once

// The notice skins of SlideWindow.plist: one dictionary per slide type under
// a top-level "version" and "base_url". A skin names its icon and background
// images under base_url ("pref": keep the default), the frames of the icon,
// the close button and the body text as rectangle strings "{{x, y}, {w, h}}"
// measured from the window's bottom-left corner, the bridge code a click
// sends and the filter type. Images load only from local files: a base_url
// that is not a file URL (after resolving a relative one against the plist's
// own folder) gives no images.

#include <QRect>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <optional>

namespace parley::shell {

struct SlideWindowSkin {
    QString iconFile;       // a local file; empty: keep the default icon
    QString backgroundFile; // a local file; empty: none
    std::optional<QRect> iconRect;   // in window coordinates (top-left origin)
    std::optional<QRect> closeButtonRect;
    std::optional<QRect> textRect;
    QString code;           // null when the skin has none
    int filter = 2;         // 0 "c1", 1 "ormaincmn", 2 any other
};

class SlideWindowSkins
{
public:
    // The notice window's size, which the rectangles are measured in.
    static constexpr int kWindowWidth = 175;
    static constexpr int kWindowHeight = 125;

    SlideWindowSkins() = default;
    // The dictionary of a plist whose folder relative base URLs resolve against.
    SlideWindowSkins(const QVariantMap &dictionary, const QUrl &plistUrl);
    // An empty set when the file is missing or unreadable.
    static SlideWindowSkins load(const QString &path);

    const QVariantMap &dictionary() const { return mDictionary; }
    // The skin of a type; nothing without "version", "base_url" or the type's entry.
    std::optional<SlideWindowSkin> skinForType(const QString &type) const;
    // 0, 1 or 2 as the type's "filterType" says (2 without a skin).
    int slideFilterTypeForSlideType(const QString &type) const;

    // "{{x, y}, {w, h}}" in bottom-left, y-up coordinates of a window of the
    // given height, as a top-left rectangle; nothing when it does not parse.
    static std::optional<QRect> rectFromString(const QString &text, int windowHeight = kWindowHeight);
    static int filterForString(const QString &filterType);

private:
    QString fileUnderBase(const QString &name) const;

    QVariantMap mDictionary;
    QUrl mPlistUrl;
};

} // namespace parley::shell
