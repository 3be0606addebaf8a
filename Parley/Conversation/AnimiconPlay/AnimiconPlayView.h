#pragma once

// The web view an animicon plays in, as the play-window module makes it.
// The module links QtWebEngine; the messenger knows only this interface and
// the module's one factory function, which it resolves when it first plays an
// animicon (AnimiconPlayLibrary).

#include <QUrl>

#include <functional>

class QWidget;

class AnimiconPlayView
{
public:
    virtual ~AnimiconPlayView() = default;
    // The translucent, frameless web view (a child of the parent given to the factory).
    virtual QWidget *widget() = 0;
    virtual void navigateUrl(const QUrl &url) = 0;
    // Stops loading and shows an empty page.
    virtual void clear() = 0;
    // Called on the main thread whenever a page load ends (true: it loaded).
    std::function<void(bool ok)> loadFinished;
};

// The module's factory: a new view owned by the caller (its widget has `parent`).
extern "C" {
using AnimiconPlayViewFactory = AnimiconPlayView *(*)(QWidget *parent);
}
inline constexpr char kAnimiconPlayViewFactoryName[] = "parleyCreateAnimiconPlayView";
