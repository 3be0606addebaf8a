#pragma once

// A web view behind a plain interface. The view itself (QtWebEngine) lives
// in the module "parley-webviews", loaded on the first request, so that
// start-up, the buddy list and chat never load the web engine: it costs a
// process and tens of megabytes. This header is all the two sides share;
// it has no code of its own, so the module needs none of the messenger's.

#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class QWidget;

namespace parley::shell {

struct WebPaneSettings {
    bool javaScript = true;
    // Scripts may open windows without a click.
    bool javaScriptCanOpenWindows = true;
    // The page shows through to the window (no background of its own).
    bool transparentBackground = false;
    // A link click never navigates: it goes to linkClicked and stops there.
    bool interceptLinkClicks = false;
};

struct WebPaneCallbacks {
    std::function<void(const QString &title)> titleChanged;
    std::function<void(const QUrl &url)> linkClicked;
    // A page asks for a new window (a target="_blank" link, window.open):
    // the address it would load there; nothing is opened by the pane.
    std::function<void(const QUrl &url)> newWindowRequested;
    std::function<void(const QString &message)> javaScriptAlert;
    std::function<void(bool ok)> loadFinished;
};

class WebPane
{
public:
    virtual ~WebPane() = default;
    // The view; the pane is destroyed with it (put it in a layout, give it a parent).
    virtual QWidget *widget() = 0;
    virtual void setCallbacks(const WebPaneCallbacks &callbacks) = 0;
    virtual void setHtml(const QString &html, const QUrl &baseUrl) = 0;
    virtual void load(const QUrl &url) = 0;
    virtual void runJavaScript(const QString &script, std::function<void(const QVariant &)> done = {}) = 0;
    virtual QString title() const = 0;
    virtual QUrl url() const = 0;
};

// The module's one entry point.
using CreateWebPaneFunction = WebPane *(*)(QWidget *parent, const WebPaneSettings *settings);
inline constexpr char kCreateWebPaneSymbol[] = "parleyCreateWebPane";

} // namespace parley::shell
