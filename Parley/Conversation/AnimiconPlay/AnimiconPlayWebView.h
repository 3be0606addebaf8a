#pragma once

// The play view on QtWebEngine: a transparent, frameless web view.

#include "AnimiconPlayView.h"

#include <QPointer>
#include <QWebEngineView>

class AnimiconPlayWebView final : public AnimiconPlayView
{
public:
    explicit AnimiconPlayWebView(QWidget *parent);
    ~AnimiconPlayWebView() override;

    QWidget *widget() override;
    void navigateUrl(const QUrl &url) override;
    void clear() override;

private:
    // Owned here; its parent window may delete it first.
    QPointer<QWebEngineView> mView;
    QMetaObject::Connection mLoadConnection;
};
