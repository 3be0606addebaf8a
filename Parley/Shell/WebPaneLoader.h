#pragma once

// Loads the web-view module on the first request and makes web panes.

#include "WebPane.h"

namespace parley::shell {

class WebPaneLoader
{
public:
    WebPaneLoader() = delete;

    // A new pane, or null when the module can't be loaded (logged once).
    static WebPane *create(QWidget *parent, const WebPaneSettings &settings = {});
    // Where the module is looked for: lib/parley beside share/parley.
    static QString modulePath();
    // Whether the module has been loaded in this process.
    static bool isLoaded();
    // Makes the OpenGL context the web engine shares (once): call it before
    // a module that shows web views is loaded. The application makes none, so that the GL libraries stay
    // unloaded until the first web view.
    static void shareOpenGLContext();
};

} // namespace parley::shell
