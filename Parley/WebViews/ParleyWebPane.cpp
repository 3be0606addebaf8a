#include "ParleyWebPane.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>

namespace parley::shell {

ParleyWebPage::ParleyWebPage(const WebPaneSettings &settings, const WebPaneCallbacks *callbacks, QObject *parent)
    : QWebEnginePage(parent), mInterceptLinkClicks(settings.interceptLinkClicks), mCallbacks(callbacks)
{
    QWebEngineSettings *s = this->settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, settings.javaScript);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, settings.javaScriptCanOpenWindows);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    if (settings.transparentBackground)
        setBackgroundColor(Qt::transparent);
    // A request for a new window never opens one here: the owner hears the
    // address and decides (the default browser, for a page it allows).
    connect(this, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest &request) {
        if (mCallbacks->newWindowRequested)
            mCallbacks->newWindowRequested(request.requestedUrl());
    });
}

bool ParleyWebPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (type == NavigationTypeLinkClicked && mInterceptLinkClicks) {
        if (mCallbacks->linkClicked)
            mCallbacks->linkClicked(url);
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void ParleyWebPage::javaScriptAlert(const QUrl &, const QString &message)
{
    if (mCallbacks->javaScriptAlert)
        mCallbacks->javaScriptAlert(message);
}

ParleyWebPane::ParleyWebPane(QWidget *parent, const WebPaneSettings &settings) : QWebEngineView(parent)
{
    setPage(new ParleyWebPage(settings, &mCallbacks, this));
    connect(this, &QWebEngineView::titleChanged, this, [this](const QString &title) {
        if (mCallbacks.titleChanged)
            mCallbacks.titleChanged(title);
    });
    connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (mCallbacks.loadFinished)
            mCallbacks.loadFinished(ok);
    });
}

void ParleyWebPane::runJavaScript(const QString &script, std::function<void(const QVariant &)> done)
{
    if (done)
        page()->runJavaScript(script, [done = std::move(done)](const QVariant &result) { done(result); });
    else
        page()->runJavaScript(script);
}

} // namespace parley::shell

extern "C" Q_DECL_EXPORT parley::shell::WebPane *parleyCreateWebPane(QWidget *parent,
                                                                      const parley::shell::WebPaneSettings *settings)
{
    return new parley::shell::ParleyWebPane(parent, settings ? *settings : parley::shell::WebPaneSettings{});
}
