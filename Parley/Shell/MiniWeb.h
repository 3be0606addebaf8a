#pragma once

// Two small browser windows of the messenger. MiniWeb shows a help or notice
// page and can scroll to a named anchor; SimpleBrowserController is a minimal
// browser window whose pages may call scripts and show script alerts (as a
// sheet). In both, links load in the window; only a page's request for a new
// window goes to the default browser, and only for http and https. The page
// title is the window title. No window of the messenger opens them yet.

#include <QUrl>
#include <QVariantList>
#include <QWidget>

namespace parley::shell {
class UrlOpener;
class WebPane;
} // namespace parley::shell

namespace parley {

class MiniWeb : public QWidget
{
    Q_OBJECT

public:
    // `opener` (not owned; null: the desktop's) takes the new-window requests.
    explicit MiniWeb(shell::UrlOpener *opener = nullptr, QWidget *parent = nullptr);

    void openURL(const QString &url);
    // Scrolls to the anchor of that name (the name is data in the script).
    void jumpToAnchor(const QString &anchorName);
    // A page's request for a new window.
    void requestWebUrlOpen(const QUrl &url);

    shell::WebPane *webView() const { return mWebView; }

protected:
    shell::WebPane *mWebView = nullptr;
    shell::UrlOpener *mOpener;
};

class SimpleBrowserController : public MiniWeb
{
    Q_OBJECT

public:
    explicit SimpleBrowserController(shell::UrlOpener *opener = nullptr, QWidget *parent = nullptr);

    // A new window showing that page (it owns itself).
    static SimpleBrowserController *loadURL(const QString &url, QObject *sender = nullptr);
    void goURL(const QString &url) { openURL(url); }
    // Calls the page's script function `name` with the arguments (as JSON);
    // a name that is no script identifier calls nothing.
    bool callWebScriptMethod(const QString &name, const QVariantList &arguments);

    // The script call callWebScriptMethod() makes; null for a bad name.
    static QString scriptCall(const QString &name, const QVariantList &arguments);
};

} // namespace parley
