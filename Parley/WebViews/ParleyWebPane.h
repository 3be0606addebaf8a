#pragma once

// The web pane on QWebEngineView (see WebPane.h).

#include "WebPane.h"

#include <QWebEnginePage>
#include <QWebEngineView>

namespace parley::shell {

class ParleyWebPage final : public QWebEnginePage
{
    Q_OBJECT

public:
    ParleyWebPage(const WebPaneSettings &settings, const WebPaneCallbacks *callbacks, QObject *parent);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;

private:
    bool mInterceptLinkClicks;
    const WebPaneCallbacks *mCallbacks;
};

class ParleyWebPane final : public QWebEngineView, public WebPane
{
    Q_OBJECT

public:
    ParleyWebPane(QWidget *parent, const WebPaneSettings &settings);

    QWidget *widget() override { return this; }
    void setCallbacks(const WebPaneCallbacks &callbacks) override { mCallbacks = callbacks; }
    void setHtml(const QString &html, const QUrl &baseUrl) override { QWebEngineView::setHtml(html, baseUrl); }
    void load(const QUrl &url) override { QWebEngineView::load(url); }
    void runJavaScript(const QString &script, std::function<void(const QVariant &)> done) override;
    QString title() const override { return QWebEngineView::title(); }
    QUrl url() const override { return QWebEngineView::url(); }

private:
    WebPaneCallbacks mCallbacks;
};

} // namespace parley::shell
